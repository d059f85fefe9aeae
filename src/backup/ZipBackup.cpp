#include "backup/ZipBackup.h"

#include "backup/BackupRotation.h"
#include "backup/RestoreNames.h"
#include "backup/ZipError.h"
#include "backup/ZipErrorText.h"
#include "store/CardFile.h"
#include "store/FileError.h"
#include "store/ScratchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace zelm {
namespace {

[[noreturn]] void fail(const QString& what, const QString& why) {
    throw ZipError(why.isEmpty() ? what : what + QStringLiteral(": ") + why);
}

// libzip writes no file for an archive without entries, but an empty data folder still
// deserves a valid (empty) archive: the end-of-central-directory record alone.
void writeEmptyArchive(const QString& path) {
    QByteArray eocd("PK\x05\x06", 4);
    eocd.append(18, '\0');
    try {
        writeFileAtomically(path, eocd);
    } catch (const FileError& e) {
        fail(QStringLiteral("Не удалось записать архив %1").arg(path), e.message());
    }
}

void addFiles(zip_t* za, const QString& dataFolder, const QStringList& names) {
    const QDir dir(dataFolder);
    for (const QString& name : names) {
        const QByteArray source = QFile::encodeName(dir.filePath(name));
        zip_source_t* src = zip_source_file(za, source.constData(), 0, 0);
        if (!src)
            fail(QStringLiteral("Не удалось прочитать файл %1").arg(dir.filePath(name)),
                 zipErrorText(zip_get_error(za)));
        const zip_int64_t index =
            zip_file_add(za, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            fail(QStringLiteral("Не удалось добавить в архив файл %1").arg(name),
                 zipErrorText(zip_get_error(za)));
        }
        zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
    }
}

// Deflate output is only known after writing, so entries it did not shrink (already
// compressed or random data, empty files) are switched to stored afterwards. libzip copies
// the other entries over as they are.
void storeWhatDeflateDidNotShrink(const QString& path) {
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), 0, &code);
    if (!za)
        fail(QStringLiteral("Не удалось открыть записанный архив %1").arg(path),
             zipErrorText(code));
    bool changed = false;
    const zip_int64_t count = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0)
            continue;
        if (st.comp_method != ZIP_CM_STORE && st.comp_size >= st.size) {
            zip_set_file_compression(za, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0);
            changed = true;
        }
    }
    if (!changed) {
        zip_discard(za);
        return;
    }
    if (zip_close(za) != 0) {
        const QString why = zipErrorText(zip_get_error(za));
        zip_discard(za);
        fail(QStringLiteral("Не удалось записать архив %1").arg(path), why);
    }
}

void writeArchiveFile(const QString& dataFolder, const QStringList& names, const QString& path) {
    if (names.isEmpty()) {
        writeEmptyArchive(path);
        return;
    }
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za)
        fail(QStringLiteral("Не удалось создать архив %1").arg(path), zipErrorText(code));
    try {
        addFiles(za, dataFolder, names);
    } catch (...) {
        zip_discard(za);
        throw;
    }
    if (zip_close(za) != 0) {
        const QString why = zipErrorText(zip_get_error(za));
        zip_discard(za);
        fail(QStringLiteral("Не удалось записать архив %1").arg(path), why);
    }
    storeWhatDeflateDidNotShrink(path);
}

} // namespace

QStringList filesToBackUp(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
    // A scratch file left by a crash holds a partial rewrite that a restore would bring back; a
    // restore journal kept there for the administrator would make the restore refuse the archive.
    names.removeIf([](const QString& name) {
        return isScratchFileName(name) || name.startsWith(kRestoreJournalName);
    });
    return names;
}

void writeFolderArchive(const QString& dataFolder, const QString& archivePath) {
    if (!QFileInfo(dataFolder).isDir())
        fail(QStringLiteral("Нет папки с данными %1").arg(dataFolder), QString());
    // Built under a name no backup carries, flushed and renamed only when complete.
    const QString partial = archivePath + QStringLiteral(".part");
    try {
        writeArchiveFile(dataFolder, filesToBackUp(dataFolder), partial);
        replaceFile(partial, archivePath);
    } catch (const FileError& e) {
        QFile::remove(partial);
        fail(QStringLiteral("Не удалось записать архив %1").arg(archivePath), e.message());
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

QString makeBackup(const QString& dataFolder, const QString& backupFolder) {
    const QString folder = QDir::cleanPath(backupFolder.trimmed());
    if (folder.isEmpty())
        fail(QStringLiteral("Папка для резервных копий не задана"), QString());
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder))
        fail(QStringLiteral("Не удалось создать папку %1").arg(folder), QString());
    const QString archive = QDir(folder).filePath(nextBackupFileName(listBackupArchives(folder)));
    writeFolderArchive(dataFolder, archive);
    pruneBackupArchives(folder, kBackupsKept);
    return archive;
}

} // namespace zelm
