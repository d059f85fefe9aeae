#include "OfficeTestSupport.h"

#include "common/FileBytes.h"
#include "store/Cp1251.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// LibreOffice's UNO libraries keep type descriptions and strings to the end of the process;
// under the leak checker they are theirs, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:/usr/lib/libreoffice/program/\n";
}

namespace zelm::testing {

namespace {

std::unique_ptr<LibreOfficeSession>& session() {
    static std::unique_ptr<LibreOfficeSession> s;
    return s;
}

// Drops the connection before the process ends: UNO objects must not outlive main().
class OfficeEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        if (session()) {
            try {
                session()->closeAllDocuments();
            } catch (const OfficeError&) {
            }
            session().reset();
        }
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new OfficeEnvironment);

} // namespace

LibreOfficeSession& testOffice() {
    if (!session()) {
        LibreOfficeOptions options;
        options.profileFolder = QStringLiteral(ZELM_TEST_OFFICE_PROFILE);
        options.headless = true;
        session() = std::make_unique<LibreOfficeSession>(options);
    }
    session()->connect();
    return *session();
}

void makeDocument(const QString& path, const QByteArray& rtf, const QString& filterName) {
    if (filterName == QLatin1String("Rich Text Format")) {
        writeBytes(path, rtf);
        return;
    }
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.rtf"));
    writeBytes(source, rtf);
    testOffice().convertDocument(source, path, filterName);
}

QByteArray rtfText(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        const char b = toCp1251Char(c);
        const auto u = static_cast<unsigned char>(b);
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += b;
        } else if (u < 0x80) {
            out += b;
        } else {
            out += QByteArray("\\'") + QByteArray::number(u, 16);
        }
    }
    return out;
}

} // namespace zelm::testing
