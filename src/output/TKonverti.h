#pragma once
// The envelope window: the sender from the settings, the recipient as typed, and the check box
// that switches every report between preview and print. Made once; keeps what was typed.
#include "output/EnvelopeData.h"
#include "output/KonvertiUi.h"

#include <QDialog>

namespace zelm {

struct OfficeSettings;
class ReportLauncher;

class TKonverti : public QDialog {
    Q_OBJECT
public:
    // `settings` are the values read at start; they are read again at every opening.
    TKonverti(const OfficeSettings& settings, ReportLauncher& launcher, QWidget* parent = nullptr);

    // The card window's button Konvert: the sender from the settings, then the window, modal.
    void KonvertClick();
    // The first half of KonvertClick: the seven sender boxes take the settings' values.
    void fillSender();

    void PolovinaClick(); // envelope 162x227, report "KonA8"
    void TretClick();     // envelope 108x218, report "KonA9"
    void PredProClick();  // ticked: preview; cleared: print at once

    EnvelopeFields fields() const; // the boxes as shown
    const KonvertiUi& ui() const { return m_ui; }

private:
    bool printEnvelope(const QString& report);

    const OfficeSettings& m_settings;
    ReportLauncher& m_launcher;
    KonvertiUi m_ui{};
};

} // namespace zelm
