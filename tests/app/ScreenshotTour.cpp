// Not a test: opens every window of a run in turn on a real display and saves the screen
// as the user sees it (window manager decorations included), one PNG per window.
// Usage: screenshot_tour <output folder> <installation folder>
#include "access/TForm5.h"
#include "access/TNastroika.h"
#include "access/TZapusk.h"
#include "app/ZelmApp.h"
#include "attach/TDokKart.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TRedaktir.h"
#include "cardwindow/TWibor.h"
#include "common/CardFactory.h"
#include "common/Form1Controls.h"
#include "output/TKonverti.h"
#include "platform/Platform.h"
#include "search/TPoisk.h"
#include "widgets/TdxfColorButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <functional>

using namespace zelm;
using namespace zelm::testing;

namespace {

struct Step {
    QString name;                 // of the picture, empty for no picture
    std::function<void()> before; // what the user does
    std::function<void()> after;  // closing what was opened
    int waitMs = 1200;            // until the picture: LibreOffice's windows take seconds
};

void writeRegister(const QString& root) {
    QDir().mkpath(root + QStringLiteral("/Baza"));
    auto cards = makeCards(40);
    for (size_t i = 0; i < cards.size(); ++i)
        cards[i].Klu4Form1 = 449490000 + static_cast<int>(i) * 37;
    QFile f(root + QStringLiteral("/Baza/Anketi.dat"));
    if (f.exists() || !f.open(QIODevice::WriteOnly))
        return;
    f.write(reinterpret_cast<const char*>(cards.data()),
            static_cast<qint64>(cards.size() * sizeof(TAnketa)));
    QFile arh(root + QStringLiteral("/Baza/ArhAnket.dat"));
    if (arh.open(QIODevice::WriteOnly))
        arh.write(reinterpret_cast<const char*>(cards.data()),
                  static_cast<qint64>(10 * sizeof(TAnketa)));
}

void runSteps(const QList<Step>& steps, int i, const QString& out) {
    if (i >= steps.size()) {
        QApplication::exit(0);
        return;
    }
    const Step& step = steps[i];
    if (step.before)
        step.before();
    QTimer::singleShot(step.waitMs, [steps, i, out] {
        const Step& s = steps[i];
        if (!s.name.isEmpty()) {
            const QString file = out + QLatin1Char('/') + s.name + QStringLiteral(".png");
            QGuiApplication::primaryScreen()->grabWindow(0).save(file);
            std::printf("%s\n", qPrintable(file));
        }
        if (s.after)
            s.after();
        QTimer::singleShot(300, [steps, i, out] { runSteps(steps, i + 1, out); });
    });
}

QWidget* modal() {
    return QApplication::activeModalWidget();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: screenshot_tour <output folder> <installation folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString root = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    writeRegister(root);
    prepareApplication(application);
    auto platform = createDesktopPlatform();
    ZelmApp app(root, *platform);
    TForm1* w = app.form1();

    const QList<Step> steps = {
        {QStringLiteral("1-login"), [&] { app.showLogin(); }, {}},
        {QStringLiteral("2-card"),
         [&] { QTest::keyClick(app.zapusk()->NomZamka, Qt::Key_Return); },
         {}},
        {QStringLiteral("3-card-new"), [&] { controls(w).nNew->click(); },
         [&] { controls(w).nOtmena->click(); }},
        {QStringLiteral("4-archive-tab"),
         [&] {
             controls(w).SpTabl->setCurrentWidget(controls(w).TabSheet3);
             // The unique numbers at the far right of the list.
             controls(w).ArhTab->scrollTo(controls(w).ArhTab->model()->index(0, 10));
         },
         {}},
        {QStringLiteral("5-search"),
         [&] { QTimer::singleShot(0, [&] { controls(w).nPoisk->click(); }); },
         [&] { app.poisk()->close(); }},
        {QStringLiteral("6-settings"),
         [&] { QTimer::singleShot(0, [&] { app.nastroika()->exec(); }); },
         [&] { app.nastroika()->close(); }},
        {QStringLiteral("7-list-editor"),
         [&] { QTimer::singleShot(0, [&] { controls(w).PovorSpr->click(); }); },
         [&] { app.redaktir()->close(); }},
        {QStringLiteral("8-access-editor"), [&] { app.form5()->show(); },
         [&] { app.form5()->close(); }},
        {QStringLiteral("9-choice"),
         [&] {
             QTimer::singleShot(0, [&] {
                 AskChoice(*app.wibor(), QStringLiteral("Удалить окончательно"),
                           QStringLiteral("Удалить в Архив"), QStringLiteral("Ничего не делать"),
                           QStringLiteral("Действие с Карточкой"));
             });
         },
         [&] { app.wibor()->close(); }},
        {QStringLiteral("10-templates-menu"),
         [&] { controls(w).N4->popup(w->mapToGlobal(QPoint(60, 20))); },
         [&] { controls(w).N4->close(); }},
        {QStringLiteral("11-colour-dialog"),
         [&] { QTimer::singleShot(0, [&] { platform->dialogs().chooseColour(w, Qt::green); }); },
         [&] {
             if (auto* dialog = qobject_cast<QDialog*>(modal()))
                 dialog->reject();
         }},
        {QStringLiteral("12-envelopes"),
         [&] { QTimer::singleShot(0, [&] { controls(w).Konvert->click(); }); },
         [&] { app.konverti()->reject(); }},
        {QStringLiteral("13-attached-files"),
         [&] { QTimer::singleShot(0, [&] { controls(w).PuskDokKart->click(); }); },
         [&] { app.dokKart()->reject(); }},
        // The keyboard's focus on a round button, on the light desktop and on a dark one whose
        // card window the user coloured navy.
        // One Tab from the ИНН reaches the organisation's name, not the buttons beside it.
        {QStringLiteral("13-tab-from-inn"),
         [&] {
             w->raise();
             w->activateWindow();
             controls(w).INNOrg->setFocus(Qt::TabFocusReason);
             QTest::keyClick(controls(w).INNOrg, Qt::Key_Tab);
         },
         {}},
        {QStringLiteral("13a-button-focus"),
         [&] {
             w->raise();
             w->activateWindow();
             controls(w).nSave->setFocus(Qt::TabFocusReason);
         },
         {}},
        {QStringLiteral("13b-button-focus-dark"),
         [&] {
             QPalette dark(QColor(53, 53, 53), QColor(35, 35, 35));
             dark.setColor(QPalette::WindowText, Qt::white);
             dark.setColor(QPalette::Text, Qt::white);
             dark.setColor(QPalette::ButtonText, Qt::white);
             QApplication::setPalette(dark);
             QPalette navy = w->centralWidget()->palette();
             navy.setColor(QPalette::Window, QColor(0, 0, 128));
             w->centralWidget()->setPalette(navy);
             controls(w).nDelete->setFocus(Qt::TabFocusReason);
         },
         [&] { QApplication::setPalette(QApplication::style()->standardPalette()); }},
        {QStringLiteral("13c-file-dialog"),
         [&] {
             QTimer::singleShot(0, [&] {
                 platform->dialogs().openFile(w, QStringLiteral("Укажите файл"), root,
                                              QStringLiteral("Все файлы (*)"));
             });
         },
         [&] {
             if (auto* dialog = qobject_cast<QDialog*>(modal()))
                 dialog->reject();
         }},
        // LibreOffice's windows last: each stays open over the program's windows.
        {QStringLiteral("14-list-of-measures"),
         [&] {
             // Twenty cards into the Working card file, then its list of measures printed.
             controls(w).SpTabl->setCurrentWidget(controls(w).TabSheet1);
             controls(w).SpeedButBeg->click();
             for (int i = 0; i < 20; ++i) {
                 controls(w).nGlRab->click();
                 controls(w).SpeedButNext->click();
             }
             controls(w).PRNSpisok->click();
         },
         {},
         25000},
        {QStringLiteral("15-card-report"), [&] { controls(w).N13->trigger(); }, {}, 12000},
        {QStringLiteral("16-result-document"), [&] { controls(w).Otvet->click(); }, {}, 30000},
        {QStringLiteral("17-exit-question"),
         [&] {
             // Leaving ends the run: the last picture.
             w->raise();
             w->activateWindow();
             QTimer::singleShot(0, [&] { controls(w).N3->trigger(); });
         },
         [&] {
             if (auto* box = qobject_cast<QMessageBox*>(modal()))
                 box->button(QMessageBox::No)->click();
         }},
    };
    runSteps(steps, 0, out);
    return application.exec();
}
