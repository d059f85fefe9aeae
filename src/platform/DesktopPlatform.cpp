#include "platform/Platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QUrl>
#include <QWidget>

namespace zelm {
namespace {

class DesktopDialogs : public Dialogs {
public:
    void notice(QWidget* parent, const QString& text, const QString& caption) override {
        QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
    }
    bool ask(QWidget* parent, const QString& text, const QString& caption) override {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }
    void error(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QApplication::applicationDisplayName(), text,
                              QMessageBox::Ok);
    }
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }
    QString chooseFolder(QWidget* parent, const QString& caption, const QString& folder) override {
        return QFileDialog::getExistingDirectory(parent, caption, folder);
    }
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override {
        QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }
};

class DesktopShell : public Shell {
public:
    bool openDocument(const QString& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder, QString* reason) override {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setWorkingDirectory(workingFolder);
        if (process.startDetached())
            return true;
        if (reason)
            *reason = process.errorString();
        return false;
    }
};

class NoKeyboardLayout : public KeyboardLayout {
public:
    void activate(const QString&) override {}
};

class DesktopPrinter : public WindowPrinter {
public:
    bool printWindow(QWidget* window) override {
        if (QPrinterInfo::defaultPrinter().isNull())
            return false;
        QPrinter printer(QPrinterInfo::defaultPrinter());
        QPainter painter;
        if (!painter.begin(&printer))
            return false;
        QPixmap image = window->grab();
        QRect page = painter.viewport();
        QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
        painter.drawPixmap(QRect(page.topLeft(), size), image);
        painter.end();
        return true;
    }
};

// Word's stand-in: documents open in the desktop's word processor when Word is made visible.
class DesktopWord : public WordApplication {
public:
    explicit DesktopWord(Shell& shell) : m_shell(shell) {}
    void documentsAdd(const QString& templatePath) override { useDocument(templatePath); }
    void documentsOpen(const QString& path) override { useDocument(path); }
    void activeDocumentSaveAs(const QString& fileName) override {
        if (m_document.isEmpty())
            throw OfficeError(QStringLiteral("No document is open"));
        QFile::remove(fileName);
        if (!QFile::copy(m_document, fileName))
            throw OfficeError(QStringLiteral("Cannot save the document as %1").arg(fileName));
        m_document = fileName;
    }
    void findSetForward(bool) override {}
    void findSetText(const QString&) override {}
    void replacementSetText(const QString&) override {}
    void findExecute() override {}
    void findExecuteReplaceAll() override {}
    void setVisible(bool visible) override {
        if (visible && !m_document.isEmpty() && !m_shell.openDocument(m_document))
            throw OfficeError(QStringLiteral("No program opens %1").arg(m_document));
    }

private:
    void useDocument(const QString& path) {
        if (!QFileInfo::exists(path))
            throw OfficeError(QStringLiteral("File not found: %1").arg(path));
        m_document = path;
    }
    Shell& m_shell;
    QString m_document;
};

class DesktopExcel : public ExcelApplication {
public:
    explicit DesktopExcel(Shell& shell) : m_shell(shell) {}
    void disconnect() override { m_file.clear(); }
    void connect() override {}
    void workbooksOpen(const QString& fileName) override {
        if (!QFileInfo::exists(fileName))
            throw OfficeError(QStringLiteral("File not found: %1").arg(fileName));
        m_file = fileName;
    }
    void setVisible(bool visible) override {
        if (visible && !m_file.isEmpty() && !m_shell.openDocument(m_file))
            throw OfficeError(QStringLiteral("No program opens %1").arg(m_file));
    }

private:
    Shell& m_shell;
    QString m_file;
};

class DesktopOffice : public OfficeAutomation {
public:
    explicit DesktopOffice(Shell& shell) : m_shell(shell), m_excel(shell) {}
    std::unique_ptr<WordApplication> createWord() override {
        return std::make_unique<DesktopWord>(m_shell);
    }
    ExcelApplication& excel() override { return m_excel; }

private:
    Shell& m_shell;
    DesktopExcel m_excel;
};

class DesktopPlatform : public Platform {
public:
    Dialogs& dialogs() override { return m_dialogs; }
    Shell& shell() override { return m_shell; }
    OfficeAutomation& office() override { return m_office; }
    KeyboardLayout& keyboard() override { return m_keyboard; }
    WindowPrinter& printer() override { return m_printer; }

private:
    DesktopDialogs m_dialogs;
    DesktopShell m_shell;
    DesktopOffice m_office{m_shell};
    NoKeyboardLayout m_keyboard;
    DesktopPrinter m_printer;
};

} // namespace

std::unique_ptr<Platform> createDesktopPlatform() {
    return std::make_unique<DesktopPlatform>();
}

} // namespace zelm
