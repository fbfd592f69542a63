// Rows made from arbitrary bytes, written as "Save grid" writes them: each cell's text is the
// text the grid shows (CellText), the line is UTF-8 whose TABs part the cells, numbers read
// back as the numbers stored, a stored date or time is shown as the one stored (in a time zone
// with daylight saving, on the days its clock changes too), and dates and times keep what tells
// them apart in every locale. Nothing reads the saved text back, so its round trip is checked
// here cell by cell.
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringDecoder>
#include <QTime>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/FloatText.h"
#include "db/dataset/CellTextWriter.h"
#include "db/dataset/DateTimeFormat.h"
#include "db/dataset/FieldText.h"
#include "db/dataset/RowStore.h"

namespace {

using fuzz::Require;

constexpr int kMaxColumns = 6;
constexpr int kRows = 2;
// Past 127 bytes a stored text needs a second length byte.
constexpr size_t kMaxText = 300;

const char* const kLocales[] = {"C",     "en_US", "en_GB", "de_DE", "fr_FR", "fr_CA",
                                "fi_FI", "ja_JP", "zh_CN", "ko_KR", "ar_EG", "fa_IR",
                                "hi_IN", "he_IL", "th_TH", "my_MM", "ru_RU", "bn_BD"};

// Days on which the clocks of Europe or America change, when a wall-clock time may be skipped
// or repeated; they come up often so that those hours are tried.
const QDate kClockChanges[] = {QDate(2024, 3, 31), QDate(2024, 10, 27), QDate(2024, 3, 10),
                               QDate(2024, 11, 3), QDate(1996, 3, 31)};

QDate MakeDate(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        return kClockChanges[input.ConsumeIntegralInRange<size_t>(0, std::size(kClockChanges) - 1)];
    const int year = input.ConsumeIntegralInRange(1, 9999);
    const int month = input.ConsumeIntegralInRange(1, 12);
    const int day = input.ConsumeIntegralInRange(1, 31);
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate(year, month, 1);
}

QTime MakeTime(FuzzedDataProvider& input) {
    const int msec = input.ConsumeIntegralInRange(0, 86'399'999);
    return QTime(0, 0).addMSecs(msec);
}

// The date and time a cell was stored from; either may be missing.
struct TMoment {
    QDate date;
    QTime time;
};

// One cell of every kind a result can hold; a date or time stored also goes to `moment`.
void AddCell(FuzzedDataProvider& input, TRowStore& rows, TMoment& moment) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            return rows.AddNull();
        case 1:
            return rows.AddInteger(input.ConsumeIntegral<std::int64_t>());
        case 2:
            return rows.AddFloat(std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>()));
        case 3:
            return rows.AddFloat(input.ConsumeFloatingPoint<double>());
        case 4: {
            const std::string text = input.ConsumeRandomLengthString(kMaxText);
            return rows.AddText(text);
        }
        case 5: {
            const std::string bytes = input.ConsumeRandomLengthString(kMaxText);
            return rows.AddBytes(bytes);
        }
        case 6:
            moment.date = MakeDate(input);
            return rows.AddValue(moment.date);
        default:
            moment.time = MakeTime(input);
            if (input.ConsumeBool())
                return rows.AddValue(moment.time);
            moment.date = MakeDate(input);
            return rows.AddValue(QDateTime(moment.date, moment.time));
    }
}

// A stored date or time is shown as it was stored, whatever the local clock did at that moment.
void CheckMoment(const TMoment& moment, TFieldType type, const std::string& shown) {
    const TDateTimeFormat& format = TDateTimeFormat::System();
    QString expected;
    if (type == ftDate && moment.date.isValid())
        expected = format.Date(moment.date);
    else if (type == ftTime && moment.time.isValid())
        expected = format.Time(moment.time);
    else if (type == ftDateTime && moment.date.isValid())
        expected = !moment.time.isValid() || moment.time == QTime(0, 0)
                       ? format.Date(moment.date)
                       : format.Date(moment.date) + QLatin1Char(' ') + format.Time(moment.time);
    else
        return;
    Require(shown == expected.toStdString(), "a stored date or time is shown as another");
}

bool ValidUtf8(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    utf8.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    return !utf8.hasError();
}

// The text of a number the grid shows reads back as that number.
void CheckNumber(const TRowStore& rows, qsizetype row, int column, const std::string& text) {
    const TRowStore::CellKind kind = rows.Kind(row, column);
    if (kind == TRowStore::CellKind::Integer) {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        Require(error == std::errc() && end == text.data() + text.size() &&
                    value == rows.Integer(row, column),
                "an integer's text reads back as another number");
    } else if (kind == TRowStore::CellKind::Float) {
        const double value = rows.Float(row, column);
        if (std::isnan(value) || std::isinf(value))
            return;
        const std::optional<long double> read = StrToFloat(QString::fromStdString(text));
        Require(read.has_value(), "a float's text is no number");
        Require(std::fabs(*read - value) <= 1e-14L * std::fabs(value),
                "a float's text reads back as another number");
    }
}

void CheckLines(const TRowStore& rows, const std::vector<TFieldType>& types,
                const std::vector<TMoment>& moments) {
    const TCellTextWriter writer;
    for (qsizetype row = 0; row < rows.RowCount(); ++row) {
        std::string line;
        std::vector<std::string> cells;
        bool tabs = false;
        for (int column = 0; column < rows.ColumnCount(); ++column) {
            std::string cell;
            writer.Append(cell, rows, row, column, types[size_t(column)]);
            Require(cell == CellText(rows, row, column, types[size_t(column)]).toStdString(),
                    "a saved cell differs from the cell shown");
            if (types[size_t(column)] != ftBoolean)
                CheckNumber(rows, row, column, cell);
            CheckMoment(moments[size_t(row * rows.ColumnCount() + column)], types[size_t(column)],
                        cell);
            tabs = tabs || cell.find('\t') != std::string::npos;
            if (column > 0)
                line += '\t';
            line += cell;
            cells.push_back(std::move(cell));
        }
        Require(ValidUtf8(line), "a saved line is not UTF-8");
        if (tabs)
            continue;
        std::vector<std::string> parted;
        for (size_t start = 0;;) {
            const size_t tab = line.find('\t', start);
            parted.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        Require(parted == cells, "the TABs of a saved line do not part its cells");
    }
}

// Dates and times that differ are shown differently, in every locale.
void CheckDistinct(FuzzedDataProvider& input) {
    const size_t locale = input.ConsumeIntegralInRange<size_t>(0, std::size(kLocales) - 1);
    const TDateTimeFormat format{QLocale(QLatin1String(kLocales[locale]))};
    const QDate date1 = MakeDate(input), date2 = MakeDate(input);
    const QTime time1 = MakeTime(input), time2 = MakeTime(input);
    Require(date1 == date2 || format.Date(date1) != format.Date(date2),
            "two dates are shown alike");
    Require(time1 == time2 || format.Time(time1) != format.Time(time2),
            "two times are shown alike");
    const QDateTime stamp1(date1, time1), stamp2(date1, time2);
    Require(stamp1 == stamp2 || format.DateTime(stamp1) != format.DateTime(stamp2),
            "two moments are shown alike");
}

}  // namespace

// Local time is where dates go wrong: one with daylight saving unless the caller chose one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "Europe/Berlin", 0);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int columns = input.ConsumeIntegralInRange(1, kMaxColumns);
    std::vector<TFieldType> types;
    for (int column = 0; column < columns; ++column)
        types.push_back(TFieldType(input.ConsumeIntegralInRange<int>(ftUnknown, ftGuid)));
    TRowStore rows;
    rows.Reset(columns);
    std::vector<TMoment> moments(size_t(kRows * columns));
    for (int row = 0; row < kRows; ++row) {
        rows.BeginRow();
        for (int column = 0; column < columns; ++column)
            AddCell(input, rows, moments[size_t(row * columns + column)]);
        rows.EndRow();
    }
    CheckLines(rows, types, moments);
    CheckDistinct(input);
    return 0;
}
