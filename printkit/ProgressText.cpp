#include "ProgressText.h"

QString ProgressPageText(const QString& prefix, int current, int first, int last, int copies) {
    QString text = prefix + QString::number(current);
    if (first != 1)
        return text;
    text += QStringLiteral(" of %1").arg(last - first + 1);
    if (copies > 1)
        text += QStringLiteral(" x %1 Copies").arg(copies);
    return text;
}
