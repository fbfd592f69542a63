// Arbitrary text as a column layout ("<25|^40.5|>-10"): every item reads as an alignment and a
// width, writing the layout out in full is settled after once, converting it to inches and
// back keeps its widths, and the widths become pixel widths or a refusal, never undefined
// behaviour. The same text is then wrapped and fitted into those widths as the kit places a
// cell: the pieces give back the text and each one fits.
#include <QString>
#include <QStringView>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "ColumnLayout.h"
#include "FuzzSupport.h"
#include "PageGeometry.h"
#include "TextFit.h"
#include "TextUtils.h"

namespace {

using fuzz::Require;

constexpr long double kDefaultWidth = 25;
// Bounds the work one input can ask for.
constexpr int kMaxWrappedColumns = 2;
constexpr qsizetype kMaxWrappedText = 128;

bool Near(long double a, long double b) {
    return std::fabs(a - b) <= 1e-12L * std::max(std::fabs(a), std::fabs(b));
}

// Widths a user can mean; beyond them a conversion may overflow or underflow on the way.
bool Ordinary(long double width) {
    return width == 0 || (std::fabs(width) >= 1e-300L && std::fabs(width) <= 1e300L);
}

void CheckLayout(const QString& text, QChar separator) {
    const QStringList items = SplitByChar(text, separator);
    const QString normal = NormalizeLayout(text, separator, kDefaultWidth);
    if (text.isEmpty()) {
        Require(normal.isEmpty(), "an empty layout gained items");
        return;
    }
    Require(NormalizeLayout(normal, separator, kDefaultWidth) == normal,
            "a layout written out in full changes when written out again");
    const QStringList normalItems = SplitByChar(normal, separator);
    Require(normalItems.size() == items.size(), "a layout written out has other items");

    const QString inches = NormalizeLayout(text, separator, kDefaultWidth, muInches);
    const QStringList back =
        SplitByChar(NormalizeLayout(inches, separator, kDefaultWidth, muMillimeters), separator);
    Require(back.size() == items.size(), "converting a layout changed its items");
    for (qsizetype i = 0; i < items.size(); ++i) {
        const TLayoutItem item = ParseLayoutItem(items[i], kDefaultWidth);
        Require(item.alignment == taLeftJustify || item.alignment == taRightJustify ||
                    item.alignment == taCenter,
                "an item has no alignment");
        Require(!std::isnan(item.width), "an item's width is not a number");
        const TLayoutItem normalItem = ParseLayoutItem(normalItems[i], kDefaultWidth);
        Require(normalItem.alignment == item.alignment, "writing an item out changed its alignment");
        if (!Ordinary(item.width))
            continue;
        Require(Near(normalItem.width, item.width), "writing an item out changed its width");
        const TLayoutItem converted = ParseLayoutItem(back[i], kDefaultWidth);
        Require(converted.alignment == item.alignment && Near(converted.width, item.width),
                "converting an item to inches and back changed it");
    }
}

// A width that grows with every character, unevenly, as a font's does.
int Measure(QStringView text) {
    int width = 0;
    for (const QChar c : text)
        width += 1 + c.unicode() % 13;
    return width;
}

// The one-character minimum of a piece; a surrogate pair counts as one.
bool OneCharacter(const QString& piece) {
    return piece.size() == 1 || (piece.size() == 2 && piece[0].isHighSurrogate());
}

void CheckWrapped(const QString& text, int width) {
    QString rest = text, joined;
    for (qsizetype pieces = 0; !rest.isEmpty(); ++pieces) {
        Require(pieces < text.size(), "wrapping a cell does not finish");
        QString part;
        TakeWrappedPart(part, rest, width, Measure);
        Require(!part.isEmpty(), "a wrapped piece is empty");
        Require(Measure(part) <= width || OneCharacter(part), "a wrapped piece is too wide");
        joined += part;
    }
    Require(joined == text, "wrapping a cell lost or changed text");

    const QString fitted = FitText(text, width, Measure);
    Require(text.startsWith(fitted), "a fitted cell is not the start of its text");
    Require(fitted == text || Measure(fitted) <= width || OneCharacter(fitted),
            "a fitted cell is too wide");
}

void CheckPixels(const QString& text, QChar separator) {
    int wrapped = 0;
    for (const QString& item : SplitByChar(text, separator)) {
        const long double width = std::fabs(ParseLayoutItem(item, kDefaultWidth).width);
        for (const TMeasureUnit unit : {muMillimeters, muInches}) {
            const TPageGeometry geometry(TDeviceMetrics{}, unit);
            const std::optional<int> pixels = geometry.TryUnitsToPixelsX(width);
            if (!pixels)
                continue;
            Require(*pixels >= 0, "a width gave negative pixels");
            if (unit == muMillimeters && wrapped++ < kMaxWrappedColumns)
                CheckWrapped(text.left(kMaxWrappedText), *pixels);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QChar separator : {QLatin1Char('|'), QLatin1Char(';')}) {
        CheckLayout(text, separator);
        CheckPixels(text, separator);
    }
    return 0;
}
