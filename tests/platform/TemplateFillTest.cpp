// Filling a card document from templates of the four kinds users keep under a .doc name, with
// the real LibreOffice: every placeholder replaced everywhere, the file saved in its own format.
#include "OfficeTestSupport.h"
#include "common/CardFactory.h"
#include "output/WordDocuments.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

// All 23 placeholders: #NameOrg# split across three formatting runs, #GurN# twice,
// #Klu4Form1# only in the page header, #Rezultat# receiving a memo with a line break.
QByteArray templateRtf() {
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New "
        "Roman;}}\r\n{\\header\\pard\\plain " +
        rtfText(QStringLiteral("Карточка #Klu4Form1#")) + "\\par}\r\n";
    auto line = [&](const QByteArray& body) { rtf += "\\pard\\plain " + body + "\\par\r\n"; };
    line(rtfText(QStringLiteral("Организация: ")) + "#Na{\\b m}{\\i eOrg#}");
    line(rtfText(QStringLiteral("Рег. № #GurN#, повторно #GurN#.")));
    for (const char* name :
         {"DataMer",  "INNOrg", "FormSobs", "adres",   "DateKUSP",  "NomKUSP",    "FabKUSP",
          "Povod",    "VidORM", "Osnovan",  "DataOsn", "NomDokOsn", "ispolnitel", "utverdil",
          "Rezultat", "Prime4", "DaWrSozd", "DWKorr",  "AdminFIO",  "Otmetka"})
        line(rtfText(QStringLiteral("Поле: #%1#").arg(QLatin1String(name))));
    rtf += "}\r\n";
    return rtf;
}

struct Kind {
    const char* name;
    const char* filter; // how the test makes the template from RTF
    QByteArray start;   // how the saved document begins
    QByteArray marker;  // what else it holds
};

void PrintTo(const Kind& kind, std::ostream* os) {
    *os << kind.name;
}

class TemplateFillTest : public ::testing::TestWithParam<Kind> {};

TEST_P(TemplateFillTest, EveryPlaceholderTakesTheCardsValueAndTheFileKeepsItsFormat) {
    const Kind kind = GetParam();
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("BlankFirma.doc"));
    makeDocument(templ, templateRtf(), QLatin1String(kind.filter));

    TAnketa card = makeCard(7);
    card.Otmetka.set(QStringLiteral("ОК"));
    const Placeholders values = placeholderValues(card);
    const QString out = dir.filePath(QStringLiteral("Otveti/600000007.doc"));
    makeCardDocument(testOffice(), templ, values, out);

    QFile saved(out);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(bytes.startsWith(kind.start)) << kind.name;
    EXPECT_TRUE(bytes.contains(kind.marker)) << kind.name;

    const QString text = testOffice().documentText(out);
    for (const auto& [placeholder, value] : values) {
        if (placeholder == QLatin1String("#Rezultat#")) {
            EXPECT_TRUE(text.contains(QStringLiteral("Проведено мероприятие.")));
            EXPECT_TRUE(text.contains(QStringLiteral("Материалы приобщены к делу №7.")));
        } else {
            EXPECT_TRUE(text.contains(value)) << placeholder.toStdString() << " in " << kind.name;
        }
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Организация: ") + card.NameOrg.text()));
    EXPECT_TRUE(text.contains(QStringLiteral("Рег. № 8, повторно 8.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Карточка 600000007"))) << "page header";
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("#[A-Za-z0-9]+#"))))
        << text.toStdString();
    // The memo's line break stays a break, not a literal character or a lost one.
    EXPECT_FALSE(text.contains(QStringLiteral("Проведено мероприятие.Материалы")));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TemplateFillTest,
    ::testing::Values(Kind{"Rtf", "Rich Text Format", QByteArray("{\\rtf"), QByteArray("\\par")},
                      Kind{"Docx", "MS Word 2007 XML", QByteArray("PK\x03\x04", 4),
                           QByteArray("word/document.xml")},
                      Kind{"Odt", "writer8", QByteArray("PK\x03\x04", 4),
                           QByteArray("application/vnd.oasis.opendocument.text")},
                      Kind{"Word97", "MS Word 97", QByteArray("\xD0\xCF\x11\xE0", 4),
                           QByteArray("W\0o\0r\0d\0D\0o\0c\0u\0m\0e\0n\0t\0", 24)}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zelm::testing
