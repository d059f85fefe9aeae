#include "output/WordDocuments.h"

#include "platform/Platform.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/UnitGlo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

namespace zelm {

CardDocumentKind resultDocumentKind(const Installation& inst) {
    return {inst.path(QStringLiteral("Otveti/")),
            inst.path(QStringLiteral("Otveti/BlankFirma.doc")),
            QStringLiteral("Действие с Ответом к Карточке")};
}

CardDocumentKind noteDocumentKind(const Installation& inst) {
    return {inst.path(QStringLiteral("WhodWord/")), inst.path(QStringLiteral("WhodWord/Blank.doc")),
            QStringLiteral("Действие с Документом к Карточке")};
}

QString cardDocumentPath(const CardDocumentKind& kind, std::int32_t uniqueNumber) {
    return kind.folder + QString::number(uniqueNumber) + QStringLiteral(".doc");
}

QString cardDocumentCaption(const CardDocumentKind& kind, std::int32_t uniqueNumber) {
    return QFileInfo::exists(cardDocumentPath(kind, uniqueNumber)) ? QStringLiteral("Есть")
                                                                   : QStringLiteral("Нет");
}

CardBoxTexts shownBoxTexts(const TAnketa& card) {
    return {
        DateTimeText(card.DaWrSozd),        DateTimeText(card.DWKorr),       card.AdminFIO.text(),
        QString::number(card.GurN),         QString::number(card.Klu4Form1), card.Otmetka.text(),
        storedToMemo(card.Rezultat.text()), storedToMemo(card.Prime4.text())};
}

Placeholders placeholderValues(const TAnketa& c, const CardBoxTexts& boxes) {
    const QString blank = QStringLiteral(" ");
    auto p = [](const char* name) {
        return QLatin1Char('#') + QLatin1String(name) + QLatin1Char('#');
    };
    return {
        {p("DataMer"), PlainDateText(c.DataMer)},
        {p("INNOrg"), c.INNOrg.text()},
        {p("NameOrg"), c.NameOrg.text()},
        {p("FormSobs"), c.FormSobs.text()},
        {p("adres"), c.AdresOrg.text()},
        {p("DateKUSP"), PlainDateText(c.DateKUSP)},
        {p("NomKUSP"), c.NomKUSP.text()},
        {p("FabKUSP"), c.FabKUSP.text()},
        {p("Povod"), c.Povod.text()},
        {p("VidORM"), c.VidORM.text()},
        {p("Osnovan"), c.Osnovan.text()},
        {p("DataOsn"), PlainDateText(c.DataOsn)},
        {p("NomDokOsn"), c.NomDokOsn.text()},
        {p("ispolnitel"), c.Podrazd.text() + blank + c.DolgSotr.text() + blank + c.ZvanSotr.text() +
                              blank + c.FIOSotr.text()},
        {p("utverdil"), c.DolgnUtv.text() + blank + c.ZvanUtv.text() + blank + c.FIOUtv.text()},
        // The memos' line breaks become line breaks of the document.
        {p("Rezultat"), boxes.Rezultat},
        {p("Prime4"), boxes.Prime4},
        {p("DaWrSozd"), boxes.DaWrSozd},
        {p("DWKorr"), boxes.DWKorr},
        {p("AdminFIO"), boxes.AdminFIO},
        {p("GurN"), boxes.GurN},
        {p("Klu4Form1"), boxes.Klu4Form1},
        {p("Otmetka"), boxes.Otmetka},
    };
}

void WordReplace(WordApplication& word, const QString& placeholder, const QString& value) {
    word.findSetText(placeholder);
    word.replacementSetText(value);
    word.findExecuteReplaceAll();
}

void makeCardDocument(OfficeAutomation& office, const QString& templatePath,
                      const Placeholders& values, const QString& path) {
    auto word = office.createWord();
    word->documentsAdd(templatePath);
    for (const auto& [placeholder, value] : values)
        WordReplace(*word, placeholder, value);
    QDir().mkpath(QFileInfo(path).absolutePath());
    word->activeDocumentSaveAs(path);
    word->setVisible(true);
}

QString cardDocumentClick(const CardDocumentKind& kind, std::int32_t uniqueNumber,
                          const Placeholders& values, Platform& platform, QWidget* parent,
                          const ChoiceQuestion& ask) {
    const QString path = cardDocumentPath(kind, uniqueNumber);
    if (QFileInfo::exists(path)) {
        const int choice = ask(QStringLiteral("Редактировать"), QStringLiteral("Удалить"),
                               QStringLiteral("Ничего не делать"), kind.questionTitle);
        if (choice == 1) {
            platform.shell().openDocument(path);
        } else if (choice == 2) {
            // Left open, the document would keep its name taken in the office suite, and the
            // next click could not make it again.
            platform.office().closeOwnDocument(path);
            const QByteArray name = QFile::encodeName(path);
            if (std::remove(name.constData()) != 0)
                platform.dialogs().error(
                    parent, FileError(FileError::messageForErrno(errno), path).displayText());
        }
        return cardDocumentCaption(kind, uniqueNumber);
    }
    try {
        makeCardDocument(platform.office(), kind.templatePath, values, path);
    } catch (const OfficeError& e) {
        platform.dialogs().error(parent, e.message());
    }
    // A failure before the save leaves no document, and the caption says so.
    return cardDocumentCaption(kind, uniqueNumber);
}

void openCardDocumentTemplate(const CardDocumentKind& kind, Platform& platform) {
    platform.shell().openDocument(kind.templatePath);
}

} // namespace zelm
