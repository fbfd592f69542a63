#include "XlsxCellText.h"

#include <QRegularExpression>

namespace {
constexpr qsizetype kMaxCellText = 32767;
}

QString XlsxCellText(const QString& text) {
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    QString stored = text;
    stored.replace(escapeLike, QStringLiteral("_x005F_"));
    if (stored.size() <= kMaxCellText)
        return stored;
    qsizetype cut = kMaxCellText;
    if (stored[cut - 1].isHighSurrogate())
        --cut;
    // An escape cut through would read as other characters.
    const qsizetype escape = stored.lastIndexOf(QLatin1String("_x005F_"), cut - 1);
    if (escape >= 0 && escape + 7 > cut)
        cut = escape;
    return stored.left(cut);
}
