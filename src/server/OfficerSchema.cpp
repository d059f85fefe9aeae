// Rights the server enforces. The access table's logins move into a table only the database's
// owner reads, with Blowfish hashes instead of passwords; the program reaches it only through
// functions that run as the owner with a fixed search path. Workstations connect as officers'
// own roles, members of zelm_officer, which may use the register's tables but not change their
// shape, empty them or touch the access data. Who changed a card is written by the server.
#include "server/OfficerSchema.h"

#include "server/PgConnection.h"
#include "server/ServerError.h"
#include "store/AccessTable.h"
#include "store/DayCount.h"

#include <vector>

namespace zelm {
namespace {

const std::vector<const char*>& tables() {
    static const std::vector<const char*> statements = {
        "CREATE EXTENSION IF NOT EXISTS pgcrypto",
        // `failures` counts wrong passwords given for the row's name since its last login.
        R"(CREATE TABLE IF NOT EXISTS access_logins (
             pos integer PRIMARY KEY,
             kod text NOT NULL,
             data float8 NOT NULL,
             fio text NOT NULL,
             hash text NOT NULL,
             dostup text NOT NULL,
             failures integer NOT NULL DEFAULT 0))",
        // The officer the login function vouched for, per server process. A process id is
        // reused, so the process's start time is kept with it.
        R"(CREATE TABLE IF NOT EXISTS access_sessions (
             pid integer PRIMARY KEY,
             started timestamptz NOT NULL,
             role name NOT NULL,
             fio text NOT NULL))",
        // A workstation that lost its connection vouches again with the token of its login,
        // never with the password, which it does not keep. Only a digest of the token is kept.
        R"(CREATE TABLE IF NOT EXISTS access_tokens (
             token bytea PRIMARY KEY,
             role name NOT NULL,
             fio text NOT NULL,
             expires timestamptz NOT NULL))",
        "REVOKE ALL ON access_logins, access_sessions, access_tokens, access_editor FROM PUBLIC",
    };
    return statements;
}

// The functions. Each that a workstation calls checks the password itself; none raises an
// error on a wrong one, so the count of failures it wrote is kept.
const std::vector<const char*>& functions() {
    static const std::vector<const char*> statements = {
        // The row of `p_name` whose password this is, or NULL. A wrong password costs a second
        // with the name's row locked, so guesses at one name go one a second whatever the
        // number of connections; after three in a row each try waits longer first.
        R"(CREATE OR REPLACE FUNCTION zelm_check_password(p_name text, p_password text)
           RETURNS access_logins LANGUAGE plpgsql SECURITY DEFINER AS $f$
           DECLARE
             r access_logins;
             first_pos integer;
             failed integer;
           BEGIN
             SELECT pos, failures INTO first_pos, failed FROM access_logins
               WHERE fio = p_name ORDER BY pos LIMIT 1 FOR UPDATE;
             IF first_pos IS NULL THEN
               PERFORM crypt(coalesce(p_password, ''), gen_salt('bf', 8));
               PERFORM pg_sleep(1);
               RETURN NULL;
             END IF;
             IF failed >= 3 THEN
               PERFORM pg_sleep(least(failed - 2, 10));
             END IF;
             SELECT * INTO r FROM access_logins
               WHERE fio = p_name AND hash = crypt(coalesce(p_password, ''), hash)
               ORDER BY pos LIMIT 1;
             IF r.pos IS NULL THEN
               UPDATE access_logins SET failures = failures + 1 WHERE pos = first_pos;
               PERFORM pg_sleep(1);
               RETURN NULL;
             END IF;
             UPDATE access_logins SET failures = 0 WHERE pos = first_pos AND failures <> 0;
             RETURN r;
           END $f$)",
        // A server process's start time is shown only to its own role, so the functions that
        // run as the owner are handed it by the caller's part: a false one only fails to match.
        R"(CREATE OR REPLACE FUNCTION zelm_started() RETURNS timestamptz
           LANGUAGE sql AS $f$
             SELECT backend_start FROM pg_stat_get_activity(pg_backend_pid())
           $f$)",
        R"(CREATE OR REPLACE FUNCTION zelm_vouch(p_fio text, p_started timestamptz) RETURNS void
           LANGUAGE sql SECURITY DEFINER AS $f$
             INSERT INTO access_sessions (pid, started, role, fio)
             VALUES (pg_backend_pid(), coalesce(p_started, '-infinity'), session_user, p_fio)
             ON CONFLICT (pid) DO UPDATE SET started = EXCLUDED.started,
               role = EXCLUDED.role, fio = EXCLUDED.fio
           $f$)",
        // The access letter for the right password, with a token to vouch again after a lost
        // connection; no row for a wrong one.
        R"(CREATE OR REPLACE FUNCTION zelm_login_as(p_name text, p_password text,
                                                   p_started timestamptz)
           RETURNS TABLE (dostup text, token text) LANGUAGE plpgsql SECURITY DEFINER AS $f$
           DECLARE
             r access_logins;
             t bytea;
           BEGIN
             r := zelm_check_password(p_name, p_password);
             IF r.pos IS NULL THEN
               RETURN;
             END IF;
             IF r.dostup NOT IN ('Z', 'W') THEN
               RETURN QUERY SELECT r.dostup, NULL::text;
               RETURN;
             END IF;
             PERFORM zelm_vouch(r.fio, p_started);
             DELETE FROM access_tokens WHERE expires < now();
             t := gen_random_bytes(24);
             INSERT INTO access_tokens (token, role, fio, expires)
               VALUES (digest(t, 'sha256'), session_user, r.fio, now() + interval '12 hours');
             RETURN QUERY SELECT r.dostup, encode(t, 'hex');
           END $f$)",
        R"(CREATE OR REPLACE FUNCTION zelm_login(p_name text, p_password text)
           RETURNS TABLE (dostup text, token text) LANGUAGE sql AS $f$
             SELECT * FROM zelm_login_as(p_name, p_password, zelm_started())
           $f$)",
        R"(CREATE OR REPLACE FUNCTION zelm_resume_as(p_token text, p_started timestamptz)
           RETURNS text LANGUAGE plpgsql SECURITY DEFINER AS $f$
           DECLARE
             who text;
           BEGIN
             IF p_token !~ '^[0-9a-f]{48}$' THEN
               RETURN NULL;
             END IF;
             SELECT fio INTO who FROM access_tokens
               WHERE token = digest(decode(p_token, 'hex'), 'sha256')
                 AND role = session_user AND expires > now();
             IF who IS NOT NULL THEN
               PERFORM zelm_vouch(who, p_started);
             END IF;
             RETURN who;
           END $f$)",
        R"(CREATE OR REPLACE FUNCTION zelm_resume(p_token text) RETURNS text
           LANGUAGE sql AS $f$
             SELECT zelm_resume_as(p_token, zelm_started())
           $f$)",
        // Who this session is, as the server knows it: the officer vouched for and the role.
        R"(CREATE OR REPLACE FUNCTION zelm_who_as(p_started timestamptz) RETURNS text
           LANGUAGE sql SECURITY DEFINER AS $f$
             SELECT coalesce((SELECT s.fio || ' (' || session_user || ')'
                                FROM access_sessions s
                               WHERE s.pid = pg_backend_pid() AND s.started = p_started
                                 AND s.role = session_user),
                             session_user::text)
           $f$)",
        // A change of a card's place alone (renumbering) keeps who changed it last.
        R"(CREATE OR REPLACE FUNCTION zelm_stamp_card() RETURNS trigger
           LANGUAGE plpgsql AS $f$
           BEGIN
             IF TG_OP = 'UPDATE' AND NEW.record = OLD.record AND NEW.file = OLD.file
                AND NEW.version = OLD.version THEN
               NEW.changed_by := OLD.changed_by;
               NEW.changed_at := OLD.changed_at;
               NEW.changed_on := OLD.changed_on;
             ELSE
               NEW.changed_by := zelm_who_as(zelm_started());
               NEW.changed_at := now();
             END IF;
             RETURN NEW;
           END $f$)",
        "DROP TRIGGER IF EXISTS cards_stamp ON cards",
        R"(CREATE TRIGGER cards_stamp BEFORE INSERT OR UPDATE ON cards
           FOR EACH ROW EXECUTE FUNCTION zelm_stamp_card())",
        // The names for the login window, in the table's order; nothing else.
        R"(CREATE OR REPLACE FUNCTION zelm_access_names() RETURNS SETOF text
           LANGUAGE sql SECURITY DEFINER AS $f$
             SELECT fio FROM access_logins ORDER BY pos
           $f$)",
        // The table without its hashes, for the administrator (letter Z) alone.
        R"(CREATE OR REPLACE FUNCTION zelm_access_rows(p_name text, p_password text)
           RETURNS TABLE (kod text, data float8, fio text, dostup text)
           LANGUAGE plpgsql SECURITY DEFINER AS $f$
           DECLARE
             r access_logins;
           BEGIN
             r := zelm_check_password(p_name, p_password);
             IF r.pos IS NULL OR r.dostup <> 'Z' THEN
               RETURN;
             END IF;
             RETURN QUERY SELECT l.kod, l.data, l.fio, l.dostup FROM access_logins l ORDER BY l.pos;
           END $f$)",
        // Replaces the table for the administrator: NULL when written, else why not
        // ('password', 'no_z', or 'new:' and the name of a new row without a password). A row
        // whose password is empty keeps the password stored for its name.
        R"(CREATE OR REPLACE FUNCTION zelm_access_write(p_name text, p_password text, p_rows jsonb)
           RETURNS text LANGUAGE plpgsql SECURITY DEFINER AS $f$
           DECLARE
             r access_logins;
             old jsonb;
             missing text;
           BEGIN
             r := zelm_check_password(p_name, p_password);
             IF r.pos IS NULL OR r.dostup <> 'Z' THEN
               RETURN 'password';
             END IF;
             IF jsonb_typeof(p_rows) <> 'array' OR NOT EXISTS (
                  SELECT 1 FROM jsonb_array_elements(p_rows) e WHERE e->>'dostup' = 'Z') THEN
               RETURN 'no_z';
             END IF;
             SELECT e->>'fio' INTO missing FROM jsonb_array_elements(p_rows) e
               WHERE coalesce(e->>'parol', '') = ''
                 AND NOT EXISTS (SELECT 1 FROM access_logins l WHERE l.fio = e->>'fio')
               LIMIT 1;
             IF FOUND THEN
               RETURN 'new:' || coalesce(missing, '');
             END IF;
             SELECT jsonb_object_agg(fio, hash) INTO old
               FROM (SELECT DISTINCT ON (fio) fio, hash FROM access_logins ORDER BY fio, pos) o;
             DELETE FROM access_logins;
             INSERT INTO access_logins (pos, kod, data, fio, hash, dostup)
             SELECT n, left(coalesce(e->>'kod', ''), 2), coalesce((e->>'data')::float8, 0),
                    left(coalesce(e->>'fio', ''), 20),
                    CASE WHEN coalesce(e->>'parol', '') = '' THEN old->>(e->>'fio')
                         ELSE crypt(left(e->>'parol', 6), gen_salt('bf', 8)) END,
                    left(coalesce(e->>'dostup', ''), 1)
               FROM jsonb_array_elements(p_rows) WITH ORDINALITY AS x(e, n);
             DELETE FROM access_tokens t
               WHERE NOT EXISTS (SELECT 1 FROM access_logins l
                                  WHERE l.fio = t.fio AND l.dostup IN ('Z', 'W'));
             PERFORM pg_notify('zelm', 'access');
             RETURN NULL;
           END $f$)",
        // The editor's holder, written only by the holder of the editor's lock.
        R"(CREATE OR REPLACE FUNCTION zelm_access_editor_take(p_holder text, p_machine text) RETURNS boolean
           LANGUAGE plpgsql SECURITY DEFINER AS $f$
           BEGIN
             IF NOT EXISTS (SELECT 1 FROM pg_locks WHERE locktype = 'advisory'
                             AND pid = pg_backend_pid() AND classid = 1514490957::oid
                             AND objid = 3::oid AND granted) THEN
               RETURN false;
             END IF;
             INSERT INTO access_editor (id, holder, machine, since, backend)
               VALUES (1, p_holder, p_machine, now(), pg_backend_pid())
             ON CONFLICT (id) DO UPDATE SET holder = EXCLUDED.holder,
               machine = EXCLUDED.machine, since = now(), backend = EXCLUDED.backend;
             RETURN true;
           END $f$)",
        R"(CREATE OR REPLACE FUNCTION zelm_access_editor_holder()
           RETURNS TABLE (holder text, machine text, since float8)
           LANGUAGE sql SECURITY DEFINER AS $f$
             SELECT holder, machine, extract(epoch FROM since)::float8 FROM access_editor
           $f$)",
    };
    return statements;
}

// Every function gets the search path of the schema it was made in (and of pgcrypto), so a
// caller's own objects never stand in for the tables or functions it uses; only zelm_officer
// may call those a workstation needs.
const char* kLockDown = R"(DO $d$
    DECLARE
      f record;
      path text;
    BEGIN
      SELECT string_agg(DISTINCT quote_ident(n), ', ') INTO path
        FROM (SELECT current_schema() AS n UNION
              SELECT extnamespace::regnamespace::text FROM pg_extension
               WHERE extname = 'pgcrypto') s;
      FOR f IN SELECT p.oid::regprocedure AS sig, p.proname FROM pg_proc p
                WHERE p.pronamespace = current_schema()::regnamespace
                  AND p.proname LIKE 'zelm\_%' LOOP
        EXECUTE format('ALTER FUNCTION %s SET search_path = %s, pg_temp', f.sig, path);
        EXECUTE format('REVOKE ALL ON FUNCTION %s FROM PUBLIC', f.sig);
        IF f.proname IN ('zelm_login', 'zelm_login_as', 'zelm_resume', 'zelm_resume_as',
                         'zelm_started', 'zelm_who_as', 'zelm_access_names', 'zelm_access_rows',
                         'zelm_access_write', 'zelm_access_editor_take',
                         'zelm_access_editor_holder') THEN
          EXECUTE format('GRANT EXECUTE ON FUNCTION %s TO zelm_officer', f.sig);
        END IF;
      END LOOP;
    END $d$)";

// Rights given by hand to single roles before (as an earlier set-up asked: all rights on all
// tables) are withdrawn: from this version on, a workstation's rights are zelm_officer's.
const char* kWithdrawOldGrants = R"(DO $d$
    DECLARE
      g record;
    BEGIN
      FOR g IN SELECT DISTINCT c.oid::regclass AS rel, a.grantee::regrole AS who
                 FROM pg_class c, aclexplode(c.relacl) a
                WHERE c.relnamespace = current_schema()::regnamespace
                  AND c.relkind IN ('r', 'S', 'v', 'm', 'p')
                  AND a.grantee <> 0 AND a.grantee <> c.relowner
                  AND a.grantee <> 'zelm_officer'::regrole LOOP
        EXECUTE format('REVOKE ALL ON %s FROM %s', g.rel, g.who);
      END LOOP;
    END $d$)";

// What a workstation needs, and no more: no TRUNCATE, no REFERENCES or TRIGGER, nothing on the
// access data. Tables and sequences a later version makes are readable by officers without a
// grant of their own; a table they may write gets its grant with the version that makes it.
const std::vector<const char*>& grants() {
    static const std::vector<const char*> statements = {
        "REVOKE ALL ON cards, card_search, attachments, reference_lists, zelm_schema FROM PUBLIC",
        "GRANT SELECT, INSERT, UPDATE, DELETE ON cards, card_search, attachments, reference_lists "
        "TO zelm_officer",
        "GRANT SELECT ON zelm_schema TO zelm_officer",
        "GRANT USAGE ON SEQUENCE cards_id_seq TO zelm_officer",
        "ALTER DEFAULT PRIVILEGES GRANT SELECT ON TABLES TO zelm_officer",
        "ALTER DEFAULT PRIVILEGES GRANT USAGE ON SEQUENCES TO zelm_officer",
        "ALTER DEFAULT PRIVILEGES REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC",
    };
    return statements;
}

void makeOfficerGroup(PgConnection& c) {
    const PgResult r =
        c.exec("SELECT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelm_officer'), "
               "(SELECT rolsuper OR rolcreaterole FROM pg_roles WHERE rolname = current_user)");
    if (r.boolean(0, 0))
        return;
    if (!r.boolean(0, 1))
        throw ServerError(ServerError::Kind::Refused,
                          QStringLiteral("На сервере %1 нет группы zelm_officer, а владелец базы "
                                         "не может её создать. Администратор сервера создаёт её "
                                         "командой CREATE ROLE zelm_officer NOLOGIN (см. README), "
                                         "затем программу запускают снова.")
                              .arg(c.serverName()));
    c.exec("CREATE ROLE zelm_officer NOLOGIN");
}

// The rows of the access table kept so far as the bytes of Dostup.dat, or the four default
// rows on a new register, stored with hashes.
// A database that has had this upgrade before (its version set back by hand) keeps its logins.
void moveLogins(PgConnection& c) {
    const PgResult state = c.exec("SELECT to_regclass('access_table') IS NOT NULL, "
                                  "EXISTS (SELECT 1 FROM access_logins)");
    const bool oldTable = state.boolean(0, 0);
    if (!oldTable && state.boolean(0, 1))
        return;
    QList<AccessRow> rows = defaultAccessRows(todayDayCount());
    if (oldTable) {
        const PgResult had = c.exec("SELECT content FROM access_table WHERE id = 1");
        if (had.rows())
            rows = accessRowsFromBytes(had.bytes(0, 0));
    }
    storeLogins(c, rows);
    if (oldTable)
        c.exec("DROP TABLE access_table");
}

// PostgreSQL's literal of a text[]: every element quoted, so no text reads as NULL or a
// separator.
QString textArrayLiteral(const QStringList& items) {
    QString out = QStringLiteral("{");
    for (const QString& item : items) {
        if (out.size() > 1)
            out += QLatin1Char(',');
        QString quoted = item;
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        quoted.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        out += QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return out + QLatin1Char('}');
}

} // namespace

void storeLogins(PgConnection& c, const QList<AccessRow>& rows) {
    // One statement for the whole table, each row hashed with a salt of its own.
    QStringList kod, fio, parol, dostup;
    QByteArray data = "{";
    for (const AccessRow& row : rows) {
        kod << row.Kod.left(2);
        fio << row.FIO.left(20);
        parol << row.Parol.trimmed().left(6);
        dostup << row.Dostup.left(1);
        data += (data.size() > 1 ? "," : "") + QByteArray::number(row.Data, 'g', 17);
    }
    data += '}';
    c.exec("DELETE FROM access_logins");
    c.exec("INSERT INTO access_logins (pos, kod, data, fio, hash, dostup) "
           "SELECT n, kod, data, fio, crypt(parol, gen_salt('bf', 8)), dostup "
           "FROM unnest($1::text[], $2::float8[], $3::text[], $4::text[], $5::text[]) "
           "WITH ORDINALITY AS r (kod, data, fio, parol, dostup, n)",
           {PgParam::text(textArrayLiteral(kod)), PgParam{data, false},
            PgParam::text(textArrayLiteral(fio)), PgParam::text(textArrayLiteral(parol)),
            PgParam::text(textArrayLiteral(dostup))});
    c.exec("DELETE FROM access_tokens");
}

void upgradeToOfficerRoles(PgConnection& c) {
    makeOfficerGroup(c);
    for (const char* statement : tables())
        c.exec(statement);
    moveLogins(c);
    for (const char* statement : functions())
        c.exec(statement);
    c.exec(kLockDown);
    c.exec(kWithdrawOldGrants);
    for (const char* statement : grants())
        c.exec(statement);
}

} // namespace zelm
