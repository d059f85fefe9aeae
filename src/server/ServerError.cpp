#include "server/ServerError.h"

namespace zelm {

ServerError::ServerError(Kind kind, QString message, QString sqlState)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(std::move(message)),
      m_sqlState(std::move(sqlState)) {}

QString connectFailureMessage(const QString& server, const QString& user, const QString& database,
                              const QString& libpqMessage) {
    const QString m = libpqMessage.trimmed();
    const auto has = [&](const char* s) {
        return m.contains(QLatin1String(s), Qt::CaseInsensitive);
    };
    QString reason;
    if (has("password authentication failed") || has("SCRAM authentication"))
        reason = QStringLiteral("сервер не принял пароль пользователя «%1». Проверьте строку "
                                "этого сервера в файле паролей ~/.pgpass.")
                     .arg(user);
    else if (has("no password supplied") || has("password is required"))
        reason = QStringLiteral("серверу нужен пароль пользователя «%1». Запишите его в файл "
                                "паролей ~/.pgpass (права 0600).")
                     .arg(user);
    else if (has("does not exist") && has("database"))
        reason = QStringLiteral("на сервере нет базы данных «%1».").arg(database);
    else if (has("does not exist") && has("role"))
        reason = QStringLiteral("на сервере нет пользователя «%1».").arg(user);
    else if (has("no pg_hba.conf entry"))
        reason = QStringLiteral("сервер не пускает этот компьютер (pg_hba.conf).");
    else if (has("could not translate host name"))
        reason = QStringLiteral("имя сервера не найдено в сети.");
    else if (has("timeout expired"))
        reason = QStringLiteral("сервер не ответил вовремя.");
    else if (has("Connection refused") || has("No such file or directory"))
        reason = QStringLiteral("сервер не запущен или не принимает соединения.");
    else if (has("too many"))
        reason = QStringLiteral("к серверу подключено слишком много программ.");
    else if (has("starting up") || has("shutting down") || has("recovery"))
        reason = QStringLiteral("сервер запускается или останавливается; повторите позже.");
    else
        reason = QStringLiteral("%1").arg(m.isEmpty() ? QStringLiteral("причина неизвестна.") : m);
    return QStringLiteral("Нет связи с сервером %1: %2").arg(server, reason);
}

QString connectionLostMessage(const QString& server) {
    return QStringLiteral("Связь с сервером %1 прервалась; команда не выполнена, на сервере "
                          "ничего не изменено. Следующая команда соединится снова.")
        .arg(server);
}

QString commandFailureMessage(const QString& server, const QString& sqlState,
                              const QString& primaryMessage) {
    if (sqlState == QLatin1String("42501"))
        return QStringLiteral("Сервер %1 отказал: у пользователя нет прав на это действие (%2).")
            .arg(server, primaryMessage);
    if (sqlState == QLatin1String("23505"))
        return QStringLiteral("Сервер %1 отказал: в картотеке уже есть карточка с этим "
                              "уникальным номером.")
            .arg(server);
    if (sqlState == QLatin1String("53100"))
        return QStringLiteral("Сервер %1 отказал: на его диске нет места.").arg(server);
    if (sqlState.startsWith(QLatin1String("57P")) || sqlState.startsWith(QLatin1String("08")))
        return connectionLostMessage(server);
    return QStringLiteral("Сервер %1 отказал: %2 (код %3).").arg(server, primaryMessage, sqlState);
}

} // namespace zelm
