#pragma once
// One "Word.Application" over LibreOffice Writer: the document it made or opened last is its
// active document.
#include "platform/libreoffice/SessionImpl.h"

#include <com/sun/star/uno/XInterface.hpp>

namespace zelm {

class LibreOfficeWord : public WordApplication {
public:
    explicit LibreOfficeWord(LibreOfficeSession::Impl& session) : m_session(session) {}
    ~LibreOfficeWord() override;

    void documentsAdd(const QString& templatePath) override;
    void documentsOpen(const QString& path) override;
    void activeDocumentSaveAs(const QString& fileName) override;
    void findSetForward(bool forward) override { m_forward = forward; }
    void findSetText(const QString& text) override { m_findText = text; }
    void replacementSetText(const QString& text) override { m_replacement = text; }
    void findExecute() override;
    void findExecuteReplaceAll() override;
    void setVisible(bool visible) override;

private:
    void activate(const uno::css::uno::Reference<uno::css::lang::XComponent>& doc);
    const uno::css::uno::Reference<uno::css::lang::XComponent>& active() const;

    LibreOfficeSession::Impl& m_session;
    uno::css::uno::Reference<uno::css::lang::XComponent> m_document;
    uno::css::uno::Reference<uno::css::uno::XInterface> m_found; // the last occurrence selected
    bool m_shown = false;
    bool m_forward = true;
    QString m_findText;
    QString m_replacement;
};

// The filter that writes a document in the format it was read from; a template's filter
// gives the matching document filter.
QString storeFilterFor(const QString& loadFilter);

} // namespace zelm
