// Not a test: shows a filled Result document and an exported list in a visible LibreOffice,
// for looking at them (e.g. under Xvfb). Usage: office_showcase <installation folder>
// [document|list] The one named last (the list by default) ends up in front.
#include "common/CardFactory.h"
#include "output/ExcelExport.h"
#include "output/OfficeTemplates.h"
#include "output/WordDocuments.h"
#include "platform/libreoffice/LibreOfficeSession.h"
#include "store/Installation.h"
#include "store/UnitGlo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace zelm;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: office_showcase <installation folder> [document|list]\n");
        return 2;
    }
    Installation inst(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(inst.path(QStringLiteral("Otveti")));
    QDir().mkpath(inst.path(QStringLiteral("WhodWord")));
    try {
        writeMissingOfficeTemplates(inst);
        LibreOfficeOptions options;
        options.profileFolder = inst.path(QStringLiteral("Temp/office-profile"));
        LibreOfficeSession office(options);
        TAnketa card = testing::makeCard(5);
        card.Otmetka.set(QStringLiteral("ОК"));
        const auto kind = resultDocumentKind(inst);
        const QString document = cardDocumentPath(kind, card.Klu4Form1);
        QFile::remove(document);
        auto showDocument = [&] {
            makeCardDocument(office, kind.templatePath, placeholderValues(card), document);
        };
        const bool documentLast = argc > 2 && qstrcmp(argv[2], "document") == 0;
        if (!documentLast)
            showDocument();
        QList<QStringList> rows{
            {QStringLiteral("Дата ОРМ"), QStringLiteral("Организация"), QStringLiteral("Повод"),
             QStringLiteral("Вид ОРМ"), QStringLiteral("Основание"), QStringLiteral("КУСП дата"),
             QStringLiteral("КУСП №"), QStringLiteral("Подраделение"), QStringLiteral("Провёл ФИО"),
             QStringLiteral("Утвердил ФИО"), QStringLiteral("Уник. №")}};
        for (int i = 0; i < 12; ++i) {
            const TAnketa c = testing::makeCard(i);
            rows << QStringList{PlainDateText(c.DataMer),
                                c.NameOrg.text(),
                                c.Povod.text(),
                                c.VidORM.text(),
                                c.Osnovan.text(),
                                PlainDateText(c.DateKUSP),
                                c.NomKUSP.text(),
                                c.Podrazd.text(),
                                c.FIOSotr.text(),
                                c.FIOUtv.text(),
                                QString::number(c.Klu4Form1)};
        }
        rows[3][1] = QStringLiteral("ООО \"Рога; копыта\"");
        ExportTable({static_cast<int>(rows.size()), 11, [&](int r, int c) { return rows[r][c]; }},
                    inst, QStringLiteral("2003"), office);
        if (documentLast)
            showDocument();
    } catch (const OfficeError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
