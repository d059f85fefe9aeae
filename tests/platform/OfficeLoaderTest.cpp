// The desktop platform's Office: LibreOffice's module loaded at run time, or a clear message.
#include "platform/OfficeLoader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelm::testing {
namespace {

TEST(OfficeLoader, WithoutTheModuleEveryOfficeCommandSaysLibreOfficeIsNotInstalled) {
    QTemporaryDir dir;
    auto office = loadOfficeAutomation(dir.filePath(QStringLiteral("libzelm_libreoffice.so")));
    ASSERT_TRUE(office);
    try {
        office->createWord();
        FAIL();
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("LibreOffice не установлен")));
    }
    EXPECT_NO_THROW(office->excel().disconnect());
    EXPECT_THROW(office->excel().connect(), OfficeError);
    EXPECT_THROW(office->excel().workbooksOpen(dir.filePath(QStringLiteral("L_Excel.txt"))),
                 OfficeError);
}

TEST(OfficeLoader, TheBuiltModuleGivesLibreOfficesWord) {
    auto office = loadOfficeAutomation(libreOfficeModulePath());
    ASSERT_TRUE(office);
    // Making the Word object only checks that LibreOffice is there; nothing is started yet,
    // nor for a file that is missing. The module's errors arrive as the program's own.
    std::unique_ptr<WordApplication> word;
    ASSERT_NO_THROW(word = office->createWord());
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("ReadMe.doc"));
    try {
        word->documentsOpen(missing);
        FAIL();
    } catch (const OfficeError& e) {
        EXPECT_TRUE(e.message().contains(missing));
    }
}

} // namespace
} // namespace zelm::testing
