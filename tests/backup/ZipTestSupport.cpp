#include "ZipTestSupport.h"

#include <QFile>
#include <gtest/gtest.h>
#include <zip.h>

namespace zelm::testing {

void writeZip(const QString& path, const QList<ZipEntry>& entries) {
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(za, nullptr);
    for (const ZipEntry& e : entries) {
        zip_source_t* src =
            zip_source_buffer(za, e.data.constData(), static_cast<zip_uint64_t>(e.data.size()), 0);
        zip_int64_t index = zip_file_add(za, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << e.name.toStdString();
        zip_set_file_compression(za, static_cast<zip_uint64_t>(index), e.method, 0);
    }
    ASSERT_EQ(zip_close(za), 0) << zip_strerror(za);
}

QList<ZipEntry> readZip(const QString& path) {
    QList<ZipEntry> out;
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!za)
        return out;
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st);
        ZipEntry e{QString::fromUtf8(st.name), QByteArray(), st.comp_method};
        zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
        char buf[65536];
        zip_int64_t got = 0;
        while (f && (got = zip_fread(f, buf, sizeof buf)) > 0)
            e.data.append(buf, static_cast<qsizetype>(got));
        if (f)
            zip_fclose(f);
        if (!f || got < 0) {
            zip_discard(za);
            return {};
        }
        out.append(e);
    }
    zip_discard(za);
    return out;
}

} // namespace zelm::testing
