#include "cardwindow/CardTextCheck.h"

#include "cardwindow/Form1Internal.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "widgets/Cp1251Guard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace zelm {

QList<std::pair<QWidget*, QString>> cardTextFields(const Form1Ui& ui) {
    const auto field = [](QWidget* w, const char* name) {
        return std::pair<QWidget*, QString>(
            w, QStringLiteral("Поле «%1»").arg(QString::fromUtf8(name)));
    };
    return {
        field(ui.INNOrg, "ИНН организации"),
        field(ui.NameOrg, "Наименование организации"),
        field(ui.FormSobs, "Форма собственности"),
        field(ui.AdresOrg, "Адрес организации"),
        field(ui.Povod, "Повод для проведения мероприятия"),
        field(ui.VidORM, "Вид ОРМ"),
        field(ui.Osnovan, "Название документа"),
        field(ui.NomDokOsn, "№ Документа"),
        field(ui.NomKUSP, "Номер КУСП"),
        field(ui.FabKUSP, "Формулировка КУСП"),
        field(ui.Podrazd, "Подразделение, проводившее ОРМ"),
        field(ui.DolgSotr, "Должность проводившего ОРМ"),
        field(ui.ZvanSotr, "Звание проводившего ОРМ"),
        field(ui.FIOSotr, "ФИО проводившего ОРМ"),
        field(ui.DolgnUtv, "Должность утвердившего ОРМ"),
        field(ui.ZvanUtv, "Звание утвердившего ОРМ"),
        field(ui.FIOUtv, "ФИО утвердившего ОРМ"),
        field(ui.Rezultat, "Результат"),
        field(ui.Prime4, "Примечание"),
        field(ui.Otmetka, "Отметка"),
    };
}

void watchCardTextFields(TForm1& w) {
    TForm1* window = &w;
    for (const auto& [field, what] : cardTextFields(form1Ui(w)))
        refuseUnencodableOnLeave(field, what, [window](const QString& m) {
            window->platform().dialogs().error(window, m);
        });
}

void requireStorableCardText(const Form1Ui& ui) {
    const QString refusal = firstUnencodableField(cardTextFields(ui));
    if (!refusal.isEmpty())
        throw ConversionError(refusal);
}

} // namespace zelm
