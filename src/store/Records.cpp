#include "store/Records.h"

#include "store/Cp1251.h"

namespace zelm {

template <int N> QString PStr<N>::text() const {
    return fromCp1251(data, size());
}

template <int N> void PStr<N>::set(const QString& value) {
    QByteArray bytes = toCp1251(value.left(N));
    if (bytes.size() > N)
        bytes.truncate(N);
    std::memset(data, 0, N);
    std::memcpy(data, bytes.constData(), static_cast<size_t>(bytes.size()));
    len = static_cast<std::uint8_t>(bytes.size());
}

template struct PStr<1>;
template struct PStr<2>;
template struct PStr<6>;
template struct PStr<20>;
template struct PStr<30>;
template struct PStr<50>;
template struct PStr<100>;
template struct PStr<128>;
template struct PStr<200>;
template struct PStr<250>;

QString memoToStored(const QString& memoText) {
    QString s = memoText;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return s;
}

int memoStoredBytes(const QString& memoText) {
    return static_cast<int>(memoToStored(memoText).size());
}

QString cutStoredMemo(const QString& stored, int capacity) {
    if (stored.size() <= capacity)
        return stored;
    QString cut = stored.left(capacity);
    if (cut.endsWith(QLatin1Char('\r')))
        cut.chop(1);
    return cut;
}

QString storedToMemo(const QString& stored) {
    QString s = stored;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace zelm
