#pragma once
// The register as plain values, and what each operation a user can make does to it, written
// from what the program promises a user: the Main card file, the Archive and the Working card
// file as lists of cards in order, and which card is shown. The fields a user edits are kept;
// the times the program stamps are not compared.
#include <QString>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace zelm::model {

enum class Home { Folder, Server };

struct Card {
    std::int32_t number = 0;        // the unique number
    std::int32_t runningNumber = 0; // GurN
    QString nameOrg;
    QString inn;
    QString note; // a memo, with line breaks
    bool marked = false;
    QString admin; // who stored it last
    bool operator==(const Card&) const = default;
};

// The few rules in which the two homes differ.
struct HomeRules {
    // The data folder rewrites its Main card file through the Working card file: an insertion
    // leaves a copy of the new Main card file there, a deletion leaves it empty. A server
    // keeps the Working card file as it was.
    static bool rewritesThroughWorking(Home home) { return home == Home::Folder; }
    // A new card is never given a number the Main card file holds. The server also keeps it
    // from the Archive's numbers; the data folder does not yet (its index covers the Main card
    // file alone), so a new card there may take an archived card's number.
    static bool newNumbersAvoidTheArchive(Home home) { return home == Home::Server; }
};

struct ModelRegister {
    std::vector<Card> main;
    std::vector<Card> archive;
    std::vector<Card> working;
    std::optional<size_t> shown; // the Main card shown; none for a new or blank card
    Card asRead;                 // the card shown as it was read or stored

    void afterInsertion(Home home, size_t at, const Card& card) {
        main.insert(main.begin() + static_cast<std::ptrdiff_t>(at), card);
        shown = at;
        if (HomeRules::rewritesThroughWorking(home))
            working = main;
    }
    void afterDeletion(Home home, bool intoArchive) {
        const size_t at = *shown;
        if (intoArchive)
            archive.push_back(main[at]);
        main.erase(main.begin() + static_cast<std::ptrdiff_t>(at));
        if (HomeRules::rewritesThroughWorking(home))
            working.clear();
        showLast();
    }
    // The last card is shown, or a blank card when none is left.
    void showLast() {
        shown = main.empty() ? std::nullopt : std::optional<size_t>(main.size() - 1);
        asRead = main.empty() ? Card{} : main.back();
    }
    // The card shown is still where it was read, as it was read.
    bool shownIntact() const { return shown && *shown < main.size() && main[*shown] == asRead; }
    // Where a save finds the card shown: at its place while that holds its unique number,
    // else wherever its number is.
    std::optional<size_t> shownNow() const {
        if (!shown)
            return std::nullopt;
        if (*shown < main.size() && main[*shown].number == asRead.number)
            return shown;
        for (size_t i = 0; i < main.size(); ++i)
            if (main[i].number == asRead.number)
                return i;
        return std::nullopt;
    }
    // Whether a new card would be given another number than `number`.
    bool numberTaken(Home home, std::int32_t number) const {
        for (const Card& c : main)
            if (c.number == number)
                return true;
        if (HomeRules::newNumbersAvoidTheArchive(home))
            for (const Card& c : archive)
                if (c.number == number)
                    return true;
        return false;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Card& c) {
    return os << "{№" << c.number << " GurN " << c.runningNumber << " «" << c.nameOrg.toStdString()
              << "» ИНН «" << c.inn.toStdString() << "» прим. «" << c.note.toStdString() << "»"
              << (c.marked ? " уд" : "") << " " << c.admin.toStdString() << "}";
}

} // namespace zelm::model
