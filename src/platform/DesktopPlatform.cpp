#include "platform/OfficeLoader.h"
#include "platform/Platform.h"
#include "platform/RussianFileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QWidget>

namespace zelm {
namespace {

// A message box at least as wide as its caption: the window manager cuts a caption longer
// than the window, and some captions carry a folder the user is to read.
QMessageBox::StandardButton showBox(QMessageBox::Icon icon, QWidget* parent, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    QFont titleFont = box.font();
    titleFont.setBold(true);
    // Room for the title bar's own buttons on either side of the caption.
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(caption) + 140;
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 9 / 10 : wanted;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(std::min(wanted, widest), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

class DesktopDialogs : public Dialogs {
public:
    void notice(QWidget* parent, const QString& text, const QString& caption) override {
        showBox(QMessageBox::Warning, parent, caption, text, QMessageBox::Ok);
    }
    bool ask(QWidget* parent, const QString& text, const QString& caption) override {
        return showBox(QMessageBox::Question, parent, caption, text,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    int choose(QWidget* parent, const QString& text, const QString& caption,
               const QStringList& buttons) override {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
        QList<QAbstractButton*> made;
        for (const QString& b : buttons)
            made << box.addButton(b, QMessageBox::AcceptRole);
        // Escape and the title bar's close give the last answer, the cautious one by habit.
        if (!made.isEmpty())
            box.setEscapeButton(made.last());
        box.exec();
        return static_cast<int>(made.indexOf(box.clickedButton()));
    }
    std::optional<QString> enterText(QWidget* parent, const QString& caption, const QString& label,
                                     const QString& text) override {
        QInputDialog d(parent);
        d.setWindowTitle(caption);
        d.setLabelText(label);
        d.setTextValue(text);
        d.setOkButtonText(QStringLiteral("ОК"));
        d.setCancelButtonText(QStringLiteral("Отмена"));
        d.resize(std::max(d.sizeHint().width(), 560), d.sizeHint().height());
        if (d.exec() != QDialog::Accepted)
            return std::nullopt;
        return d.textValue();
    }
    std::optional<QString> enterPassword(QWidget* parent, const QString& caption,
                                         const QString& label) override {
        QInputDialog d(parent);
        d.setWindowTitle(caption);
        d.setLabelText(label);
        d.setTextEchoMode(QLineEdit::Password);
        d.setOkButtonText(QStringLiteral("ОК"));
        d.setCancelButtonText(QStringLiteral("Отмена"));
        if (d.exec() != QDialog::Accepted)
            return std::nullopt;
        return d.textValue();
    }
    void error(QWidget* parent, const QString& text) override {
        showBox(QMessageBox::Critical, parent, QStringLiteral("Зельм"), text, QMessageBox::Ok);
    }
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override {
        return russianOpenFileName(parent, caption, folder, filter);
    }
    QString chooseFolder(QWidget* parent, const QString& caption, const QString& folder) override {
        return russianExistingFolder(parent, caption, folder);
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
        // Qt's texts are English; the file is named by the caller.
        if (reason)
            *reason = QFileInfo(program).isExecutable()
                          ? QStringLiteral("программа не запускается")
                          : QStringLiteral("нет права на запуск программы");
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
