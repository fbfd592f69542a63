#include "TextFit.h"

#include "TextUtils.h"

namespace {
// The nearest length at or below `length` that does not split a surrogate pair, at least one
// whole character.
qsizetype WholeCharacters(const QString& text, qsizetype length) {
    if (length > 0 && length < text.size() && text[length - 1].isHighSurrogate() &&
        text[length].isLowSurrogate()) {
        return length == 1 ? 2 : length - 1;
    }
    return length;
}
}  // namespace

QString FitText(const QString& text, int width, const TTextWidth& measure) {
    if (measure(text) <= width)
        return text;
    // Invariant: the prefix of `low` characters fits (or is the one-character minimum), the
    // prefix of `high` characters does not.
    qsizetype low = 1, high = text.size();
    while (high - low > 1) {
        const qsizetype probe = low + (high - low) / 2;
        if (measure(QStringView(text).left(probe)) <= width) {
            low = probe;
        } else {
            high = probe;
        }
    }
    return text.left(WholeCharacters(text, low));
}

void TakeWrappedPart(QString& part, QString& rest, int width, const TTextWidth& measure) {
    part = FitText(rest, width, measure);
    if (part.size() < rest.size() && rest[part.size()].unicode() >= 33)
        part = TrimToLastBlank(part);
    rest.remove(0, part.size());
}
