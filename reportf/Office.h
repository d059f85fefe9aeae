#pragma once
// What the report program asks of the office suite and of the printing system. The real ones
// are LibreOffice Writer and CUPS; tests put scripted ones in their place.
#include <QString>
#include <optional>

namespace zelm::reportf {

class Office {
public:
    virtual ~Office() = default;
    // Opens the document read-only in a window and returns at once.
    virtual void view(const QString& path) = 0;
    // Opens the document for editing in a window and returns at once.
    virtual void edit(const QString& path) = 0;
    // Prints the document on `printer` without a window; returns when it has been sent.
    virtual void print(const QString& path, const QString& printer) = 0;
    // Writes <outFolder>/<the document's base name>.pdf without a window.
    virtual void convertToPdf(const QString& path, const QString& outFolder) = 0;
};

struct PrinterState {
    QString name;
    bool stopped = false;
    bool acceptingJobs = true;
};

class Printers {
public:
    virtual ~Printers() = default;
    // The printer a print without a choice goes to; none when there is no printer or no
    // printing service.
    virtual std::optional<PrinterState> defaultPrinter() = 0;
};

} // namespace zelm::reportf
