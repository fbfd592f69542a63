// Print settings read from the registry store.

#include <QFont>
#include <algorithm>
#include <limits>
#include <optional>

#include "CustomVellox.h"
#include "DdePause.h"
#include "TextUtils.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "registry/Registry.h"

namespace {
const QString kFontName = QStringLiteral("Arial");
const QString kDefaultTitle = QStringLiteral("List printout");
const QString kDefaultHeader = QStringLiteral("Define -Header- text under \"Settings\"");
const QString kDefaultFooter = QStringLiteral("Define Footer text under \"Settings\"");
const QString kDefaultMargin = QStringLiteral("25");
const QString kNotAFloat = QStringLiteral("'%1' is not a valid floating point value");
const QString kNotAnInteger = QStringLiteral("'%1' is not a valid integer value");

// The largest size a font dialog offers; beyond it (and at 0 or below, which a font cannot
// have) a stored size is no size.
constexpr int kMaxPointSize = 1638;

// A decimal integer with blanks around it allowed; nothing when the text is not one or does
// not fit in 32 bits.
std::optional<int> ParseInteger(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;
    const bool negative = begin < end && text[begin] == QLatin1Char('-');
    if (begin < end && (negative || text[begin] == QLatin1Char('+')))
        ++begin;
    if (begin == end)
        return std::nullopt;
    long long value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > std::numeric_limits<int>::max() + 1LL)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// The values of the settings key, or every default when there is no such key.
class TSettingsReader {
  public:
    explicit TSettingsReader(const TRegistry* setup) : setup_(setup) {}

    QString Text(const QString& name, const QString& fallback) const {
        if (!setup_ || !setup_->ValueExists(name))
            return fallback;
        return setup_->ReadString(name);
    }
    int Integer(const QString& name, int fallback) const {
        if (!setup_ || !setup_->ValueExists(name))
            return fallback;
        return ParseInteger(setup_->ReadString(name)).value_or(fallback);
    }
    bool Boolean(const QString& name, bool fallback) const {
        return Integer(name, fallback ? 1 : 0) != 0;
    }
    long double Length(const QString& name) const {
        const QString text = Text(name, kDefaultMargin);
        if (const std::optional<long double> value = StrToFloat(text))
            return *value;
        throw EConvertError(kNotAFloat.arg(text));
    }
    int StrictInteger(const QString& name, const QString& fallback) const {
        const QString text = Text(name, fallback);
        if (const std::optional<int> value = ParseInteger(text))
            return *value;
        throw EConvertError(kNotAnInteger.arg(text));
    }

  private:
    const TRegistry* setup_;
};

// Name, size and style codes of one font ("HF", "BF" or "FF"), each applied on its own so
// that a bad value leaves the ones before it in effect.
template <typename Apply>
void LoadFont(const TSettingsReader& read, const QString& prefix, QFont font, int defaultSize,
              int defaultStyle, Apply apply) {
    font.setFamily(read.Text(prefix + QStringLiteral("Name"), kFontName));
    apply(font);

    const int size = read.Integer(prefix + QStringLiteral("Size"), defaultSize);
    font.setPointSize(size >= 1 && size <= kMaxPointSize ? size : defaultSize);
    apply(font);

    // Italic and strike-out have no code, so a stored style always clears them.
    const int style = read.Integer(prefix + QStringLiteral("Style"), defaultStyle);
    font.setBold(style == 1 || style == 3);
    font.setUnderline(style == 2 || style == 3);
    font.setItalic(false);
    font.setStrikeOut(false);
    apply(font);
}

// Bits 1, 2, 4 and 8 are left, top, right and bottom: not the order of TPageBorder.
TPageBorders PageBordersFromCode(int code) {
    TPageBorders borders;
    if (code & 1)
        borders.Include(pbLeft);
    if (code & 2)
        borders.Include(pbTop);
    if (code & 4)
        borders.Include(pbRight);
    if (code & 8)
        borders.Include(pbBottom);
    return borders;
}
}  // namespace

void TCustomVellox::LoadSettings() {
    TCustomVellox& kit = *this;
    if (!kit.UseRegistry()) {
        kit.SetHLeft(hfEmpty);
        kit.SetHCenter(hfText);
        kit.SetHRight(hfEmpty);
        kit.SetFLeft(hfDate);
        kit.SetFCenter(hfText);
        kit.SetFRight(hfPageNr);
        return;
    }
    if (kit.RegistryKey().isEmpty())
        kit.SetRegistryKey(VelloxStrings::DefaultRegistryKey);

    // The registry closes its key when it goes, also when a value ends the load.
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    const bool setupOpen = registry.OpenKey(kit.RegistryKey(), true) &&
                           registry.OpenKey(QStringLiteral("Setup"), false);
    const TSettingsReader read(setupOpen ? &registry : nullptr);

    const QString title = read.Text(QStringLiteral("Title"), kDefaultTitle);
    if (kit.PrintTitle().isEmpty())
        kit.SetPrintTitle(title);
    const QString header = read.Text(QStringLiteral("Header"), kDefaultHeader);
    if (kit.HeaderText().isEmpty())
        kit.SetHeaderText(header);
    LoadFont(read, QStringLiteral("HF"), kit.HeaderFont(), 10, 1,
             [&kit](const QFont& font) { kit.SetHeaderFont(font); });
    LoadFont(read, QStringLiteral("BF"), kit.Font(), 9, 0,
             [&kit](const QFont& font) { kit.SetFont(font); });
    const QString footer = read.Text(QStringLiteral("Footer"), kDefaultFooter);
    if (kit.FooterText().isEmpty())
        kit.SetFooterText(footer);
    LoadFont(read, QStringLiteral("FF"), kit.FooterFont(), 8, 0,
             [&kit](const QFont& font) { kit.SetFooterFont(font); });

    kit.SetTableGrid(read.Boolean(QStringLiteral("TableGrids"), true));
    kit.SetFitPrintToPage(read.Boolean(QStringLiteral("FitPrintToPage"), true));
    kit.SetPrintWYSIWYG(read.Boolean(QStringLiteral("PrintWYSIWYG"), true));
    kit.SetOrientation(read.Boolean(QStringLiteral("Portrait"), true) ? poPortrait : poLandscape);
    // The unit comes first so that the margins below are read in it.
    kit.SetMeasureUnit(read.Boolean(QStringLiteral("MeasureUnit"), false) ? muInches
                                                                          : muMillimeters);
    kit.SetMarginBottom(read.Length(QStringLiteral("MarginBottom")));
    kit.SetMarginLeft(read.Length(QStringLiteral("MarginLeft")));
    kit.SetMarginRight(read.Length(QStringLiteral("MarginRight")));
    kit.SetMarginTop(read.Length(QStringLiteral("MarginTop")));
    kit.SetZoomPercent(read.Integer(QStringLiteral("ZoomProcent"), 35));
    kit.SetPageBorders(PageBordersFromCode(read.Integer(QStringLiteral("PageBorders"), 10)));

    kit.SetHLeft(read.Integer(QStringLiteral("HLeft"), hfEmpty));
    kit.SetHCenter(read.Integer(QStringLiteral("HCenter"), hfText));
    kit.SetHRight(read.Integer(QStringLiteral("HRight"), hfEmpty));
    kit.SetFLeft(read.Integer(QStringLiteral("FLeft"), hfDate));
    kit.SetFCenter(read.Integer(QStringLiteral("FCenter"), hfText));
    kit.SetFRight(read.Integer(QStringLiteral("FRight"), hfPageNr));

    kit.SetWordWrap(read.Boolean(QStringLiteral("WordWrap"), false));
    kit.SetWSFileName(read.Text(QStringLiteral("WSFileName"), VelloxStrings::ProposedTextFile));
    // A negative pause would wrap round to a minute per row; out of range means the nearest.
    DdePause =
        uint16_t(std::clamp(read.StrictInteger(QStringLiteral("DDEPause"), QStringLiteral("0")), 0,
                            int(std::numeric_limits<uint16_t>::max())));
    kit.SetPrintToFile(read.Integer(QStringLiteral("PrintToFile"), 0) == 1);
}
