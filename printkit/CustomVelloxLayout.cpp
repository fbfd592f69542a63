#include <QDateTime>

#include "CellText.h"
#include "CodedLine.h"
#include "CustomVellox.h"
#include "DateTimeText.h"
#include "ProgramCounters.h"
#include "TextUtils.h"
#include "VelloxStrings.h"

void TCustomVellox::SetColumnLayout(const QString& value) {
    columnLayout_ = NormalizeLayout(value, false);
}

void TCustomVellox::SetHeaderLayout(const QString& value) {
    headerLayout_ = NormalizeLayout(value, false);
}

void TCustomVellox::SetFooterLayout(const QString& value) {
    footerLayout_ = NormalizeLayout(value, false);
}

void TCustomVellox::SetHeaderLine(const QString& value) {
    headerLine_ = value;
    if (!loading_)
        CompileCodedLine(value, true);
}

void TCustomVellox::SetFooterLine(const QString& value) {
    footerLine_ = value;
    if (!loading_)
        CompileCodedLine(value, false);
}

QString TCustomVellox::NormalizeLayout(const QString& text, bool convert) const {
    return ::NormalizeLayout(text, columnSeparator_, defaultColumnWidth_,
                             convert ? std::optional(measureUnit_) : std::nullopt);
}

TLayoutItem TCustomVellox::ParseLayoutItem(const QString& item) const {
    return ::ParseLayoutItem(item, defaultColumnWidth_);
}

void TCustomVellox::CompileCodedLine(const QString& coded, bool header) {
    const QDateTime now = QDateTime::currentDateTime();
    const TCodedLineContext context{ShortDateText(now.date()), LongDateText(now.date()),
                                    ShortTimeText(now.time()), LongTimeText(now.time()),
                                    wsFileName_};
    (header ? headerCells_ : footerCells_) = ::CompileCodedLine(coded, columnSeparator_, context);
}

void TCustomVellox::BuildHeaderFooter() {
    const long double width = TextAreaWidth();
    const QString narrow = FloatToStr(width * 0.2L), wide = FloatToStr(width * 0.6L);
    const QChar bar = columnSeparator_;
    SetHeaderLayout(QLatin1Char('<') + narrow + bar + QLatin1Char('^') + wide + bar +
                    QLatin1Char('>') + narrow);
    SetHeaderLine(
        HeaderFooterCodes(hLeft_, hCenter_, hRight_, headerText_, VelloxStrings::PageWord));
    SetFooterLayout(headerLayout_);
    SetFooterLine(
        HeaderFooterCodes(fLeft_, fCenter_, fRight_, footerText_, VelloxStrings::PageWord));
}

TMacroValues TCustomVellox::MacroValues() const {
    const QDateTime now = QDateTime::currentDateTime();
    TMacroValues values{
        lineNumber_,  pageNumber_, ShortDateText(now.date()), LongTimeText(now.time()),
        PrintTitle(), {}};
    if (LastColumnGroup > 0) {
        values.groupSuffix = QStringLiteral(" - %1/%2")
                                 .arg(DocumentPageNumber == 0 ? 1 : DocumentPageNumber)
                                 .arg(ColumnGroupNumber == 0 ? 1 : ColumnGroupNumber);
    }
    return values;
}

QString TCustomVellox::ExpandMacros(const QString& cell) const {
    return ::ExpandMacros(cell, MacroValues());
}
