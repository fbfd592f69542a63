#pragma once

#include <QLine>
#include <map>
#include <utility>
#include <vector>

class QPainter;

// Lines drawn with one pen, gathered so that they go out in one call: horizontal and vertical
// lines that overlap or touch on the same row or column become one line, and a line drawn
// twice is drawn once. The union of what is drawn stays the same.
class TLineBatch {
  public:
    void Add(const QLine& line);
    // The gathered lines, joined; the batch is empty afterwards.
    std::vector<QLine> Take();
    // Draws the gathered lines with the painter's pen.
    void Draw(QPainter& painter);

  private:
    using TSpans = std::vector<std::pair<int, int>>;

    static void Join(TSpans& spans);

    std::map<int, TSpans> rows_;     // y -> x spans
    std::map<int, TSpans> columns_;  // x -> y spans
    std::vector<QLine> others_;
};
