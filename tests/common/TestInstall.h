#pragma once
// A temporary installation folder and the windows of one run against it.
#include "app/ZelmApp.h"
#include "common/ScriptedPlatform.h"
#include "store/Records.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <vector>

namespace zelm::testing {

class TestInstall {
public:
    TestInstall();
    ~TestInstall();

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    // Files before the start.
    void makeFolders(); // Baza and Temp, as an existing installation has
    void writeCards(const QString& relative, const std::vector<TAnketa>& cards);
    void writeFile(const QString& relative, const QByteArray& bytes);
    QByteArray readFile(const QString& relative) const;
    std::vector<TAnketa> readCards(const QString& relative) const;
    // Another program's writes into a card file in place, while the program runs.
    void appendCards(const QString& relative, const std::vector<TAnketa>& cards);
    void writeCardAt(const QString& relative, qint64 index, const TAnketa& card);

    // Starts a run: the nine windows against this folder, and against `server` when given.
    ZelmApp& start();
    ZelmApp& start(std::unique_ptr<ServerRegister> server);
    ZelmApp& app() { return *m_app; }
    void stop() { m_app.reset(); }
    ScriptedPlatform platform;

    template <class W> W* find(const char* name) const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ZelmApp> m_app;
};

// Finds a control by objectName among all windows of the application.
QObject* findAnywhere(const QString& name);
template <class W> W* TestInstall::find(const char* name) const {
    return qobject_cast<W*>(findAnywhere(QLatin1String(name)));
}

} // namespace zelm::testing
