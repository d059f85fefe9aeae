#include "server/ServerError.h"

namespace zelm {

ServerError::ServerError(Kind kind, QString message, QString sqlState, Detail detail)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(std::move(message)),
      m_sqlState(std::move(sqlState)), m_detail(detail) {}

namespace {

// TLS faults, in words an administrator can act on; libpq's own text follows for them.
QString tlsReason(const QString& m) {
    const auto has = [&](const char* s) {
        return m.contains(QLatin1String(s), Qt::CaseInsensitive);
    };
    if (has("root certificate file") || has("root.crt"))
        return QStringLiteral("на этом компьютере нет сертификата сервера: положите его (или "
                              "сертификат удостоверяющего центра) в файл ~/.postgresql/root.crt "
                              "в домашней папке пользователя.");
    if (has("does not match host name") || has("server certificate for"))
        return QStringLiteral("сертификат сервера выдан на другое имя, чем стоит в Server.vez: "
                              "это может быть чужой сервер. Напишите в Server.vez имя из "
                              "сертификата сервера.");
    if (has("certificate verify failed") || has("self-signed certificate") ||
        has("unable to get local issuer") || has("certificate has expired") ||
        has("certificate is not yet valid"))
        return QStringLiteral("сертификат сервера не подтверждён сертификатом из "
                              "~/.postgresql/root.crt (чужой, просроченный или не тот "
                              "сертификат): это может быть чужой сервер.");
    if (has("server does not support SSL") || has("SSL is not enabled"))
        return QStringLiteral("сервер не принимает защищённых соединений: включите на нём "
                              "ssl = on (postgresql.conf) и задайте его сертификат.");
    if (has("no encryption"))
        return QStringLiteral("сервер пускает этот компьютер только по защищённому соединению "
                              "(pg_hba.conf): укажите в Server.vez sslmode=verify-full.");
    if (has("SSL") || has("certificate") || has("TLS"))
        return QStringLiteral("защищённое соединение с сервером не установлено.");
    return {};
}

const char* privilegeOf(const char* sql) {
    QByteArray text = QByteArray(sql ? sql : "").trimmed().toUpper();
    if (text.startsWith("WITH")) {
        // A data-modifying WITH writes; which of its parts met the refusal is not told.
        for (const char* verb : {"INSERT", "UPDATE", "DELETE"})
            if (text.contains(verb))
                return verb;
        return "SELECT";
    }
    for (const char* verb : {"SELECT", "INSERT", "UPDATE", "DELETE", "TRUNCATE"})
        if (text.startsWith(verb))
            return verb;
    return nullptr;
}

QString privilegeName(const char* verb) {
    const QByteArray v(verb);
    if (v == "SELECT")
        return QStringLiteral("чтение (SELECT)");
    if (v == "INSERT")
        return QStringLiteral("добавление строк (INSERT)");
    if (v == "UPDATE")
        return QStringLiteral("изменение строк (UPDATE)");
    if (v == "DELETE")
        return QStringLiteral("удаление строк (DELETE)");
    return QStringLiteral("очистку (TRUNCATE)");
}

} // namespace

QString connectFailureMessage(const QString& server, const QString& user, const QString& database,
                              const QString& libpqMessage) {
    const QString m = libpqMessage.trimmed();
    const auto has = [&](const char* s) {
        return m.contains(QLatin1String(s), Qt::CaseInsensitive);
    };
    QString reason = tlsReason(m);
    if (!reason.isEmpty())
        return QStringLiteral("Нет защищённой связи с сервером %1: %2\nСообщение libpq (для "
                              "администратора): %3")
            .arg(server, reason, m);
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
    else if (has("closed the connection unexpectedly") || has("Connection reset"))
        reason = QStringLiteral("соединение оборвалось, едва начавшись; повторите позже.");
    else if (has("SSL") || has("certificate"))
        reason = QStringLiteral("не удалось установить защищённое соединение (для "
                                "администратора: %1)")
                     .arg(m);
    else
        reason = m.isEmpty() ? QStringLiteral("причина неизвестна.")
                             : QStringLiteral("сервер не принял соединение (для "
                                              "администратора: %1)")
                                   .arg(m);
    return QStringLiteral("Нет связи с сервером %1: %2").arg(server, reason);
}

QString connectionLostMessage(const QString& server) {
    return QStringLiteral("Связь с сервером %1 прервалась; команда не выполнена, на сервере "
                          "ничего не изменено. Следующая команда соединится снова.")
        .arg(server);
}

QString damagedCardMessage(const QString& server, qint32 uniq, qint64 key, int length) {
    return QStringLiteral("Карточка с уникальным номером %1 (ключ %2) на сервере %3 повреждена: "
                          "её запись длиной %4 байт вместо 1744. Она не показана и не "
                          "выгружена; сообщите администратору сервера.")
        .arg(uniq)
        .arg(key)
        .arg(server)
        .arg(length);
}

QString cancelledMessage(const QString& server) {
    return QStringLiteral("Команда отменена; на сервере %1 она ничего не изменила.").arg(server);
}

QString silentServerMessage(const QString& server, int seconds) {
    return QStringLiteral("Сервер %1 не ответил за %2 с: связь с ним, видимо, прервалась. "
                          "Команда не выполнена; правка, если она была, осталась в окне. "
                          "Следующая команда соединится снова.")
        .arg(server)
        .arg(seconds);
}

namespace {

// What a refusal means, by its code or the code's class; empty when there is no Russian word
// for it.
QString refusalReason(const QString& state, const QString& constraint) {
    const auto is = [&](const char* code) { return state == QLatin1String(code); };
    const auto inClass = [&](const char* cls) { return state.startsWith(QLatin1String(cls)); };
    if (is("42501"))
        return QStringLiteral("у пользователя нет прав на это действие");
    if (is("23505") && constraint.startsWith(QLatin1String("cards_uniq")))
        return QStringLiteral("в картотеке уже есть карточка с этим уникальным номером");
    if (is("23505"))
        return QStringLiteral("такая запись на сервере уже есть");
    if (is("53100"))
        return QStringLiteral("на его диске нет места");
    if (is("53300"))
        return QStringLiteral("к нему подключено слишком много программ");
    if (is("57014"))
        return QStringLiteral("команда выполнялась дольше отведённого ей времени и отменена");
    if (is("55P03"))
        return QStringLiteral("нужные карточки слишком долго заняты другим рабочим местом");
    if (is("40001") || is("40P01"))
        return QStringLiteral("команда столкнулась с работой другого рабочего места; "
                              "повторите её");
    if (is("25006"))
        return QStringLiteral("он сейчас только читает (резервный сервер)");
    if (is("42P07") || is("42710"))
        return QStringLiteral("таблицы программы уже созданы другим рабочим местом; "
                              "повторите запуск");
    if (is("42P01") || is("42703"))
        return QStringLiteral("в его базе данных нет таблиц этой версии программы");
    if (inClass("23"))
        return QStringLiteral("запись нарушила бы правила целостности картотеки");
    if (inClass("22"))
        return QStringLiteral("значение не подходит для хранения на сервере");
    if (inClass("53") || inClass("54"))
        return QStringLiteral("ему не хватает ресурсов");
    if (inClass("58") || inClass("XX"))
        return QStringLiteral("внутренняя ошибка сервера; сообщите администратору");
    return {};
}

} // namespace

QString commandFailureMessage(const QString& server, const QString& sqlState,
                              const QString& primaryMessage, const QString& constraint,
                              const QString& user, const char* sql) {
    if (sqlState == QLatin1String("42501")) {
        const QString who = user.isEmpty() ? QStringLiteral("у пользователя")
                                           : QStringLiteral("у роли «%1»").arg(user);
        // "permission denied for table cards": the object is the message's last word.
        const QString object = primaryMessage.section(QLatin1Char(' '), -1);
        const char* verb = privilegeOf(sql);
        if (primaryMessage.startsWith(QLatin1String("permission denied for table")) && verb)
            return QStringLiteral("Сервер %1 отказал: %2 нет права на %3 таблицы %4. Права "
                                  "даёт владелец базы данных: роль должна входить в группу "
                                  "zelm_officer (см. README).")
                .arg(server, who, privilegeName(verb), object);
        return QStringLiteral("Сервер %1 отказал: %2 нет прав на это действие (%3).")
            .arg(server, who, primaryMessage);
    }
    if (sqlState.startsWith(QLatin1String("57P")) || sqlState.startsWith(QLatin1String("08")))
        return connectionLostMessage(server);
    const QString reason = refusalReason(sqlState, constraint);
    if (!reason.isEmpty())
        return QStringLiteral("Сервер %1 отказал: %2. Команда не выполнена (код ошибки "
                              "сервера %3).")
            .arg(server, reason, sqlState);
    return QStringLiteral("Сервер %1 отказал выполнить команду; она не выполнена. Для "
                          "администратора: код ошибки сервера %2 (%3).")
        .arg(server, sqlState, primaryMessage);
}

} // namespace zelm
