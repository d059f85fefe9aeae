#include "platform/CommandLine.h"

#include <array>

namespace zelm {

namespace {

// Options of QGuiApplication and QApplication, and those the X11 platform plugin reads.
// clang-format off
constexpr std::array valueOptions = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "style", "stylesheet", "session", "display",
    "name", "visual", "qmljsdebugger", "font", "fn", "bg", "background", "fg", "foreground",
    "btn", "button", "im", "inputstyle", "ncols", "cmap"};
constexpr std::array flagOptions = {
    "reverse", "widgetcount", "testability", "nograb", "dograb", "sync", "qdebug"};
// clang-format on

} // namespace

bool isQtOption(const QString& option, bool& takesValue) {
    takesValue = false;
    if (!option.startsWith(QLatin1Char('-')) || option == QLatin1String("-") ||
        option == QLatin1String("--"))
        return false;
    QString name = option.mid(option.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    const bool inlineValue = equals >= 0;
    if (inlineValue)
        name.truncate(equals);
    for (const char* known : valueOptions) {
        if (name == QLatin1String(known)) {
            takesValue = !inlineValue;
            return true;
        }
    }
    for (const char* known : flagOptions) {
        if (name == QLatin1String(known))
            return !inlineValue;
    }
    return false;
}

CommandLine parseCommandLine(const QStringList& arguments,
                             const std::function<bool(const QString&)>& ownOption) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (optionsEnded || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            line.arguments << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            line.request = CommandLine::Request::Help;
            return line;
        }
        if (a == QLatin1String("--version") || a == QLatin1String("-v")) {
            line.request = CommandLine::Request::Version;
            return line;
        }
        bool takesValue = false;
        if (isQtOption(a, takesValue)) {
            if (takesValue && ++i >= arguments.size())
                return commandLineError(line, CommandLine::Fault::MissingValue, a);
            continue;
        }
        if (ownOption && ownOption(a)) {
            line.arguments << a;
            continue;
        }
        return commandLineError(line, CommandLine::Fault::UnknownOption, a);
    }
    return line;
}

CommandLine commandLineError(CommandLine line, CommandLine::Fault fault, const QString& what) {
    line.request = CommandLine::Request::Error;
    line.fault = fault;
    line.error = what;
    return line;
}

QStringList commandLineArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool russianMessages() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(var);
        if (!value.isEmpty())
            return value.startsWith(QLatin1String("ru"));
    }
    return false;
}

int answerCommandLine(const CommandLine& line, const QString& program, const QString& help,
                      const QString& version, std::FILE* out, std::FILE* err) {
    switch (line.request) {
    case CommandLine::Request::Run:
        return -1;
    case CommandLine::Request::Help:
        std::fputs(help.toUtf8().constData(), out);
        return 0;
    case CommandLine::Request::Version:
        std::fputs(version.toUtf8().constData(), out);
        return 0;
    case CommandLine::Request::Error:
        break;
    }
    const bool russian = russianMessages();
    QString text;
    switch (line.fault) {
    case CommandLine::Fault::UnknownOption:
        text = russian ? QStringLiteral("%1: неизвестный параметр «%2»")
                       : QStringLiteral("%1: unknown option '%2'");
        break;
    case CommandLine::Fault::MissingValue:
        text = russian ? QStringLiteral("%1: параметру «%2» не хватает значения")
                       : QStringLiteral("%1: option '%2' needs a value");
        break;
    case CommandLine::Fault::ExtraArgument:
        text = russian ? QStringLiteral("%1: лишний аргумент «%2»")
                       : QStringLiteral("%1: unexpected argument '%2'");
        break;
    case CommandLine::Fault::MissingArguments:
        text = russian ? QStringLiteral("%1: не указаны аргументы")
                       : QStringLiteral("%1: arguments missing");
        break;
    case CommandLine::Fault::WrongArguments:
        text = russian ? QStringLiteral("%1: неверные аргументы «%2»")
                       : QStringLiteral("%1: wrong arguments '%2'");
        break;
    }
    text += russian ? QStringLiteral("\nСправка: %1 --help\n")
                    : QStringLiteral("\nTry '%1 --help' for more information.\n");
    text.replace(QLatin1String("%1"), program).replace(QLatin1String("%2"), line.error);
    std::fputs(text.toUtf8().constData(), err);
    return 2;
}

} // namespace zelm
