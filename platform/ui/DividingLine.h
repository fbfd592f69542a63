#pragma once

#include <QFrame>

// A sunken line dividing a panel; a screen reader takes it for a separator, not for a frame
// without a name.
class TDividingLine : public QFrame {
    Q_OBJECT
  public:
    explicit TDividingLine(QWidget* parent = nullptr);
};
