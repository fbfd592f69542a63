#pragma once

#include <QChar>
#include <QString>

// What the codes of a header or footer line expand to at the time it is compiled.
struct TCodedLineContext {
    QString shortDate;  // "&d"
    QString longDate;   // "&D"
    QString shortTime;  // "&t"
    QString longTime;   // "&T"
    QString fileName;   // "&F"; "&f" takes its name part
};

// A header or footer line in ampersand codes compiled into a cell line: "&l", "&c" and "&r"
// end the cell collected so far (when there is one), "&&" is one ampersand, "&p" and "&i" give
// the page and title macros, an unknown code or an empty expansion gives a blank, and an
// ampersand at the very end is dropped.
QString CompileCodedLine(const QString& coded, QChar separator, const TCodedLineContext& context);

// The coded fragments of a header or footer from its three position selectors (THFItem
// values; the centre position shows `text` for hfText, other positions nothing).
QString HeaderFooterCodes(int left, int centre, int right, const QString& text,
                          const QString& pageWord);
