#include "attach/DokKartUi.h"

#include "widgets/ControlFactory.h"
#include "widgets/TdxfColorButton.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelm {
namespace {

using controls::group;
using controls::named;
using controls::tight;

const QSize kButton(64, 34);

// Small pictures for the buttons without a caption of their own.
enum class Glyph { Minus, Path, Open };

QPixmap glyph(Glyph kind) {
    QPixmap pm(18, 18);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case Glyph::Minus:
        p.fillRect(QRectF(2, 7, 14, 4), QColor(192, 0, 0));
        break;
    case Glyph::Path: { // a folder
        p.setPen(QPen(QColor(128, 96, 0), 1));
        p.setBrush(QColor(240, 200, 80));
        QPainterPath folder;
        folder.moveTo(2, 5);
        folder.lineTo(7, 5);
        folder.lineTo(9, 7);
        folder.lineTo(16, 7);
        folder.lineTo(16, 15);
        folder.lineTo(2, 15);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Glyph::Open: { // a triangle pointing right: "play"
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 0));
        const QPointF tri[3] = {{4, 2}, {16, 9}, {4, 16}};
        p.drawPolygon(tri, 3);
        break;
    }
    }
    return pm;
}

TdxfColorButton* button(const char* name, const QString& caption, const QString& hint,
                        const QColor& colour) {
    QStringList lines;
    if (!caption.isEmpty())
        lines << caption;
    return controls::colourButton(name, lines, hint, colour, kButton);
}

TdxfColorButton* glyphButton(const char* name, Glyph kind, const QString& hint,
                             const QColor& colour) {
    TdxfColorButton* b = button(name, QString(), hint, colour);
    b->setGlyph(glyph(kind));
    return b;
}

QLabel* label(const QString& text) {
    return new QLabel(text);
}

void buildCardGroup(DokKartUi& ui) {
    ui.Kartochka = group("Kartochka", QStringLiteral("Карточка"));
    auto* l = new QVBoxLayout(ui.Kartochka);
    tight(l);

    ui.GrNazvanie = group("GrNazvanie", dokkart::kNazvanieLeft);
    ui.NazWhDok = controls::lineEdit("NazWhDok", 0, true);
    ui.Klu4DK = controls::lineEdit("Klu4DK", 0, true, QStringLiteral("Уникальный номер анкеты"));
    ui.Klu4DK->setFixedWidth(100);
    auto* nl = new QHBoxLayout(ui.GrNazvanie);
    tight(nl);
    nl->addWidget(ui.NazWhDok, 1);
    nl->addWidget(ui.Klu4DK);
    l->addWidget(ui.GrNazvanie);

    ui.GrOsnovanie =
        group("GrOsnovanie", QStringLiteral("Документ - основание для проведения ОРМ"));
    ui.Fabula = named(new QPlainTextEdit, "Fabula", QStringLiteral("Не более 200 символов"));
    ui.Fabula->setReadOnly(true);
    ui.Fabula->setFixedHeight(44);
    tight(new QHBoxLayout(ui.GrOsnovanie))->addWidget(ui.Fabula);
    l->addWidget(ui.GrOsnovanie);
}

QGroupBox* buildDetailsGroup(DokKartUi& ui) {
    ui.GrHarakter = group("GrHarakter", dokkart::kHarakterLeft);
    ui.ImaDok = controls::lineEdit("ImaDok");
    ui.PutFil = controls::lineEdit("PutFil");
    ui.SodFil = controls::lineEdit("SodFil");
    ui.Minus =
        glyphButton("Minus", Glyph::Minus, QStringLiteral("Удалить связь (строчку из списка)"),
                    QColor(255, 200, 200));
    ui.Redak =
        glyphButton("Redak", Glyph::Path, QStringLiteral("Изменить путь"), QColor(255, 255, 192));
    ui.dxfColorButton1 = glyphButton("dxfColorButton1", Glyph::Open,
                                     QStringLiteral("Открыть документ"), QColor(192, 224, 255));

    auto* g = new QGridLayout(ui.GrHarakter);
    tight(g);
    const std::pair<QString, QLineEdit*> rows[] = {
        {QStringLiteral(" Название файла "), ui.ImaDok},
        {QStringLiteral(" Имя файла - путь "), ui.PutFil},
        {QStringLiteral(" Содержание файла "), ui.SodFil},
    };
    TdxfColorButton* buttons[] = {ui.Minus, ui.Redak, ui.dxfColorButton1};
    for (int r = 0; r < 3; ++r) {
        g->addWidget(label(rows[r].first), r, 0);
        g->addWidget(rows[r].second, r, 1);
        g->addWidget(buttons[r], r, 2);
    }
    g->setColumnStretch(1, 1);
    return ui.GrHarakter;
}

void buildList(DokKartUi& ui) {
    ui.SpPrDok = named(new QTableWidget(1, 3), "SpPrDok");
    ui.SpPrDok->setHorizontalHeaderLabels({QStringLiteral("Название файла"),
                                           QStringLiteral("Имя файла - Путь"),
                                           QStringLiteral("Содержание файла")});
    ui.SpPrDok->verticalHeader()->hide();
    ui.SpPrDok->setWordWrap(false);
    ui.SpPrDok->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.SpPrDok->setSelectionMode(QAbstractItemView::SingleSelection);
    ui.SpPrDok->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.SpPrDok->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui.SpPrDok->horizontalHeader()->setStretchLastSection(false);
    const int widths[] = {295, 297, 167};
    for (int c = 0; c < 3; ++c)
        ui.SpPrDok->setColumnWidth(c, widths[c]);
    ui.SpisokLabel = named(label(QStringLiteral(" Список группы файлов ")), "SpisokLabel");
}

QString padded(const QGroupBox* box, const QString& left, const QString& right) {
    const QFontMetrics fm(box->font());
    // The title starts a few pixels in; the last word should end as far from the right edge.
    const int room = box->width() - 16 - fm.horizontalAdvance(left) - fm.horizontalAdvance(right);
    const int blank = std::max(1, fm.horizontalAdvance(QLatin1Char(' ')));
    const int blanks = std::max(2, room / blank);
    return left + QString(blanks, QLatin1Char(' ')) + right;
}

// Pads a group's caption again whenever the group changes width.
class CaptionPadder : public QObject {
public:
    CaptionPadder(QGroupBox* box, QString left, QString right)
        : QObject(box), m_box(box), m_left(std::move(left)), m_right(std::move(right)) {
        // The group would otherwise never get narrower than its padded caption.
        box->setMinimumWidth(200);
        box->installEventFilter(this);
        pad();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_box && event->type() == QEvent::Resize)
            pad();
        return false;
    }

private:
    void pad() { m_box->setTitle(padded(m_box, m_left, m_right)); }
    QGroupBox* m_box;
    QString m_left, m_right;
};

} // namespace

void buildDokKartLayout(QWidget* window, DokKartUi& ui) {
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(4);

    buildCardGroup(ui);
    outer->addWidget(ui.Kartochka);

    ui.GrFaily = group("GrFaily", dokkart::kFailyLeft);
    auto* fl = new QVBoxLayout(ui.GrFaily);
    tight(fl);
    const QSize wide(80, 34);
    ui.Plus = button("Plus", QStringLiteral("Указать"),
                     QStringLiteral("файл для привязки к Карточке"), QColor(192, 255, 192));
    ui.Saves = button("Saves", QStringLiteral("Добавить"),
                      QStringLiteral("Запомнить связь (строчку в списке)"), QColor(192, 255, 192));
    ui.Plus->setFixedSize(wide);
    ui.Saves->setFixedSize(wide);
    auto* top = new QHBoxLayout;
    top->addWidget(buildDetailsGroup(ui), 1);
    auto* newLink = new QVBoxLayout;
    newLink->addStretch(1);
    newLink->addWidget(ui.Plus);
    newLink->addWidget(ui.Saves);
    newLink->addStretch(1);
    top->addLayout(newLink);
    fl->addLayout(top);

    buildList(ui);
    fl->addWidget(ui.SpisokLabel);
    fl->addWidget(ui.SpPrDok, 1);
    outer->addWidget(ui.GrFaily, 1);
    padDokKartCaptions(ui);
}

void padDokKartCaptions(DokKartUi& ui) {
    new CaptionPadder(ui.GrFaily, dokkart::kFailyLeft, dokkart::kFailyRight);
    new CaptionPadder(ui.GrHarakter, dokkart::kHarakterLeft, dokkart::kHarakterRight);
    new CaptionPadder(ui.GrNazvanie, dokkart::kNazvanieLeft, dokkart::kNazvanieRight);
}

} // namespace zelm
