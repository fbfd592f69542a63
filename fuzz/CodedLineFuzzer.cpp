// Arbitrary text as a header or footer line in ampersand codes, and as the header text put
// into one: the compiled cells carry their macros, a cell cut anywhere (as wrapping cuts it)
// gives back the same text piece by piece, and a header built from its position selectors
// has its three cells whatever plain text it shows.
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "CellText.h"
#include "CodedLine.h"
#include "FuzzSupport.h"
#include "PrintTypes.h"
#include "TextUtils.h"

namespace {

using fuzz::Require;

const QChar kSeparator = QLatin1Char('|');
// Bounds the work one input can ask for.
constexpr qsizetype kMaxCuts = 8;
constexpr int kMaxCells = 8;

const TCodedLineContext kContext{QStringLiteral("31.12.2024"), QStringLiteral("Tuesday, 31 December 2024"),
                                 QStringLiteral("23:59"), QStringLiteral("23:59:58"),
                                 QStringLiteral("/home/ann/Reports/Umsätze 2024.xlsx")};

const TMacroValues kValues[] = {
    {7, 3, QStringLiteral("31.12.2024"), QStringLiteral("23:59:58"), QStringLiteral("Table Print"),
     {}},
    {1234, 56, {}, QStringLiteral("1:02 PM"), {}, QStringLiteral(" - 2/3")},
};

// Cut at `at` as a wrapped cell is: the two parts, expanded with the same values, give back
// the text, and so does any middle part.
void CheckCut(const TCellText& cell, const TMacroValues& values, qsizetype at) {
    const TCellText::Expansion whole = cell.Expand(values);
    const QString& text = whole.Text();
    const TCellText head = whole.Mid(0, at), tail = whole.Mid(at);
    Require(head.Expand(values).Text() == text.left(at), "the first part of a cut cell differs");
    Require(tail.Expand(values).Text() == text.mid(at), "the rest of a cut cell differs");
    Require((head + tail).Expand(values).Text() == text, "a cut cell joined again differs");
    const qsizetype end = std::min(text.size(), at + 1 + at / 2);
    Require(whole.Mid(at / 2, end).Expand(values).Text() == text.mid(at / 2, end - at / 2),
            "a middle part of a cell differs");
    // The rest lands on a later line and page: its macros expand afresh, whatever they give.
    tail.Expand(kValues[0]);
    tail.Expand(kValues[1]);
}

void CheckCell(const QString& cell) {
    Require(TCellText::Plain(cell).Expand(kValues[1]).Text() == cell, "plain text was expanded");
    const TCellText macros = TCellText::WithMacros(cell);
    for (const TMacroValues& values : kValues) {
        const QString text = macros.Expand(values).Text();
        Require(text == ExpandMacros(cell, values), "a cell expands two ways");
        Require(text.endsWith(values.groupSuffix), "a cell lost its column-group suffix");
        if (!cell.contains(QLatin1String("{$")))
            Require(text == cell + values.groupSuffix, "text without macros was changed");
        const qsizetype step = std::max<qsizetype>(1, text.size() / kMaxCuts);
        for (qsizetype at = 0; at <= text.size(); at += step)
            CheckCut(macros, values, at);
    }
}

// A header of the selectors' fragments: three cells when its text has neither codes nor
// separators (a selector outside 0 to 4 adds nothing, so those are not asked for here).
void CheckHeader(const QString& text) {
    const bool plain = !text.contains(QLatin1Char('&')) && !text.contains(kSeparator);
    for (int side = hfEmpty; side <= hfText; ++side) {
        const QString coded = HeaderFooterCodes(side, hfText, hfText - side, text,
                                                QStringLiteral("Page"));
        const QString cells = CompileCodedLine(coded, kSeparator, kContext);
        if (plain)
            Require(SplitByChar(cells, kSeparator).size() == 3,
                    "a header line does not have its three cells");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString coded = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString cells = CompileCodedLine(coded, kSeparator, kContext);
    if (!coded.contains(QLatin1Char('&')))
        Require(cells == coded, "a line without codes was changed");
    int checked = 0;
    for (const QString& cell : SplitByChar(cells, kSeparator))
        if (checked++ < kMaxCells)
            CheckCell(cell);
    CheckHeader(coded);
    return 0;
}
