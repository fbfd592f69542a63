#include "metafile/LineBatch.h"

#include <QPainter>
#include <algorithm>

void TLineBatch::Add(const QLine& line) {
    if (line.y1() == line.y2()) {
        rows_[line.y1()].emplace_back(std::min(line.x1(), line.x2()),
                                      std::max(line.x1(), line.x2()));
    } else if (line.x1() == line.x2()) {
        columns_[line.x1()].emplace_back(std::min(line.y1(), line.y2()),
                                         std::max(line.y1(), line.y2()));
    } else {
        others_.push_back(line);
    }
}

void TLineBatch::Join(TSpans& spans) {
    std::sort(spans.begin(), spans.end());
    size_t joined = 0;
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first <= spans[joined].second) {
            spans[joined].second = std::max(spans[joined].second, spans[i].second);
        } else {
            spans[++joined] = spans[i];
        }
    }
    spans.resize(spans.empty() ? 0 : joined + 1);
}

std::vector<QLine> TLineBatch::Take() {
    std::vector<QLine> lines = std::move(others_);
    others_.clear();
    for (auto& [y, spans] : rows_) {
        Join(spans);
        for (const auto& [from, to] : spans)
            lines.emplace_back(from, y, to, y);
    }
    for (auto& [x, spans] : columns_) {
        Join(spans);
        for (const auto& [from, to] : spans)
            lines.emplace_back(x, from, x, to);
    }
    rows_.clear();
    columns_.clear();
    return lines;
}

void TLineBatch::Draw(QPainter& painter) {
    const std::vector<QLine> lines = Take();
    if (!lines.empty())
        painter.drawLines(lines.data(), int(lines.size()));
}
