#include "platform/libreoffice/LibreOfficeSession.h"

#include "officeprofile/OfficeProfile.h"
#include "platform/libreoffice/LibreOfficeCalc.h"
#include "platform/libreoffice/LibreOfficeWord.h"
#include "platform/libreoffice/OfficeCommandLine.h"
#include "platform/libreoffice/SessionImpl.h"

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/bridge/XBridgeFactory2.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/connection/XConnector.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace zelm {

using namespace uno;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace uno {

// Notices the end of the bridge: soffice ended or the pipe broke.
class BridgeWatch : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    void SAL_CALL disposing(const css::lang::EventObject&) override { alive = false; }
    std::atomic<bool> alive{true};
};

} // namespace uno

namespace {

const QString notInstalled = QStringLiteral(
    "LibreOffice не установлен.\nДокументы Word и таблицы Excel открываются в LibreOffice "
    "Writer и Calc: установите пакеты libreoffice-writer и libreoffice-calc.");

QString defaultProgramFolder() {
    return QStringLiteral(ZELM_LO_PROGRAM);
}

// The local UNO environment of this process. Bootstrapped once and kept to the end of the
// process: tearing it down while LibreOffice's libraries unload at exit crashes.
Reference<css::uno::XComponentContext> localContext(const QString& programFolder) {
    static Reference<css::uno::XComponentContext>* context = nullptr;
    if (context)
        return *context;
    rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"),
                        toOU(QStringLiteral("vnd.sun.star.pathname:") + programFolder +
                             QStringLiteral("/fundamentalrc")));
    try {
        context = new Reference<css::uno::XComponentContext>(
            cppu::defaultBootstrap_InitialComponentContext());
    } catch (const cppu::BootstrapException& e) {
        throw OfficeError(notInstalled + QLatin1Char('\n') + fromOU(e.getMessage()));
    } catch (const css::uno::Exception& e) {
        throw OfficeError(notInstalled + QLatin1Char('\n') + fromOU(e.Message));
    }
    return *context;
}

} // namespace

QString defaultLibreOfficeProfile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/zelm/libreoffice");
}

LibreOfficeSession::Impl::Impl(LibreOfficeOptions o) : options(std::move(o)) {
    // A LibreOffice that ends while a call is written to its pipe would end this program
    // too: the write fails instead, and the call reports the lost connection.
    std::signal(SIGPIPE, SIG_IGN);
    if (options.programFolder.isEmpty())
        options.programFolder = defaultProgramFolder();
    if (options.profileFolder.isEmpty())
        options.profileFolder = defaultLibreOfficeProfile();
    if (options.pipeName.isEmpty())
        options.pipeName = officePipeName(options.profileFolder);
    soffice = options.programFolder + QStringLiteral("/soffice");
}

LibreOfficeSession::Impl::~Impl() {
    drop();
}

bool LibreOfficeSession::Impl::isInstalled() const {
    return QFileInfo(soffice).isExecutable() &&
           QFileInfo::exists(options.programFolder + QStringLiteral("/fundamentalrc")) &&
           QFileInfo::exists(options.programFolder + QStringLiteral("/types/offapi.rdb"));
}

void LibreOfficeSession::Impl::drop() {
    ownDocuments.clear();
    lastWordDocument.clear();
    lastWorkbook.clear();
    desktop.clear();
    remote.clear();
    if (bridge.is()) {
        try {
            if (watch.is())
                bridge->removeEventListener(
                    css::uno::Reference<css::lang::XEventListener>(watch.get()));
            bridge->dispose();
        } catch (const css::uno::Exception&) {
        }
        bridge.clear();
    }
    watch.clear();
}

bool LibreOfficeSession::Impl::tryConnect() {
    const auto local = localContext(options.programFolder);
    try {
        auto connector = css::connection::Connector::create(local);
        auto connection = connector->connect(toOU(QStringLiteral("pipe,name=") + options.pipeName));
        auto factory = css::bridge::BridgeFactory::create(local);
        auto newBridge = factory->createBridge(OUString(), OUString("urp"), connection, nullptr);
        Reference<css::uno::XComponentContext> context(
            newBridge->getInstance(OUString("StarOffice.ComponentContext")), UNO_QUERY_THROW);
        auto newDesktop = css::frame::Desktop::create(context);
        watch = new BridgeWatch;
        bridge.set(newBridge, UNO_QUERY_THROW);
        bridge->addEventListener(Reference<css::lang::XEventListener>(watch.get()));
        remote = context;
        desktop = newDesktop;
        return true;
    } catch (const css::connection::NoConnectException&) {
        return false;
    } catch (const css::uno::Exception&) {
        // A soffice still starting accepts the pipe before it can serve the desktop.
        return false;
    }
}

qint64 LibreOfficeSession::Impl::startOffice() {
    if (!isInstalled())
        throw OfficeError(notInstalled);
    QString reason;
    if (!prepareOfficeProfile(options.profileFolder, libreOfficeVersion(options.programFolder),
                              &reason))
        throw OfficeError(reason);
    const QStringList args =
        officeArguments(options.profileFolder, options.pipeName, options.headless);
    // Detached: LibreOffice keeps the user's documents open after this program ends. Its
    // output must not hold the program's own output streams open.
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(args);
    process.setWorkingDirectory(QDir::homePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        throw OfficeError(QStringLiteral("Не удалось запустить LibreOffice\n") + soffice);
    return pid;
}

Reference<css::frame::XDesktop2> LibreOfficeSession::Impl::ensureDesktop() {
    if (desktop.is() && watch.is() && watch->alive)
        return desktop;
    drop();
    if (!isInstalled())
        throw OfficeError(notInstalled);
    if (tryConnect())
        return desktop;
    QDeadlineTimer deadline(options.startTimeoutMs);
    // A soffice started while another one of the same profile is still ending hands over to
    // it and ends at once; so does one that cannot start at all. The first is started again,
    // a few times; the second is given up within seconds rather than at the timeout.
    constexpr int kStarts = 3;
    for (int start = 1; start <= kStarts && !deadline.hasExpired(); ++start) {
        const qint64 pid = startOffice();
        QDeadlineTimer grace(QDeadlineTimer::Forever);
        while (!deadline.hasExpired() && !grace.hasExpired()) {
            QThread::msleep(50);
            if (tryConnect())
                return desktop;
            if (grace.isForever() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                grace = QDeadlineTimer(1500);
        }
    }
    throw OfficeError(QStringLiteral("LibreOffice не отвечает: запущен, но не принимает "
                                     "подключение через канал ") +
                      options.pipeName);
}

Reference<css::lang::XComponent>
LibreOfficeSession::Impl::load(const QString& path,
                               const css::uno::Sequence<css::beans::PropertyValue>& extra,
                               const QString& failure) {
    if (!QFileInfo::exists(path))
        throw OfficeError(QStringLiteral("Файл не найден\n") + path);
    css::uno::Sequence<css::beans::PropertyValue> args(extra.getLength() + 1);
    auto* out = args.getArray();
    out[0] = property("Hidden", css::uno::Any(true));
    for (sal_Int32 i = 0; i < extra.getLength(); ++i)
        out[i + 1] = extra[i];
    for (int attempt = 0;; ++attempt) {
        auto desk = ensureDesktop();
        try {
            auto doc = desk->loadComponentFromURL(fileUrl(path), OUString("_blank"), 0, args);
            if (!doc.is())
                throw OfficeError(failure + QLatin1Char('\n') + path);
            std::erase_if(ownDocuments, [](const auto& weak) {
                return !Reference<css::frame::XModel>(weak).is();
            });
            ownDocuments.emplace_back(Reference<css::frame::XModel>(doc, UNO_QUERY));
            return doc;
        } catch (...) {
            const bool lost = !watch.is() || !watch->alive;
            if (lost && attempt == 0) {
                drop();
                continue;
            }
            rethrowAsOfficeError(failure + QLatin1Char('\n') + path);
        }
    }
}

LibreOfficeSession::LibreOfficeSession(LibreOfficeOptions options)
    : d(std::make_unique<Impl>(std::move(options))) {
    d->calc = std::make_unique<LibreOfficeCalc>(*d);
}

LibreOfficeSession::~LibreOfficeSession() {
    d->calc.reset();
}

std::unique_ptr<WordApplication> LibreOfficeSession::createWord() {
    // "Word.Application" fails at once where Word is missing, and so does this.
    if (!d->isInstalled())
        throw OfficeError(notInstalled);
    return std::make_unique<LibreOfficeWord>(*d);
}

ExcelApplication& LibreOfficeSession::excel() {
    return *d->calc;
}

void LibreOfficeSession::closeOwnDocument(const QString& path) {
    if (!d->desktop.is() || !d->watch.is() || !d->watch->alive)
        return; // what an earlier LibreOffice showed has gone with it
    const OUString url = fileUrl(path);
    for (const auto& weak : d->ownDocuments) {
        Reference<css::frame::XModel> model(weak);
        if (!model.is())
            continue;
        try {
            // A document made from a template has the name it was saved as.
            if (model->getURL() != url)
                continue;
            Reference<css::util::XCloseable> closeable(model, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        } catch (const css::uno::Exception&) {
            // Closed by the user meanwhile, or LibreOffice went away.
        }
    }
}

bool LibreOfficeSession::isInstalled() const {
    return d->isInstalled();
}

void LibreOfficeSession::connect() {
    d->ensureDesktop();
}

bool LibreOfficeSession::connectIfRunning() {
    if (d->desktop.is() && d->watch.is() && d->watch->alive)
        return true;
    d->drop();
    return d->isInstalled() && d->tryConnect();
}

void LibreOfficeSession::terminate() {
    if (!connectIfRunning())
        return;
    try {
        d->desktop->terminate();
    } catch (const css::uno::Exception&) {
        // The bridge goes down with soffice, often before the answer arrives.
    }
    d->drop();
    // The pipe stays open until soffice has gone; a new start must not find the old one.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && d->tryConnect()) {
        d->drop();
        QThread::msleep(100);
    }
    d->drop();
}

void LibreOfficeSession::closeAllDocuments() {
    if (!connectIfRunning())
        return;
    d->lastWordDocument.clear();
    d->lastWorkbook.clear();
    try {
        Reference<css::container::XEnumerationAccess> all = d->desktop->getComponents();
        auto it = all->createEnumeration();
        while (it->hasMoreElements()) {
            Reference<css::util::XCloseable> doc(it->nextElement(), UNO_QUERY);
            if (doc.is())
                doc->close(true);
        }
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось закрыть документы LibreOffice"));
    }
}

} // namespace zelm
