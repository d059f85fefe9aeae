// Each window's title is its own caption, exactly: the window manager shows nothing after it.
#include "access/TForm5.h"
#include "access/TNastroika.h"
#include "access/TZapusk.h"
#include "attach/TDokKart.h"
#include "cardwindow/TForm1.h"
#include "cardwindow/TRedaktir.h"
#include "cardwindow/TWibor.h"
#include "common/TestInstall.h"
#include "output/TKonverti.h"
#include "search/TPoisk.h"

#include <QApplication>
#include <QLocale>
#include <QWindow>
#include <gtest/gtest.h>

using namespace zelm;
using namespace zelm::testing;

TEST(WindowTitles, EveryWindowIsTitledWithItsCaptionAndNothingElse) {
    prepareApplication(*qApp);
    // A display name would be appended to every title by the window manager's decoration.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    EXPECT_EQ(QLocale().language(), QLocale::Russian);

    TestInstall t;
    ZelmApp& app = t.start();
    const std::pair<QWidget*, QString> windows[] = {
        {app.zapusk(), QStringLiteral("Зельм 13")},
        {app.form1(), QStringLiteral("Зельм")},
        {app.dokKart(), QStringLiteral("Файлы, прикреплённые к карточке")},
        {app.konverti(), QStringLiteral("На конверт напечатать информацию")},
        {app.redaktir(), QStringLiteral("Редактирование")},
        {app.nastroika(), QStringLiteral("Настройка")},
        {app.form5(), QStringLiteral("Буква Z должна быть хотя бы у одного")},
        {app.poisk(), QStringLiteral("Найти и скопировать в Рабочую картотеку")},
    };
    for (const auto& [window, caption] : windows) {
        EXPECT_EQ(window->windowTitle(), caption) << window->objectName().toStdString();
        window->show();
        EXPECT_EQ(window->windowHandle()->title(), caption) << window->objectName().toStdString();
        window->hide();
    }
}
