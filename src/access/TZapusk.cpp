#include "access/TZapusk.h"

#include "platform/Platform.h"
#include "store/CurrentUser.h"
#include "store/DayCount.h"
#include "store/FileError.h"
#include "store/SharedData.h"
#include "widgets/ControlFactory.h"
#include "widgets/TdxfBackGround.h"
#include "widgets/TdxfColorButton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

namespace zelm {

namespace {
// A blue book with a question mark: the program's description.
QPixmap helpGlyph() {
    QPixmap glyph(22, 22);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 70, 160));
    p.setPen(QColor(20, 30, 90));
    p.drawRoundedRect(QRectF(2.5, 1.5, 17, 19), 2, 2);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.drawText(QRect(2, 1, 18, 20), Qt::AlignCenter, QStringLiteral("?"));
    return glyph;
}

const QString kGreeting = QString(27, QLatin1Char(' ')) + QStringLiteral("Стой! Кто идёт?");
} // namespace

TZapusk::TZapusk(Platform& platform, SharedData& shared, CurrentUser& user, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_shared(shared), m_user(user) {
    setObjectName(QStringLiteral("Zapusk"));
    setWindowTitle(QStringLiteral("Зельм 13"));
    resize(420, 230);

    auto* background = new TdxfBackGround(this);
    background->setObjectName(QStringLiteral("dxfBackGround1"));
    background->bkColor()->setBeginColor(QColor(0, 255, 255)); // aqua
    background->bkColor()->setEndColor(QColor(0, 0, 128));     // navy
    background->bkColor()->setFillStyle(TdxfFillStyle::fsVert);

    Komentar = new QLineEdit(kGreeting);
    Komentar->setObjectName(QStringLiteral("Komentar"));
    Komentar->setReadOnly(true);
    // The message line only speaks; the keyboard belongs to the password box.
    Komentar->setFocusPolicy(Qt::NoFocus);

    Registrac = new QGroupBox(QStringLiteral("Пароль"));
    Registrac->setObjectName(QStringLiteral("Registrac"));
    NomZamka = new QLineEdit(QStringLiteral("580214"));
    NomZamka->setObjectName(QStringLiteral("NomZamka"));
    NomZamka->setMaxLength(12);
    NomZamka->setEchoMode(QLineEdit::Password);
    NomZamka->setToolTip(QStringLiteral("Не изменяйте здесь ничего, не прочитав инструкции!"));
    KtoIdet = new QComboBox;
    KtoIdet->setObjectName(QStringLiteral("KtoIdet"));
    KtoIdet->setToolTip(QStringLiteral("Кто входит"));
    KtoIdet->setVisible(m_shared.checksPasswords());
    auto* reg = new QHBoxLayout(Registrac);
    reg->addWidget(KtoIdet, 1);
    reg->addWidget(NomZamka, 1);

    auto colourButton = [](const char* name, const QStringList& caption, const QString& hint,
                           const QColor& colour) {
        return controls::colourButton(name, caption, hint, colour, QSize(100, 40));
    };
    Dalee = colourButton("Dalee", {QStringLiteral("Дальше")}, QStringLiteral("Перейти в картотеку"),
                         QColor(192, 255, 192));
    dxfColorButton1 = colourButton("dxfColorButton1", {QStringLiteral("Отмена")},
                                   QStringLiteral("Выйти из программы"), QColor(255, 192, 192));
    OpisProgr =
        colourButton("OpisProgr", {}, QStringLiteral("Описание программы"), QColor(255, 255, 160));
    OpisProgr->setFixedSize(44, 40);
    OpisProgr->setGlyph(helpGlyph());
    // After the last failed try «Дальше» goes, and «Отмена» stays where the user saw it.
    QSizePolicy keepPlace = Dalee->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Dalee->setSizePolicy(keepPlace);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Dalee);
    buttons->addWidget(dxfColorButton1);
    buttons->addStretch(1);
    buttons->addWidget(OpisProgr);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Komentar);
    layout->addWidget(Registrac);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(Dalee, &QAbstractButton::clicked, this, &TZapusk::DaleeClick);
    // Enter in the password box means "Дальше", as long as the button is there.
    connect(NomZamka, &QLineEdit::returnPressed, this, [this] {
        if (!Dalee->isHidden())
            DaleeClick();
    });
    connect(dxfColorButton1, &QAbstractButton::clicked, this, &QDialog::close);
    connect(OpisProgr, &QAbstractButton::clicked, this, &TZapusk::OpisProgrClick);

    FormCreate();
}

void TZapusk::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Enter logs in with the password shown; typing replaces it.
    NomZamka->setFocus(Qt::ActiveWindowFocusReason);
    NomZamka->selectAll();
}

void TZapusk::FormCreate() {
    LoginTries = 0;
    try {
        DostupTab = m_shared.openAccessTable(todayDayCount());
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
    }
    DostupCount = static_cast<int>(DostupTab.size());
    KtoIdet->clear();
    if (m_shared.checksPasswords())
        for (const AccessRow& row : DostupTab)
            KtoIdet->addItem(row.FIO);
    if (!DostupTab.isEmpty()) {
        m_user.UserFIO = DostupTab.first().FIO;
        m_user.UserDostup = DostupTab.first().Dostup.left(1);
    } else {
        m_user.UserFIO.clear();
        m_user.UserDostup.clear();
    }
}

void TZapusk::checkOnServer(const QString& entry) {
    std::optional<QString> letter;
    try {
        letter = m_shared.login(KtoIdet->currentText(), entry);
    } catch (const FileError& e) {
        m_platform.dialogs().error(this, e.displayText());
        Komentar->setText(QStringLiteral("Нет связи с сервером"));
        DostupOK = false;
        return;
    }
    if (!letter) {
        Komentar->setText(QStringLiteral("Что-то я Вас не припоминаю"));
        DostupOK = false;
        return;
    }
    m_user.UserFIO = KtoIdet->currentText();
    m_user.UserDostup = letter->left(1);
}

void TZapusk::ProveritDostup() {
    DostupOK = true;
    const QString entry = NomZamka->text().trimmed().left(6);
    if (m_shared.checksPasswords()) {
        // The server answers for the name chosen; a refusal tells nothing more.
        checkOnServer(entry);
        if (!DostupOK)
            return;
    } else {
        bool matched = false;
        for (const AccessRow& row : DostupTab) {
            if (row.Parol.trimmed() == entry) {
                m_user.UserFIO = row.FIO;
                m_user.UserDostup = row.Dostup.left(1);
                matched = true;
                break;
            }
        }
        if (!matched) {
            Komentar->setText(QStringLiteral("Что-то я Вас не припоминаю"));
            DostupOK = false;
        }
    }
    const bool chief = m_user.UserDostup == QLatin1String("Z");
    if (!chief) {
        // Barred for the whole run: no later command gives the menu back.
        m_user.serviceMenuBarred = true;
        emit serviceMenuBarred();
    }
    if (!chief && m_user.UserDostup != QLatin1String("W")) {
        Komentar->setText(QStringLiteral("Вам доступ закрыт"));
        DostupOK = false;
    }
}

void TZapusk::DaleeClick() {
    ProveritDostup();
    if (DostupOK)
        emit passwordAccepted();
    ++LoginTries;
    Komentar->setText(Komentar->text() + QLatin1Char(' ') + QString::number(LoginTries));
    if (LoginTries > 3) {
        Dalee->hide();
        Komentar->setText(QStringLiteral("Ознакомтесь с инструкцией"));
    }
}

void TZapusk::OpisProgrClick() {
    emit helpRequested();
}

} // namespace zelm
