#include "platform/libreoffice/LibreOfficeWord.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <QHash>

namespace zelm {

using namespace uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

QString storeFilterFor(const QString& loadFilter) {
    static const QHash<QString, QString> byTemplate{
        {QStringLiteral("MS Word 97 Vorlage"), QStringLiteral("MS Word 97")},
        {QStringLiteral("MS Word 95"), QStringLiteral("MS Word 97")},
        {QStringLiteral("MS WinWord 6.0"), QStringLiteral("MS Word 97")},
        {QStringLiteral("MS Word 2007 XML Template"), QStringLiteral("MS Word 2007 XML")},
        {QStringLiteral("Office Open XML Text Template"), QStringLiteral("Office Open XML Text")},
        {QStringLiteral("writer8_template"), QStringLiteral("writer8")},
        {QStringLiteral("writer_StarOffice_XML_Writer_Template"), QStringLiteral("writer8")},
        {QStringLiteral("writer_StarOffice_XML_Writer"), QStringLiteral("writer8")},
    };
    if (loadFilter.isEmpty())
        return QStringLiteral("MS Word 97");
    return byTemplate.value(loadFilter, loadFilter);
}

namespace {

QString loadFilterOf(const Reference<css::lang::XComponent>& doc) {
    Reference<css::frame::XModel> model(doc, UNO_QUERY_THROW);
    const auto args = model->getArgs();
    for (const auto& a : args) {
        OUString name;
        if (a.Name == "FilterName" && (a.Value >>= name))
            return fromOU(name);
    }
    return {};
}

Reference<css::frame::XController> controllerOf(const Reference<css::lang::XComponent>& doc) {
    Reference<css::frame::XModel> model(doc, UNO_QUERY_THROW);
    auto controller = model->getCurrentController();
    if (!controller.is())
        throw OfficeError(QStringLiteral("У документа нет окна"));
    return controller;
}

} // namespace

LibreOfficeWord::~LibreOfficeWord() {
    // A document the user was never shown would stay hidden in LibreOffice for good.
    if (m_document.is() && !m_shown) {
        try {
            Reference<css::util::XCloseable> closeable(m_document, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        } catch (const css::uno::Exception&) {
        }
    }
}

const Reference<css::lang::XComponent>& LibreOfficeWord::active() const {
    if (!m_document.is())
        throw OfficeError(QStringLiteral("Нет открытого документа"));
    return m_document;
}

void LibreOfficeWord::activate(const Reference<css::lang::XComponent>& doc) {
    m_document = doc;
    m_found.clear();
    m_shown = false;
    m_session.lastWordDocument = doc;
}

void LibreOfficeWord::documentsAdd(const QString& templatePath) {
    activate(m_session.load(templatePath,
                            properties({property("AsTemplate", Any(true)),
                                        property("MacroExecutionMode", Any(sal_Int16(0)))}),
                            QStringLiteral("Не удалось создать документ по шаблону")));
}

void LibreOfficeWord::documentsOpen(const QString& path) {
    activate(m_session.load(path, properties({property("MacroExecutionMode", Any(sal_Int16(0)))}),
                            QStringLiteral("Не удалось открыть документ")));
}

namespace {

// True when another document of this LibreOffice was loaded from or saved as `url`.
bool openElsewhere(const Reference<css::frame::XDesktop2>& desktop, const OUString& url,
                   const Reference<css::lang::XComponent>& self) {
    try {
        auto it = desktop->getComponents()->createEnumeration();
        while (it->hasMoreElements()) {
            Reference<css::frame::XModel> model(it->nextElement(), UNO_QUERY);
            if (model.is() && model != Reference<css::frame::XModel>(self, UNO_QUERY) &&
                model->getURL() == url)
                return true;
        }
    } catch (const css::uno::Exception&) {
    }
    return false;
}

} // namespace

void LibreOfficeWord::activeDocumentSaveAs(const QString& fileName) {
    const auto& doc = active();
    // LibreOffice refuses to save over a document it has open, e.g. a card's document the
    // user deleted while it was still open; say so plainly.
    if (m_session.desktop.is() && openElsewhere(m_session.desktop, fileUrl(fileName), doc))
        throw OfficeError(QStringLiteral("Документ открыт в LibreOffice, закройте его и "
                                         "повторите команду\n") +
                          fileName);
    try {
        const QString filter = storeFilterFor(loadFilterOf(doc));
        Reference<css::frame::XStorable> storable(doc, UNO_QUERY_THROW);
        storable->storeAsURL(fileUrl(fileName),
                             properties({property("FilterName", Any(toOU(filter))),
                                         property("Overwrite", Any(true))}));
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось сохранить документ\n") + fileName);
    }
}

void LibreOfficeWord::findExecute() {
    const auto& doc = active();
    try {
        Reference<css::util::XSearchable> searchable(doc, UNO_QUERY_THROW);
        auto descriptor = searchable->createSearchDescriptor();
        descriptor->setSearchString(toOU(m_findText));
        Reference<css::beans::XPropertySet> props(descriptor, UNO_QUERY_THROW);
        props->setPropertyValue(OUString("SearchBackwards"), Any(!m_forward));
        // Word searches on from its selection, which stands at the start of an opened
        // document and on the occurrence found last.
        Reference<css::uno::XInterface> found = m_found.is()
                                                    ? searchable->findNext(m_found, descriptor)
                                                    : searchable->findFirst(descriptor);
        if (!found.is())
            return; // Word leaves the selection where it was
        m_found = found;
        Reference<css::view::XSelectionSupplier> selection(controllerOf(doc), UNO_QUERY_THROW);
        selection->select(Any(found));
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Поиск в документе не выполнен"));
    }
}

void LibreOfficeWord::findExecuteReplaceAll() {
    const auto& doc = active();
    try {
        // The document's own replace reaches every part: body, tables, frames, page headers
        // and footers, and text split across formatting runs.
        Reference<css::util::XReplaceable> replaceable(doc, UNO_QUERY_THROW);
        auto descriptor = replaceable->createReplaceDescriptor();
        descriptor->setSearchString(toOU(m_findText));
        descriptor->setReplaceString(toOU(m_replacement));
        Reference<css::beans::XPropertySet> props(descriptor, UNO_QUERY_THROW);
        props->setPropertyValue(OUString("SearchBackwards"), Any(!m_forward));
        replaceable->replaceAll(Reference<css::util::XSearchDescriptor>(descriptor.get()));
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Замена в документе не выполнена"));
    }
}

void LibreOfficeWord::setVisible(bool visible) {
    if (!m_document.is())
        return; // Word itself shows with no document
    try {
        auto frame = controllerOf(m_document)->getFrame();
        Reference<css::awt::XWindow> window = frame->getContainerWindow();
        window->setVisible(visible);
        if (visible) {
            Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
            if (top.is())
                top->toFront();
            frame->activate();
            // A hidden window has no size to scroll in: the occurrence found while hidden is
            // selected once more, now that the window can scroll to it.
            if (m_found.is()) {
                Reference<css::view::XSelectionSupplier> selection(controllerOf(m_document),
                                                                   UNO_QUERY_THROW);
                selection->select(Any(m_found));
            }
        }
        m_shown = m_shown || visible;
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось показать документ"));
    }
}

} // namespace zelm
