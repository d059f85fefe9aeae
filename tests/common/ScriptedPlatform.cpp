#include "common/ScriptedPlatform.h"

#include <QWidget>

namespace zelm {

namespace {

class ScriptedDialogs : public Dialogs {
public:
    explicit ScriptedDialogs(ScriptedPlatform& p) : m_p(p) {}
    void notice(QWidget*, const QString& text, const QString& caption) override {
        record({ShownMessage::Notice, text, caption});
    }
    bool ask(QWidget*, const QString& text, const QString& caption) override {
        record({ShownMessage::Question, text, caption});
        return m_p.answers.isEmpty() ? false : m_p.answers.dequeue();
    }
    int choose(QWidget*, const QString& text, const QString& caption,
               const QStringList& buttons) override {
        m_p.choiceButtons.append(buttons);
        record({ShownMessage::Question, text, caption});
        return m_p.choices.isEmpty() ? -1 : m_p.choices.dequeue();
    }
    std::optional<QString> enterText(QWidget*, const QString&, const QString&,
                                     const QString& text) override {
        m_p.offeredTexts.append(text);
        return m_p.enteredTexts.isEmpty() ? std::nullopt : m_p.enteredTexts.dequeue();
    }
    void error(QWidget*, const QString& text) override {
        record({ShownMessage::Error, text, QString()});
    }
    QString openFile(QWidget*, const QString& caption, const QString& folder,
                     const QString& filter) override {
        m_p.fileDialogs.append({caption, folder, filter});
        return m_p.openFileResults.isEmpty() ? QString() : m_p.openFileResults.dequeue();
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override {
        return m_p.folderResults.isEmpty() ? QString() : m_p.folderResults.dequeue();
    }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override {
        return m_p.colourResults.isEmpty() ? std::nullopt : m_p.colourResults.dequeue();
    }

private:
    void record(const ShownMessage& m) {
        m_p.messages.append(m);
        if (m_p.onMessage)
            m_p.onMessage(m);
    }
    ScriptedPlatform& m_p;
};

class ScriptedShell : public Shell {
public:
    explicit ScriptedShell(ScriptedPlatform& p) : m_p(p) {}
    bool openDocument(const QString& path) override {
        m_p.shellCalls << QStringLiteral("open ") + path;
        return !m_p.shellOpenFails;
    }
    bool startProgram(const QString& program, const QStringList& arguments, const QString& folder,
                      QString* reason) override {
        m_p.shellCalls << QStringLiteral("start ") + program + QLatin1Char(' ') +
                              arguments.join(QLatin1Char(' ')) + QStringLiteral(" in ") + folder;
        if (!m_p.startFailure.isEmpty()) {
            if (reason)
                *reason = m_p.startFailure;
            return false;
        }
        m_p.startedPrograms.append({program, arguments, folder});
        return true;
    }

private:
    ScriptedPlatform& m_p;
};

class ScriptedKeyboard : public KeyboardLayout {
public:
    explicit ScriptedKeyboard(ScriptedPlatform& p) : m_p(p) {}
    void activate(const QString& id) override { m_p.keyboardLayouts << id; }

private:
    ScriptedPlatform& m_p;
};

class ScriptedPrinter : public WindowPrinter {
public:
    explicit ScriptedPrinter(ScriptedPlatform& p) : m_p(p) {}
    bool printWindow(QWidget* w) override {
        if (!m_p.hasPrinter)
            return false;
        m_p.printedWindows << w;
        return true;
    }

private:
    ScriptedPlatform& m_p;
};

class ScriptedWord : public WordApplication {
public:
    explicit ScriptedWord(ScriptedPlatform& p) : m_p(p) {}
    void documentsAdd(const QString& t) override { call(QStringLiteral("Documents.Add ") + t); }
    void documentsOpen(const QString& path) override {
        call(QStringLiteral("Documents.Open ") + path);
    }
    void activeDocumentSaveAs(const QString& f) override {
        call(QStringLiteral("ActiveDocument.SaveAs ") + f);
    }
    void findSetForward(bool f) override {
        call(QStringLiteral("Find.Forward ") +
             (f ? QStringLiteral("true") : QStringLiteral("false")));
    }
    void findSetText(const QString& t) override { call(QStringLiteral("Find.Text ") + t); }
    void replacementSetText(const QString& t) override {
        call(QStringLiteral("Find.Replacement.Text ") + t);
    }
    void findExecute() override { call(QStringLiteral("Find.Execute")); }
    void findExecuteReplaceAll() override { call(QStringLiteral("Find.Execute Replace=2")); }
    void setVisible(bool v) override {
        call(QStringLiteral("Visible ") + (v ? QStringLiteral("true") : QStringLiteral("false")));
    }

private:
    void call(const QString& c) {
        m_p.officeCalls << c;
        if (m_p.officeFails)
            throw OfficeError(QStringLiteral("Word is not available"));
    }
    ScriptedPlatform& m_p;
};

class ScriptedExcel : public ExcelApplication {
public:
    explicit ScriptedExcel(ScriptedPlatform& p) : m_p(p) {}
    void disconnect() override { call(QStringLiteral("Excel.Disconnect")); }
    void connect() override { call(QStringLiteral("Excel.Connect")); }
    void workbooksOpen(const QString& f) override { call(QStringLiteral("Workbooks.Open ") + f); }
    void setRowAsText(int row, const QStringList& texts) override {
        call(QStringLiteral("Rows(%1).Text ").arg(row + 1) + texts.join(QLatin1Char(';')));
    }
    void setVisible(bool v) override {
        call(QStringLiteral("Excel.Visible ") +
             (v ? QStringLiteral("true") : QStringLiteral("false")));
    }

private:
    void call(const QString& c) {
        m_p.officeCalls << c;
        if (m_p.officeFails)
            throw OfficeError(QStringLiteral("Excel is not available"));
    }
    ScriptedPlatform& m_p;
};

class ScriptedOffice : public OfficeAutomation {
public:
    explicit ScriptedOffice(ScriptedPlatform& p) : m_p(p), m_excel(p) {}
    std::unique_ptr<WordApplication> createWord() override {
        m_p.officeCalls << QStringLiteral("Word.Application");
        if (m_p.officeFails)
            throw OfficeError(QStringLiteral("Word is not available"));
        return std::make_unique<ScriptedWord>(m_p);
    }
    ExcelApplication& excel() override { return m_excel; }
    void closeOwnDocument(const QString& path) override {
        m_p.officeCalls << QStringLiteral("Close ") + path;
    }

private:
    ScriptedPlatform& m_p;
    ScriptedExcel m_excel;
};

} // namespace

struct ScriptedPlatform::Impl {
    explicit Impl(ScriptedPlatform& p) : dialogs(p), shell(p), office(p), keyboard(p), printer(p) {}
    ScriptedDialogs dialogs;
    ScriptedShell shell;
    ScriptedOffice office;
    ScriptedKeyboard keyboard;
    ScriptedPrinter printer;
};

ScriptedPlatform::ScriptedPlatform() : d(std::make_unique<Impl>(*this)) {}
ScriptedPlatform::~ScriptedPlatform() = default;
Dialogs& ScriptedPlatform::dialogs() {
    return d->dialogs;
}
Shell& ScriptedPlatform::shell() {
    return d->shell;
}
OfficeAutomation& ScriptedPlatform::office() {
    return d->office;
}
KeyboardLayout& ScriptedPlatform::keyboard() {
    return d->keyboard;
}
WindowPrinter& ScriptedPlatform::printer() {
    return d->printer;
}

void ScriptedPlatform::clearRecords() {
    messages.clear();
    fileDialogs.clear();
    choiceButtons.clear();
    offeredTexts.clear();
    officeCalls.clear();
    shellCalls.clear();
    startedPrograms.clear();
    keyboardLayouts.clear();
    printedWindows.clear();
}

} // namespace zelm
