#include "backup/ZipErrorText.h"

#include "store/FileError.h"

namespace zelm {

QString zipErrorText(const zip_error_t* error) {
    auto* e = const_cast<zip_error_t*>(error);
    const int code = zip_error_code_zip(e);
    if (zip_error_system_type(e) == ZIP_ET_SYS && zip_error_code_system(e) != 0)
        return FileError::messageForErrno(zip_error_code_system(e));
    switch (code) {
    case ZIP_ER_OK:
        return QStringLiteral("нет ошибки");
    case ZIP_ER_NOENT:
        return QStringLiteral("файл не найден");
    case ZIP_ER_EXISTS:
        return QStringLiteral("файл уже есть");
    case ZIP_ER_NOZIP:
        return QStringLiteral("это не архив ZIP");
    case ZIP_ER_INCONS:
    case ZIP_ER_INVAL:
        return QStringLiteral("архив повреждён");
    case ZIP_ER_CRC:
        return QStringLiteral("неверная контрольная сумма");
    case ZIP_ER_ZLIB:
        return QStringLiteral("сжатые данные повреждены");
    case ZIP_ER_EOF:
        return QStringLiteral("архив обрывается");
    case ZIP_ER_MEMORY:
        return QStringLiteral("не хватает памяти");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("неизвестный способ сжатия");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return QStringLiteral("архив зашифрован");
    case ZIP_ER_READ:
        return QStringLiteral("ошибка чтения");
    case ZIP_ER_WRITE:
        return QStringLiteral("ошибка записи");
    case ZIP_ER_OPEN:
    case ZIP_ER_TMPOPEN:
        return QStringLiteral("файл не открывается");
    case ZIP_ER_RDONLY:
        return QStringLiteral("архив только для чтения");
    default:
        return QStringLiteral("ошибка библиотеки ZIP %1").arg(code);
    }
}

QString zipErrorText(int zipCode) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipCode);
    QString text = zipErrorText(&error);
    zip_error_fini(&error);
    return text;
}

QString zipArchiveErrorText(zip_t* archive) {
    return zipErrorText(zip_get_error(archive));
}

QString zipFileErrorText(zip_file_t* file) {
    return zipErrorText(zip_file_get_error(file));
}

} // namespace zelm
