// Random sequences of what users and other programs do, run on the program over both homes and
// on a plain model of the register; after every step the register as stored equals the model.
// A failure is shrunk to the shortest sequence that shows it and printed with its seed.
//   ZELM_MODEL_CASES  sequences per home (default: a budget of about a minute per home)
//   ZELM_MODEL_STEPS  the longest sequence
//   ZELM_MODEL_SEED   the seed of the search (as printed by a failure)
//   ZELM_MODEL_NO_SHRINKING  a failure as it came (for one that does not come again)
//   ZELM_MODEL_KILLS  one step in so many is killed in DataFolderKilled (KilledStep.h)
#include "common/PgTestServer.h"
#include "model/KilledStep.h"
#include "model/ModelOperations.h"
#include "model/RegisterUnderTest.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <random>
#include <rapidcheck.h>
#include <sstream>

// So that a failure prints the texts a sequence typed.
inline std::ostream& operator<<(std::ostream& os, const QString& text) {
    return os << '"' << text.toStdString() << '"';
}

namespace rc {

template <> struct Arbitrary<zelm::model::Operation> {
    static Gen<zelm::model::Operation> arbitrary();
};

} // namespace rc

namespace zelm::model {
namespace {

// One step in so many is killed in the middle; 0: none.
int g_killOdds = 0;
// A kill's moment does not come again when a sequence runs again: the shrunk sequence may then
// pass, and the failure is told as it last came.
std::string g_lastFailure;

// Text as a user types it: Cyrillic, digits, signs, now and then as long as the field holds.
rc::Gen<QString> typedText(int maxBytes, bool lines) {
    return rc::gen::exec([=] {
        static const QString letters =
            QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЁЖЮЯ 0123456789«»№-");
        const int length = *rc::gen::oneOf(rc::gen::inRange(0, 12), rc::gen::just(maxBytes));
        QString text;
        int bytes = 0;
        while (bytes < length) {
            if (lines && bytes + 2 <= length && *rc::gen::inRange(0, 8) == 0) {
                text += QStringLiteral("\r\n");
                bytes += 2;
                continue;
            }
            text += letters.at(*rc::gen::inRange(0, int(letters.size())));
            ++bytes;
        }
        return text;
    });
}

// Sequences that once failed, shrunk, run first every time on both homes; a sequence names
// its operations' arguments only where they matter.
struct FoundSequence {
    const char* fault;
    int cards; // the register's cards before it
    std::vector<Operation> operations;
};

Operation op(Operation::Kind kind, int a = 0, bool flag = false) {
    Operation o;
    o.kind = kind;
    o.a = a;
    o.flag = flag;
    o.text = QStringLiteral("ООО «Ромашка»");
    return o;
}

// The same, its program killed `us` microseconds into it.
Operation killed(Operation o, int us) {
    o.killAfterUs = us;
    return o;
}

// `o` killed at moments spread over the time it takes: the moment that tore the register once
// does not come again at the same microsecond. Each save writes other fields than the last.
std::vector<Operation> killedOften(const Operation& o) {
    std::vector<Operation> ops;
    for (int i = 1; i <= 8; ++i) {
        Operation k = killed(o, 400 * i);
        k.text += QString::number(i);
        k.note = QStringLiteral("примечание %1\r\n").arg(i).repeated(i);
        ops.push_back(k);
    }
    return ops;
}

std::vector<Operation> operator+(std::vector<Operation> a, const std::vector<Operation>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<FoundSequence> kFound = {
    {"a deletion into the Archive killed after the card was archived and before the register "
     "lost it: the card stood in both",
     9, killedOften(op(Operation::Delete, 0, true))},
    {"a save killed in the middle of its write: the card's first page new, the rest old", 3,
     std::vector<Operation>{op(Operation::Show, 2)} + killedOften(op(Operation::EditAndSave))},
    {"a copy made by a program started again within the clock's tick took the number of the "
     "card it copied",
     1,
     {op(Operation::InsertAfter), killed(op(Operation::CopyAndSave), 1000000)}},
    {"a deletion while the index of numbers was built again after another program's change: the "
     "index read the new register and then lost the deletion's neighbour too, so a new card "
     "kept a number the register held",
     2,
     {op(Operation::CopyAndSave, 24), op(Operation::ChangeElsewhere, 98), op(Operation::Show, 153),
      op(Operation::Delete, 78, true), op(Operation::Delete, 214, true),
      op(Operation::Show, 146, true), op(Operation::NewAndSave, 15, true)}},
    {"a count answered from a Main card file that had lost its name: «Новая» took the running "
     "number from a card no longer there",
     1,
     {op(Operation::NewAndSave), op(Operation::ReplaceElsewhere), op(Operation::CutElsewhere),
      op(Operation::CopyAndSave)}},
};

int setting(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

std::vector<Card> initialCards(int n, bool random) {
    std::vector<Card> cards;
    for (int i = 0; i < n; ++i) {
        Card c{1000 + 7 * i,
               i + 1,
               QStringLiteral("ИП Сидоров %1").arg(i),
               QStringLiteral("77%1").arg(i),
               QStringLiteral("строка\r\nещё"),
               false,
               QStringLiteral("Иванов И.И.")};
        if (random) {
            c.nameOrg = *typedText(100, false);
            c.inn = *typedText(20, false);
            c.note = *typedText(250, true);
        }
        cards.push_back(c);
    }
    return cards;
}

// One sequence on a register made afresh.
void runSequence(Home home, testing::PgTestServer* pg, const std::vector<Card>& initial,
                 const std::vector<Operation>& operations) {
    ModelRegister model;
    model.main = initial;
    RegisterUnderTest program(home, pg, model.main);
    model.showLast();
    checkStored(model, program);
    try {
        for (const Operation& op : operations) {
            if (op.killAfterUs >= 0)
                runKilled(op, model, program);
            else
                runOperation(op, model, program);
            checkStored(model, program);
        }
    } catch (const rc::detail::CaseResult& failure) {
        g_lastFailure = failure.description;
        throw;
    }
}

// Runs `property` under RapidCheck; a failure is reported with what reproduces it.
template <typename Property>
void expectHolds(Property&& property, const rc::detail::TestParams& params,
                 const std::string& what) {
    const auto result = rc::detail::checkTestable(std::forward<Property>(property),
                                                  rc::detail::TestMetadata{}, params);
    std::ostringstream report;
    rc::detail::printResultMessage(result, report);
    if (!g_lastFailure.empty())
        report << "\nThe last failure:\n" << g_lastFailure;
    g_lastFailure.clear();
    rc::detail::FailureResult failure;
    rc::detail::Error error;
    EXPECT_FALSE(result.match(failure)) << what << "\n" << report.str();
    EXPECT_FALSE(result.match(error)) << what << "\n" << report.str();
}

void checkHome(Home home, testing::PgTestServer* pg, int defaultCases, int killOdds = 0) {
    g_killOdds = killOdds;
    rc::detail::TestParams params;
    params.maxSuccess = 1;
    for (const FoundSequence& found : kFound)
        expectHolds(
            [&] { runSequence(home, pg, initialCards(found.cards, false), found.operations); },
            params, std::string("once failed: ") + found.fault);

    params.maxSize = setting("ZELM_MODEL_STEPS", 40);
    params.maxSuccess = setting("ZELM_MODEL_CASES", defaultCases);
    // A failure that does not come again when run again is shown as it came, unshrunk.
    params.disableShrinking = qEnvironmentVariableIsSet("ZELM_MODEL_NO_SHRINKING");
    params.seed = qEnvironmentVariableIsSet("ZELM_MODEL_SEED")
                      ? qEnvironmentVariable("ZELM_MODEL_SEED").toULongLong()
                      : std::random_device{}() * 0x100000001ull;
    expectHolds(
        [home, pg](const std::vector<Operation>& operations) {
            runSequence(home, pg, initialCards(*rc::gen::inRange(0, 6), true), operations);
        },
        params,
        "seed " + std::to_string(params.seed) + " (ZELM_MODEL_SEED=" + std::to_string(params.seed) +
            " searches the same way again; the program's own random numbers may take it "
            "elsewhere)");
}

TEST(RegisterModel, DataFolder) {
#ifdef ZELM_SANITIZED
    checkHome(Home::Folder, nullptr, 100, 1000);
#else
    checkHome(Home::Folder, nullptr, 2000, 1000);
#endif
}

// The same with the program killed at a random moment of about one step in five.
TEST(RegisterModel, DataFolderKilled) {
#ifdef ZELM_SANITIZED
    checkHome(Home::Folder, nullptr, 8, setting("ZELM_MODEL_KILLS", 5));
#else
    checkHome(Home::Folder, nullptr, 200, setting("ZELM_MODEL_KILLS", 5));
#endif
}

TEST(RegisterModel, Server) {
    testing::PgTestServer pg;
    if (!pg.running())
        GTEST_SKIP() << "no PostgreSQL server: " << pg.unavailable().toStdString();
#ifdef ZELM_SANITIZED
    checkHome(Home::Server, &pg, 20);
#else
    checkHome(Home::Server, &pg, 200);
#endif
}

} // namespace
} // namespace zelm::model

rc::Gen<zelm::model::Operation> rc::Arbitrary<zelm::model::Operation>::arbitrary() {
    using zelm::model::Operation;
    using zelm::model::typedText;
    return gen::exec([] {
        Operation op;
        op.kind = *gen::weightedElement<Operation::Kind>({
            {6, Operation::Show},
            {6, Operation::EditAndSave},
            {4, Operation::NewAndSave},
            {2, Operation::CopyAndSave},
            {2, Operation::InsertAfter},
            {3, Operation::Delete},
            {2, Operation::Mark},
            {3, Operation::ShownToWorking},
            {2, Operation::RemoveFromWorking},
            {1, Operation::EmptyWorking},
            {2, Operation::FindAll},
            {1, Operation::RemoveArchived},
            {1, Operation::Restart},
            {2, Operation::ChangeElsewhere},
            {1, Operation::CutElsewhere},
            {1, Operation::ReplaceElsewhere},
        });
        op.a = *gen::inRange(0, 1000);
        op.flag = *gen::arbitrary<bool>();
        // Shrinks towards no kill. Most operations take a few milliseconds, with their syncs.
        // (At full size: a range is otherwise cut down with the sequence's size.)
        const int odds = zelm::model::g_killOdds;
        if (odds > 0 && *gen::resize(100, gen::inRange(0, odds)) == odds - 1)
            op.killAfterUs = *gen::resize(100, gen::inRange(0, 4000));
        if (op.kind == Operation::FindAll) {
            op.text = *gen::element(QStringLiteral("а"), QStringLiteral("о"), QStringLiteral("Ё"),
                                    QStringLiteral("1"), QStringLiteral("ст"));
        } else if (op.kind == Operation::EditAndSave || op.kind == Operation::NewAndSave) {
            op.text = *typedText(100, false);
            op.inn = *typedText(20, false);
            op.note = *typedText(250, true);
        }
        return op;
    });
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
