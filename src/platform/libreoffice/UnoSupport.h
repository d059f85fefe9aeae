#pragma once
// What every UNO-facing file of this folder shares: text and URL conversion, load and store
// arguments, and the translation of UNO's exceptions into OfficeError.
#include "platform/Office.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <QString>
#include <initializer_list>

namespace zelm::uno {

namespace css = com::sun::star;
using rtl::OUString;

inline OUString toOU(const QString& s) {
    return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), s.size());
}
inline QString fromOU(const OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

// file:///... of a local path, made absolute.
OUString fileUrl(const QString& path);

css::beans::PropertyValue property(const char* name, const css::uno::Any& value);
css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<css::beans::PropertyValue> list);

// Inside a catch block: raises OfficeError with `context` and the caught exception's text.
// A lost connection (soffice ended) is raised as OfficeLostError, so the caller can reconnect.
[[noreturn]] void rethrowAsOfficeError(const QString& context);

class OfficeLostError : public OfficeError {
public:
    using OfficeError::OfficeError;
};

} // namespace zelm::uno
