#pragma once
// A platform for tests: dialogs answer from scripts, and every call is recorded.
#include "platform/Platform.h"

#include <QColor>
#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace zelm {

// One program start asked of the shell.
struct StartedProgram {
    QString program;
    QStringList arguments;
    QString workingFolder;
};

struct ShownMessage {
    enum Kind { Notice, Question, Error } kind;
    QString text;
    QString caption;
};

struct FileDialogRequest {
    QString caption;
    QString folder;
    QString filter;
};

class ScriptedPlatform : public Platform {
public:
    ScriptedPlatform();
    ~ScriptedPlatform() override;

    Dialogs& dialogs() override;
    Shell& shell() override;
    OfficeAutomation& office() override;
    KeyboardLayout& keyboard() override;
    WindowPrinter& printer() override;

    // Answers for questions, in order; an unscripted question is answered No.
    QQueue<bool> answers;
    QQueue<QString> openFileResults; // empty string: cancelled
    QQueue<QString> folderResults;   // empty string: cancelled
    QQueue<std::optional<QColor>> colourResults;
    // Answers of choices with buttons of their own (an index; -1: closed); unscripted: -1.
    QQueue<int> choices;
    // Texts typed into input dialogs (nullopt: cancelled); unscripted: cancelled.
    QQueue<std::optional<QString>> enteredTexts;
    // Called while a notice or question is "shown", e.g. to inspect the windows then.
    std::function<void(const ShownMessage&)> onMessage;

    QList<ShownMessage> messages;         // every notice, question and error, in order
    QList<FileDialogRequest> fileDialogs; // every file-open dialog, as it was set up
    QList<QStringList> choiceButtons;     // the buttons of every choice (also in messages)
    QStringList offeredTexts;             // the text every input dialog started from
    QStringList officeCalls; // "Word.Application", "Documents.Open <path>", "Visible true"...
    QStringList shellCalls;  // "open <path>", "start <program> <args>"
    QList<StartedProgram> startedPrograms; // every successful startProgram, in order
    // When not empty, startProgram fails with this reason and starts nothing.
    QString startFailure;
    QStringList keyboardLayouts;
    QList<QWidget*> printedWindows;
    bool hasPrinter = true;
    bool officeFails = false;    // every Office call raises an error
    bool shellOpenFails = false; // no program opens any document

    const ShownMessage* lastMessage() const {
        return messages.isEmpty() ? nullptr : &messages.last();
    }
    void clearRecords();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zelm
