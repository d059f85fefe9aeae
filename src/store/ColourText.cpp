#include "store/ColourText.h"

#include "store/FileError.h"

#include <array>

namespace zelm {
namespace {

struct Named {
    const char* name;
    std::uint32_t value;
    bool writable; // written by name (standard and extended colours, special values)
};

constexpr std::array<Named, 56> kNames = {{
    {"clBlack", 0x00000000, true},
    {"clMaroon", 0x00000080, true},
    {"clGreen", 0x00008000, true},
    {"clOlive", 0x00008080, true},
    {"clNavy", 0x00800000, true},
    {"clPurple", 0x00800080, true},
    {"clTeal", 0x00808000, true},
    {"clGray", 0x00808080, true},
    {"clSilver", 0x00C0C0C0, true},
    {"clRed", 0x000000FF, true},
    {"clLime", 0x0000FF00, true},
    {"clYellow", 0x0000FFFF, true},
    {"clBlue", 0x00FF0000, true},
    {"clFuchsia", 0x00FF00FF, true},
    {"clAqua", 0x00FFFF00, true},
    {"clWhite", 0x00FFFFFF, true},
    {"clMoneyGreen", 0x00C0DCC0, true},
    {"clSkyBlue", 0x00F0CAA6, true},
    {"clCream", 0x00F0FBFF, true},
    {"clMedGray", 0x00A4A0A0, true},
    {"clLtGray", 0x00C0C0C0, false},
    {"clDkGray", 0x00808080, false},
    {"clNone", 0x1FFFFFFF, true},
    {"clDefault", 0x20000000, true},
    {"clScrollBar", 0xFF000000, true},
    {"clBackground", 0xFF000001, true},
    {"clActiveCaption", 0xFF000002, true},
    {"clInactiveCaption", 0xFF000003, true},
    {"clMenu", 0xFF000004, true},
    {"clWindow", 0xFF000005, true},
    {"clWindowFrame", 0xFF000006, true},
    {"clMenuText", 0xFF000007, true},
    {"clWindowText", 0xFF000008, true},
    {"clCaptionText", 0xFF000009, true},
    {"clActiveBorder", 0xFF00000A, true},
    {"clInactiveBorder", 0xFF00000B, true},
    {"clAppWorkSpace", 0xFF00000C, true},
    {"clHighlight", 0xFF00000D, true},
    {"clHighlightText", 0xFF00000E, true},
    {"clBtnFace", 0xFF00000F, true},
    {"clBtnShadow", 0xFF000010, true},
    {"clGrayText", 0xFF000011, true},
    {"clBtnText", 0xFF000012, true},
    {"clInactiveCaptionText", 0xFF000013, true},
    {"clBtnHighlight", 0xFF000014, true},
    {"cl3DDkShadow", 0xFF000015, true},
    {"cl3DLight", 0xFF000016, true},
    {"clInfoText", 0xFF000017, true},
    {"clInfoBk", 0xFF000018, true},
    {"clHotLight", 0xFF00001A, true},
    {"clGradientActiveCaption", 0xFF00001B, true},
    {"clGradientInactiveCaption", 0xFF00001C, true},
    {"clMenuHighlight", 0xFF00001D, true},
    {"clMenuBar", 0xFF00001E, true},
    {"clMedGray", 0x00A4A0A0, false},
    {"clCream", 0x00F0FBFF, false},
}};

} // namespace

std::optional<ColourValue> parseColourText(const QString& raw) {
    QString text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (const Named& n : kNames)
        if (text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return ColourValue{n.value};
    bool ok = false;
    qint64 v = 0;
    if (text.startsWith(QLatin1Char('$')))
        v = text.mid(1).toLongLong(&ok, 16);
    else
        v = text.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > UINT32_MAX)
        return std::nullopt;
    return ColourValue{static_cast<std::uint32_t>(v)};
}

ColourValue colourFromText(const QString& text) {
    auto c = parseColourText(text);
    if (!c)
        throw ConversionError(QStringLiteral("'%1' is not a valid colour").arg(text));
    return *c;
}

QString colourToText(ColourValue colour) {
    for (const Named& n : kNames)
        if (n.writable && n.value == colour.value)
            return QLatin1String(n.name);
    return QStringLiteral("$%1").arg(colour.value, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace zelm
