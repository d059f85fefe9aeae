// Every change of a card keeps the card as it was, with who and when, in both homes: what the
// history window lists and what «Восстановить» stores again.
#include "session/SessionFixture.h"
#include "store/DayCount.h"
#include "store/HistoryFile.h"
#include "store/Installation.h"

using namespace zelm;
using namespace zelm::testing;

namespace {

class History : public BothHomes {
protected:
    // The officer at the keyboard now: the data folder's history names the login's user, the
    // server's the officer its login function let in on the connection, with the role.
    static QString serverLogin(const QString& name) {
        return name == QStringLiteral("Сидорова А.А.") ? QStringLiteral("Администратор")
                                                       : QStringLiteral("Пользователь 1");
    }
    void actAs(const QString& name) {
        user.UserFIO = name;
        if (!server)
            return;
        const bool admin = serverLogin(name) == QStringLiteral("Администратор");
        ASSERT_TRUE(server
                        ->login(serverLogin(name),
                                admin ? QStringLiteral("580214") : QStringLiteral("317968"))
                        .has_value());
        role = server->connection().exec("SELECT session_user").text(0, 0);
    }
    QString whoText(const QString& name) const {
        return home == Home::Folder ? name
                                    : QStringLiteral("%1 (%2) (ws)").arg(serverLogin(name), role);
    }
    QString role;
    void saveShown(const QString& organisation) {
        TAnketa card = s->CurrentCard();
        card.NameOrg.set(organisation);
        s->setEdits(card);
        ASSERT_EQ(s->save(), CardSession::SaveOutcome::Overwritten);
    }
    static std::vector<QString> organisations(const std::vector<CardVersion>& versions) {
        std::vector<QString> out;
        for (const CardVersion& v : versions)
            out.push_back(v.card.NameOrg.text());
        return out;
    }
    static std::vector<HistoryAction> actions(const std::vector<CardVersion>& versions) {
        std::vector<HistoryAction> out;
        for (const CardVersion& v : versions)
            out.push_back(v.action);
        return out;
    }
};

TEST_P(History, ThreeSavesByTwoOfficersADeletionAndARecallAreKeptNewestFirst) {
    start(makeCards(3));
    const std::int32_t number = makeCard(1).Klu4Form1;
    const QString first = makeCard(1).NameOrg.text();
    const QDateTime began = currentDateTime().toUTC().addSecs(-1);
    s->showMainCard(1);
    actAs(QStringLiteral("Сидорова А.А."));
    saveShown(QStringLiteral("ООО «Первая»"));
    actAs(QStringLiteral("Кузнецов К.К."));
    saveShown(QStringLiteral("ООО «Вторая»"));
    actAs(QStringLiteral("Сидорова А.А."));
    saveShown(QStringLiteral("ООО «Третья»"));
    actAs(QStringLiteral("Кузнецов К.К."));
    s->deleteShownCard(DeletionKind::ForGood);
    ASSERT_EQ(stored(RegisterFile::Main).size(), 2u);

    std::vector<CardVersion> h = s->history(number);
    using A = HistoryAction;
    EXPECT_EQ(actions(h), (std::vector<A>{A::Delete, A::Save, A::Save, A::Save}));
    EXPECT_EQ(organisations(h),
              (std::vector<QString>{QStringLiteral("ООО «Третья»"), QStringLiteral("ООО «Вторая»"),
                                    QStringLiteral("ООО «Первая»"), first}));
    ASSERT_EQ(h.size(), 4u);
    EXPECT_EQ(h[0].who, whoText(QStringLiteral("Кузнецов К.К.")));
    EXPECT_EQ(h[1].who, whoText(QStringLiteral("Сидорова А.А.")));
    EXPECT_EQ(h[2].who, whoText(QStringLiteral("Кузнецов К.К.")));
    EXPECT_EQ(h[3].who, whoText(QStringLiteral("Сидорова А.А.")));
    for (const CardVersion& v : h) {
        EXPECT_GE(v.when, began);
        EXPECT_LE(v.when, currentDateTime().toUTC().addSecs(1));
    }
    // Each version is what the card was: the version a save replaced names who stored it.
    EXPECT_EQ(h[1].card.AdminFIO.text(), QStringLiteral("Кузнецов К.К."));
    // Nothing else of the register has a history.
    EXPECT_TRUE(s->history(makeCard(0).Klu4Form1).empty());

    // The deleted card found by its number and its last version recalled: at the end of the
    // Main card file under its own number.
    actAs(QStringLiteral("Сидорова А.А."));
    ASSERT_EQ(s->restoreVersion(h[0].card), CardSession::SaveOutcome::Appended);
    const std::vector<TAnketa> now = stored(RegisterFile::Main);
    ASSERT_EQ(now.size(), 3u);
    EXPECT_EQ(now[2].Klu4Form1, number);
    EXPECT_EQ(now[2].NameOrg.text(), QStringLiteral("ООО «Третья»"));
    EXPECT_EQ(now[2].AdminFIO.text(), QStringLiteral("Сидорова А.А."));
    EXPECT_EQ(s->CurrentCard().Klu4Form1, number);
    EXPECT_EQ(s->shownIndex(), 2);

    h = s->history(number);
    ASSERT_EQ(h.size(), 5u);
    EXPECT_EQ(h[0].action, A::Recall);
    EXPECT_EQ(h[0].who, whoText(QStringLiteral("Сидорова А.А.")));
    EXPECT_EQ(h[0].card.NameOrg.text(), QStringLiteral("ООО «Третья»"));
    EXPECT_EQ(h[1].action, A::Delete);
}

TEST_P(History, ArchivingDeletingFromTheArchiveAndPastingAreKept) {
    start(makeCards(2));
    const TAnketa card = makeCard(1);
    s->showMainCard(1);
    s->deleteShownCard(DeletionKind::IntoArchive);
    ASSERT_EQ(s->cardCount(SideFile::Archive), 1);
    s->showArchivedCard(s->cardAt(SideFile::Archive, 0));
    s->rememberShownCard();
    ASSERT_TRUE(s->removeCard(SideFile::Archive, 0));
    s->pasteRememberedCard();
    const std::int32_t pasted = s->CurrentCard().Klu4Form1;
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Appended);

    using A = HistoryAction;
    const std::vector<CardVersion> h = s->history(card.Klu4Form1);
    EXPECT_EQ(actions(h), (std::vector<A>{A::DeleteArchived, A::Archive}));
    for (const CardVersion& v : h)
        EXPECT_EQ(v.card.NameOrg.text(), card.NameOrg.text());
    // The pasted card is a new card of its own number, which begins as a recall.
    const std::vector<CardVersion> recalled = s->history(pasted);
    ASSERT_EQ(recalled.size(), 1u);
    EXPECT_EQ(recalled[0].action, A::Recall);
    EXPECT_EQ(recalled[0].card.NameOrg.text(), card.NameOrg.text());
    // A new card and a card that was never changed have none.
    bool empty = false;
    s->beginNewCard(empty);
    ASSERT_EQ(s->save(), CardSession::SaveOutcome::Appended);
    EXPECT_TRUE(s->history(s->CurrentCard().Klu4Form1).empty());
    EXPECT_TRUE(s->history(makeCard(0).Klu4Form1).empty());
}

TEST_P(History, RestoringAVersionGoesThroughTheConflictCheckAndIsKeptAsASave) {
    start(makeCards(3));
    s->showMainCard(0);
    const TAnketa original = s->CurrentCard();
    saveShown(QStringLiteral("ООО «Ошибка»"));
    const std::vector<CardVersion> h = s->history(original.Klu4Form1);
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0].card.NameOrg.text(), original.NameOrg.text());

    // Another officer changes it meanwhile: the restore meets their version first.
    TAnketa theirs = makeCard(0);
    theirs.NameOrg.set(QStringLiteral("ООО «Их правка»"));
    changeElsewhere(0, theirs);
    ASSERT_EQ(s->restoreVersion(h[0].card), CardSession::SaveOutcome::Conflict);
    EXPECT_EQ(stored(RegisterFile::Main)[0].NameOrg.text(), QStringLiteral("ООО «Их правка»"));
    ASSERT_EQ(s->saveOver(), CardSession::SaveOutcome::Overwritten);
    const TAnketa now = stored(RegisterFile::Main)[0];
    EXPECT_EQ(now.NameOrg.text(), original.NameOrg.text());
    EXPECT_EQ(now.Klu4Form1, original.Klu4Form1);
    EXPECT_EQ(now.AdminFIO.text(), user.UserFIO);
    EXPECT_EQ(stored(RegisterFile::Main).size(), 3u);

    // The restore is a save like any other: the version it replaced is kept.
    const std::vector<CardVersion> after = s->history(original.Klu4Form1);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[0].action, HistoryAction::Save);
    EXPECT_EQ(after[0].card.NameOrg.text(), QStringLiteral("ООО «Их правка»"));

    // A card shown elsewhere is found by its number and written over where it is.
    s->showMainCard(2);
    ASSERT_EQ(s->restoreVersion(h[0].card), CardSession::SaveOutcome::Overwritten);
    EXPECT_EQ(s->shownIndex(), 0);
    EXPECT_EQ(stored(RegisterFile::Main).size(), 3u);
}

TEST_P(History, AVersionKeptForASaveAPowerCutStoppedIsNotListed) {
    if (home != Home::Folder)
        GTEST_SKIP() << "a server keeps a version in its change's own transaction";
    start(makeCards(2));
    s->showMainCard(0);
    const TAnketa original = s->CurrentCard();
    saveShown(QStringLiteral("ООО «Первая»"));
    // The version was flushed and the card never written: the record holds the card as it
    // still is.
    CardVersion cut;
    cut.when = currentDateTime().toUTC();
    cut.who = user.UserFIO;
    cut.card = s->CurrentCard();
    HistoryFile file(inst->historyFile());
    const auto powerCut = [&] {
        file.open(0);
        file.append(cut);
        file.close();
    };
    powerCut();
    EXPECT_EQ(s->history(original.Klu4Form1).size(), 1u);
    // Another, followed by a save that did happen.
    powerCut();
    saveShown(QStringLiteral("ООО «Вторая»"));
    const std::vector<CardVersion> h = s->history(original.Klu4Form1);
    EXPECT_EQ(organisations(h),
              (std::vector<QString>{QStringLiteral("ООО «Первая»"), original.NameOrg.text()}));
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Homes, History, ::testing::Values(Home::Folder, Home::Server), homeName);
