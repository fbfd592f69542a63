#include "Gradient.h"

#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cstdint>

#include "PreviewColor.h"

namespace {
int Blend(int from, int to, int64_t n, int64_t i) {
    return int((from * (n - i) + to * i) / n);
}
}  // namespace

void DrawGradient(QPainter& canvas, const QRect& rect, TColor color1, TColor color2,
                  bool vertical) {
    const int start = vertical ? rect.top() : rect.left();
    const int64_t n = int64_t(vertical ? rect.height() : rect.width()) - 1;
    if (n <= 0)
        return;
    int64_t first = 0, last = n;
    if (canvas.hasClipping()) {
        const QRect clip = canvas.clipBoundingRect().toAlignedRect();
        first = std::max<int64_t>(first, int64_t(vertical ? clip.top() : clip.left()) - start);
        last = std::min<int64_t>(last, int64_t(vertical ? clip.bottom() : clip.right()) - start);
    }
    const QColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
    for (int64_t i = first; i <= last; ++i) {
        const QColor strip(Blend(c1.red(), c2.red(), n, i), Blend(c1.green(), c2.green(), n, i),
                           Blend(c1.blue(), c2.blue(), n, i));
        const int offset = int(start + i);
        if (vertical) {
            canvas.fillRect(QRect(rect.left(), offset, rect.width(), 1), strip);
        } else {
            canvas.fillRect(QRect(offset, rect.top(), 1, rect.height()), strip);
        }
    }
}
