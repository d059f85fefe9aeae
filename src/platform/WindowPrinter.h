#pragma once
class QWidget;

namespace zelm {

// Printing a window's image on the default printer.
class WindowPrinter {
public:
    virtual ~WindowPrinter() = default;
    // False when there is no printer to print on.
    virtual bool printWindow(QWidget* window) = 0;
};

} // namespace zelm
