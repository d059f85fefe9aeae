#include "platform/libreoffice/UnoSupport.h"

#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>

#include <QFileInfo>
#include <QUrl>

namespace zelm::uno {

OUString fileUrl(const QString& path) {
    const QString url =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    return toOU(url);
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value) {
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<css::beans::PropertyValue> list) {
    css::uno::Sequence<css::beans::PropertyValue> seq(static_cast<sal_Int32>(list.size()));
    auto* out = seq.getArray();
    for (const auto& p : list)
        *out++ = p;
    return seq;
}

namespace {

const QString kLost = QStringLiteral("LibreOffice закрылся или прервал связь с программой. "
                                     "При следующей команде он будет запущен снова.");

// LibreOffice's own texts are English: they are shown only when they are Russian (a file name
// or a text of the document), so no English sentence stands inside a Russian message.
bool isShowable(const QString& detail) {
    for (QChar c : detail)
        if (c.unicode() >= 0x410 && c.unicode() <= 0x44f)
            return true;
    return false;
}

} // namespace

void rethrowAsOfficeError(const QString& context) {
    try {
        throw;
    } catch (const OfficeError&) {
        throw;
    } catch (const css::lang::DisposedException&) {
        throw OfficeLostError(context + QLatin1Char('\n') + kLost);
    } catch (const css::uno::RuntimeException& e) {
        // A write to a connection whose LibreOffice has gone fails before the bridge is
        // disposed: the bridge's texts say so.
        const QString detail = fromOU(e.Message);
        if (detail.contains(QLatin1String("bridge"), Qt::CaseInsensitive) ||
            detail.contains(QLatin1String("URP")) ||
            detail.contains(QLatin1String("connection"), Qt::CaseInsensitive))
            throw OfficeLostError(context + QLatin1Char('\n') + kLost);
        throw OfficeError(isShowable(detail) ? context + QLatin1Char('\n') + detail.trimmed()
                                             : context);
    } catch (const css::uno::Exception& e) {
        const QString detail = fromOU(e.Message).trimmed();
        throw OfficeError(isShowable(detail) ? context + QLatin1Char('\n') + detail : context);
    }
}

} // namespace zelm::uno
