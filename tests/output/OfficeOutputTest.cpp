// The export, the default templates and the help document in the real LibreOffice.
#include "OfficeTestSupport.h"
#include "cardwindow/HelpDocument.h"
#include "common/CardFactory.h"
#include "common/ScriptedPlatform.h"
#include "output/ExcelExport.h"
#include "output/OfficeTemplates.h"
#include "output/WordDocuments.h"
#include "store/Installation.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

TEST(ExportInCalc, EveryCellLandsInItsColumnWithItsCyrillicText) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    const QList<QStringList> rows{
        {QStringLiteral("Дата ОРМ"), QStringLiteral("Организация"), QStringLiteral("Уник. №")},
        {QStringLiteral("01.02.2024"), QStringLiteral("ООО \"Рога; копыта\""),
         QStringLiteral("600000001")},
        {QStringLiteral("15.03.2025"), QStringLiteral("ИП Ёлкин; склад №2"), QString(260, u'Щ')}};
    ExportGrid grid{3, 3, [&](int r, int c) { return rows[r][c]; }};
    LibreOfficeSession& office = testOffice();
    ExportTable(grid, inst, QStringLiteral("2003"), office);
    const QList<QStringList> cells = office.lastWorkbookCells(3, 4);
    EXPECT_EQ(cells[0], rows[0] + QStringList{QString()});
    EXPECT_EQ(cells[1].mid(1), rows[1].mid(1) + QStringList{QString()});
    EXPECT_EQ(cells[2].mid(1), rows[2].mid(1) + QStringList{QString()});
    // Dates are read as Russian dates, day first.
    EXPECT_EQ(cells[1][0],
              QStringLiteral("01.02.24")); // the first of February, shown as Russian Calc does

    // The same export again opens a second, fresh workbook of the new file.
    QList<QStringList> changed = rows;
    changed[1][1] = QStringLiteral("Другая организация");
    ExportGrid again{3, 3, [&](int r, int c) { return changed[r][c]; }};
    ExportTable(again, inst, QStringLiteral("2003"), office);
    EXPECT_EQ(office.lastWorkbookCells(2, 2)[1][1], QStringLiteral("Другая организация"));
}

TEST(DefaultTemplates, FilledFromACardTheyKeepNoPlaceholder) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    writeMissingOfficeTemplates(inst);
    TAnketa card = makeCard(11);
    card.Otmetka.set(QStringLiteral("ДА"));
    const Placeholders values = placeholderValues(card);
    for (const CardDocumentKind& kind : {resultDocumentKind(inst), noteDocumentKind(inst)}) {
        const QString path = cardDocumentPath(kind, card.Klu4Form1);
        makeCardDocument(testOffice(), kind.templatePath, values, path);
        const QString text = testOffice().documentText(path);
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("#[A-Za-z0-9]+#"))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(card.NameOrg.text())) << kind.templatePath.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("600000011")));
    }
    const QString letter =
        testOffice().documentText(cardDocumentPath(resultDocumentKind(inst), card.Klu4Form1));
    for (const auto& [placeholder, value] : values)
        EXPECT_TRUE(letter.contains(value.section(QLatin1Char('\n'), 0, 0)))
            << placeholder.toStdString();
}

// The scripted platform with the real LibreOffice behind its Office calls.
class LibreOfficePlatform : public Platform {
public:
    Dialogs& dialogs() override { return scripted.dialogs(); }
    Shell& shell() override { return scripted.shell(); }
    OfficeAutomation& office() override { return testOffice(); }
    KeyboardLayout& keyboard() override { return scripted.keyboard(); }
    WindowPrinter& printer() override { return scripted.printer(); }
    ScriptedPlatform scripted;
};

TEST(CardDocumentInLibreOffice, DeletedWhileShownItIsClosedThereAndTheNextClickMakesItAgain) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    writeMissingOfficeTemplates(inst);
    LibreOfficePlatform platform;
    const CardDocumentKind kind = noteDocumentKind(inst);
    TAnketa card = makeCard(12);
    const QString path = cardDocumentPath(kind, card.Klu4Form1);
    int answer = 0;
    auto click = [&] {
        return cardDocumentClick(
            kind, card.Klu4Form1, placeholderValues(card), platform, nullptr,
            [&](const QString&, const QString&, const QString&, const QString&) { return answer; });
    };
    auto shown = [&] {
        return platform.scripted.messages.isEmpty()
                   ? std::string()
                   : platform.scripted.messages[0].text.toStdString();
    };
    EXPECT_EQ(click(), QStringLiteral("Есть"));
    answer = 2;
    EXPECT_EQ(click(), QStringLiteral("Нет"));
    EXPECT_FALSE(QFile::exists(path));

    card.NameOrg.set(QStringLiteral("ООО «Новая организация»"));
    answer = 0;
    EXPECT_EQ(click(), QStringLiteral("Есть"));
    EXPECT_TRUE(platform.scripted.messages.isEmpty()) << shown();
    EXPECT_TRUE(
        testOffice().documentText(path).contains(QStringLiteral("ООО «Новая организация»")));

    // The same document opened there by someone else stays open, and is reported.
    LibreOfficeOptions options;
    options.profileFolder = QStringLiteral(ZELM_TEST_OFFICE_PROFILE);
    options.headless = true;
    LibreOfficeSession user(options);
    auto theirs = user.createWord();
    theirs->documentsOpen(path);
    theirs->setVisible(true);
    answer = 2;
    EXPECT_EQ(click(), QStringLiteral("Нет"));
    EXPECT_TRUE(platform.scripted.messages.isEmpty()) << shown();
    answer = 0;
    EXPECT_EQ(click(), QStringLiteral("Нет"));
    ASSERT_EQ(platform.scripted.messages.size(), 1);
    EXPECT_TRUE(platform.scripted.messages[0].text.startsWith(
        QStringLiteral("Документ открыт в LibreOffice")))
        << shown();
}

TEST(HelpDocument, TheNetworkHelpSelectsTheSecondIfYouHaveANetwork) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    QDir().mkpath(inst.path(QStringLiteral("Help")));
    installHelpDocument(inst);
    LibreOfficePlatform platform;
    openNetworkHelp(platform, inst);
    const QString phrase = QStringLiteral("Если у Вас сеть");
    const auto selection = testOffice().lastWordSelection();
    EXPECT_EQ(selection.text, phrase);
    EXPECT_EQ(selection.before.count(phrase), 1);
    EXPECT_TRUE(selection.before.contains(QStringLiteral("Хранятся десять последних копий")));
    EXPECT_TRUE(selection.before.contains(QStringLiteral("«Сервис» → «Пароли»")));
    EXPECT_TRUE(selection.inView) << "the window shows where the section begins";
    EXPECT_TRUE(platform.scripted.messages.isEmpty());
}

} // namespace
} // namespace zelm::testing
