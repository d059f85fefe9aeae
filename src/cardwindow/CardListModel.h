#pragma once
// The card lists Spisok, RabTab and ArhTab: row n shows card n of its card file, read from the
// file when it is shown (CardFileModel), so a register of any size opens at once. The Main
// list follows the session's register row by row.
#include "cardlists/CardFileModel.h"

namespace zelm {

class CardFile;
class CardSession;
class Register;
enum class RegisterFile;
enum class SideFile;

class CardListModel : public CardFileModel {
    Q_OBJECT
public:
    // The columns a command reads back by number.
    enum Column { DataMerColumn = 0, NameOrgColumn = 1, UniqueNumberColumn = kUniqueNumberColumn };

    using CardFileModel::CardFileModel;

    // Shows `file` as it is now (a list shown afresh): nothing is read but the rows in view.
    void showFile(const CardFile& file);
    // Shows the register's Main card file or Archive, wherever it is kept.
    void showRegister(Register& cards, RegisterFile file);
    // Keeps the rows in step with the session's Main card file: a card stored, inserted or
    // taken out there changes its row here.
    void followMainFile(CardSession& session);
    // The same for the Working card file or the Archive.
    void followSideFile(CardSession& session, SideFile which);
};

} // namespace zelm
