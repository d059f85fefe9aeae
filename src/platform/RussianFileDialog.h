#pragma once
// The file and folder dialogs in Russian whatever the desktop's locale. The desktop's own
// dialog speaks the desktop's language, so it is used only under a Russian locale; otherwise
// Qt's own dialog, which takes the Russian translations the program loads, except for the two
// things Qt fills in by other means: the type of a folder (from a text Qt's Russian file does
// not hold) and the modification date (in the desktop's locale, not the program's).
#include <QString>

class QFileDialog;
class QWidget;

namespace zelm {

// Empty when cancelled.
QString russianOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter);
QString russianExistingFolder(QWidget* parent, const QString& caption, const QString& folder);

// Makes `dialog` Qt's own with Russian types and dates (for tests and pictures).
void useRussianQtDialog(QFileDialog& dialog);

} // namespace zelm
