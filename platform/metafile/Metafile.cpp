#include "metafile/Metafile.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <algorithm>

#include "metafile/FontMeasure.h"
#include "metafile/LineBatch.h"

namespace {
constexpr int kTextPen = -1;

bool HasControlCharacters(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x20; });
}
}  // namespace

TMetafile::TMetafile(int width, int height, int dpiX, int dpiY)
    : width_(width), height_(height), dpiX_(dpiX), dpiY_(dpiY) {}

int TMetafile::FontIndex(const QFont& realized, qreal ascent) {
    if (lastFont_ >= 0 && fonts_[lastFont_].font == realized)
        return lastFont_;
    const auto found = std::find_if(fonts_.begin(), fonts_.end(),
                                    [&](const FontEntry& entry) { return entry.font == realized; });
    if (found != fonts_.end()) {
        lastFont_ = int(found - fonts_.begin());
    } else {
        fonts_.push_back({realized, ascent});
        lastFont_ = int(fonts_.size()) - 1;
    }
    return lastFont_;
}

void TMetafile::AddText(int x, int y, int fontIndex, QStringView text) {
    if (text.isEmpty())
        return;
    records_.push_back(
        {kText, uint16_t(fontIndex), x, y, int32_t(textPool_.size()), int32_t(text.size())});
    textPool_.append(text);
}

void TMetafile::AddPolyline(const QPoint* points, int count, int penWidth) {
    if (count < 2)
        return;
    const auto pen = uint16_t(std::clamp(penWidth, 0, 0xFFFF));
    if (count == 2) {
        records_.push_back(
            {kLine, pen, points[0].x(), points[0].y(), points[1].x(), points[1].y()});
        return;
    }
    records_.push_back({kPolyline, pen, 0, 0, int32_t(points_.size()), int32_t(count)});
    points_.insert(points_.end(), points, points + count);
}

void TMetafile::Finish() {
    records_.shrink_to_fit();
    points_.shrink_to_fit();
    textPool_.squeeze();
}

std::vector<TMetafile::TTextRun> TMetafile::TextRuns() const {
    std::vector<TTextRun> runs;
    for (const Record& record : records_) {
        if (record.kind != kText)
            continue;
        runs.push_back({QPoint(record.x, record.y), textPool_.mid(record.a, record.b),
                        fonts_[record.style].font});
    }
    return runs;
}

std::vector<TMetafile::TPolyline> TMetafile::Polylines() const {
    std::vector<TPolyline> lines;
    for (const Record& record : records_) {
        if (record.kind == kLine) {
            lines.push_back(
                {QPolygon({QPoint(record.x, record.y), QPoint(record.a, record.b)}), record.style});
        } else if (record.kind == kPolyline) {
            lines.push_back({QPolygon(QList<QPoint>(points_.begin() + record.a,
                                                    points_.begin() + record.a + record.b)),
                             record.style});
        }
    }
    return lines;
}

QString TMetafile::PlainText() const {
    QStringList lines;
    for (const TTextRun& run : TextRuns())
        lines << run.text;
    return lines.join(QLatin1Char('\n'));
}

void TMetafile::Play(QPainter& painter) const {
    const QPaintDevice* device = painter.device();
    painter.save();
    if (device)
        painter.scale(qreal(device->logicalDpiX()) / dpiX_, qreal(device->logicalDpiY()) / dpiY_);
    PlayRecords(painter);
    painter.restore();
}

void TMetafile::Play(QPainter& painter, const QRectF& target) const {
    if (width_ <= 0 || height_ <= 0)
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / width_, target.height() / height_);
    PlayRecords(painter);
    painter.restore();
}

void TMetafile::PlayRecords(QPainter& painter) const {
    // Everything on a page is black on a clear background, so the order of text and lines
    // does not show: lines of one pen are gathered and drawn together, joined where they
    // meet, which keeps printer and PDF output small.
    TLineBatch lines;
    int pen = -1;
    int font = -1;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black));
    const auto usePen = [&](int width) {
        if (pen == width)
            return;
        lines.Draw(painter);
        pen = width;
        painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    for (const Record& record : records_) {
        switch (record.kind) {
            case kText: {
                if (font != record.style) {
                    font = record.style;
                    painter.setFont(fonts_[font].font);
                }
                const QStringView text = QStringView(textPool_).mid(record.a, record.b);
                const QPointF baseline(record.x, record.y + fonts_[font].ascent);
                if (HasControlCharacters(text)) {
                    painter.drawText(baseline, DrawableText(text));
                } else {
                    painter.drawText(baseline, QString::fromRawData(text.data(), text.size()));
                }
                break;
            }
            case kLine:
                usePen(record.style);
                lines.Add(QLine(record.x, record.y, record.a, record.b));
                break;
            case kPolyline:
                usePen(record.style);
                painter.drawPolyline(points_.data() + record.a, record.b);
                break;
        }
    }
    lines.Draw(painter);
}
