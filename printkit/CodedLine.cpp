#include "CodedLine.h"

#include <QFileInfo>

#include "PrintTypes.h"

namespace {
QString Expansion(QChar code, const TCodedLineContext& context) {
    switch (code.unicode()) {
        case u'd':
            return context.shortDate;
        case u'D':
            return context.longDate;
        case u't':
            return context.shortTime;
        case u'T':
            return context.longTime;
        case u'p':
            return QStringLiteral("{$PAGE}");
        case u'i':
            return QStringLiteral("{$TITLE}");
        case u'f':
            return QFileInfo(context.fileName).fileName();
        case u'F':
            return context.fileName;
        case u'&':
            return QStringLiteral("&");
        default:
            return {};
    }
}

// The fragment of one position: `cell` is the cell code of that position.
QString Fragment(int item, QChar cell, bool centre, const QString& text, const QString& pageWord) {
    const QString start = QLatin1Char('&') + cell;
    switch (item) {
        case hfEmpty:
            return start + QLatin1Char(' ');
        case hfDate:
            return start + QStringLiteral("&d");
        case hfPageNr:
            return start + QLatin1Char(' ') + pageWord + QStringLiteral(" &p");
        case hfTime:
            return start + QStringLiteral("&t");
        case hfText:
            return centre ? start + text : start + QLatin1Char(' ');
        default:
            return {};
    }
}
}  // namespace

QString CompileCodedLine(const QString& coded, QChar separator, const TCodedLineContext& context) {
    QString result;
    bool pending = false;
    for (const QChar ch : coded) {
        if (!pending) {
            if (ch == QLatin1Char('&')) {
                pending = true;
            } else {
                result += ch;
            }
            continue;
        }
        pending = false;
        if (ch == QLatin1Char('l') || ch == QLatin1Char('c') || ch == QLatin1Char('r')) {
            if (!result.isEmpty())
                result += separator;
            continue;
        }
        const QString expansion = Expansion(ch, context);
        result += expansion.isEmpty() ? QStringLiteral(" ") : expansion;
    }
    return result;
}

QString HeaderFooterCodes(int left, int centre, int right, const QString& text,
                          const QString& pageWord) {
    return Fragment(left, QLatin1Char('l'), false, text, pageWord) +
           Fragment(centre, QLatin1Char('c'), true, text, pageWord) +
           Fragment(right, QLatin1Char('r'), false, text, pageWord);
}
