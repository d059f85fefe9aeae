// Random sequences of what users and other programs do, run on the program over both homes and
// on a plain model of the register; after every step the register as stored equals the model.
// A failure is shrunk to the shortest sequence that shows it and printed with its seed.
//   ZELM_MODEL_CASES  sequences per home (default: a budget of about a minute per home)
//   ZELM_MODEL_STEPS  the longest sequence
//   ZELM_MODEL_SEED   one seed to run (as printed by a failure)
#include "common/PgTestServer.h"
#include "model/ModelOperations.h"
#include "model/RegisterUnderTest.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <random>
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

// The seeds of sequences that once failed, run first every time.
const std::vector<std::uint64_t> kFoldSeeds = {};
const std::vector<std::uint64_t> kServerSeeds = {};

int setting(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// One sequence on a register made afresh.
void runSequence(Home home, testing::PgTestServer* pg, const std::vector<Operation>& operations) {
    ModelRegister model;
    const int cards = *rc::gen::inRange(0, 6);
    for (int i = 0; i < cards; ++i)
        model.main.push_back(Card{1000 + 7 * i, i + 1, *typedText(100, false),
                                  *typedText(20, false), *typedText(250, true), false,
                                  QStringLiteral("Иванов И.И.")});
    RegisterUnderTest program(home, pg, model.main);
    model.showLast();
    checkStored(model, program);
    for (const Operation& op : operations) {
        runOperation(op, model, program);
        checkStored(model, program);
    }
}

void checkHome(Home home, testing::PgTestServer* pg, const std::vector<std::uint64_t>& seeds,
               int defaultCases) {
    rc::detail::TestParams params;
    params.maxSize = setting("ZELM_MODEL_STEPS", 40);
    params.maxSuccess = setting("ZELM_MODEL_CASES", defaultCases);
    std::vector<std::uint64_t> runs = seeds;
    if (qEnvironmentVariableIsSet("ZELM_MODEL_SEED"))
        runs = {qEnvironmentVariable("ZELM_MODEL_SEED").toULongLong()};
    else
        runs.push_back(std::random_device{}() * 0x100000001ull);
    for (const std::uint64_t seed : runs) {
        params.seed = seed;
        const auto result = rc::detail::checkTestable(
            [home, pg](const std::vector<Operation>& operations) {
                runSequence(home, pg, operations);
            },
            rc::detail::TestMetadata{}, params);
        std::ostringstream report;
        rc::detail::printResultMessage(result, report);
        rc::detail::FailureResult failure;
        const bool failed = result.match(failure);
        EXPECT_FALSE(failed) << "seed " << seed << " (ZELM_MODEL_SEED=" << seed
                             << " runs it again)\n"
                             << report.str();
        rc::detail::Error error;
        EXPECT_FALSE(result.match(error)) << report.str();
    }
}

TEST(RegisterModel, DataFolder) {
#ifdef ZELM_SANITIZED
    checkHome(Home::Folder, nullptr, kFoldSeeds, 25);
#else
    checkHome(Home::Folder, nullptr, kFoldSeeds, 300);
#endif
}

TEST(RegisterModel, Server) {
    testing::PgTestServer pg;
    if (!pg.running())
        GTEST_SKIP() << "no PostgreSQL server: " << pg.unavailable().toStdString();
#ifdef ZELM_SANITIZED
    checkHome(Home::Server, &pg, kServerSeeds, 8);
#else
    checkHome(Home::Server, &pg, kServerSeeds, 60);
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
