#pragma once
// The program's one "Excel" connection over LibreOffice Calc.
#include "platform/libreoffice/SessionImpl.h"

namespace zelm {

class LibreOfficeCalc : public ExcelApplication {
public:
    explicit LibreOfficeCalc(LibreOfficeSession::Impl& session) : m_session(session) {}
    // Forgets the workbook without closing it: a disconnect never closes Excel.
    void disconnect() override;
    void connect() override;
    void workbooksOpen(const QString& fileName) override;
    void setRowAsText(int row, const QStringList& texts) override;
    void setVisible(bool visible) override;

private:
    LibreOfficeSession::Impl& m_session;
    uno::css::uno::Reference<uno::css::lang::XComponent> m_workbook;
};

// Calc's text filter options: ";" separated, '"' around texts, Windows-1251 (34), from line 1,
// Russian locale (1049), so 01.02.2024 reads as the first of February as in Russian Excel.
inline constexpr char kExportFilterOptions[] = "59,34,34,1,,1049";

} // namespace zelm
