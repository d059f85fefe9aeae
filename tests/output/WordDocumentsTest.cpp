// The card's documents without a word processor: the placeholder values, the calls made to
// Word, and the three-way question on an existing document.
#include "output/WordDocuments.h"
#include "common/CardFactory.h"
#include "common/FileBytes.h"
#include "common/ScriptedPlatform.h"
#include "output/OfficeTemplates.h"
#include "store/Installation.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

TEST(Placeholders, TwentyThreeInOrderWithTheValuesTheCardWindowShows) {
    TAnketa card = makeCard(4);
    card.ZvanSotr.clear();
    card.Otmetka.set(QStringLiteral("Ж"));
    const Placeholders values = placeholderValues(card);
    ASSERT_EQ(values.size(), 23);
    QStringList names;
    for (const auto& v : values)
        names << v.first;
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              QStringLiteral("#DataMer# #INNOrg# #NameOrg# #FormSobs# #adres# #DateKUSP# "
                             "#NomKUSP# #FabKUSP# #Povod# #VidORM# #Osnovan# #DataOsn# "
                             "#NomDokOsn# #ispolnitel# #utverdil# #Rezultat# #Prime4# "
                             "#DaWrSozd# #DWKorr# #AdminFIO# #GurN# #Klu4Form1# #Otmetka#"));
    auto value = [&](const char* name) {
        for (const auto& v : values)
            if (v.first == QLatin1Char('#') + QLatin1String(name) + QLatin1Char('#'))
                return v.second;
        return QStringLiteral("?");
    };
    EXPECT_EQ(value("DataMer"), QStringLiteral("29.01.2024"));
    EXPECT_EQ(value("DateKUSP"), QStringLiteral("26.01.2024"));
    EXPECT_EQ(value("adres"), card.AdresOrg.text());
    // The empty rank keeps both of its blanks.
    EXPECT_EQ(value("ispolnitel"), QStringLiteral("ОЭБиПК УМВД оперуполномоченный  Смирнова А.Н."));
    EXPECT_EQ(value("utverdil"),
              QStringLiteral("начальник отдела подполковник полиции Сидоренко П.А."));
    EXPECT_EQ(value("Rezultat"),
              QStringLiteral("Проведено мероприятие.\nМатериалы приобщены к делу №4."));
    EXPECT_EQ(value("DaWrSozd"), QStringLiteral("29.01.24 12:00"));
    EXPECT_EQ(value("GurN"), QStringLiteral("5"));
    EXPECT_EQ(value("Klu4Form1"), QStringLiteral("600000004"));
    EXPECT_EQ(value("Otmetka"), QStringLiteral("Ж"));

    // Boxes the window shows differently (a blank card) are taken as shown.
    CardBoxTexts boxes = shownBoxTexts(card);
    boxes.DaWrSozd = QStringLiteral("08.12.2026");
    EXPECT_EQ(placeholderValues(card, boxes)[17].second, QStringLiteral("08.12.2026"));
}

class CardDocumentClick : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Installation inst{dir.path()};
    ScriptedPlatform platform;
    CardDocumentKind kind = resultDocumentKind(inst);
    QString path = inst.path(QStringLiteral("Otveti/600000004.doc"));
    QStringList asked;
    int answer = 0;

    QString click() {
        return cardDocumentClick(
            kind, 600000004, placeholderValues(makeCard(4)), platform, nullptr,
            [this](const QString& a, const QString& b, const QString& c, const QString& title) {
                asked << a << b << c << title;
                return answer;
            });
    }
};

TEST_F(CardDocumentClick, WithoutADocumentWordFillsTheTemplateThenSavesAndShowsIt) {
    EXPECT_EQ(path, cardDocumentPath(kind, 600000004));
    click();
    EXPECT_TRUE(asked.isEmpty());
    const QStringList& calls = platform.officeCalls;
    ASSERT_EQ(calls.size(), 2 + 23 * 3 + 2);
    EXPECT_EQ(calls[0], QStringLiteral("Word.Application"));
    EXPECT_EQ(calls[1], QStringLiteral("Documents.Add ") +
                            inst.path(QStringLiteral("Otveti/BlankFirma.doc")));
    EXPECT_EQ(calls[2], QStringLiteral("Find.Text #DataMer#"));
    EXPECT_EQ(calls[3], QStringLiteral("Find.Replacement.Text 29.01.2024"));
    EXPECT_EQ(calls[4], QStringLiteral("Find.Execute Replace=2"));
    EXPECT_EQ(calls[calls.size() - 2], QStringLiteral("ActiveDocument.SaveAs ") + path);
    EXPECT_EQ(calls.last(), QStringLiteral("Visible true"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(CardDocumentClick, AnOfficeFailureIsShownAndTheCaptionSaysThereIsNoDocument) {
    platform.officeFails = true;
    EXPECT_EQ(click(), QStringLiteral("Нет"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].kind, ShownMessage::Error);
}

TEST_F(CardDocumentClick, AnExistingDocumentIsEditedDeletedOrLeftAsTheUserChooses) {
    writeBytes(path, "{\\rtf1 x}");
    answer = 1;
    EXPECT_EQ(click(), QStringLiteral("Есть"));
    EXPECT_EQ(asked, QStringList({QStringLiteral("Редактировать"), QStringLiteral("Удалить"),
                                  QStringLiteral("Ничего не делать"),
                                  QStringLiteral("Действие с Ответом к Карточке")}));
    EXPECT_EQ(platform.shellCalls, QStringList{QStringLiteral("open ") + path});
    EXPECT_TRUE(platform.officeCalls.isEmpty());

    for (int nothing : {3, 0}) {
        answer = nothing;
        platform.clearRecords();
        EXPECT_EQ(click(), QStringLiteral("Есть")) << nothing;
        EXPECT_TRUE(platform.shellCalls.isEmpty() && platform.officeCalls.isEmpty());
        EXPECT_TRUE(QFile::exists(path));
    }

    answer = 2;
    platform.clearRecords();
    EXPECT_EQ(click(), QStringLiteral("Нет"));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(platform.officeCalls, QStringList{QStringLiteral("Close ") + path});
    // The next click makes a fresh document.
    platform.clearRecords();
    click();
    EXPECT_EQ(platform.officeCalls.value(0), QStringLiteral("Word.Application"));
}

TEST_F(CardDocumentClick, ADocumentThatCannotBeDeletedIsReportedAndStays) {
    // A folder in the document's place cannot be removed as a file.
    QDir().mkpath(path + QStringLiteral("/inside"));
    answer = 2;
    EXPECT_EQ(click(), QStringLiteral("Есть"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].kind, ShownMessage::Error);
    EXPECT_TRUE(platform.messages[0].text.contains(path));
}

TEST_F(CardDocumentClick, TheNoteDocumentHasItsOwnFolderTemplateAndQuestion) {
    CardDocumentKind note = noteDocumentKind(inst);
    EXPECT_EQ(cardDocumentPath(note, 12), inst.path(QStringLiteral("WhodWord/12.doc")));
    EXPECT_EQ(note.templatePath, inst.path(QStringLiteral("WhodWord/Blank.doc")));
    EXPECT_EQ(note.questionTitle, QStringLiteral("Действие с Документом к Карточке"));
    openCardDocumentTemplate(note, platform);
    openCardDocumentTemplate(kind, platform);
    EXPECT_EQ(platform.shellCalls, QStringList({QStringLiteral("open ") + note.templatePath,
                                                QStringLiteral("open ") + kind.templatePath}));
}

TEST(OfficeTemplates, MissingTemplatesAreWrittenAndEditedOnesKept) {
    QTemporaryDir dir;
    Installation inst(dir.path());
    writeBytes(inst.path(QStringLiteral("WhodWord/Blank.doc")), "owner's own");
    writeMissingOfficeTemplates(inst);
    QFile firma(inst.path(QStringLiteral("Otveti/BlankFirma.doc")));
    ASSERT_TRUE(firma.open(QIODevice::ReadOnly));
    const QByteArray rtf = firma.readAll();
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    for (const auto& [placeholder, value] : placeholderValues(makeCard(1)))
        EXPECT_TRUE(rtf.contains(placeholder.toLatin1())) << placeholder.toStdString();
    QFile blank(inst.path(QStringLiteral("WhodWord/Blank.doc")));
    ASSERT_TRUE(blank.open(QIODevice::ReadOnly));
    EXPECT_EQ(blank.readAll(), QByteArray("owner's own"));
}

} // namespace
} // namespace zelm::testing
