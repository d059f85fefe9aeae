#include "platform/libreoffice/LibreOfficeCalc.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>

namespace zelm {

using namespace uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

void LibreOfficeCalc::disconnect() {
    m_workbook.clear();
}

void LibreOfficeCalc::connect() {
    m_session.ensureDesktop();
}

void LibreOfficeCalc::workbooksOpen(const QString& fileName) {
    // Opened as a template: each export is a new untitled workbook, as Excel makes one from a
    // text file, and the export file is not held open by Calc when the next export writes it.
    m_workbook = m_session.load(
        fileName,
        properties({property("FilterName", Any(OUString("Text - txt - csv (StarCalc)"))),
                    property("FilterOptions", Any(OUString::createFromAscii(kExportFilterOptions))),
                    property("AsTemplate", Any(true))}),
        QStringLiteral("Не удалось открыть таблицу"));
    m_session.lastWorkbook = m_workbook;
}

void LibreOfficeCalc::setRowAsText(int row, const QStringList& texts) {
    if (!m_workbook.is())
        throw OfficeError(QStringLiteral("Таблица не открыта"));
    try {
        Reference<css::sheet::XSpreadsheetDocument> book(m_workbook, UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> sheets(book->getSheets(), UNO_QUERY_THROW);
        Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(0), UNO_QUERY_THROW);
        // A cell's text set as text stays text: Calc reads no date or number into it.
        for (qsizetype c = 0; c < texts.size(); ++c) {
            Reference<css::text::XText> cell(
                sheet->getCellByPosition(static_cast<sal_Int32>(c), row), UNO_QUERY_THROW);
            cell->setString(toOU(texts[c]));
        }
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось записать заголовки таблицы"));
    }
}

void LibreOfficeCalc::setVisible(bool visible) {
    if (!m_workbook.is())
        return;
    try {
        Reference<css::frame::XModel> model(m_workbook, UNO_QUERY_THROW);
        auto frame = model->getCurrentController()->getFrame();
        Reference<css::awt::XWindow> window = frame->getContainerWindow();
        window->setVisible(visible);
        if (visible) {
            Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
            if (top.is())
                top->toFront();
            frame->activate();
        }
    } catch (...) {
        rethrowAsOfficeError(QStringLiteral("Не удалось показать таблицу"));
    }
}

} // namespace zelm
