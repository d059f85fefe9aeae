#include "app/ServerMenuCommands.h"

#include "app/ServerStartup.h"
#include "platform/Platform.h"
#include "server/RegisterTransfer.h"
#include "server/ServerCallThread.h"
#include "server/ServerConfig.h"
#include "server/ServerError.h"
#include "server/ServerRegister.h"
#include "store/CardFile.h"
#include "store/Cp1251.h"
#include "store/FileError.h"
#include "store/Installation.h"
#include "store/Records.h"
#include "store/RegularFiles.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace zelm {
namespace {

const QString kToServer = QStringLiteral("Перенос картотеки на сервер");
const QString kFromServer = QStringLiteral("Выгрузка картотеки с сервера");

QString dataFolder(const Installation& inst) {
    return QDir::toNativeSeparators(inst.path(QStringLiteral("Baza")));
}

// The progress bar moves only when the percentage does, and goes back to zero at the end,
// whatever the end was.
class Gauge {
public:
    explicit Gauge(const ServerMenu& menu) : m_show(menu.progress) {}
    ~Gauge() {
        if (m_show)
            m_show(0);
    }
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;

    TransferProgress callback() {
        return [this](qint64 done, qint64 total) {
            const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 0;
            if (percent != m_percent && m_show) {
                m_percent = percent;
                m_show(percent);
            }
        };
    }

private:
    const std::function<void(int)>& m_show;
    int m_percent = -1;
};

QString countsText(const TransferCounts& c) {
    return QStringLiteral("карточек %1, в архиве %2, прикреплённых файлов %3, справочников %4")
        .arg(c.cards)
        .arg(c.archived)
        .arg(c.attachments)
        .arg(c.lists);
}

qint64 recordsIn(const QString& path, qint64 size) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() / size : 0;
}

// What the input dialog offers: the string of Server.vez when it has a usable one (a start
// that could not reach that server), else a pattern to fill in.
QString proposedConnection(const Installation& inst) {
    try {
        requireRegularOrMissing(serverConfigPath(inst));
        if (const std::optional<ServerConfig> c = readServerConfig(inst))
            return c->connectionString;
    } catch (const FileError&) {
    } catch (const ServerError&) {
    }
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("orm");
    return QStringLiteral("host=localhost port=5432 dbname=orm user=%1 sslmode=require").arg(user);
}

QString workedWithoutServerWarning(const ServerMenu& menu) {
    return QStringLiteral("Программа работала с папкой %1 без сервера: карточки, записанные "
                          "тогда, есть только в ней, и выгрузка с сервера %2 их заменит.")
        .arg(dataFolder(menu.inst), menu.server->serverName());
}

// A string the user typed is not yet the file it is to be written to.
ServerConfig parseTyped(const QString& connection) {
    try {
        return ServerConfig::parse(connection);
    } catch (const ServerError& e) {
        QString why = e.message();
        why.replace(QStringLiteral("Файл Server.vez не годится"),
                    QStringLiteral("Строка подключения не годится"));
        throw ServerError(e.kind(), why, e.sqlState());
    }
}

void writeServerConfig(const Installation& inst, const QString& connection) {
    const QString path = serverConfigPath(inst);
    requireRegularOrMissing(path);
    writeFileAtomically(path, toCp1251(connection) + QByteArrayLiteral("\r\n"));
}

} // namespace

bool nToServerClick(const ServerMenu& menu) {
    Dialogs& dialogs = menu.platform.dialogs();
    std::unique_ptr<ServerRegister> named;
    ServerRegister* target = menu.server;
    QString connection; // for Server.vez; empty when the run already works on its server
    try {
        if (!target) {
            const std::optional<QString> typed = dialogs.enterText(
                menu.parent, kToServer,
                QStringLiteral("Строка подключения к серверу PostgreSQL (без пароля: пароль "
                               "хранится в файле ~/.pgpass):"),
                proposedConnection(menu.inst));
            if (!typed || typed->trimmed().isEmpty())
                return false;
            connection = typed->trimmed();
            // Refused before anything moves: the string ends up in this file.
            requireRegularOrMissing(serverConfigPath(menu.inst));
            named = std::make_unique<ServerRegister>(parseTyped(connection));
            target = named.get();
            target->open();
        }
        const QString question =
            QStringLiteral("Перенести картотеку из папки %1 на сервер %2?\nКарточек: %3, в "
                           "архиве: %4, прикреплённых файлов: %5.\nПереносят только в пустую "
                           "базу данных. После переноса программа закроется, и со следующего "
                           "запуска картотека — на сервере; файлы папки остаются как были.")
                .arg(dataFolder(menu.inst), target->serverName())
                .arg(recordsIn(menu.inst.mainCardFile(), sizeof(TAnketa)))
                .arg(recordsIn(menu.inst.archiveCardFile(), sizeof(TAnketa)))
                .arg(recordsIn(menu.inst.attachmentList(), sizeof(TSpisFil)));
        if (!dialogs.ask(menu.parent, question, kToServer))
            return false;
        TransferCounts counts;
        {
            Gauge gauge(menu);
            const servercalls::Cancellable moving; // one transaction: given up, nothing stays
            counts = moveRegisterToServer(*target, menu.inst, gauge.callback());
        }
        forgetWorkWithoutServer(menu.inst); // the server has what the folder had
        QString done = QStringLiteral("Картотека перенесена на сервер %1: %2.")
                           .arg(target->serverName(), countsText(counts));
        if (!connection.isEmpty()) {
            try {
                writeServerConfig(menu.inst, connection);
            } catch (const FileError& e) {
                // The register is on the server; only the way to it is missing, and the user
                // can write it by hand. Until then the program keeps the data folder.
                dialogs.notice(menu.parent,
                               done + QStringLiteral("\nНо файл Server.vez не записан: %1\n%2\n"
                                                     "Запишите в него строку «%3», иначе "
                                                     "программа и дальше работает с папкой "
                                                     "данных.")
                                          .arg(e.message(), QDir::toNativeSeparators(e.fileName()),
                                               connection),
                               kToServer);
                return false;
            }
            done += QStringLiteral("\nСтрока подключения записана в файл %1.")
                        .arg(QDir::toNativeSeparators(serverConfigPath(menu.inst)));
        }
        dialogs.notice(menu.parent,
                       done + QStringLiteral("\nПрограмма закроется; запустите её снова, чтобы "
                                             "работать с картотекой на сервере."),
                       kToServer);
        return true;
    } catch (const ServerError& e) {
        dialogs.notice(menu.parent,
                       e.message() + QStringLiteral("\nНа сервере ничего не изменено."), kToServer);
    } catch (const FileError& e) {
        dialogs.notice(menu.parent,
                       QStringLiteral("Картотека не перенесена: %1\n%2\nНа сервере ничего не "
                                      "изменено.")
                           .arg(e.message(), QDir::toNativeSeparators(e.fileName())),
                       kToServer);
    }
    return false;
}

void nFromServerClick(const ServerMenu& menu) {
    Dialogs& dialogs = menu.platform.dialogs();
    if (!menu.server) {
        dialogs.notice(menu.parent,
                       QStringLiteral("Картотека этого запуска — в папке данных %1, а не на "
                                      "сервере: выгружать нечего.")
                           .arg(dataFolder(menu.inst)),
                       kFromServer);
        return;
    }
    QString question = QStringLiteral("Записать картотеку с сервера %1 в папку %2?\nКарточки, "
                                      "архив, прикреплённые файлы и справочники в этой папке "
                                      "будут заменены тем, что хранит сервер.")
                           .arg(menu.server->serverName(), dataFolder(menu.inst));
    if (dataFolderWorkedWithoutServer(menu.inst))
        question += QLatin1Char('\n') + workedWithoutServerWarning(menu);
    if (!dialogs.ask(menu.parent, question, kFromServer))
        return;
    // The server keeps hashes only: Dostup.dat gets the table's rows with new passwords, shown
    // once below, and only for the administrator's own password.
    const std::optional<QString> password = dialogs.enterPassword(
        menu.parent, kFromServer,
        QStringLiteral("Пароль администратора «%1» (таблица доступа Dostup.dat будет записана с "
                       "новыми паролями):")
            .arg(menu.user));
    if (!password)
        return;
    const AccessExport access{menu.user, password->trimmed().left(6)};
    try {
        TransferCounts counts;
        {
            Gauge gauge(menu);
            const servercalls::Cancellable exporting; // the files are renamed in only at the end
            counts = exportRegisterFromServer(*menu.server, menu.inst, gauge.callback(), &access);
        }
        forgetWorkWithoutServer(menu.inst);
        QString given;
        for (const AccessRow& row : counts.accessRows)
            given += QStringLiteral("\n%1 (%2): %3").arg(row.FIO, row.Dostup, row.Parol);
        dialogs.notice(
            menu.parent,
            QStringLiteral("Картотека выгружена с сервера %1 в папку %2: %3.\nНовые пароли в "
                           "таблице доступа Dostup.dat (на сервере пароли прежние; эти "
                           "показаны один раз — перепишите их):%4")
                .arg(menu.server->serverName(), dataFolder(menu.inst), countsText(counts), given),
            kFromServer);
    } catch (const ServerError& e) {
        dialogs.notice(menu.parent,
                       e.message() + QStringLiteral("\nКартотека не выгружена; файлы папки %1 "
                                                    "не изменены.")
                                         .arg(dataFolder(menu.inst)),
                       kFromServer);
    } catch (const FileError& e) {
        dialogs.notice(menu.parent,
                       QStringLiteral("Картотека не выгружена: %1\n%2")
                           .arg(e.message(), QDir::toNativeSeparators(e.fileName())),
                       kFromServer);
    }
}

bool exportForBackup(const ServerMenu& menu) {
    if (!menu.server)
        return true;
    // Cards stored while the server was away are in the folder only: on «Нет» the backup
    // keeps them, packing the folder as it is.
    if (dataFolderWorkedWithoutServer(menu.inst) &&
        !menu.platform.dialogs().ask(
            menu.parent,
            workedWithoutServerWarning(menu) +
                QStringLiteral("\n«Да» — выгрузить картотеку с сервера в папку и сохранить её "
                               "копию; «Нет» — сохранить копию папки как она есть, без "
                               "выгрузки."),
            QStringLiteral("Резервная копия")))
        return true;
    QString why;
    try {
        Gauge gauge(menu);
        const servercalls::Cancellable exporting;
        exportRegisterFromServer(*menu.server, menu.inst, gauge.callback());
        forgetWorkWithoutServer(menu.inst);
        return true;
    } catch (const ServerError& e) {
        why = e.message();
    } catch (const FileError& e) {
        why = e.message() + QLatin1Char('\n') + QDir::toNativeSeparators(e.fileName());
    }
    menu.platform.dialogs().notice(
        menu.parent,
        QStringLiteral("Резервная копия не сделана: картотеку не удалось выгрузить с сервера в "
                       "папку %1.\n%2\nКопия файлов этой папки вернула бы картотеку, которая "
                       "старше той, что на сервере. Картотека на сервере не изменена.")
            .arg(dataFolder(menu.inst), why),
        QStringLiteral("Резервная копия"));
    return false;
}

bool restoreAllowed(const ServerMenu& menu) {
    if (!menu.server)
        return true;
    menu.platform.dialogs().notice(
        menu.parent,
        QStringLiteral("Картотека этого запуска — на сервере %1. Восстановление из архива "
                       "заменило бы только файлы папки %2, а картотека на сервере осталась бы "
                       "прежней.\nЧтобы вернуть на сервер картотеку из архива, восстановите "
                       "архив в программе, запущенной без файла Server.vez, и перенесите "
                       "картотеку в пустую базу данных сервера («Перенести картотеку на "
                       "сервер»).")
            .arg(menu.server->serverName(), dataFolder(menu.inst)),
        QStringLiteral("Восстановление из архива"));
    return false;
}

} // namespace zelm
