#include "common/TestInstall.h"
#include "server/ServerRegister.h"
#include "store/DayCount.h"

#include "common/FileBytes.h"

#include "access/TZapusk.h"
#include "cardwindow/TForm1.h"
#include "server/ServerRegister.h"
#include "store/UniqueNumber.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace zelm::testing {

TestInstall::TestInstall() {
    EXPECT_TRUE(m_dir.isValid());
    resetUniqueNumbersForTesting();
}

TestInstall::~TestInstall() {
    m_app.reset();
    setClockForTesting({});
}

void TestInstall::makeFolders() {
    QDir(root()).mkpath(QStringLiteral("Baza"));
    QDir(root()).mkpath(QStringLiteral("Temp"));
}

void TestInstall::writeFile(const QString& relative, const QByteArray& bytes) {
    writeBytes(path(relative), bytes);
}

void TestInstall::writeCards(const QString& relative, const std::vector<TAnketa>& cards) {
    writeFile(relative, QByteArray(reinterpret_cast<const char*>(cards.data()),
                                   static_cast<qsizetype>(cards.size() * sizeof(TAnketa))));
}

QByteArray TestInstall::readFile(const QString& relative) const {
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestInstall::appendCards(const QString& relative, const std::vector<TAnketa>& cards) {
    QFile f(path(relative));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
    f.write(reinterpret_cast<const char*>(cards.data()),
            static_cast<qint64>(cards.size() * sizeof(TAnketa)));
}

void TestInstall::writeCardAt(const QString& relative, qint64 index, const TAnketa& card) {
    QFile f(path(relative));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(index * static_cast<qint64>(sizeof card)));
    f.write(reinterpret_cast<const char*>(&card), sizeof card);
}

std::vector<TAnketa> TestInstall::readCards(const QString& relative) const {
    QByteArray bytes = readFile(relative);
    std::vector<TAnketa> cards(static_cast<size_t>(bytes.size()) / sizeof(TAnketa));
    if (!cards.empty())
        memcpy(cards.data(), bytes.constData(), cards.size() * sizeof(TAnketa));
    return cards;
}

ZelmApp& TestInstall::start() {
    m_app = std::make_unique<ZelmApp>(root(), platform);
    return *m_app;
}

ZelmApp& TestInstall::start(std::unique_ptr<ServerRegister> server) {
    m_app = std::make_unique<ZelmApp>(root(), platform, std::move(server));
    return *m_app;
}

QObject* findAnywhere(const QString& name) {
    // Some names stand in both the card window and the search window; the card window's win.
    QList<QWidget*> tops = QApplication::topLevelWidgets();
    std::stable_partition(tops.begin(), tops.end(),
                          [](QWidget* w) { return w->objectName() == QLatin1String("Form1"); });
    for (QWidget* top : tops) {
        if (top->objectName() == name)
            return top;
        if (QObject* o = top->findChild<QObject*>(name))
            return o;
    }
    return nullptr;
}

} // namespace zelm::testing
