#pragma once
#include <QDialog>

namespace zelm {

class TDokKart : public QDialog {
    Q_OBJECT
public:
    explicit TDokKart(QWidget* parent = nullptr);
};

} // namespace zelm
