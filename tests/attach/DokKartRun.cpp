#include "DokKartRun.h"

#include "attach/LinkRecords.h"
#include "common/FileBytes.h"
#include "widgets/TdxfColorButton.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

namespace zelm::testing {

TSpisFil link(std::int32_t card, const QString& title, const QString& path,
              const QString& content) {
    return LinkRecords::record(card, title, path, content);
}

QByteArray bytesOf(const std::vector<TSpisFil>& records) {
    return QByteArray(reinterpret_cast<const char*>(records.data()),
                      static_cast<qsizetype>(records.size() * sizeof(TSpisFil)));
}

AttachedCard cardNamed(std::int32_t number, const QString& name) {
    AttachedCard c;
    c.number = number;
    c.nameOrg = name;
    c.osnovan = QStringLiteral("  Постановление  ");
    c.dataOsn = 46096; // 15.03.2026
    c.nomDokOsn = QStringLiteral("12/дсп");
    return c;
}

DokKartRun::DokKartRun(const std::vector<TSpisFil>& records) : inst(dir.path()) {
    QDir().mkpath(inst.path(QStringLiteral("Docs")));
    writeBytes(inst.attachmentList(), bytesOf(records));
    list.open(inst.attachmentList(), sizeof(TSpisFil));
    w = std::make_unique<TDokKart>(inst, platform, list, index);
}

DokKartRun::~DokKartRun() {
    w.reset();
}

void DokKartRun::open(const AttachedCard& card) {
    if (w->isVisible())
        w->close();
    w->setCard(card);
    w->show();
}

void DokKartRun::reopen() {
    w->close();
    w->show();
}

QString DokKartRun::doc(const QString& name) {
    const QString path = inst.path(QStringLiteral("Docs/") + name);
    writeBytes(path, "document");
    return path;
}

QByteArray DokKartRun::bytes() const {
    QFile f(inst.attachmentList());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<TSpisFil> DokKartRun::records() const {
    const QByteArray b = bytes();
    std::vector<TSpisFil> out(static_cast<size_t>(b.size()) / sizeof(TSpisFil));
    std::memcpy(out.data(), b.constData(), out.size() * sizeof(TSpisFil));
    return out;
}

void DokKartRun::choose(const QString& path) {
    platform.openFileResults.enqueue(path);
}

void DokKartRun::link(const QString& path) {
    choose(path);
    ui().Plus->click();
    ui().Saves->click();
}

void DokKartRun::pressRow(int row) {
    QTableWidget* t = ui().SpPrDok;
    QTest::mousePress(t->viewport(), Qt::LeftButton, {},
                      t->visualItemRect(t->item(row, 0)).center());
    QTest::mouseRelease(t->viewport(), Qt::LeftButton, {},
                        t->visualItemRect(t->item(row, 0)).center());
}

QStringList DokKartRun::column(int c) const {
    QStringList out;
    QTableWidget* t = w->ui().SpPrDok;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, c) ? t->item(r, c)->text() : QString());
    return out;
}

bool DokKartRun::rowRed(int row) const {
    const QTableWidgetItem* item = w->ui().SpPrDok->item(row, 1);
    return item && item->foreground().color() == QColor(Qt::red) &&
           item->foreground().style() != Qt::NoBrush;
}

int DokKartRun::notices() const {
    int n = 0;
    for (const ShownMessage& m : platform.messages)
        n += m.kind == ShownMessage::Notice;
    return n;
}

} // namespace zelm::testing
