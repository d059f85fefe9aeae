// What tests and benchmarks read back from LibreOffice: a document's text, a sheet's cells,
// the selection; and conversions between document formats.
#include "platform/libreoffice/LibreOfficeSession.h"
#include "platform/libreoffice/SessionImpl.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <QFile>
#include <QTemporaryDir>

namespace zelm {

using namespace uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

void closeQuietly(const Reference<css::lang::XComponent>& doc) {
    try {
        Reference<css::util::XCloseable> c(doc, UNO_QUERY);
        if (c.is())
            c->close(true);
    } catch (const css::uno::Exception&) {
    }
}

QString headerAndFooterTexts(const Reference<css::lang::XComponent>& doc) {
    QString out;
    Reference<css::style::XStyleFamiliesSupplier> families(doc, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> pageStyles(
        families->getStyleFamilies()->getByName(OUString("PageStyles")), UNO_QUERY_THROW);
    const auto names = pageStyles->getElementNames();
    for (const auto& name : names) {
        Reference<css::beans::XPropertySet> style(pageStyles->getByName(name), UNO_QUERY_THROW);
        for (const char* part : {"Header", "Footer"}) {
            bool on = false;
            style->getPropertyValue(OUString::createFromAscii(part) + "IsOn") >>= on;
            if (!on)
                continue;
            Reference<css::text::XText> text(
                style->getPropertyValue(OUString::createFromAscii(part) + "Text"), UNO_QUERY);
            if (text.is())
                out += fromOU(text->getString()) + QLatin1Char('\n');
        }
    }
    return out;
}

// Writer's view data: the cursor's left and top, the zoom, then the visible area's left, top,
// right and bottom, in twips.
bool cursorInView(const Reference<css::frame::XController>& controller) {
    css::uno::Any data = controller->getViewData();
    OUString text;
    data >>= text;
    const QStringList parts = fromOU(text).split(QLatin1Char(';'));
    if (parts.size() < 7)
        return false;
    const qint64 top = parts[1].toLongLong();
    const qint64 visibleTop = parts[4].toLongLong();
    const qint64 visibleBottom = parts[6].toLongLong();
    return visibleTop < visibleBottom && top >= visibleTop && top < visibleBottom;
}

} // namespace

QString LibreOfficeSession::documentText(const QString& path) {
    auto doc = d->load(path, {}, QStringLiteral("Не удалось открыть документ"));
    QString text;
    try {
        QTemporaryDir dir;
        const QString txt = dir.filePath(QStringLiteral("text.txt"));
        Reference<css::frame::XStorable> storable(doc, UNO_QUERY_THROW);
        storable->storeToURL(fileUrl(txt),
                             properties({property("FilterName", Any(OUString("Text (encoded)"))),
                                         property("FilterOptions", Any(OUString("UTF8,LF")))}));
        QFile f(txt);
        if (f.open(QIODevice::ReadOnly))
            text = QString::fromUtf8(f.readAll());
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        text += headerAndFooterTexts(doc);
    } catch (...) {
        closeQuietly(doc);
        rethrowAsOfficeError(QStringLiteral("Не удалось прочитать текст документа\n") + path);
    }
    closeQuietly(doc);
    return text;
}

void LibreOfficeSession::convertDocument(const QString& from, const QString& to,
                                         const QString& filterName) {
    auto doc = d->load(from, {}, QStringLiteral("Не удалось открыть документ"));
    try {
        Reference<css::frame::XStorable> storable(doc, UNO_QUERY_THROW);
        storable->storeToURL(fileUrl(to), properties({property("FilterName", Any(toOU(filterName))),
                                                      property("Overwrite", Any(true))}));
    } catch (...) {
        closeQuietly(doc);
        rethrowAsOfficeError(QStringLiteral("Не удалось преобразовать документ\n") + from);
    }
    closeQuietly(doc);
}

QList<QStringList> LibreOfficeSession::lastWorkbookCells(int rows, int columns) {
    if (!d->lastWorkbook.is())
        throw OfficeError(QStringLiteral("Таблица не открыта"));
    QList<QStringList> cells;
    try {
        Reference<css::sheet::XSpreadsheetDocument> book(d->lastWorkbook, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> sheets(book->getSheets(), UNO_QUERY_THROW);
        Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(0), UNO_QUERY_THROW);
        for (int r = 0; r < rows; ++r) {
            QStringList row;
            for (int c = 0; c < columns; ++c) {
                Reference<css::text::XText> cell(sheet->getCellByPosition(c, r), UNO_QUERY_THROW);
                row << fromOU(cell->getString());
            }
            cells << row;
        }
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось прочитать таблицу"));
    }
    return cells;
}

bool LibreOfficeSession::lastWorkbookCellIsText(int row, int column) {
    if (!d->lastWorkbook.is())
        throw OfficeError(QStringLiteral("Таблица не открыта"));
    try {
        Reference<css::sheet::XSpreadsheetDocument> book(d->lastWorkbook, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> sheets(book->getSheets(), UNO_QUERY_THROW);
        Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(0), UNO_QUERY_THROW);
        return sheet->getCellByPosition(column, row)->getType() == css::table::CellContentType_TEXT;
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось прочитать таблицу"));
    }
}

LibreOfficeSession::Selection LibreOfficeSession::lastWordSelection() {
    if (!d->lastWordDocument.is())
        throw OfficeError(QStringLiteral("Нет открытого документа"));
    try {
        Reference<css::frame::XModel> model(d->lastWordDocument, UNO_QUERY_THROW);
        Reference<css::view::XSelectionSupplier> supplier(model->getCurrentController(),
                                                          UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> ranges(supplier->getSelection(), UNO_QUERY);
        if (!ranges.is() || ranges->getCount() == 0)
            return {};
        Reference<css::text::XTextRange> range(ranges->getByIndex(0), UNO_QUERY_THROW);
        auto text = range->getText();
        auto cursor = text->createTextCursorByRange(text->getStart());
        cursor->gotoRange(range->getStart(), true);
        return {fromOU(range->getString()), fromOU(cursor->getString()),
                cursorInView(model->getCurrentController())};
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось прочитать выделение"));
    }
}

} // namespace zelm
