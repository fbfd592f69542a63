#pragma once

#include <QWidget>
#include <functional>

class QPainter;

// The surface of the preview: a child of the kit that hands its painting to the kit.
class TPreviewPaintBox : public QWidget {
    Q_OBJECT

  public:
    using TPaintHandler = std::function<void(QPainter&)>;

    TPreviewPaintBox(QWidget* parent, TPaintHandler onPaint);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TPaintHandler onPaint_;
};
