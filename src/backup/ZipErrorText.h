#pragma once
// libzip's errors in Russian: its own texts are English.
#include <QString>
#include <zip.h>

namespace zelm {

QString zipErrorText(const zip_error_t* error);
QString zipErrorText(int zipCode); // a code zip_open() gave
QString zipArchiveErrorText(zip_t* archive);
QString zipFileErrorText(zip_file_t* file);

} // namespace zelm
