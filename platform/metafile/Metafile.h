#pragma once

#include <QFont>
#include <QPoint>
#include <QPolygon>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

class QPainter;
class QRectF;

// One recorded page: drawing operations in the pixels of the device it was recorded for
// (text runs with their font and top-left position, polylines with their pen width), played
// back onto any painter. Records are kept compact because a long document holds millions.
class TMetafile {
  public:
    struct TTextRun {
        QPoint position;  // top-left corner of the text
        QString text;
        QFont font;
    };
    struct TPolyline {
        QPolygon points;
        int penWidth = 0;  // 0 draws one device pixel wide
    };

    TMetafile(int width, int height, int dpiX, int dpiY);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }

    // Recording; the font is the realised one, `ascent` its distance from top to baseline.
    int FontIndex(const QFont& realized, qreal ascent);
    void AddText(int x, int y, int fontIndex, QStringView text);
    void AddPolyline(const QPoint* points, int count, int penWidth);
    // Releases spare capacity once the page is complete.
    void Finish();

    // Reading back, in recording order within each kind.
    int RecordCount() const { return int(records_.size()); }
    std::vector<TTextRun> TextRuns() const;
    std::vector<TPolyline> Polylines() const;
    // All text of the page, one run a line, in recording order.
    QString PlainText() const;

    // At true size on the painter's device (its resolution against the recorded one).
    void Play(QPainter& painter) const;
    // Stretched into `target`, in the painter's coordinates.
    void Play(QPainter& painter, const QRectF& target) const;

  private:
    enum Kind : uint8_t { kText, kLine, kPolyline };
    // Text: (x, y) and a span of the text pool. Line: from (x, y) to (a, b). Polyline: a span
    // of the point pool. `style` is the font index of a text and the pen width of a line.
    struct Record {
        Kind kind;
        uint16_t style;
        int32_t x, y;
        int32_t a, b;
    };
    struct FontEntry {
        QFont font;
        qreal ascent;
    };

    void PlayRecords(QPainter& painter) const;

    int width_, height_, dpiX_, dpiY_;
    std::vector<Record> records_;
    std::vector<FontEntry> fonts_;
    std::vector<QPoint> points_;
    QString textPool_;
    int lastFont_ = -1;
};
