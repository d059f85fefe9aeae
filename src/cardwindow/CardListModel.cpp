#include "cardwindow/CardListModel.h"

#include "session/CardSession.h"
#include "store/CardFile.h"

namespace zelm {

void CardListModel::showFile(const CardFile& file) {
    if (file.path() != this->file())
        setFile(file.path());
    else
        refresh();
}

void CardListModel::showRegister(Register& cards, RegisterFile which) {
    if (showsOwnRows())
        refresh();
    else
        setRows(cards.rows(which));
}

void CardListModel::followMainFile(CardSession& session) {
    connect(&session, &CardSession::mainCardInserted, this, [this](qint64 index) {
        if (index == cardCount())
            cardsAppended();
        else
            cardInserted(static_cast<int>(index));
    });
    connect(&session, &CardSession::mainCardWritten, this,
            [this](qint64 index) { cardChanged(static_cast<int>(index)); });
    connect(&session, &CardSession::mainCardRemoved, this,
            [this](qint64 index) { cardRemoved(static_cast<int>(index)); });
}

void CardListModel::followSideFile(CardSession& session, SideFile which) {
    connect(&session, &CardSession::sideCardRemoved, this, [this, which](SideFile f, qint64 index) {
        if (f == which)
            cardRemoved(static_cast<int>(index));
    });
    connect(&session, &CardSession::sideFileChanged, this, [this, which](SideFile f, qint64 count) {
        if (f != which)
            return;
        // Cards added at the end keep the rows above them, and the selection, where they are;
        // anything else is found by looking at the file.
        if (count > cardCount())
            cardsAppended();
        else
            refresh();
    });
}

} // namespace zelm
