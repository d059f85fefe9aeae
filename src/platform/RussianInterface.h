#pragma once
// The program speaks Russian whatever the desktop's locale: Qt's own dialogs (message box
// buttons, file and colour dialogs, calendars) included.
#include <QString>

class QCoreApplication;

namespace zelm {

// Makes Russian the default locale and loads Qt's Russian translations into the application.
// A missing translation file is no error: Qt's dialogs then stay in English. Returns whether the
// translations were loaded.
bool installRussianInterface(QCoreApplication& application);
bool installRussianInterface(QCoreApplication& application, const QString& translationsFolder);

// Where Qt's translations are looked for (qtbase_ru.qm).
QString qtTranslationsFolder();

} // namespace zelm
