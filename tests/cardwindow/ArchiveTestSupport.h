#pragma once
// Driving the choice dialog and starting a register for the deletion and Archive tests.
#include "cardwindow/TForm1.h"
#include "cardwindow/TWibor.h"
#include "common/CardFactory.h"
#include "common/TestInstall.h"

#include <QByteArray>
#include <QPushButton>
#include <QTimer>
#include <vector>

namespace zelm::testing {

inline QByteArray cardBytes(const TAnketa& card) {
    return QByteArray(reinterpret_cast<const char*>(&card), sizeof card);
}

inline QByteArray cardBytes(const std::vector<TAnketa>& cards) {
    return QByteArray(reinterpret_cast<const char*>(cards.data()),
                      static_cast<qsizetype>(cards.size() * sizeof(TAnketa)));
}

// What the choice dialog looked like when it was answered.
struct ChoiceSeen {
    bool shown = false;
    QString title, first, second, third;
};

// Answers the next choice dialog: 1, 2 or 3 presses that button, 0 closes the window.
// The answer is dropped with the windows if no dialog comes.
inline void answerNextChoice(ZelmApp& app, int answer, ChoiceSeen* seen = nullptr) {
    QTimer::singleShot(0, app.wibor(), [&app, answer, seen] {
        TWibor* d = app.wibor();
        if (seen)
            *seen = {d->isVisible(), d->windowTitle(), d->Redak->text(), d->Udalit->text(),
                     d->Otmena->text()};
        if (answer == 1)
            d->Redak->click();
        else if (answer == 2)
            d->Udalit->click();
        else if (answer == 3)
            d->Otmena->click();
        else
            d->close();
    });
}

// A register of `cards`, started and logged in as the chief administrator.
inline TForm1& startRegister(TestInstall& t, const std::vector<TAnketa>& cards,
                             const std::vector<TAnketa>& archived = {}) {
    t.makeFolders();
    t.writeCards("Baza/Anketi.dat", cards);
    t.writeCards("Baza/ArhAnket.dat", archived);
    ZelmApp& app = t.start();
    app.user().UserDostup = QStringLiteral("Z");
    app.user().UserFIO = QStringLiteral("Петрова Мария");
    return *app.form1();
}

inline void showCard(TForm1& w, qint64 index) {
    w.session().showMainCard(index);
    w.selectMainRow(static_cast<int>(index));
}

} // namespace zelm::testing
