// The merge on RTF as LibreOffice and Word write it.
#include "reportf/RtfMerge.h"
#include "SampleData.h"
#include "reportf/ReportData.h"
#include "reportf/ReportError.h"
#include "reportf/RtfTemplate.h"
#include "reportf/RtfText.h"
#include "reportf/RtfTokenizer.h"
#include "store/Cp1251.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelm::reportf;

namespace {

ReportData listOfTwo() {
    ReportData d = ReportData::parse(sample::measureListFile(2), QStringLiteral("KnigaDat.txt"));
    d.addExpectedKeys(QStringLiteral("KnigaDat.txt"));
    return d;
}

QByteArray merge(const QByteArray& rtf, const ReportData& data) {
    const RtfTemplate t(rtf, [&](const QString& key) { return data.isKnownKey(key); });
    return mergeReport(t, data);
}

QByteArray asRtf(const QString& text) {
    QByteArray out;
    appendRtfText(out, text, 1);
    return out;
}

QString oneLine(QString s) {
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// LibreOffice 7.4: no \ansicpg, \uN\'3f, every run a group with a line feed after its control
// words, a placeholder split by a bold letter and by a bookmark, the page header twice, rows
// that repeat \trowd with \trpadd, a landscape page.
const char kLibreOffice[] = R"({\rtf1\ansi\deff3\adeflang1025
{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f3\froman\fprq2\fcharset0 Liberation Serif{\*\falt Times New Roman};}}
{\colortbl;\red0\green0\blue0;}
{\stylesheet{\s0\snext0\ql\widctlpar\ltrpar\cf0\f3\fs24\lang1049 Normal;}}
{\*\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}
{\info{\creatim\yr2026\mo12\dy6\hr9\min5}}{\*\userprops{\propname x}\proptype30{\staticval y}}\deftab709
{\*\pgdsctbl
{\pgdsc0\pgdscuse451\lndscpsxn\pgwsxn16838\pghsxn11906\marglsxn1134\margrsxn1134{\header \pard\plain \s0\ql{\loch
#wladelec#}\par}\pgdscnxt0 Default Page Style;}}
\formshade{\*\pgdscno0}\landscape\paperh11906\paperw16838\margl1134\margr1134\margt1134\margb1134\sectd\sbknone\sftnnar\lndscpsxn\pgwsxn16838\pghsxn11906\marglsxn1134\margrsxn1134{\header\pard\plain \s0\ql{\loch
#wladelec#}\par}\ftnbj\ftnstart1
{\*\ftnsep\chftnsep}\pgndec\pard\plain \s0\rtlch\af3\alang1081 \ltrch\lang1049\loch\f3\fs24\lang1049\ql\ltrpar{\loch
\u1042\'3f\u1083\'3f\u1072\'3f\u1076\'3f\u1077\'3f\u1083\'3f\u1077\'3f\u1094\'3f: }{\loch
#Na}{\loch\b\loch
m}{\loch
eOrg#}
\par \pard\plain \s0\ql\ltrpar{\loch
#IN}{\loch
{\*\bkmkstart bm1}NO}{\loch
{\*\bkmkend bm1}rg#}
\par \trowd\trql\ltrrow\trpaddft3\trpaddt0\trpaddfl3\trpaddl0\trpaddfb3\trpaddb0\trpaddfr3\trpaddr0\clbrdrt\brdrs\brdrw10\brdrcf1\cellx3213\cellx6425\pard\plain \s0\intbl\ql{\loch
\u1053\'3f\u1086\'3f\u1084\'3f}\cell\pard\plain \s0\intbl\ql{\loch
\u1054\'3f\u1088\'3f\u1075\'3f}\cell\row\pard\trowd\trql\ltrrow\trpaddft3\trpaddt0\trpaddfl3\trpaddl0\cellx3213\cellx6425\pard\plain \s0\intbl\ql{\loch
#n#}\cell\pard\plain \s0\intbl\ql{\loch
#NameOrg#}{\loch
 (#Unknown#, #DM#)}\cell\row\pard\pard\plain \s0\ql{\loch
\u1048\'3f\u1090\'3f\u1086\'3f\u1075\'3f #n#}
\par })";

// Word: \ansicpg1251, \fcharset204 fonts with \'hh text, \* groups, a field, and rows whose
// \row sits in a group of its own after a second \trowd.
const char kWord[] =
    R"({\rtf1\adeflang1025\ansi\ansicpg1251\uc1\adeff0\deff0\deflang1049\deflangfe1049
{\fonttbl{\f0\fbidi \froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;}{\f1\fbidi \fswiss\fcharset204\fprq2{\*\panose 020b0604020202020204}Arial;}}
{\colortbl;\red0\green0\blue0;}{\*\defchp \f0\fs24\lang1049\langfe1049}
{\stylesheet{\ql \li0\ri0\widctlpar\itap0 \rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \f0\fs24\lang1049 \snext0 \sqformat Normal;}}
{\*\rsidtbl \rsid1\rsid2}{\info{\title #wladelec#}{\author \'c8\'e2\'e0\'ed}}
{\*\xmlnstbl {\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}
\paperw11906\paperh16838\margl1701\margr850\margt1134\margb1134
\sectd \ltrsect\linex0\headery708\footery708\sectdefaultcl\sftnbj
\pard\plain \ltrpar\ql \li0\ri0\widctlpar\itap0 \rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \f0\fs24\lang1049 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1 \'c2\'eb\'e0\'e4\'e5\'eb\'e5\'f6: #wla}{\rtlch\fcs1 \af0 \ltrch\fcs0 \b\insrsid2 dele}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1 c#}{\field{\*\fldinst {\rtlch\fcs1 \af0 \ltrch\fcs0  PAGE }}{\fldrslt {\rtlch\fcs1 \af0 \ltrch\fcs0 1}}}{\*\bkmkstart x}{\*\bkmkend x}
\par \trowd \irow0\irowband0\ltrrow\ts11\trgaph108\trleft-108\trbrdrt\brdrs\brdrw10 \trpaddl108\trpaddr108\trpaddfl3\trpaddfr3\tblind0\tblindtype3 \clvertalt\clbrdrt\brdrs\brdrw10 \cltxlrtb\clftsWidth3\clwWidth4785 \cellx4677\clvertalt\cltxlrtb\clftsWidth3\clwWidth4786 \cellx9463\pard\plain \ltrpar\ql \li0\ri0\widctlpar\intbl \rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \f0\fs24\lang1049 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1 #n#\cell #Rezultat#\cell }\pard\plain \ltrpar\ql \li0\ri0\widctlpar\intbl \rtlch\fcs1 \af0\afs24 \ltrch\fcs0 \f0\fs24\lang1049 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1 \trowd \irow0\irowband0\lastrow \ltrrow\ts11\trgaph108\trleft-108\cellx4677\cellx9463\row }\pard \ltrpar\ql \li0\ri0\widctlpar\itap0 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1 \'c8\'f2\'ee\'e3
\par }})";

} // namespace

TEST(RtfMerge, LibreOfficeDocument) {
    const ReportData data = listOfTwo();
    const QByteArray merged = merge(kLibreOffice, data);
    const RtfText text = rtfText(merged);
    const QByteArray owner = asRtf(sample::kOwner);

    // Both copies of the page header are filled; nothing else of the page is lost.
    EXPECT_EQ(merged.count(owner), 2);
    EXPECT_FALSE(merged.contains("#wladelec#"));
    for (const char* kept : {"\\landscape", "\\lndscpsxn\\pgwsxn16838", "{\\*\\bkmkstart bm1}",
                             "{\\*\\bkmkend bm1}", "\\trpaddft3", "{\\*\\ftnsep\\chftnsep}"})
        EXPECT_TRUE(merged.contains(kept)) << kept;

    // Placeholders split by formatting and by a bookmark take the first card's values.
    EXPECT_TRUE(text.text.startsWith(QStringLiteral("Владелец: ООО «Ромашка-1»\n6900000001\n")))
        << text.text.toStdString();
    // The value stays in the group of the placeholder's first character, not the bold one.
    EXPECT_TRUE(merged.contains("{\\loch\n" + asRtf(QStringLiteral("ООО «Ромашка-1»")) + "}"));

    ASSERT_EQ(text.rows.size(), 3);
    EXPECT_EQ(text.rows[0], QStringList({"Ном", "Орг"}));
    EXPECT_EQ(text.rows[1], QStringList({"1", "ООО «Ромашка-1» (#Unknown#, 06.12.26)"}));
    EXPECT_EQ(text.rows[2], QStringList({"2", "ООО «Ромашка-2» (#Unknown#, 06.12.26)"}));
    EXPECT_TRUE(text.text.endsWith(QStringLiteral("Итог 1\n"))) << text.text.toStdString();
    EXPECT_EQ(merged.count("\\trowd"), 3);
}

TEST(RtfMerge, WordDocument) {
    const ReportData data = listOfTwo();
    const QByteArray merged = merge(kWord, data);
    const RtfText text = rtfText(merged);
    EXPECT_TRUE(text.text.startsWith(QStringLiteral("Владелец: ") + sample::kOwner + "1\n"))
        << text.text.toStdString();
    // Document properties are not document text.
    EXPECT_TRUE(merged.contains("{\\title #wladelec#}"));
    ASSERT_EQ(text.rows.size(), 2);
    for (int r = 0; r < 2; ++r) {
        const QString memo =
            oneLine(data.item(r, data.itemIndex(QStringLiteral("Rezultat")))); // three lines
        EXPECT_EQ(text.rows[r], QStringList({QString::number(r + 1), memo}));
        EXPECT_EQ(memo.count(QLatin1Char('\n')), 2);
    }
    // Each copy of the row carries Word's closing group with its own \trowd.
    EXPECT_EQ(merged.count("\\lastrow"), 2);
    EXPECT_TRUE(text.text.endsWith(QStringLiteral("Итог\n")));
}

TEST(RtfMerge, ValuesAreWrittenAsRtfText) {
    ReportData data = ReportData::parse(
        zelm::toCp1251(QStringLiteral("|0:a:{x} \\ Щ\r\nвторая\tтаб\r\n|0:empty:\r\n")),
        QStringLiteral("D"));
    const QByteArray t = "{\\rtf1\\ansi{\\b#a#x}\\par{\\uc2 #a#}\\par{\\uc0 #a#}\\par"
                         "{\\b#empty#x}\\par ##a## #b# #a#a#\\par}";
    const QByteArray merged = merge(t, data);
    const QString value = QStringLiteral("{x} \\ Щ\nвторая\tтаб");
    const RtfText text = rtfText(merged);
    EXPECT_EQ(text.text,
              value + "x\n" + value + "\n" + value + "\nx\n#" + value + "# #b# " + value + "a#\n");
    EXPECT_TRUE(merged.contains("{\\b \\{x\\} \\\\ \\u1065?\\line \\u1074?"));
    EXPECT_TRUE(merged.contains("{\\uc2 {\\uc1 \\{x\\} \\\\ \\u1065?\\line"));
    EXPECT_TRUE(merged.contains("{\\uc0 {\\uc1 \\{x\\} \\\\ \\u1065?\\line"));
    EXPECT_TRUE(merged.contains("{\\b x}"));
}

TEST(RtfMerge, RowsWithoutCardsAndNestedRows) {
    const QByteArray t = "{\\rtf1\\ansi #wladelec#\\par"
                         "\\trowd\\cellx100\\pard\\intbl #wladelec#\\cell\\row"
                         "\\trowd\\cellx100\\pard\\intbl #n# \\itap2 #NameOrg#\\nestcell"
                         "{\\*\\nesttableprops\\trowd\\cellx50\\nestrow}\\itap1\\cell\\row"
                         "\\pard #n#\\par}";
    const QByteArray two = merge(t, listOfTwo());
    const RtfText text = rtfText(two);
    ASSERT_EQ(text.rows.size(), 3);
    EXPECT_EQ(text.rows[1].value(0), QStringLiteral("1 ООО «Ромашка-1»"));
    EXPECT_EQ(text.rows[2].value(0), QStringLiteral("2 ООО «Ромашка-2»"));
    EXPECT_EQ(two.count("\\nesttableprops"), 2);

    // An empty Working card file: the card row goes, the title row and the owner stay.
    ReportData none = ReportData::parse(sample::measureListFile(0), QStringLiteral("K"));
    none.addExpectedKeys(QStringLiteral("KnigaDat.txt"));
    const QByteArray empty = merge(t, none);
    const RtfText emptyText = rtfText(empty);
    ASSERT_EQ(emptyText.rows.size(), 1);
    EXPECT_EQ(emptyText.rows[0], QStringList({sample::kOwner}));
    EXPECT_TRUE(emptyText.text.endsWith(QStringLiteral("\t\n\n"))) << emptyText.text.toStdString();
}

TEST(RtfMerge, DamagedTemplatesGiveAMessageNamingTheFile) {
    const ReportData data = listOfTwo();
    QTemporaryDir dir;
    const QList<QByteArray> damaged = {
        "{\\rtf1\\ansi {\\b #n#}}}\\par}", // unbalanced
        "{\\rtf1\\ansi {\\b #n#",          // cut short
        "{\\rtf1\\ansi \\'e",              // cut inside \'hh
        "{\\rtf1\\ansi \\",                // cut after a backslash
        "{\\rtf1\\ansi {\\pict\\bin20 abc}}",
        "PK\x03\x04 not rtf at all",
        "",
    };
    for (const QByteArray& bytes : damaged) {
        const QString path = dir.filePath(QStringLiteral("XPic.rtf"));
        sample::writeFile(path, bytes);
        try {
            readTemplate(path, data);
            ADD_FAILURE() << "accepted: " << bytes.constData();
        } catch (const ReportError& e) {
            EXPECT_TRUE(e.text().contains(path)) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(QStringLiteral("повреждён")));
        }
    }
    try {
        readTemplate(dir.filePath(QStringLiteral("NoPic.rtf")), data);
        ADD_FAILURE() << "a missing template was read";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("NoPic.rtf")));
    }
}

TEST(RtfMerge, TemplateCutAnywhereIsRefusedOrMergedWhole) {
    const ReportData data = listOfTwo();
    const QByteArray full = QByteArray(kLibreOffice) + QByteArray(kWord).mid(6);
    int refused = 0;
    for (qsizetype cut = 0; cut < full.size(); cut += 3) {
        const QByteArray part = full.first(cut) + "}";
        try {
            const QByteArray merged = merge(part, data);
            rtfText(merged); // what was accepted merges into readable RTF
        } catch (const RtfSyntaxError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

// Card rows one after another are shapes: each card takes the rows whose items it has, the
// empty paragraph before a row goes with it, and a column no card fills is left out with its
// width. Rows that only a brace pair could join stay apart, each repeated for every card.
TEST(RtfMerge, CardsChooseAmongRowsOneAfterAnotherAndUnfilledColumnsGo) {
    const QByteArray data = "|1:Nazv:Title|1:Zagolovok:|1:k1:A|1:Vsego:Total\r\n"
                            "|1:Nazv:one|1:Stroka:|1:k1:1|1:Vsego:2\r\n"
                            "|1:Nazv:two|1:Stroka:|1:k1:3|1:Vsego:4\r\n\r\n";
    ReportData d = ReportData::parse(data, QStringLiteral("StatDat.txt"));
    d.addExpectedKeys(QStringLiteral("StatDat.txt")); // k2 is known, and no card has it
    auto row = [](const char* marker) {
        return QByteArray("\\trowd\\cellx1000\\cellx2000\\cellx3000\\cellx4500\n"
                          "\\pard\\intbl #Nazv##") +
               marker +
               "#\\cell\\pard\\intbl #k1#\\cell\\pard\\intbl #k2#\\cell\\pard\\intbl "
               "#Vsego#\\cell\\row\n";
    };
    const QByteArray shapes =
        "{\\rtf1\\ansi\n" + row("Stroka") + "\\pard\\par\n" + row("Zagolovok") + "}";
    QByteArray merged = merge(shapes, d);
    RtfText text = rtfText(merged);
    const QList<QStringList> expected{
        {"Title", "A", "Total"}, {"one", "1", "2"}, {"two", "3", "4"}};
    EXPECT_EQ(text.rows, expected);
    EXPECT_EQ(merged.count("\\pard\\par"), 1) << "the paragraph before the titles' row, once";
    // The column goes with its width: the cells after it move left by as much.
    EXPECT_EQ(merged.count("\\cellx4500"), 0);
    EXPECT_EQ(merged.count("\\cellx3500"), 3);

    // Rows that only a brace pair could join stay apart, each repeated for every card.
    const QByteArray apart =
        "{\\rtf1\\ansi\n{" + row("Stroka") + "}{\\pard\\par\n" + row("Zagolovok") + "}}";
    text = rtfText(merge(apart, d));
    ASSERT_EQ(text.rows.size(), 6);
    EXPECT_EQ(text.rows[0].value(0), QStringLiteral("Title"));
    EXPECT_EQ(text.rows[3].value(0), QStringLiteral("Title"));
    EXPECT_EQ(text.rows[0].size(), 4) << "a lone card row keeps every column";
}
