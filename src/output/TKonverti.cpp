#include "output/TKonverti.h"

#include "output/ReportLauncher.h"
#include "platform/Platform.h"
#include "store/FileError.h"
#include "store/Settings.h"
#include "widgets/TdxfColorButton.h"

#include <QCheckBox>
#include <QLineEdit>

namespace zelm {

TKonverti::TKonverti(const OfficeSettings& settings, ReportLauncher& launcher, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_launcher(launcher) {
    setObjectName(QStringLiteral("Konverti"));
    setWindowTitle(QStringLiteral("На конверт напечатать информацию"));
    buildKonvertiLayout(this, m_ui);
    connect(m_ui.Polovina, &TdxfColorButton::clicked, this, &TKonverti::PolovinaClick);
    connect(m_ui.Tret, &TdxfColorButton::clicked, this, &TKonverti::TretClick);
    // Only a click changes the mode, so the box and the mode agree only through clicks.
    connect(m_ui.PredPro, &QCheckBox::clicked, this, &TKonverti::PredProClick);
}

void TKonverti::fillSender() {
    m_ui.Firma->setText(m_settings.Firma);
    m_ui.Dolgnost->setText(m_settings.Dolgnost);
    m_ui.Gorod->setText(m_settings.Gorod);
    m_ui.OblKr->setText(m_settings.OblKr);
    m_ui.Raion->setText(m_settings.Raion);
    m_ui.UlDomKv->setText(m_settings.UlDomKv);
    m_ui.PochtInd->setText(m_settings.PochtInd);
}

void TKonverti::KonvertClick() {
    fillSender();
    exec();
}

EnvelopeFields TKonverti::fields() const {
    EnvelopeFields f;
    f.Firma = m_ui.Firma->text();
    f.Gorod = m_ui.Gorod->text();
    f.OblKr = m_ui.OblKr->text();
    f.UlDomKv = m_ui.UlDomKv->text();
    f.PochtInd = m_ui.PochtInd->text();
    f.FIOKomu = m_ui.FIOKomu->text();
    f.DolgnKomu = m_ui.DolgnKomu->text();
    f.NazvOrgan = m_ui.NazvOrgan->text();
    f.GorodKomu = m_ui.GorodKomu->text();
    f.OblKomu = m_ui.OblKomu->text();
    f.RaionKomu = m_ui.RaionKomu->text();
    f.UlKvKomu = m_ui.UlKvKomu->text();
    f.IndexKomu = m_ui.IndexKomu->text();
    return f;
}

bool TKonverti::printEnvelope(const QString& report) {
    try {
        writeEnvelopeData(fields(), m_launcher.dataFile(report));
    } catch (const FileError& e) {
        m_launcher.platform().dialogs().error(this, e.displayText());
        return false;
    }
    return m_launcher.launch(report, this);
}

void TKonverti::PolovinaClick() {
    printEnvelope(QStringLiteral("KonA8"));
}

void TKonverti::TretClick() {
    printEnvelope(QStringLiteral("KonA9"));
}

void TKonverti::PredProClick() {
    m_launcher.setReportMode(m_ui.PredPro->isChecked() ? QStringLiteral("Prosm")
                                                       : QStringLiteral("Molcha"));
}

} // namespace zelm
