// The twelve list buttons of the card window: each opens its combo box's reference list in
// the list editor and, once the editor is closed, makes the edited text the combo box's list
// and stores it where the list is kept.
#include "cardwindow/CardWindowCommands.h"
#include "cardwindow/Form1Internal.h"
#include "cardwindow/ReferenceListEntries.h"
#include "cardwindow/TRedaktir.h"
#include "platform/Platform.h"
#include "store/ReferenceLists.h"
#include "store/SharedData.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QStyle>

namespace zelm {
namespace {

enum class Face { Glyph, Caption };

const QString kHint = QStringLiteral("Редактирование справочника");
const QString kHintCorrespondents = QStringLiteral("Редактирование справочника корреспондентов");

struct ListButton {
    QPushButton* Form1Ui::*button;
    Face face;
    QString caption; // the face's caption; empty for a glyph button
    QString hint;
    // The editor's title: fixed, or read from the group box framing the combo box, whose
    // caption may carry leading blanks that the title keeps.
    QString title;
    QGroupBox* Form1Ui::*titleGroup;
    const char* comboBox;
};

const std::array<ListButton, 12>& listButtons() {
    static const std::array<ListButton, 12> buttons = {{
        {&Form1Ui::PovorSpr, Face::Glyph, {}, kHint, {}, &Form1Ui::PovodGB, "Povod"},
        {&Form1Ui::VidORMSpr,
         Face::Glyph,
         {},
         kHintCorrespondents,
         {},
         &Form1Ui::VidOMGB,
         "VidORM"},
        {&Form1Ui::NazDokSpr, Face::Caption, QStringLiteral("Название"), kHintCorrespondents,
         QStringLiteral("Название документа"), nullptr, "Osnovan"},
        {&Form1Ui::FormSobsSpr,
         Face::Glyph,
         {},
         kHintCorrespondents,
         {},
         &Form1Ui::FormSobstGB,
         "FormSobs"},
        {&Form1Ui::PodrazdSpr,
         Face::Caption,
         QStringLiteral("Название"),
         kHintCorrespondents,
         {},
         &Form1Ui::PodrazdGB,
         "Podrazd"},
        {&Form1Ui::DolgnSpr, Face::Caption, QStringLiteral("Должность"), kHint,
         QStringLiteral("Должность проводившего ОРМ"), nullptr, "DolgSotr"},
        {&Form1Ui::ZvanSpr, Face::Caption, QStringLiteral("Звание"), kHint,
         QStringLiteral("Звание проводившего ОРМ"), nullptr, "ZvanSotr"},
        {&Form1Ui::FIOSpr, Face::Caption, QStringLiteral("ФИО"), kHint,
         QStringLiteral("ФИО проводившего ОРМ"), nullptr, "FIOSotr"},
        {&Form1Ui::BitBtn1,
         Face::Glyph,
         {},
         kHintCorrespondents,
         QStringLiteral("Формулировка КУСП"),
         nullptr,
         "FabKUSP"},
        {&Form1Ui::UtvDolgn, Face::Caption, QStringLiteral("Должность"), kHint,
         QStringLiteral("Должность утвердившего ОРМ"), nullptr, "DolgnUtv"},
        {&Form1Ui::UtvZvan, Face::Caption, QStringLiteral("Звание"), kHint,
         QStringLiteral("Звание утвердившего ОРМ"), nullptr, "ZvanUtv"},
        {&Form1Ui::UtvFIO, Face::Caption, QStringLiteral("ФИО"), kHint,
         QStringLiteral("ФИО утвердившего ОРМ"), nullptr, "FIOUtv"},
    }};
    return buttons;
}

const ReferenceListDef& listOfComboBox(const char* comboBox) {
    for (const ReferenceListDef& def : referenceLists())
        if (qstrcmp(def.comboBox, comboBox) == 0)
            return def;
    Q_UNREACHABLE();
}

void editReferenceList(TForm1& w, TRedaktir& editor, const ListButton& b) {
    auto* combo = w.findChild<QComboBox*>(QLatin1String(b.comboBox));
    const QString title = b.titleGroup ? (form1Ui(w).*b.titleGroup)->title() : b.title;

    const QStringList asRead = referenceEntries(combo);
    QString text;
    for (const QString& entry : asRead)
        text += entry + QLatin1Char('\n');
    const QString edited = editor.edit(title, text);

    // The editor cannot be cancelled: its text is the list from now on, saved or not.
    setReferenceEntries(combo, splitEditedList(edited));
    const ReferenceListDef& def = listOfComboBox(b.comboBox);
    w.runCommand([&] {
        // Another workstation's entries stored meanwhile are kept beside this one's.
        setReferenceEntries(
            combo, w.sharedData().writeReferenceList(def, asRead, referenceEntries(combo)));
    });
}

} // namespace

void wireReferenceListCommands(TForm1& form1, TRedaktir& editor) {
    TForm1* w = &form1;
    const QIcon glyph = w->style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    editor.setRefusalNotice(
        [w, e = &editor](const QString& refusal) { w->platform().dialogs().error(e, refusal); });
    for (const ListButton& b : listButtons()) {
        QPushButton* button = form1Ui(form1).*b.button;
        button->setToolTip(b.hint);
        if (b.face == Face::Glyph && !glyph.isNull()) {
            button->setIcon(glyph);
            button->setText(QString());
        } else if (b.face == Face::Caption) {
            button->setText(b.caption);
        }
        QObject::connect(button, &QPushButton::clicked, w,
                         [w, &editor, &b] { editReferenceList(*w, editor, b); });
    }
}

} // namespace zelm
