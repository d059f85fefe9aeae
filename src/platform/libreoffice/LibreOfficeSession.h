#pragma once
// LibreOffice Writer and Calc in the place of Word and Excel. One soffice of our own, with a
// private profile and a private pipe, so the user's own LibreOffice is never disturbed; it is
// started on the first call that needs it and reused for the rest of the run (and by later
// runs while it keeps running). No UNO type shows through this header.
#include "platform/Office.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace zelm {

struct LibreOfficeOptions {
    QString programFolder; // empty: LibreOffice's installed program folder
    QString profileFolder; // empty: defaultLibreOfficeProfile()
    QString pipeName;      // empty: made from the user and the profile folder
    bool headless = false; // no windows at all (tests, benchmarks)
    int startTimeoutMs = 60000;
};

// ~/.cache/zelm/libreoffice: kept between runs, so only the first run pays for a new profile.
QString defaultLibreOfficeProfile();

class LibreOfficeSession : public OfficeAutomation {
public:
    explicit LibreOfficeSession(LibreOfficeOptions options = {});
    ~LibreOfficeSession() override;
    LibreOfficeSession(const LibreOfficeSession&) = delete;
    LibreOfficeSession& operator=(const LibreOfficeSession&) = delete;

    std::unique_ptr<WordApplication> createWord() override;
    ExcelApplication& excel() override;
    void closeOwnDocument(const QString& path) override;

    // True when soffice and its type libraries are where the options say.
    bool isInstalled() const;
    // Connects, starting soffice when none listens on the pipe; OfficeError on failure.
    void connect();
    // Connects only to a soffice that already listens; false when none does.
    bool connectIfRunning();
    // Ends the soffice behind the pipe (the documents in it are closed unsaved).
    void terminate();

    // Checks, used by tests and benchmarks.
    // The text of a document file: body and tables as plain text, then page headers and
    // footers, one per line.
    QString documentText(const QString& path);
    // Loads `from` hidden and stores it as `to` with the named filter.
    void convertDocument(const QString& from, const QString& to, const QString& filterName);
    // The texts of the first sheet of the workbook Calc opened last: rows x columns.
    QList<QStringList> lastWorkbookCells(int rows, int columns);
    // Whether a cell of it holds text (not a number, a date or nothing).
    bool lastWorkbookCellIsText(int row, int column);
    // The selection in the document a Word object handled last, the text before it, and
    // whether the cursor stands in the part of the document its window shows.
    struct Selection {
        QString text;
        QString before;
        bool inView = false;
    };
    Selection lastWordSelection();
    // Closes every document of this soffice, unsaved.
    void closeAllDocuments();

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace zelm
