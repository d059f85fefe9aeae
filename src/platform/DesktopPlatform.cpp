#include "platform/OfficeLoader.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
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
        QMessageBox::critical(parent, QStringLiteral("Зельм"), text, QMessageBox::Ok);
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

class DesktopPlatform : public Platform {
public:
    Dialogs& dialogs() override { return m_dialogs; }
    Shell& shell() override { return m_shell; }
    OfficeAutomation& office() override { return *m_office; }
    KeyboardLayout& keyboard() override { return m_keyboard; }
    WindowPrinter& printer() override { return m_printer; }

private:
    DesktopDialogs m_dialogs;
    DesktopShell m_shell;
    // LibreOffice itself starts on the first Office call, not with the program.
    std::unique_ptr<OfficeAutomation> m_office = loadOfficeAutomation(libreOfficeModulePath());
    NoKeyboardLayout m_keyboard;
    DesktopPrinter m_printer;
};

} // namespace

std::unique_ptr<Platform> createDesktopPlatform() {
    return std::make_unique<DesktopPlatform>();
}

} // namespace zelm
