// Not a test: the statistics window over a realistic register on a real display, saved as a
// picture. Usage: stat_screenshot <picture.png> <installation folder> [columns 0..3]
// [first day] [last day] (dd.MM.yyyy; by default this year up to today)
#include "StatRegister.h"
#include "app/ZelmApp.h"
#include "cardwindow/TForm1.h"
#include "platform/Platform.h"
#include "stats/TStatistika.h"
#include "store/CardFile.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

#include <cstdio>

using namespace zelm;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: stat_screenshot <picture.png> <installation folder>\n");
        return 2;
    }
    const QString picture = QString::fromLocal8Bit(argv[1]);
    const QString root = QString::fromLocal8Bit(argv[2]);
    const int columns = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 1;
    QDir().mkpath(root + QStringLiteral("/Baza"));
    const QDate today = QDate::currentDate();
    auto date = [&](int i, QDate otherwise) {
        return argc > i ? QDate::fromString(QString::fromLocal8Bit(argv[i]), "dd.MM.yyyy")
                        : otherwise;
    };
    const QDate from = date(4, QDate(today.year(), 1, 1));
    const QDate to = date(5, today);
    const auto cards = testing::statRegister(4000, from, to, 2026);
    CardFile main;
    main.create(root + QStringLiteral("/Baza/Anketi.dat"), sizeof(TAnketa));
    main.appendMany(cards.data(), static_cast<qint64>(cards.size()));
    main.close();

    prepareApplication(application);
    auto platform = createDesktopPlatform();
    ZelmApp app(root, *platform);
    TStatistika* w = app.statistika();
    QTimer::singleShot(0, [&] {
        w->ui().StatStolbcy->setCurrentIndex(columns);
        w->ui().StatS->setDate(from);
        w->ui().StatPo->setDate(to);
        w->NStatistikaClick();
    });
    QTimer::singleShot(2500, [&] {
        w->waitForCount();
        QTimer::singleShot(500, [&] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(picture);
            std::printf("%s\n", qPrintable(picture));
            w->close();
            QApplication::exit(0);
        });
    });
    return application.exec();
}
