// Qt's own dialogs speak Russian whatever the desktop's locale (ctest runs this under LANG=C).
// The message boxes are the real desktop ones, read and answered while they are open.
#include "platform/RussianInterface.h"
#include "platform/Platform.h"
#include "widgets/ControlFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>
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

// The desktop's file dialog, opened as the restore opens it: a folder's type, a file's size and
// the dates are Russian, and a file chosen in it comes back.
TEST_F(RussianInterface, TheFileDialogShowsRussianTypesSizesAndDates) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Backup"));
    QFile archive(dir.filePath(QStringLiteral("b0000001.zip")));
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.write(QByteArray(2048, 'x'));
    archive.close();
    auto platform = createDesktopPlatform();
    QMap<QString, QStringList> rows; // name: size, type, date as shown
    QStringList headers;
    // Read once the dialog is open and has listed the folder.
    std::function<void()> read = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* view = dialog ? dialog->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        if (!view || view->model()->rowCount(view->rootIndex()) < 2) {
            QTimer::singleShot(20, read);
            return;
        }
        QAbstractItemModel* model = view->model();
        const QModelIndex folder = view->rootIndex();
        for (int c = 0; c < 4; ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < model->rowCount(folder); ++r) {
            QStringList row;
            for (int c = 1; c < 4; ++c)
                row << model->index(r, c, folder).data().toString();
            rows[model->index(r, 0, folder).data().toString()] = row;
        }
        // As a user types the name and presses Enter.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QFileInfo(archive).fileName());
        QTest::keyClick(name, Qt::Key_Return);
    };
    QTimer::singleShot(0, read);
    const QString chosen =
        platform->dialogs().openFile(nullptr, QStringLiteral("Укажите файл резерва"), dir.path(),
                                     QStringLiteral("Резерв Архив zip (*.zip)"));
    EXPECT_EQ(chosen, archive.fileName());
    EXPECT_EQ(headers, (QStringList{"Имя", "Размер", "Тип", "Дата изменения"}));
    ASSERT_TRUE(rows.contains(QStringLiteral("Backup"))) << rows.keys().join(' ').toStdString();
    EXPECT_EQ(rows["Backup"][1], QStringLiteral("Папка"));
    ASSERT_TRUE(rows.contains(QStringLiteral("b0000001.zip")));
    const QStringList file = rows["b0000001.zip"];
    EXPECT_FALSE(file[0].contains(QStringLiteral("byte"))) << file[0].toStdString();
    EXPECT_TRUE(file[0].startsWith(QStringLiteral("2"))) << file[0].toStdString();
    EXPECT_EQ(file[2],
              QFileInfo(archive).lastModified().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    // The type of a file is its kind in words, in Russian: no Latin letters but the format's.
    EXPECT_FALSE(file[1].contains(QStringLiteral("archive"))) << file[1].toStdString();
}
