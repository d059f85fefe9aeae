#include "platform/OfficeLoader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace zelm {

namespace {

const QString notInstalled = QStringLiteral(
    "LibreOffice не установлен.\nДокументы Word и таблицы Excel открываются в LibreOffice "
    "Writer и Calc: установите пакеты libreoffice-writer и libreoffice-calc.");

class MissingWord : public WordApplication {
public:
    void documentsAdd(const QString&) override { fail(); }
    void documentsOpen(const QString&) override { fail(); }
    void activeDocumentSaveAs(const QString&) override { fail(); }
    void findSetForward(bool) override { fail(); }
    void findSetText(const QString&) override { fail(); }
    void replacementSetText(const QString&) override { fail(); }
    void findExecute() override { fail(); }
    void findExecuteReplaceAll() override { fail(); }
    void setVisible(bool) override { fail(); }

private:
    [[noreturn]] static void fail() { throw OfficeError(notInstalled); }
};

class MissingExcel : public ExcelApplication {
public:
    void disconnect() override {}
    void connect() override { throw OfficeError(notInstalled); }
    void workbooksOpen(const QString&) override { throw OfficeError(notInstalled); }
    void setRowAsText(int, const QStringList&) override { throw OfficeError(notInstalled); }
    void setVisible(bool) override { throw OfficeError(notInstalled); }
};

class MissingOffice : public OfficeAutomation {
public:
    explicit MissingOffice(QString detail) : m_detail(std::move(detail)) {}
    std::unique_ptr<WordApplication> createWord() override {
        throw OfficeError(notInstalled + QLatin1Char('\n') + m_detail);
    }
    ExcelApplication& excel() override { return m_excel; }
    void closeOwnDocument(const QString&) override {}

private:
    QString m_detail;
    MissingExcel m_excel;
};

// LibreOffice's UNO libraries live in its program folder and find their companions there
// (libreglo.so and others) through their own $ORIGIN; from the links on the linker's path those
// are not found. So, as the SDK's application loader does for programs outside LibreOffice's
// folder, they are loaded from the program folder the module's session uses, before the module,
// which then finds them loaded and needs no run path of its own. A missing LibreOffice is left
// for the module's load to report.
void preloadUnoLibraries() {
    const QString folder = QStringLiteral(ZELM_LO_PROGRAM);
    for (const char* name : {"libuno_sal.so.3", "libuno_salhelpergcc3.so.3", "libuno_cppu.so.3",
                             "libuno_cppuhelpergcc3.so.3"}) {
        QLibrary library(folder + QLatin1Char('/') + QLatin1String(name));
        library.setLoadHints(QLibrary::ExportExternalSymbolsHint);
        if (!library.load())
            return;
    }
}

} // namespace

QString libreOfficeModulePath() {
    const QString name = QStringLiteral("libzelm_libreoffice.so");
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/zelm/") + name;
    if (QFileInfo::exists(installed))
        return installed;
    return QStringLiteral(ZELM_MODULE_DIR "/") + name;
}

std::unique_ptr<OfficeAutomation> loadOfficeAutomation(const QString& modulePath) {
    // Never unloaded: the session it makes lives to the end of the program.
    preloadUnoLibraries();
    QLibrary module(modulePath);
    using Create = OfficeAutomation* (*)();
    auto create = reinterpret_cast<Create>(module.resolve("zelm_create_office"));
    if (!create)
        return std::make_unique<MissingOffice>(module.errorString());
    return std::unique_ptr<OfficeAutomation>(create());
}

} // namespace zelm
