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

void rethrowAsOfficeError(const QString& context) {
    try {
        throw;
    } catch (const OfficeError&) {
        throw;
    } catch (const css::lang::DisposedException& e) {
        throw OfficeLostError(context + QStringLiteral("\nLibreOffice закрыт: ") +
                              fromOU(e.Message));
    } catch (const css::uno::Exception& e) {
        const QString detail = fromOU(e.Message).trimmed();
        throw OfficeError(detail.isEmpty() ? context : context + QLatin1Char('\n') + detail);
    }
}

} // namespace zelm::uno
