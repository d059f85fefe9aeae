#pragma once
// Colours as the settings files write them: a name such as "clGreen", a decimal number,
// or "$" and hexadecimal digits of the value $00BBGGRR.
#include <QString>
#include <cstdint>
#include <optional>

namespace zelm {

// Theme colours ($FF0000nn) keep their number; fixed colours their RGB.
struct ColourValue {
    std::uint32_t value = 0; // $00BBGGRR, or $FF0000nn for a theme colour
    bool isSystem() const { return (value & 0xFF000000u) == 0xFF000000u; }
    int systemIndex() const { return static_cast<int>(value & 0xFFu); }
    bool isNone() const { return value == 0x1FFFFFFFu; }
    bool isDefault() const { return value == 0x20000000u; }
    int red() const { return static_cast<int>(value & 0xFF); }
    int green() const { return static_cast<int>((value >> 8) & 0xFF); }
    int blue() const { return static_cast<int>((value >> 16) & 0xFF); }
    static ColourValue fromRgb(int r, int g, int b) {
        return {static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16))};
    }
};

std::optional<ColourValue> parseColourText(const QString& text);
// Throws ConversionError "'<text>' is not a valid colour" for a text that is no colour.
ColourValue colourFromText(const QString& text);
QString colourToText(ColourValue colour);

} // namespace zelm
