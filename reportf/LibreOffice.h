#pragma once
// LibreOffice Writer started as `soffice` with its own arguments, never through a shell, on
// private profiles of this program (Russian menus, spelling and hyphenation whatever the
// desktop's locale), so it neither waits for nor disturbs a LibreOffice the user has open.
// Headless runs (print, PDF) have a profile of their own, one run at a time; windows share
// another, so a second report shown joins the LibreOffice of the first.
#include "reportf/Office.h"

#include <QStringList>

namespace zelm::reportf {

class LibreOffice : public Office {
public:
    // `program` empty: `soffice` is looked for on the PATH at each call.
    explicit LibreOffice(QString program = {}, int timeoutMs = 300000);

    void view(const QString& path) override;
    void edit(const QString& path) override;
    void print(const QString& path, const QString& printer) override;
    void convertToPdf(const QString& path, const QString& outFolder) override;

    // The private profile of the headless runs (below the user's cache folder).
    static QString profileFolder();
    // The private profile of the windows, beside it.
    static QString windowProfileFolder();

private:
    QString program() const; // throws ReportError when LibreOffice is not installed
    void startWindow(const QStringList& arguments, const QString& path);
    void runHeadless(const QStringList& arguments, const QString& path);

    QString m_program;
    int m_timeoutMs;
};

} // namespace zelm::reportf
