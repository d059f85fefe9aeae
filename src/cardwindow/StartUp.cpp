// The start-up of the card window: data files, the last card, the list of all cards,
// the reference lists and the settings files. A failing step is shown and ends the start-up;
// the window opens prepared as far as it got.
#include "cardwindow/CardListModel.h"
#include "cardwindow/Form1Ui.h"
#include "cardwindow/ReferenceListEntries.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "store/ColourText.h"
#include "store/FileError.h"
#include "store/Records.h"
#include "store/ReferenceLists.h"
#include "store/Settings.h"
#include "store/SharedData.h"
#include "store/TextFiles.h"
#include "widgets/Colours.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

namespace zelm {

void TForm1::loadReferenceLists() {
    for (const ReferenceListDef& def : referenceLists()) {
        auto* combo = findChild<QComboBox*>(QLatin1String(def.comboBox));
        setReferenceEntries(combo, m_shared.referenceList(def));
    }
}

bool TForm1::reloadReferenceList(const QString& fileName) {
    for (const ReferenceListDef& def : referenceLists()) {
        if (fileName != QLatin1String(def.file))
            continue;
        auto* combo = findChild<QComboBox*>(QLatin1String(def.comboBox));
        setReferenceEntries(combo, m_shared.referenceList(def));
        return true;
    }
    return false;
}

void TForm1::reloadMainList() {
    m_ui->mainList->showRegister(m_session.cardRegister(), RegisterFile::Main);
    m_session.seekMain(m_session.mainCount());
}

void TForm1::runStartUp() {
    const Installation& inst = m_session.installation();
    try {
        // The window: no close button, the Russian keyboard layout.
        setWindowFlag(Qt::WindowCloseButtonHint, false);
        m_platform.keyboard().activate(QStringLiteral("00000419"));
        // The data files and the last card; the card, the counters and the Working and
        // Archive counts follow the session's signals. An empty register starts a new card.
        if (!m_session.openFiles()) {
            BlankCard();
            m_ui->GurN->setText(QStringLiteral("1"));
            setCardButtonsVisible(false);
            m_ui->nOtmena->hide();
        }
        setWindowState(windowState() | Qt::WindowMaximized);
        // The backup folders and the reference lists.
        m_settings.ReadPapka = inst.backupFolder();
        m_settings.SavePapka = inst.backupFolder();
        loadReferenceLists();
        // The lists; the position stays at the end of the Main card file.
        reloadMainList();
        list(CardList::Working).setFile(inst.workingCardFile());
        m_session.setCardIndex(m_session.CardTotal() - 1);
        selectMainRow(m_session.CardTotal() - 1);
        // The settings file, written with the defaults when missing.
        OfficeSettings defaults = defaultSettings(inst);
        defaults.ReadPapka = m_settings.ReadPapka;
        defaults.SavePapka = m_settings.SavePapka;
        m_settings = defaults;
        if (!QFileInfo::exists(inst.settingsFile()))
            writeSettingsFile(inst.settingsFile(), defaultSettings(inst));
        readSettingsFile(inst.settingsFile(), inst, m_settings);
        // The colours of the window.
        paintStoredColours();
    } catch (const FileError& e) {
        showError(e.displayText());
    } catch (const ConversionError& e) {
        showError(e.message());
    }
}

void TForm1::paintStoredColours() {
    const Installation& inst = m_session.installation();
    if (!QFileInfo::exists(inst.coloursFile())) {
        writeTextLines(inst.coloursFile(), {});
        return;
    }
    for (const ColourSetting& s : readColourSettings(inst.coloursFile())) {
        QColor colour = toQColor(colourFromText(s.colour), palette());
        setBackground(s.key == QLatin1String("Form1") ? centralWidget()
                                                      : static_cast<QWidget*>(m_ui->Organ),
                      colour);
    }
    setBackground(m_ui->SpTabl, QColor(0, 0, 255));
    setBackground(m_ui->TabSheet1, QColor(223, 255, 255));
    setBackground(m_ui->TabSheet2, QColor(128, 255, 128));
    setBackground(m_ui->TabSheet3, QColor(192, 220, 192));
}

} // namespace zelm
