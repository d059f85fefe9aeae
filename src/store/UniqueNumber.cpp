#include "store/UniqueNumber.h"

#include "store/DayCount.h"

#include <cstdio>

namespace zelm {
namespace {
std::int32_t g_last = 0;
bool g_any = false;
} // namespace

std::int32_t uniqueNumberAt(const QDateTime& dt) {
    double product = toDayCount(dt) * 100000.0;
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", product);
    // Characters two to ten of the general-format text.
    std::int32_t value = 0;
    for (int i = 1; i < 10 && text[i] != '\0'; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::int32_t NewUniqueNumber() {
    std::int32_t number = uniqueNumberAt(currentDateTime());
    if (g_any && number <= g_last)
        number = g_last + 1;
    g_last = number;
    g_any = true;
    return number;
}

void resetUniqueNumbersForTesting() {
    g_last = 0;
    g_any = false;
}

} // namespace zelm
