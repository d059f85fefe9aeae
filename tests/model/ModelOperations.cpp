#include "model/ModelOperations.h"

#include "model/RegisterUnderTest.h"

#include <QDataStream>
#include <QIODevice>
#include <rapidcheck.h>

namespace zelm::model {
namespace {

using Outcome = CardSession::SaveOutcome;

size_t pick(int a, size_t n) {
    return static_cast<size_t>(a) % n;
}

const char* kindName(Operation::Kind k) {
    static const char* names[] = {"Show",
                                  "EditAndSave",
                                  "NewAndSave",
                                  "CopyAndSave",
                                  "InsertAfter",
                                  "Delete",
                                  "Mark",
                                  "ShownToWorking",
                                  "RemoveFromWorking",
                                  "EmptyWorking",
                                  "FindAll",
                                  "RemoveArchived",
                                  "Restart",
                                  "ChangeElsewhere",
                                  "CutElsewhere",
                                  "ReplaceElsewhere"};
    return names[k];
}

// A new card with the fields typed, saved; `wanted` is the unique number the window offered.
void saveNewCard(ModelRegister& m, RegisterUnderTest& p, std::int32_t wanted, const Card& typed) {
    CardSession& s = p.session();
    bool empty = false;
    const std::int32_t running = s.beginNewCard(empty);
    RC_ASSERT(empty == m.main.empty());
    RC_ASSERT(running == (m.main.empty() ? 1 : m.main.back().runningNumber + 1));
    Card mine = typed;
    mine.runningNumber = running;
    mine.number = wanted;
    s.setEdits(toRecord(mine));
    RC_ASSERT(s.save() == Outcome::Appended);
    const Card stored = fromRecord(s.CurrentCard());
    // A number already stored is never given twice.
    if (m.numberTaken(p.home(), stored.number)) {
        std::string numbers;
        for (const Card& c : m.main)
            numbers += " " + std::to_string(c.number);
        RC_FAIL("a new card took the number " + std::to_string(stored.number) +
                " of a stored card; wanted " + std::to_string(wanted) +
                "; the Main card file:" + numbers);
    }
    if (!m.numberTaken(p.home(), wanted))
        RC_ASSERT(stored.number == wanted);
    mine.number = stored.number;
    mine.admin = p.user().UserFIO;
    RC_ASSERT(stored == mine);
    m.main.push_back(mine);
    m.shown = m.main.size() - 1;
    m.asRead = mine;
}

void editAndSave(const Operation& op, ModelRegister& m, RegisterUnderTest& p) {
    CardSession& s = p.session();
    TAnketa record = s.CurrentCard(); // the card as shown, with the fields edited
    record.NameOrg.set(op.text);
    record.INNOrg.set(op.inn);
    record.Prime4.set(op.note);
    s.setEdits(record);
    Card mine = m.asRead;
    mine.nameOrg = op.text;
    mine.inn = op.inn;
    mine.note = op.note;
    mine.admin = p.user().UserFIO;
    const std::optional<size_t> at = m.shownNow();
    Outcome outcome = s.save();
    if (!at) {
        RC_ASSERT(outcome == Outcome::Gone);
        return;
    }
    if (m.main[*at] != m.asRead) {
        // Someone else stored it since it was read: the user is asked.
        RC_ASSERT(outcome == Outcome::Conflict);
        RC_ASSERT(fromRecord(s.theirs().card) == m.main[*at]);
        if (!op.flag)
            return;
        outcome = s.saveOver();
    }
    RC_ASSERT(outcome == Outcome::Overwritten);
    m.main[*at] = mine;
    m.shown = at;
    m.asRead = mine;
}

// Card `a` (modulo their number) of the Working card file or the Archive taken out.
void removeSideCard(CardSession& s, SideFile which, std::vector<Card>& cards, int a) {
    if (cards.empty())
        return;
    const size_t i = pick(a, cards.size());
    RC_ASSERT(s.removeCard(which, qint64(i)));
    cards.erase(cards.begin() + static_cast<std::ptrdiff_t>(i));
}

} // namespace

std::ostream& operator<<(std::ostream& os, const Operation& op) {
    os << kindName(op.kind) << "(a=" << op.a << (op.flag ? ", да" : ", нет");
    if (!op.text.isEmpty() || !op.inn.isEmpty() || !op.note.isEmpty())
        os << ", «" << op.text.toStdString() << "», «" << op.inn.toStdString() << "», «"
           << op.note.toStdString() << "»";
    if (op.killAfterUs >= 0)
        os << ", убита через " << op.killAfterUs << " мкс";
    return os << ")";
}

QByteArray encodeOperation(const Operation& op) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(op.kind) << qint32(op.a) << op.flag << op.text << op.inn << op.note
        << qint32(op.killAfterUs);
    return bytes;
}

Operation decodeOperation(const QByteArray& bytes) {
    QDataStream in(bytes);
    Operation op;
    qint32 kind = 0, a = 0, kill = -1;
    in >> kind >> a >> op.flag >> op.text >> op.inn >> op.note >> kill;
    op.kind = Operation::Kind(kind);
    op.a = a;
    op.killAfterUs = kill;
    return op;
}

void runOperation(const Operation& op, ModelRegister& m, RegisterUnderTest& p) {
    CardSession& s = p.session();
    const bool folder = p.home() == Home::Folder;
    switch (op.kind) {
    case Operation::Show:
        if (m.main.empty())
            return;
        m.shown = pick(op.a, m.main.size());
        m.asRead = m.main[*m.shown];
        s.showMainCard(qint64(*m.shown));
        RC_ASSERT(fromRecord(s.CurrentCard()) == m.asRead);
        return;
    case Operation::EditAndSave:
        if (m.shown)
            editAndSave(op, m, p);
        return;
    case Operation::NewAndSave: {
        // Now and then the window offers a number some card already has.
        const std::int32_t wanted =
            op.flag && !m.main.empty() ? m.main[pick(op.a, m.main.size())].number : 500000 + op.a;
        saveNewCard(m, p, wanted, Card{0, 0, op.text, op.inn, op.note, false, {}});
        return;
    }
    case Operation::CopyAndSave:
        if (!m.shown)
            return;
        saveNewCard(m, p, m.asRead.number,
                    Card{0, 0, m.asRead.nameOrg, m.asRead.inn, m.asRead.note, false, {}});
        return;
    case Operation::InsertAfter: {
        if (m.main.empty())
            return;
        const size_t anchor = pick(op.a, m.main.size());
        const std::int32_t running = op.a % 900 + 1;
        RC_ASSERT(s.insertBlankCardAfter(qint64(anchor), running) == qint64(anchor + 1));
        const Card stored = fromRecord(s.CurrentCard());
        RC_ASSERT(!m.numberTaken(p.home(), stored.number));
        const Card blank{stored.number, running, {}, {}, {}, false, p.user().UserFIO};
        RC_ASSERT(stored == blank);
        m.afterInsertion(p.home(), anchor + 1, blank);
        m.asRead = blank;
        return;
    }
    case Operation::Delete:
        if (!m.shownIntact())
            return;
        RC_ASSERT(s.canDeleteShownCard());
        s.deleteShownCard(op.flag ? DeletionKind::IntoArchive : DeletionKind::ForGood);
        m.afterDeletion(p.home(), op.flag);
        if (m.shown)
            RC_ASSERT(fromRecord(s.CurrentCard()) == m.asRead);
        else
            RC_ASSERT(s.shown() == CardSession::Shown::Blank);
        return;
    case Operation::Mark:
        if (!m.shownIntact())
            return;
        RC_ASSERT(s.toggleMark());
        m.main[*m.shown].marked = !m.main[*m.shown].marked;
        m.asRead = m.main[*m.shown];
        return;
    case Operation::ShownToWorking:
        if (!m.shown)
            return;
        RC_ASSERT(s.appendShownToWorking());
        m.working.push_back(m.asRead);
        return;
    case Operation::RemoveFromWorking:
        removeSideCard(s, SideFile::Working, m.working, op.a);
        return;
    case Operation::EmptyWorking:
        s.emptyWorking();
        m.working.clear();
        return;
    case Operation::FindAll: {
        qint64 expected = 0;
        for (const Card& c : m.main)
            if (c.nameOrg.contains(op.text)) {
                m.working.push_back(c);
                ++expected;
            }
        const QString letters = op.text;
        RC_ASSERT(s.appendMatchesToWorking([&letters](const TAnketa& c) {
            return c.NameOrg.text().contains(letters);
        }) == expected);
        return;
    }
    case Operation::RemoveArchived:
        removeSideCard(s, SideFile::Archive, m.archive, op.a);
        return;
    case Operation::Restart:
        p.restart(); // a new session: `s` is gone with the old one
        m.working.clear();
        m.showLast();
        if (m.shown)
            RC_ASSERT(fromRecord(p.session().CurrentCard()) == m.asRead);
        return;
    case Operation::ChangeElsewhere: {
        if (m.main.empty())
            return;
        const size_t i = pick(op.a, m.main.size());
        Card theirs = m.main[i];
        theirs.nameOrg = QStringLiteral("чужая правка %1").arg(op.a);
        if (theirs == m.main[i])
            theirs.nameOrg += QLatin1Char('!');
        p.changeElsewhere(i, theirs);
        m.main[i] = theirs;
        return;
    }
    case Operation::CutElsewhere:
        if (!folder || m.main.empty())
            return;
        m.main.resize(pick(op.a, m.main.size()));
        p.cutMainElsewhere(m.main.size());
        return;
    case Operation::ReplaceElsewhere:
        if (!folder || m.main.size() < 2)
            return;
        {
            const size_t by = pick(op.a, m.main.size());
            std::rotate(m.main.begin(), m.main.begin() + static_cast<std::ptrdiff_t>(by),
                        m.main.end());
            p.rotateMainElsewhere(by);
        }
        return;
    }
}

void checkStored(const ModelRegister& m, RegisterUnderTest& p) {
    RC_ASSERT(p.stored(RegisterFile::Main) == m.main);
    RC_ASSERT(p.stored(RegisterFile::Archive) == m.archive);
    RC_ASSERT(p.working() == m.working);
}

} // namespace zelm::model
