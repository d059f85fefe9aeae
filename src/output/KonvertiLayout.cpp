#include "output/KonvertiUi.h"

#include "widgets/ControlFactory.h"
#include "widgets/TdxfColorButton.h"

#include <QCheckBox>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zelm {
namespace {

using controls::group;
using controls::named;

// One labelled row of a postal-details group; the label is named after its box.
QLineEdit* addRow(QFormLayout* form, const char* name, const QString& label) {
    QLineEdit* edit = controls::lineEdit(name);
    edit->setMinimumWidth(220);
    auto* caption = new QLabel(label);
    caption->setObjectName(QLatin1String("Label") + QLatin1String(name));
    caption->setBuddy(edit);
    form->addRow(caption, edit);
    return edit;
}

// The heading inside a group: "От кого", "Кому".
QLabel* heading(const char* name, const QString& text) {
    auto* label = named(new QLabel(text), name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QFormLayout* detailsForm(QGroupBox* box, const char* headingName, const QString& headingText) {
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(6, 4, 6, 6);
    l->setSpacing(4);
    l->addWidget(heading(headingName, headingText));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(6);
    form->setVerticalSpacing(3);
    l->addLayout(form);
    l->addStretch(1);
    return form;
}

TdxfColorButton* envelopeButton(const char* name, const QString& caption) {
    return controls::colourButton(name, {caption}, QString(), QColor(255, 255, 192),
                                  QSize(150, 40));
}

} // namespace

void buildKonvertiLayout(QWidget* window, KonvertiUi& ui) {
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    const QString town = QStringLiteral("Город");
    const QString region = QStringLiteral("Обл/край/респ");
    const QString district = QStringLiteral("Район");
    const QString street = QStringLiteral("улица д.к.кв.");
    const QString postcode = QStringLiteral("Индекс");
    const QString name = QStringLiteral("ФИО");
    const QString post = QStringLiteral("Должность");

    ui.OtKogo = group("OtKogo", QString());
    {
        QFormLayout* f = detailsForm(ui.OtKogo, "LabelOtKogo", QStringLiteral("От кого"));
        ui.Firma = addRow(f, "Firma", name);
        ui.Dolgnost = addRow(f, "Dolgnost", post);
        ui.Gorod = addRow(f, "Gorod", town);
        ui.OblKr = addRow(f, "OblKr", region);
        ui.Raion = addRow(f, "Raion", district);
        ui.UlDomKv = addRow(f, "UlDomKv", street);
        ui.PochtInd = addRow(f, "PochtInd", postcode);
    }
    ui.Komu = group("Komu", QStringLiteral("Почтовые реквизиты получателя письма"));
    {
        QFormLayout* f = detailsForm(ui.Komu, "LabelKomu", QStringLiteral("Кому"));
        ui.FIOKomu = addRow(f, "FIOKomu", name);
        ui.DolgnKomu = addRow(f, "DolgnKomu", post);
        ui.NazvOrgan = addRow(f, "NazvOrgan", QStringLiteral("Название организации"));
        ui.GorodKomu = addRow(f, "GorodKomu", town);
        ui.OblKomu = addRow(f, "OblKomu", region);
        ui.RaionKomu = addRow(f, "RaionKomu", district);
        ui.UlKvKomu = addRow(f, "UlKvKomu", street);
        ui.IndexKomu = addRow(f, "IndexKomu", postcode);
    }
    auto* addresses = new QHBoxLayout;
    addresses->addWidget(ui.OtKogo, 1);
    addresses->addWidget(ui.Komu, 1);
    outer->addLayout(addresses, 1);

    // The caption's "1/2" and "1/3" stand above the two envelope buttons.
    ui.Pe4at = group("Pe4at", QStringLiteral("Печать на конвертах                             1/2"
                                             "                       1/3"));
    ui.PredPro = named(new QCheckBox(QStringLiteral("Предварительный просмотр")), "PredPro",
                       QStringLiteral("Включить или Выключить"));
    ui.PredPro->setChecked(true);
    // A Latin "x" in the first caption and a Cyrillic "х" in the second, as they always were.
    ui.Polovina = envelopeButton("Polovina", QStringLiteral("Конверт 162x227"));
    ui.Tret = envelopeButton("Tret", QStringLiteral("Конверт 108\u0445218"));
    auto* pl = new QHBoxLayout(ui.Pe4at);
    pl->setContentsMargins(8, 6, 8, 6);
    pl->setSpacing(12);
    pl->addWidget(ui.PredPro);
    pl->addStretch(1);
    pl->addWidget(ui.Polovina);
    pl->addWidget(ui.Tret);
    outer->addWidget(ui.Pe4at);
}

} // namespace zelm
