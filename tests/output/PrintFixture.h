#pragma once
// An installation folder with a report program in report/, a scripted platform and the
// launcher of one run.
#include "common/QStringPrinter.h"
#include "common/ScriptedPlatform.h"
#include "output/ReportLauncher.h"
#include "store/Cp1251.h"
#include "store/Installation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

namespace zelm::testing {

class PrintFixture : public ::testing::Test {
protected:
    PrintFixture() : inst(dir.path()), launcher(inst, platform, {inst.path("report")}) {
        QDir(dir.path()).mkpath(QStringLiteral("report"));
        installProgram(inst.path("report"));
    }

    static void installProgram(const QString& folder) {
        QFile program(QDir(folder).filePath(QStringLiteral("reportf")));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    }

    QByteArray readReport(const QString& name) const {
        QFile f(inst.path(QStringLiteral("report/") + name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The arguments of every recorded start, each joined by blanks.
    QStringList commandLines() const {
        QStringList out;
        for (const StartedProgram& p : platform.startedPrograms)
            out << p.arguments.join(QLatin1Char(' '));
        return out;
    }

    QTemporaryDir dir;
    Installation inst;
    ScriptedPlatform platform;
    ReportLauncher launcher;
};

// Expected file contents written as text: "\n" stands for CR LF.
inline QByteArray crlf(QString text) {
    return toCp1251(text.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

} // namespace zelm::testing
