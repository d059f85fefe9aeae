#pragma once
// A data folder and a session on it, without any window or widget application.
#include "common/CardFactory.h"
#include "session/CardSession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace zelm::testing {

class SessionFolder {
public:
    SessionFolder() {
        QDir(root()).mkpath(QStringLiteral("Baza"));
        QDir(root()).mkpath(QStringLiteral("Temp"));
    }
    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    void writeFile(const QString& relative, const QByteArray& bytes) const {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void writeCards(const QString& relative, const std::vector<TAnketa>& cards) const {
        writeFile(relative, QByteArray(reinterpret_cast<const char*>(cards.data()),
                                       static_cast<qsizetype>(cards.size() * sizeof(TAnketa))));
    }
    QByteArray readFile(const QString& relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::vector<TAnketa> readCards(const QString& relative) const {
        const QByteArray bytes = readFile(relative);
        std::vector<TAnketa> cards(static_cast<size_t>(bytes.size()) / sizeof(TAnketa));
        if (!cards.empty())
            memcpy(cards.data(), bytes.constData(), cards.size() * sizeof(TAnketa));
        return cards;
    }

private:
    QTemporaryDir m_dir;
};

class Session : public ::testing::Test {
protected:
    void start(const std::vector<TAnketa>& cards,
               const std::vector<TAnketa>& archived = std::vector<TAnketa>()) {
        t.writeCards("Baza/Anketi.dat", cards);
        if (!archived.empty())
            t.writeCards("Baza/ArhAnket.dat", archived);
        inst = std::make_unique<Installation>(t.root());
        user.UserFIO = QStringLiteral("Сидорова А.А.");
        s = std::make_unique<CardSession>(*inst, user);
        hasCards = s->openFiles();
    }
    SessionFolder t;
    CurrentUser user;
    std::unique_ptr<Installation> inst;
    std::unique_ptr<CardSession> s;
    bool hasCards = false;
};

} // namespace zelm::testing
