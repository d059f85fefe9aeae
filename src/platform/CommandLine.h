#pragma once
// The command line of a Qt program as a Linux user expects it: --help and --version answered
// before any window (and without a display), Qt's own options (-platform, -style, ...) left for
// QApplication, anything else that looks like an option refused with exit status 2.
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace zelm {

struct CommandLine {
    enum class Request { Run, Help, Version, Error };
    // What was wrong, for the message of an Error.
    enum class Fault {
        UnknownOption,    // `error` is the option
        MissingValue,     // `error` is the option whose value is missing
        ExtraArgument,    // `error` is an argument the program takes none of
        MissingArguments, // the program needs arguments and was given none
        WrongArguments,   // `error` is the arguments, which fit none of the program's forms
    };
    Request request = Request::Run;
    QStringList arguments; // the program's own, Qt's options and their values left out
    QString error;         // what was not understood, for the message
    Fault fault = Fault::UnknownOption;
};

// Whether `option` is one of Qt's (QGuiApplication, QApplication, the X11 platform); `takesValue`
// tells whether the next argument belongs to it. "--style" and "-style=fusion" count too.
bool isQtOption(const QString& option, bool& takesValue);

// `arguments` without the program's name. `ownOption` accepts options of the program itself
// (kept in `arguments`); "-" alone and everything after "--" are plain arguments.
CommandLine parseCommandLine(const QStringList& arguments,
                             const std::function<bool(const QString&)>& ownOption = {});

// argv[1..] as text.
QStringList commandLineArguments(int argc, char** argv);

// `line` turned into an Error of the given fault.
CommandLine commandLineError(CommandLine line, CommandLine::Fault fault, const QString& what);

// Prints the answer to --help or --version on `out`, or the error with a hint on `err` in the
// language of russianMessages(), and returns the exit status (0 or 2); -1 when the program is
// to run.
int answerCommandLine(const CommandLine& line, const QString& program, const QString& help,
                      const QString& version, std::FILE* out, std::FILE* err);

// Whether the user reads Russian: the messages locale (LC_ALL, LC_MESSAGES, LANG) is Russian.
bool russianMessages();

} // namespace zelm
