#include "remote/ServerSharedData.h"

#include "server/ServerError.h"
#include "server/ServerRegister.h"
#include "store/FileError.h"
#include "store/ReferenceLists.h"
#include "store/TextFiles.h"

#include <algorithm>

namespace zelm {
namespace {

// Runs a call on the server; its error becomes the FileError the windows show.
template <class F> auto onServer(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const ServerError& e) {
        throw FileError(e.message(), QString());
    }
}

// `ours`, edited from `base`, over `theirs`, stored meanwhile: their lines stay unless this
// edit removed them, and the lines this edit added go after the line they followed.
QStringList mergeLines(const QStringList& base, const QStringList& theirs,
                       const QStringList& ours) {
    QStringList merged;
    for (const QString& line : theirs)
        if (!base.contains(line) || ours.contains(line))
            merged.append(line);
    qsizetype after = -1; // where the last of our lines kept stands in `merged`
    for (const QString& line : ours) {
        const qsizetype at = merged.indexOf(line);
        if (at >= 0) {
            after = at;
            continue;
        }
        if (base.contains(line))
            continue; // they removed it
        merged.insert(++after, line);
    }
    return merged;
}

} // namespace

std::vector<PlacedAttachment> ServerAttachments::attachmentsOf(std::int32_t card) {
    std::vector<PlacedAttachment> out;
    if (card == 0)
        return out;
    for (const ServerRegister::Attachment& a :
         onServer([&] { return m_server.attachmentsOf(card); }))
        out.push_back({a.pos, a.record});
    return out;
}

int ServerAttachments::countAttachments(std::int32_t card) {
    return onServer([&] { return m_server.countAttachments(card); });
}

qint64 ServerAttachments::addAttachment(const TSpisFil& record) {
    return onServer([&] { return m_server.addAttachment(record); });
}

void ServerAttachments::writeAttachment(qint64 pos, const TSpisFil& record) {
    onServer([&] { m_server.writeAttachment(pos, record); });
}

QList<AccessRow> ServerSharedData::openAccessTable(double) {
    return onServer([&] {
        QList<AccessRow> rows;
        for (const QString& name : m_server.accessNames())
            rows.append({QString(), 0, name, QString(), QString()});
        return rows;
    });
}

std::optional<QString> ServerSharedData::login(const QString& name, const QString& password) {
    std::optional<QString> letter = onServer([&] { return m_server.login(name, password); });
    if (letter)
        m_loginName = name;
    return letter;
}

QList<AccessRow> ServerSharedData::accessRows() {
    return onServer([&] {
        std::optional<QList<AccessRow>> rows = m_server.accessRows(m_loginName, m_adminPassword);
        if (!rows)
            throw ServerError(ServerError::Kind::Refused, accessPasswordRefusal(m_loginName));
        m_accessShown = rows;
        return *rows;
    });
}

namespace {
bool sameRows(const QList<AccessRow>& a, const QList<AccessRow>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const AccessRow& x, const AccessRow& y) {
            return x.Kod == y.Kod && x.Data == y.Data && x.FIO == y.FIO && x.Dostup == y.Dostup;
        });
}
} // namespace

std::optional<QString> ServerSharedData::beginAccessEdit() {
    return onServer([&]() -> std::optional<QString> {
        if (std::optional<AccessEditor> holder = m_server.lockAccessEditor())
            return accessTableBusyMessage(*holder);
        return std::nullopt;
    });
}

void ServerSharedData::endAccessEdit() {
    m_adminPassword.fill(QLatin1Char(' '));
    m_adminPassword.clear();
    onServer([&] { m_server.unlockAccessEditor(); });
}

void ServerSharedData::writeAccessRows(const QList<AccessRow>& rows) {
    onServer([&] {
        // Another administrator may have saved the table since it was shown here: saving the
        // rows as shown would drop their change.
        const std::optional<QList<AccessRow>> now =
            m_server.accessRows(m_loginName, m_adminPassword);
        if (!now)
            throw ServerError(ServerError::Kind::Refused, accessPasswordRefusal(m_loginName));
        if (m_accessShown && !sameRows(*now, *m_accessShown))
            throw ServerError(ServerError::Kind::Refused,
                              QStringLiteral("Таблицу доступа изменили на другом рабочем месте "
                                             "после того, как она была показана здесь; она не "
                                             "записана. Закройте окно таблицы и откройте его "
                                             "снова, чтобы увидеть её как есть, и повторите "
                                             "правку."));
        m_server.writeAccessRows(m_loginName, m_adminPassword, rows);
        m_accessShown = m_server.accessRows(m_loginName, m_adminPassword);
    });
}

QStringList ServerSharedData::referenceList(const ReferenceListDef& def) {
    const QString file = QLatin1String(def.file);
    return onServer([&] {
        if (std::optional<QByteArray> stored = m_server.referenceList(file))
            return splitTextLines(*stored);
        // Another workstation may store the list first: then its list stays.
        return splitTextLines(
            m_server.writeReferenceList(file, [&](const std::optional<QByteArray>& now) {
                return now ? *now : joinTextLines(defaultEntries(def));
            }));
    });
}

QStringList ServerSharedData::writeReferenceList(const ReferenceListDef& def,
                                                 const QStringList& asRead,
                                                 const QStringList& entries) {
    return onServer([&] {
        const QByteArray stored = m_server.writeReferenceList(
            QLatin1String(def.file), [&](const std::optional<QByteArray>& now) {
                const QStringList theirs = now ? splitTextLines(*now) : QStringList();
                if (theirs == asRead)
                    return joinTextLines(entries);
                return joinTextLines(mergeLines(asRead, theirs, entries));
            });
        return splitTextLines(stored);
    });
}

} // namespace zelm
