#pragma once
// The operations of the model test: what a user does, with random data, and what another
// program or workstation does meanwhile. An operation names cards by numbers taken modulo the
// files' sizes when it runs, so any part of a failing sequence is a sequence too and shrinks.
#include "model/RegisterModel.h"

#include <QString>
#include <ostream>

namespace zelm::model {

class RegisterUnderTest;

struct Operation {
    enum Kind {
        Show,        // a card of the Main card file shown
        EditAndSave, // its fields edited, «Запомнить»; `flag`: «Записать поверх?» answered yes
        NewAndSave, // «Новая», fields typed, «Запомнить»; `a` picks the number it is given
        CopyAndSave,    // «Копия» of the card shown, «Запомнить»
        InsertAfter,    // a blank card inserted after card `a`
        Delete,         // the card shown deleted; `flag`: into the Archive
        Mark,           // the mark «уд» of the card shown toggled
        ShownToWorking, // the card shown added to the Working card file
        RemoveFromWorking,
        EmptyWorking,
        FindAll,          // every card whose name holds `text` added to the Working card file
        RemoveArchived,   // card `a` of the Archive deleted
        Restart,          // the program closed and started again
        ChangeElsewhere,  // another program or workstation changes card `a`'s name
        CutElsewhere,     // another program cuts the Main card file to `a` cards (data folder)
        ReplaceElsewhere, // another program renames a reordered copy over it (data folder)
    };
    Kind kind = Show;
    int a = 0;
    bool flag = false;
    QString text; // a name, or the letters searched for
    QString inn;  // up to 20 bytes
    QString note; // a memo with line breaks, up to 250 bytes
    // The program is killed this many microseconds into the operation (KilledStep.h); -1: never.
    int killAfterUs = -1;
};

std::ostream& operator<<(std::ostream& os, const Operation& op);
// An operation as bytes, and back, for another process of the test.
QByteArray encodeOperation(const Operation& op);
Operation decodeOperation(const QByteArray& bytes);

// Runs `op` on the program and on the model, and checks what the program told the user.
// Operations that make no sense in the state reached (a deletion with no card shown) do nothing.
void runOperation(const Operation& op, ModelRegister& model, RegisterUnderTest& program);

// The register as the program would show it after a restart equals the model.
void checkStored(const ModelRegister& model, RegisterUnderTest& program);

} // namespace zelm::model
