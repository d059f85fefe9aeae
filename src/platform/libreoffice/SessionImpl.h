#pragma once
// The connection behind a LibreOfficeSession, shared by its Word and Calc objects.
#include "platform/libreoffice/LibreOfficeSession.h"
#include "platform/libreoffice/UnoSupport.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/weakref.hxx>
#include <rtl/ref.hxx>

#include <atomic>
#include <memory>
#include <vector>

namespace zelm {

class LibreOfficeCalc;

namespace uno {
class BridgeWatch;
}

struct LibreOfficeSession::Impl {
    explicit Impl(LibreOfficeOptions options);
    ~Impl();

    LibreOfficeOptions options;
    QString soffice; // the program started, never through a shell

    uno::css::uno::Reference<uno::css::uno::XComponentContext> remote;
    uno::css::uno::Reference<uno::css::lang::XComponent> bridge;
    uno::css::uno::Reference<uno::css::frame::XDesktop2> desktop;
    rtl::Reference<uno::BridgeWatch> watch;

    // The documents this program loaded, weakly: they are its own to close.
    std::vector<uno::css::uno::WeakReference<uno::css::frame::XModel>> ownDocuments;

    // What the checks look at.
    uno::css::uno::Reference<uno::css::lang::XComponent> lastWordDocument;
    uno::css::uno::Reference<uno::css::lang::XComponent> lastWorkbook;

    std::unique_ptr<LibreOfficeCalc> calc;

    bool isInstalled() const;
    // The desktop of a live connection; connects (and starts soffice) when there is none.
    uno::css::uno::Reference<uno::css::frame::XDesktop2> ensureDesktop();
    bool tryConnect();
    qint64 startOffice(); // the process id of the soffice started
    void drop();

    // Loads a document hidden with the extra arguments; a connection lost since the last call
    // (the user quit LibreOffice) is made again once.
    uno::css::uno::Reference<uno::css::lang::XComponent>
    load(const QString& path, const uno::css::uno::Sequence<uno::css::beans::PropertyValue>& extra,
         const QString& failure);
};

} // namespace zelm
