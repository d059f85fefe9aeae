// Qt's own dialogs speak Russian whatever the desktop's locale (ctest runs this under LANG=C).
// The message boxes are the real desktop ones, read and answered while they are open.
#include "platform/RussianInterface.h"
#include "platform/Platform.h"
#include "widgets/ControlFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace zelm;

namespace {

struct RussianInterface : ::testing::Test {
    static void SetUpTestSuite() { loaded = installRussianInterface(*qApp); }
    static inline bool loaded = false;
};

// Once the next message box is open: its buttons' texts go to `buttons`, then `press` is clicked.
void readButtonsThenPress(QStringList& buttons, QMessageBox::StandardButton press) {
    buttons.clear();
    QTimer::singleShot(0, [&buttons, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            buttons << b->text().remove(QLatin1Char('&'));
        box->button(press)->click();
    });
}

} // namespace

TEST_F(RussianInterface, QuestionsAndNoticesHaveRussianButtons) {
    ASSERT_EQ(qgetenv("LANG"), QByteArray("C")) << "ctest runs this under LANG=C";
    ASSERT_TRUE(loaded) << "qtbase_ru.qm missing in " << qtTranslationsFolder().toStdString()
                        << ": scripts/deps.sh installs qt6-translations-l10n";
    auto platform = createDesktopPlatform();

    QStringList buttons;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        // Wide enough that the window manager shows the whole caption.
        EXPECT_GE(box->width(), QFontMetrics(box->font()).horizontalAdvance(title));
        for (QAbstractButton* b : box->buttons())
            buttons << b->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(platform->dialogs().ask(
        nullptr, QStringLiteral("?"),
        QStringLiteral("При аварии - нет!.Последние 10 копий в /home/user/ZELM/Backup")));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    // The caption stands as given, with nothing appended.
    EXPECT_EQ(title,
              QStringLiteral("При аварии - нет!.Последние 10 копий в /home/user/ZELM/Backup"));

    readButtonsThenPress(buttons, QMessageBox::Yes);
    EXPECT_TRUE(platform->dialogs().ask(nullptr, QStringLiteral("?"), QStringLiteral("Вопрос")));

    readButtonsThenPress(buttons, QMessageBox::Ok);
    platform->dialogs().notice(nullptr, QStringLiteral("Операция выполнена"),
                               QStringLiteral("Запустите программу снова"));
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0], QStringLiteral("ОК"));
}

TEST_F(RussianInterface, CalendarsShowRussianMonthsAndDays) {
    std::unique_ptr<QDateEdit> picker(controls::datePicker("DataMer"));
    picker->setDate(QDate(2026, 12, 7));
    EXPECT_EQ(picker->calendarWidget()->locale().language(), QLocale::Russian);
    EXPECT_EQ(picker->locale().standaloneMonthName(12), QStringLiteral("декабрь"));
    EXPECT_EQ(picker->locale().dayName(1, QLocale::ShortFormat), QStringLiteral("пн"));
}

TEST_F(RussianInterface, AMissingTranslationIsNoErrorAndTheLocaleIsStillRussian) {
    QTemporaryDir empty;
    EXPECT_FALSE(installRussianInterface(*qApp, empty.path()));
    EXPECT_EQ(QLocale().language(), QLocale::Russian);
    // Qt's buttons keep what was loaded before.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").remove(QLatin1Char('&')),
              QStringLiteral("Да"));
}
