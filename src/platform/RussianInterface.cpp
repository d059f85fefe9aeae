#include "platform/RussianInterface.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zelm {

namespace {
// Qt's Russian file leaves the OK button in Latin letters; a Russian user reads «ОК».
class RussianOk : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QPlatformTheme") == 0 && qstrcmp(source, "OK") == 0)
            return QStringLiteral("ОК");
        return {};
    }
};
} // namespace

QString qtTranslationsFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool installRussianInterface(QCoreApplication& application) {
    return installRussianInterface(application, qtTranslationsFolder());
}

bool installRussianInterface(QCoreApplication& application, const QString& translationsFolder) {
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    // Owned by the application, so it lives as long as the texts it translates.
    auto* translator = new QTranslator(&application);
    if (!translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                          translationsFolder)) {
        delete translator;
        return false;
    }
    if (!QCoreApplication::installTranslator(translator))
        return false;
    // Installed last, so asked first.
    QCoreApplication::installTranslator(new RussianOk(&application));
    return true;
}

} // namespace zelm
