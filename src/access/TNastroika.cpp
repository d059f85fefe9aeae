#include "access/TNastroika.h"

#include "platform/Platform.h"
#include "store/ColourText.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/Settings.h"
#include "store/TextFiles.h"
#include "widgets/Colours.h"
#include "widgets/ControlFactory.h"
#include "widgets/TdxfColorButton.h"

#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zelm {
namespace {

using controls::named;

QLineEdit* edit(const char* name, const QString& hint = QString()) {
    return controls::lineEdit(name, 0, false, hint);
}

} // namespace

TNastroika::TNastroika(Platform& platform, const Installation& inst, OfficeSettings& settings,
                       QMainWindow* cardWindow)
    : QDialog(cardWindow), m_platform(platform), m_inst(inst), m_settings(settings),
      m_cardWindow(cardWindow) {
    setObjectName(QStringLiteral("Nastroika"));
    setWindowTitle(QStringLiteral("Настройка"));
    setModal(true);
    buildLayout();
    FormCreate();
}

void TNastroika::buildLayout() {
    auto* top = new QVBoxLayout(this);

    auto* office = named(new QGroupBox(QStringLiteral(" MSOffice ")), "MSOfficeGB");
    m_VerOff = edit("VerOff", QStringLiteral("2003 или другая"));
    (new QHBoxLayout(office))->addWidget(m_VerOff);
    top->addWidget(office);

    auto* postal =
        named(new QGroupBox(QStringLiteral("Почтовые реквизиты владельца для писем")), "PochtaGB");
    auto* form = new QFormLayout(postal);
    struct Row {
        QLineEdit*& edit;
        const char* name;
        QString label;
    };
    const Row rows[] = {
        {m_PochtInd, "PochtInd", QStringLiteral("Индекс")},
        {m_Gorod, "Gorod", QStringLiteral("Город")},
        {m_OblKr, "OblKr", QStringLiteral("Обл/край/респ")},
        {m_Raion, "Raion", QStringLiteral("Район")},
        {m_UlDomKv, "UlDomKv", QStringLiteral("улица д.к.кв.")},
        {m_Firma, "Firma", QStringLiteral("ФИО")},
        {m_Dolgnost, "Dolgnost", QStringLiteral("Должность")},
    };
    for (const Row& row : rows) {
        row.edit = edit(row.name);
        auto* label = new QLabel(row.label);
        label->setObjectName(QStringLiteral("Label") + QLatin1String(row.name));
        form->addRow(label, row.edit);
    }
    top->addWidget(postal);

    auto* folders = named(new QGroupBox(QString(22, QLatin1Char(' ')) +
                                        QStringLiteral("Папки для резервного копирования")),
                          "PapkiGB");
    auto* grid = new QGridLayout(folders);
    const QString folderHint = QStringLiteral("Изменить путь к папке");
    m_ReadDirBU = controls::pushButton("ReadDirBU", QStringLiteral("Читать"), folderHint);
    m_SaveDirBU = controls::pushButton("SaveDirBU", QStringLiteral("Писать"), folderHint);
    m_ReadPapka = edit("ReadPapka");
    m_SavePapka = edit("SavePapka");
    m_pRezKop = controls::colourButton("pRezKop", {QStringLiteral("Справка")},
                                       QStringLiteral("Восстановление программы. Сеть."),
                                       QColor(255, 255, 192), QSize(100, 40));
    grid->addWidget(m_ReadDirBU, 0, 0);
    grid->addWidget(m_ReadPapka, 0, 1);
    grid->addWidget(m_SaveDirBU, 1, 0);
    grid->addWidget(m_SavePapka, 1, 1);
    grid->addWidget(m_pRezKop, 0, 2, 2, 1);
    top->addWidget(folders);

    // Line 12 of the settings file, which the old program never reads.
    auto* history = new QFormLayout;
    m_HranitIstoriyu = controls::lineEdit("HranitIstoriyu", 6, false,
                                          QStringLiteral("Сколько дней хранить прежние версии "
                                                         "карточек (Baza/History.dat)"));
    m_HranitIstoriyu->setValidator(new QIntValidator(1, 999999, m_HranitIstoriyu));
    history->addRow(new QLabel(QStringLiteral("Хранить историю, дней")), m_HranitIstoriyu);
    top->addLayout(history);

    auto* commands = new QHBoxLayout;
    m_CvetFona =
        controls::pushButton("CvetFona", QStringLiteral("Цвет фона"), QStringLiteral("Анкеты"));
    m_PrintEkran = controls::pushButton("PrintEkran", QStringLiteral("Печать"),
                                        QStringLiteral("Окна прямо на принтер"));
    m_ZapNastr = controls::pushButton("ZapNastr", QString(),
                                      QStringLiteral("Запомнить изменения в настройках"));
    m_ZapNastr->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    commands->addWidget(m_CvetFona);
    commands->addWidget(m_PrintEkran);
    commands->addStretch();
    commands->addWidget(m_ZapNastr);
    top->addLayout(commands);
    resize(520, sizeHint().height());

    connect(m_CvetFona, &QPushButton::clicked, this, &TNastroika::CvetFonaClick);
    connect(m_PrintEkran, &QPushButton::clicked, this, &TNastroika::PrintEkranClick);
    connect(m_ReadDirBU, &QPushButton::clicked, this, &TNastroika::ReadDirBUClick);
    connect(m_SaveDirBU, &QPushButton::clicked, this, &TNastroika::SaveDirBUClick);
    connect(m_ZapNastr, &QPushButton::clicked, this, &TNastroika::ZapNastrClick);
}

void TNastroika::FormCreate() {
    QStringList lines;
    try {
        lines = readTextLines(m_inst.settingsFile());
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
        return;
    }
    // Line 1, the background colour, is written but never shown.
    QLineEdit* edits[] = {m_VerOff,  m_PochtInd, m_Gorod,    m_OblKr,     m_Raion,
                          m_UlDomKv, m_Firma,    m_Dolgnost, m_ReadPapka, m_SavePapka};
    for (int i = 0; i < 10; ++i)
        edits[i]->setText(i + 1 < lines.size() ? lines.at(i + 1) : QString());
    OfficeSettings read;
    readSettingsFile(m_inst.settingsFile(), m_inst, read);
    m_HranitIstoriyu->setText(QString::number(read.historyDays));
}

void TNastroika::CvetFonaClick() {
    QWidget* card = m_cardWindow->centralWidget();
    const auto colour =
        m_platform.dialogs().chooseColour(this, card->palette().color(QPalette::Window));
    if (colour)
        setBackground(card, *colour);
}

void TNastroika::PrintEkranClick() {
    if (!m_platform.printer().printWindow(this)) {
        m_platform.dialogs().notice(this,
                                    QStringLiteral("Принтер не установлен. Окно не напечатано."),
                                    QStringLiteral("Печать"));
        return;
    }
    setBackground(this, toQColor(colourFromText(QStringLiteral("clAqua")), palette()));
}

void TNastroika::chooseBackupFolder(QLineEdit* edit, QString& setting) {
    const QString folder = m_platform.dialogs().chooseFolder(
        this, QStringLiteral("Select Directory"), QDir::currentPath());
    QString refusal;
    if (!folder.trimmed().isEmpty()) {
        // A folder the settings file cannot hold is refused before it is taken.
        if (storedFolderText(m_inst, folder.trimmed(), &refusal).isEmpty()) {
            m_platform.dialogs().notice(this, refusal, QStringLiteral("Папка не выбрана"));
        } else {
            edit->setText(folder.trimmed());
            setting = folder.trimmed();
        }
    }
    QDir::setCurrent(m_inst.root());
}

void TNastroika::ReadDirBUClick() {
    chooseBackupFolder(m_ReadPapka, m_settings.ReadPapka);
}

void TNastroika::SaveDirBUClick() {
    chooseBackupFolder(m_SavePapka, m_settings.SavePapka);
}

QString TNastroika::cardWindowColourText() const {
    const QWidget* card = m_cardWindow->centralWidget();
    // A window never given a colour has the platform's face colour.
    if (!card->autoFillBackground())
        return QStringLiteral("clBtnFace");
    return colourToText(fromQColor(card->palette().color(QPalette::Window)));
}

void TNastroika::ZapNastrClick() {
    OfficeSettings s;
    s.backgroundColour = cardWindowColourText();
    s.VerOff = m_VerOff->text();
    s.PochtInd = m_PochtInd->text();
    s.Gorod = m_Gorod->text();
    s.OblKr = m_OblKr->text();
    s.Raion = m_Raion->text();
    s.UlDomKv = m_UlDomKv->text();
    s.Firma = m_Firma->text();
    s.Dolgnost = m_Dolgnost->text();
    s.ReadPapka = m_ReadPapka->text();
    s.SavePapka = m_SavePapka->text();
    const int days = m_HranitIstoriyu->text().trimmed().toInt();
    s.historyDays = days > 0 ? days : OfficeSettings::kDefaultHistoryDays;
    try {
        writeSettingsFile(m_inst.settingsFile(), s);
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
        return;
    }
    accept();
}

} // namespace zelm
