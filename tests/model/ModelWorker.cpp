// The program of the model test in a process of its own, so that the test can kill it in the
// middle of an operation (KilledStep.h). Either way it first starts as the program does: the
// data folder's lock, an interrupted restore finished, what a crash left in Temp removed, the
// register opened.
//   model_worker start <root>
//       the start alone, then the end
//   model_worker run <root> <operation file> <card shown, or -1 for the start's>
//       the card shown again, "go" on the standard output, the operation run and checked
//       against a model read from the register, then "done"
// A failure is told on the standard error and ends it with status 3.
#include "backup/RestoreJournal.h"
#include "model/ModelOperations.h"
#include "model/RegisterUnderTest.h"
#include "store/DataFolderLock.h"
#include "store/FileError.h"
#include "store/ScratchFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <rapidcheck.h>
#include <unistd.h>

namespace zelm::model {
namespace {

void say(const char* line) {
    // Unbuffered: the test waits for the line before it starts the clock.
    const std::string text = std::string(line) + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) != ssize_t(text.size()))
        throw std::runtime_error("the test stopped listening");
}

int work(const QStringList& args) {
    if (args.size() < 3 || (args[1] == QLatin1String("run") && args.size() < 5))
        throw std::runtime_error("usage: model_worker start|run <root> [<operation> <shown>]");
    const QString root = args[2];
    Installation inst(root);
    DataFolderLock lock(DataFolderLock::lockPathFor(inst));
    if (lock.acquire() != DataFolderLock::Status::Acquired)
        throw std::runtime_error("the start found the data folder held by a running program");
    inst.prepare();
    QString notice;
    finishInterruptedRestore(inst, &notice);
    removeLeftoverScratchFiles(inst);
    RegisterUnderTest program(root);
    if (args[1] == QLatin1String("start"))
        return 0;

    QFile file(args[3]);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("no operation file");
    const Operation op = decodeOperation(file.readAll());
    ModelRegister model;
    model.main = program.stored(RegisterFile::Main);
    model.archive = program.stored(RegisterFile::Archive);
    const qint64 shown = args[4].toLongLong();
    if (shown >= 0 && size_t(shown) < model.main.size()) {
        program.session().showMainCard(shown);
        model.shown = size_t(shown);
        model.asRead = model.main[size_t(shown)];
    } else {
        model.showLast();
    }
    say("go");
    runOperation(op, model, program);
    checkStored(model, program);
    say("done");
    return 0;
}

} // namespace
} // namespace zelm::model

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        return zelm::model::work(QCoreApplication::arguments());
    } catch (const rc::detail::CaseResult& failure) {
        std::fprintf(stderr, "%s\n", failure.description.c_str());
    } catch (const zelm::FileError& e) {
        std::fprintf(stderr, "%s\n", e.displayText().toStdString().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    return 3;
}
