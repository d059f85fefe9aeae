// The lists of the card window over a register of 1 000 000 realistic cards, as the user meets
// them: opening the Working tab (the Working card file holding the whole register) and the
// Archive tab (an Archive as large), each shown and painted, the first showing after the file
// was filled apart from showing it again; a click on a Working row, which opens the card of
// the register with that unique number; a step to the next card. And an insertion in a register
// of 100 000 cards beside its floor, copying the register with a sync, pairs interleaved.
//   workinglist_bench [cards]
#include "BenchInstall.h"
#include "PairedTiming.h"
#include "app/ZelmApp.h"
#include "cardwindow/CardListModel.h"
#include "cardwindow/TForm1.h"
#include "common/ScriptedPlatform.h"
#include "store/CardFile.h"
#include "store/RecordFileRewrite.h"
#include "store/RecordScan.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace zelm;

namespace {

struct Run {
    explicit Run(int cards, bool withArchive) : install(cards) {
        // The Archive as large as the register; only read here, so the same file serves.
        if (withArchive)
            ::link(
                QFile::encodeName(install.root() + QStringLiteral("/Baza/Anketi.dat")).constData(),
                QFile::encodeName(install.root() + QStringLiteral("/Baza/ArhAnket.dat"))
                    .constData());
        app = std::make_unique<ZelmApp>(install.root(), platform);
        app->user().UserFIO = QStringLiteral("Администратор");
        app->user().UserDostup = QStringLiteral("Z");
        w = app->form1();
        w->resize(1280, 900);
        w->show();
        settle();
    }
    template <class T> T* find(const char* name) const {
        return w->findChild<T*>(QLatin1String(name));
    }
    void settle() const {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    // The user clicks a tab: the list is filled as the program fills it, then painted.
    void showTab(const char* page) const {
        find<QTabWidget>("SpTabl")->setCurrentWidget(find<QWidget>(page));
        settle();
    }
    void pressRow(const char* list, int row) const {
        auto* view = find<QTableView>(list);
        emit view->pressed(view->model()->index(row, 0));
    }
    bench::BenchInstall install;
    ScriptedPlatform platform;
    std::unique_ptr<ZelmApp> app;
    TForm1* w = nullptr;
};

void listBenchmarks(int cards) {
    Run run(cards, true);
    CardSession& session = run.app->session();
    auto fillWorking = [&session](qint64 firstCard) {
        session.emptyWorking();
        qint64 at = 0;
        session.appendMatchesToWorking(
            [&at, firstCard](const TAnketa&) { return at++ >= firstCard; });
    };
    std::printf("%d cards in the register, the Archive and the Working card file\n", cards);
    // The Working card file filled as a search fills it, flushed to disk before the tab is
    // shown: the kernel's writing of the last fill must not fall into the next timing.
    bench::timedRuns(
        "Working tab, first showing after the file was filled", 7,
        [&] { run.showTab("TabSheet2"); },
        [&] {
            run.showTab("TabSheet1");
            fillWorking(0);
        });
    bench::timedRuns(
        "Working tab, shown again", 7, [&] { run.showTab("TabSheet2"); },
        [&] { run.showTab("TabSheet1"); });
    // The Archive list forgets its file before each showing, so each is a first one.
    CardListModel& archive = run.w->list(TForm1::CardList::Archive);
    bench::timedRuns(
        "Archive tab, first showing", 7, [&] { run.showTab("TabSheet3"); },
        [&] {
            run.showTab("TabSheet1");
            archive.setFile(QString());
        });
    bench::timedRuns(
        "Archive tab, shown again", 7, [&] { run.showTab("TabSheet3"); },
        [&] { run.showTab("TabSheet1"); });

    // Clicks on Working rows holding the register's last cards, the farthest to look for.
    run.showTab("TabSheet1");
    fillWorking(session.mainCount() - 1000);
    run.showTab("TabSheet2");
    run.pressRow("RabTab", 0); // the first click may wait for what the register's index needs
    int row = 0;
    bench::timedRuns("Working row click", 201, [&] {
        run.pressRow("RabTab", row);
        row = (row + 7) % 1000;
    });
    run.showTab("TabSheet1");
    auto* next = run.find<QAbstractButton>("SpeedButNext");
    auto* previous = run.find<QAbstractButton>("SpeedButPred");
    bool forward = true;
    bench::timedRuns("Show the next or previous card", 201, [&] {
        (forward ? next : previous)->click();
        forward = !forward;
    });
}

void insertionBenchmark(int cards) {
    Run run(cards, false);
    CardSession& session = run.app->session();
    const QString copy = run.install.root() + QStringLiteral("/Temp/copy.dat");
    auto insert = [&] {
        session.showMainCard(session.mainCount() / 2);
        run.platform.answers.enqueue(true);
        run.find<QAbstractButton>("nWstavit")->click();
    };
    auto copyWithSync = [&] {
        CardFile to;
        to.create(copy, sizeof(TAnketa));
        appendMatching<TAnketa>(
            session.registerCards(RegisterFile::Main), [](const TAnketa&) { return true; }, to);
        to.flush();
        to.close();
    };
    // The register's index of unique numbers, which an insertion waits for, is built once a
    // few moments after start; the timings are of insertions after that.
    run.app->session().indexOfNumber(0);
    std::printf("insertion in the middle of a register of %d cards\n", cards);
    bench::pairedRuns("insertion", 9, "insert", insert, "copy+sync", copyWithSync);
    QFile::remove(copy);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int cards = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;
    listBenchmarks(cards);
    insertionBenchmark(100000);
    std::printf("peak memory of the whole run: %.0f MB\n", bench::peakMemoryMB());
    return 0;
}
