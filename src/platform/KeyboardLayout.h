#pragma once
#include <QString>

namespace zelm {

// The keyboard layout request of the card window; only a Windows build changes anything.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    virtual void activate(const QString& layoutId) = 0; // "00000419" is Russian
};

} // namespace zelm
