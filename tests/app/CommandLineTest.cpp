// The command lines of zelm and reportf as a Linux user tries them: answers without a display,
// errors with exit status 2, Qt's own options passed on to Qt.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// No display of any kind: a program that made a QApplication would abort.
QProcessEnvironment headless(const QString& lang) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QString::fromLatin1(var));
    env.insert(QStringLiteral("LANG"), lang);
    return env;
}

Outcome run(const QString& program, const QStringList& args,
            const QString& lang = QStringLiteral("C.UTF-8")) {
    QProcess p;
    p.setProcessEnvironment(headless(lang));
    p.start(program, args);
    Outcome r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QString zelm = QStringLiteral(ZELM_PROGRAM);
const QString reportf = QStringLiteral(REPORTF_PROGRAM);

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutputWithoutADisplay) {
    for (const QString& program : {zelm, reportf}) {
        const QString name = QFileInfo(program).fileName();
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Outcome help = run(program, {option});
            EXPECT_EQ(help.exitCode, 0) << name.toStdString() << help.err.toStdString();
            EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage"))) << help.out.toStdString();
            EXPECT_TRUE(help.out.contains(QStringLiteral("man ") + name));
            EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
        }
        const Outcome version = run(program, {QStringLiteral("--version")});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, name + QStringLiteral(" " ZELM_VERSION "\n"));
        EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();

        // Qt's options before the answer are Qt's, not errors.
        const Outcome afterQt =
            run(program, {QStringLiteral("-platform"), QStringLiteral("xcb"),
                          QStringLiteral("--style=fusion"), QStringLiteral("-v")});
        EXPECT_EQ(afterQt.exitCode, 0) << afterQt.err.toStdString();
        EXPECT_EQ(afterQt.out, version.out);
    }
    EXPECT_TRUE(run(zelm, {QStringLiteral("--help")}).out.contains(QStringLiteral("ZELM_HOME")));
    const Outcome russian = run(zelm, {QStringLiteral("--help")}, QStringLiteral("ru_RU.UTF-8"));
    EXPECT_TRUE(russian.out.startsWith(QStringLiteral("Использование: zelm")))
        << russian.out.toStdString();
}

TEST(CommandLine, AnUnknownOptionIsAnErrorOnStandardErrorWithStatusTwo) {
    const QList<std::pair<QString, QStringList>> cases = {
        {zelm, {QStringLiteral("--frobnicate")}},
        {zelm, {QStringLiteral("-x")}},
        {zelm, {QStringLiteral("card.dat")}},  // the program opens no files
        {zelm, {QStringLiteral("-platform")}}, // Qt's option without its value
        {reportf,
         {QStringLiteral("--frobnicate"), QStringLiteral("KnigaDat.txt"),
          QStringLiteral("KnigaPic.rtf")}},
    };
    for (const auto& [program, args] : cases) {
        const Outcome r = run(program, args);
        const std::string what =
            (program + QLatin1Char(' ') + args.join(QLatin1Char(' '))).toStdString();
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_TRUE(r.out.isEmpty()) << what;
        EXPECT_TRUE(r.err.contains(args.first())) << what << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--help"))) << what;
    }
}

// Each mistake is named for what it is, in the locale's language, and is a command-line error
// (status 2) rather than a failed report (status 1, a message box).
TEST(CommandLine, EachMistakeIsNamedInTheLocalesLanguage) {
    struct Case {
        QString program;
        QStringList args;
        QString english;
        QString russian;
    };
    const QList<Case> cases = {
        {reportf, {}, "reportf: arguments missing", "reportf: не указаны аргументы"},
        {reportf,
         {"KnigaDat.txt"},
         "reportf: wrong arguments 'KnigaDat.txt'",
         "reportf: неверные аргументы «KnigaDat.txt»"},
        {reportf,
         {"KnigaDat.txt", "KnigaPic.rtf", "KnigaRep.rtf", "-", "/x"},
         "reportf: wrong arguments 'KnigaDat.txt KnigaPic.rtf KnigaRep.rtf - /x'",
         "неверные аргументы"},
        {zelm,
         {"extra_arg"},
         "zelm: unexpected argument 'extra_arg'",
         "лишний аргумент «extra_arg»"},
        {zelm, {"--frobnicate"}, "zelm: unknown option '--frobnicate'", "неизвестный параметр"},
        {zelm, {"-style"}, "zelm: option '-style' needs a value", "не хватает значения"},
    };
    for (const Case& c : cases) {
        const std::string what =
            (c.program + QLatin1Char(' ') + c.args.join(QLatin1Char(' '))).toStdString();
        const Outcome english = run(c.program, c.args, QStringLiteral("C"));
        EXPECT_EQ(english.exitCode, 2) << what;
        EXPECT_TRUE(english.out.isEmpty()) << what;
        EXPECT_TRUE(english.err.startsWith(c.english)) << what << english.err.toStdString();
        EXPECT_TRUE(english.err.contains(QStringLiteral("Try '"))) << what;
        const Outcome russian = run(c.program, c.args, QStringLiteral("ru_RU.UTF-8"));
        EXPECT_EQ(russian.exitCode, 2) << what;
        EXPECT_TRUE(russian.err.contains(c.russian)) << what << russian.err.toStdString();
    }
    // The help names every report the card index makes and both LibreOffice profiles.
    const QString help = run(reportf, {QStringLiteral("--help")}).out;
    for (const char* x :
         {"Poln", "Kniga", "KonA8", "KonA9", "Stat", "reportf-profile", "reportf-window-profile"})
        EXPECT_TRUE(help.contains(QLatin1String(x))) << x;
}

TEST(CommandLine, QtsOwnOptionsReachQt) {
    // Without a display the program starts only if Qt took "-platform offscreen".
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = headless(QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("ZELM_HOME"), home.path());
    p.setProcessEnvironment(env);
    p.start(zelm, {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                   QStringLiteral("-style"), QStringLiteral("fusion")});
    ASSERT_TRUE(p.waitForStarted());
    const QString prepared = home.filePath(QStringLiteral("report/KnigaPic.rtf"));
    for (int i = 0; i < 600 && !QFileInfo::exists(prepared) && p.state() == QProcess::Running; ++i)
        p.waitForFinished(100);
    EXPECT_EQ(p.state(), QProcess::Running) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo::exists(prepared));
    p.kill();
    p.waitForFinished();
}

} // namespace
} // namespace zelm::testing
