// The start-up of the card window: data files, the last card, the list of all cards,
// the reference lists and the settings files. A failing step is shown and ends the start-up;
// the window opens prepared as far as it got.
#include "cardwindow/CardListModel.h"
#include "cardwindow/Colours.h"
#include "cardwindow/ReferenceListEntries.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "store/ColourText.h"
#include "store/FileError.h"
#include "store/Records.h"
#include "store/ReferenceLists.h"
#include "store/Settings.h"
#include "store/TextFiles.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

namespace zelm {
namespace {

void openOrCreate(CardFile& file, const QString& path, int recordSize) {
    if (QFileInfo::exists(path))
        file.open(path, recordSize);
    else
        file.create(path, recordSize);
}

} // namespace

void TForm1::loadReferenceLists() {
    for (const ReferenceListDef& def : referenceLists()) {
        auto* combo = findChild<QComboBox*>(QLatin1String(def.comboBox));
        setReferenceEntries(combo, readTextLines(referenceListPath(m_ctx.inst, def)));
    }
}

void TForm1::reloadMainList() {
    CardFile& f = m_ctx.files.main;
    m_ui.mainList->setCardsFromFile(f);
    f.seek(f.count());
}

void TForm1::runStartUp() {
    AppContext& c = m_ctx;
    DataFiles& files = c.files;
    try {
        // 1-3
        c.ReportMode = QStringLiteral("Prosm");
        c.EmptyDate = toDayCount(QDate(1901, 1, 1));
        setWindowFlag(Qt::WindowCloseButtonHint, false);
        c.platform.keyboard().activate(QStringLiteral("00000419"));
        // 4-6
        openOrCreate(files.attachments, c.inst.attachmentList(), sizeof(TSpisFil));
        openOrCreate(files.archive, c.inst.archiveCardFile(), sizeof(TAnketa));
        m_ui.vArh->setText(QString::number(files.archive.count()));
        files.working.create(c.inst.workingCardFile(), sizeof(TAnketa));
        m_ui.vRab->setText(QStringLiteral("0"));
        // 7-8
        CardMode = QStringLiteral("Korr");
        openOrCreate(files.main, c.inst.mainCardFile(), sizeof(TAnketa));
        if (files.main.count() > 0) {
            files.main.seek(files.main.count() - 1);
            Scatter();
        } else {
            CardMode = QStringLiteral("New");
            shown = Shown::Blank;
            BlankCard();
            m_ui.GurN->setText(QStringLiteral("1"));
            setCardButtonsVisible(false);
            m_ui.nOtmena->hide();
        }
        // 9
        Kakay();
        setWindowState(windowState() | Qt::WindowMaximized);
        // 10-11
        c.settings.ReadPapka = c.inst.backupFolder();
        c.settings.SavePapka = c.inst.backupFolder();
        loadReferenceLists();
        // 12-13: the list of all cards; the position stays at the end of the file.
        reloadMainList();
        CardTotal = static_cast<int>(files.main.count());
        CardIndex = CardTotal - 1;
        selectMainRow(CardTotal - 1);
        // 14-15
        OfficeSettings defaults = defaultSettings(c.inst);
        defaults.ReadPapka = c.settings.ReadPapka;
        defaults.SavePapka = c.settings.SavePapka;
        c.settings = defaults;
        if (!QFileInfo::exists(c.inst.settingsFile()))
            writeSettingsFile(c.inst.settingsFile(), defaultSettings(c.inst));
        readSettingsFile(c.inst.settingsFile(), c.inst, c.settings);
        // 16
        if (!QFileInfo::exists(c.inst.coloursFile())) {
            writeTextLines(c.inst.coloursFile(), {});
            return;
        }
        for (const ColourSetting& s : readColourSettings(c.inst.coloursFile())) {
            QColor colour = toQColor(colourFromText(s.colour), palette());
            setBackground(s.key == QLatin1String("Form1") ? centralWidget()
                                                          : static_cast<QWidget*>(m_ui.Organ),
                          colour);
        }
        // 17
        setBackground(m_ui.SpTabl, QColor(0, 0, 255));
        setBackground(m_ui.TabSheet1, QColor(223, 255, 255));
        setBackground(m_ui.TabSheet2, QColor(128, 255, 128));
        setBackground(m_ui.TabSheet3, QColor(192, 220, 192));
    } catch (const FileError& e) {
        showError(e.displayText());
    } catch (const ConversionError& e) {
        showError(e.message());
    }
}

} // namespace zelm
