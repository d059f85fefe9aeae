#pragma once
// Word and Excel as the program drives them: the calls below and nothing else. On Windows an
// implementation talks COM; here LibreOffice Writer and Calc stand in (platform/libreoffice).
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace zelm {

// A failing call: the application is missing, the file is missing, the call was refused.
class OfficeError : public std::runtime_error {
public:
    explicit OfficeError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// One "Word.Application" object.
class WordApplication {
public:
    virtual ~WordApplication() = default;
    virtual void documentsAdd(const QString& templatePath) = 0;
    virtual void documentsOpen(const QString& path) = 0;
    virtual void activeDocumentSaveAs(const QString& fileName) = 0;
    virtual void findSetForward(bool forward) = 0;
    virtual void findSetText(const QString& text) = 0;
    virtual void replacementSetText(const QString& text) = 0;
    virtual void findExecute() = 0;           // selects the next occurrence
    virtual void findExecuteReplaceAll() = 0; // "Replace" = 2
    virtual void setVisible(bool visible) = 0;
};

// The connection to Excel.
class ExcelApplication {
public:
    virtual ~ExcelApplication() = default;
    virtual void disconnect() = 0;
    virtual void connect() = 0;
    // Format 4 (semicolon-separated), Origin 2 (Windows character set).
    virtual void workbooksOpen(const QString& fileName) = 0;
    // The cells of `row` (0 is the first) of the workbook just opened hold `texts` as text,
    // never read as a date or a number (Excel: NumberFormat "@", then the value), whatever
    // the text import made of the file.
    virtual void setRowAsText(int row, const QStringList& texts) = 0;
    virtual void setVisible(bool visible) = 0;
};

class OfficeAutomation {
public:
    virtual ~OfficeAutomation() = default;
    virtual std::unique_ptr<WordApplication> createWord() = 0; // "Word.Application"
    virtual ExcelApplication& excel() = 0;                     // the window's one server
    // Closes, unsaved, a document under `path` that this program made or opened and that the
    // office suite still shows, so that a deleted card document can be made again. One the
    // user opened is left alone. Starts nothing and reports nothing.
    virtual void closeOwnDocument(const QString& path) = 0;
};

} // namespace zelm
