#include "app/ServerStartup.h"

#include "app/ServerWaitScreen.h"

#include "platform/Platform.h"
#include "server/ServerCallThread.h"
#include "server/ServerConfig.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"
#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/RegularFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zelm {

namespace {

QString markPath(const Installation& inst) {
    return inst.path(QStringLiteral("BezServera.vez"));
}

void markWorkWithoutServer(const Installation& inst, const QString& problem) {
    const QString text =
        QStringLiteral("Работа с папкой данных без сервера с %1.\r\n%2\r\n")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")),
                 problem.section(QLatin1Char('\n'), 0, 0));
    try {
        requireRegularOrMissing(markPath(inst));
        writeFileAtomically(markPath(inst), toCp1251(text));
    } catch (const FileError&) {
        // The mark only guards an export against replacing this run's cards unasked; a
        // folder it cannot be written to will not take those cards either.
    }
}

} // namespace

bool dataFolderWorkedWithoutServer(const Installation& inst) {
    return QFileInfo(markPath(inst)).isFile();
}

void forgetWorkWithoutServer(const Installation& inst) {
    QFile::remove(markPath(inst));
}

QString workOnDataFolderAnswer() {
    return QStringLiteral("Работать с папкой данных");
}

QString endProgramAnswer() {
    return QStringLiteral("Завершить программу");
}

RegisterChoice chooseRegister(const Installation& inst, Platform& platform) {
    const QString file = serverConfigPath(inst);
    QString problem;
    QString untilWhen;
    try {
        // A link is refused even when it points nowhere: the register must not move because
        // someone replaced the file by a link to theirs.
        requireRegularOrMissing(file);
        const std::optional<ServerConfig> config = readServerConfig(inst);
        if (!config)
            return {};
        auto server = std::make_unique<ServerRegister>(*config);
        {
            // Before any window shows: the small window of the wait says what is going on.
            struct Served {
                Served() { serveWindowThreadWithScreen(); }
                ~Served() { servercalls::stopServing(); }
            } served;
            server->open();
        }
        return {std::move(server), false};
    } catch (const FileError& e) {
        QString why = e.message();
        if (!why.isEmpty())
            why[0] = why[0].toLower();
        problem = QStringLiteral("Файл Server.vez не годится: %1.\n%2")
                      .arg(why, QDir::toNativeSeparators(e.fileName()));
        untilWhen = QStringLiteral("когда файл будет исправлен");
    } catch (const ServerError& e) {
        problem = e.message();
        if (e.kind() == ServerError::Kind::Setup) {
            if (!problem.contains(file))
                problem += QLatin1Char('\n') + QDir::toNativeSeparators(file);
            untilWhen = QStringLiteral("когда файл будет исправлен");
        } else {
            untilWhen = QStringLiteral("когда сервер станет доступен");
        }
    }
    const QString text =
        problem +
        QStringLiteral("\n\nМожно работать с картотекой в папке данных этого компьютера (%1): "
                       "карточки, записанные в ней, на сервер не попадут. Или завершите "
                       "программу и запустите её снова, %2.")
            .arg(QDir::toNativeSeparators(inst.path(QStringLiteral("Baza"))), untilWhen);
    const int answer =
        platform.dialogs().choose(nullptr, text, QStringLiteral("Картотека на сервере"),
                                  {workOnDataFolderAnswer(), endProgramAnswer()});
    RegisterChoice choice;
    choice.endProgram = answer != 0;
    if (!choice.endProgram)
        markWorkWithoutServer(inst, problem);
    return choice;
}

} // namespace zelm
