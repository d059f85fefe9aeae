#pragma once
#include <QDialog>

namespace zelm {

class TKonverti : public QDialog {
    Q_OBJECT
public:
    explicit TKonverti(QWidget* parent = nullptr);
};

} // namespace zelm
