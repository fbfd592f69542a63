#include <gtest/gtest.h>

#include <QDate>
#include <random>

#include "db/dataset/RowStore.h"

namespace {

using Kind = TRowStore::CellKind;

std::string_view View(const std::string& text) {
    return {text.data(), text.size()};
}

TEST(RowStore, KeepsEveryKindOfCellExactly) {
    TRowStore rows;
    rows.Reset(7);
    const std::string text = "Grüße";
    const std::string bytes("\0\x01\xff", 3);
    const std::int64_t integers[] = {0, -1, 127, -128, 32767, -70000, INT64_MIN};
    for (const std::int64_t value : integers) {
        rows.BeginRow();
        rows.AddInteger(value);
        rows.AddNull();
        rows.AddFloat(0.1 + double(value));
        rows.AddText(View(text));
        rows.AddBytes(View(bytes));
        rows.AddText({});
        rows.AddInteger(INT64_MAX);
        rows.EndRow();
    }
    ASSERT_EQ(rows.RowCount(), 7);
    for (int row = 6; row >= 0; --row) {  // backwards: no help from reading in order
        EXPECT_EQ(rows.Kind(row, 0), Kind::Integer);
        EXPECT_EQ(rows.Integer(row, 0), integers[row]);
        EXPECT_TRUE(rows.IsNull(row, 1));
        EXPECT_EQ(rows.Float(row, 2), 0.1 + double(integers[row]));
        EXPECT_EQ(rows.Raw(row, 3), View(text));
        EXPECT_EQ(rows.Kind(row, 4), Kind::Bytes);
        EXPECT_EQ(rows.Raw(row, 4), View(bytes));
        EXPECT_EQ(rows.Kind(row, 5), Kind::Text);
        EXPECT_TRUE(rows.Raw(row, 5).empty());
        EXPECT_EQ(rows.Integer(row, 6), INT64_MAX);
    }
    EXPECT_EQ(rows.Value(0, 3).toString(), QStringLiteral("Grüße"));
    EXPECT_FALSE(rows.Value(0, 1).isValid());
    EXPECT_EQ(rows.Value(0, 4).toByteArray(), QByteArray(bytes.data(), 3));
}

TEST(RowStore, RowsLargerThanAChunkStayWhole) {
    TRowStore rows;
    rows.Reset(3);
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int row = 0; row < 300; ++row) {
        // Mostly short cells, now and then one of several megabytes, across chunk borders.
        const std::size_t length = row % 50 == 49 ? 3'000'000 + row : random() % 200;
        texts.emplace_back(length, char('a' + row % 26));
        rows.BeginRow();
        rows.AddInteger(row);
        rows.AddText(View(texts.back()));
        rows.AddInteger(-row);
        rows.EndRow();
    }
    for (int row = 0; row < 300; ++row) {
        EXPECT_EQ(rows.Integer(row, 0), row);
        ASSERT_EQ(rows.Raw(row, 1), View(texts[std::size_t(row)])) << "row " << row;
        EXPECT_EQ(rows.Integer(row, 2), -row);
    }
}

TEST(RowStore, OrdersLikeRowsTakeLessThanTwiceTheirText) {
    TRowStore rows;
    rows.Reset(10);
    std::mt19937 random(20240601);
    std::size_t textBytes = 0;
    const std::string customer = "Anna Novak QX deliver", city = "Amsterdam", date = "2021-04-05";
    const std::string note = "Fragile call customer on arrival leave at", code = "AB-12345";
    for (int row = 1; row <= 200'000; ++row) {
        const bool noNote = random() % 5 == 0;
        rows.BeginRow();
        rows.AddInteger(row);
        rows.AddText(View(customer));
        rows.AddText(View(city));
        rows.AddFloat(1234.56);
        rows.AddInteger(int(random() % 500));
        rows.AddText(View(date));
        noNote ? rows.AddNull() : rows.AddText(View(note));
        rows.AddInteger(row % 2);
        rows.AddFloat(0.1234);
        rows.AddText(View(code));
        rows.EndRow();
        // What the same row takes as tab-delimited text with its line end.
        textBytes += std::to_string(row).size() + customer.size() + city.size() + 7 + 3 +
                     date.size() + (noNote ? 0 : note.size()) + 1 + 6 + code.size() + 10;
    }
    EXPECT_LT(rows.MemoryUsed(), textBytes * 3 / 2);
}

TEST(RowStore, ReplacesAppendsAndRemovesRowsInPlace) {
    TRowStore rows;
    rows.Reset(2);
    for (int row = 0; row < 3; ++row)
        rows.AppendRow({row, QStringLiteral("r%1").arg(row)});
    rows.ReplaceRow(1, {QVariant(), QByteArray("xy")});
    rows.RemoveRow(0);
    rows.AppendRow({QDate(2024, 2, 29), 2.5});
    ASSERT_EQ(rows.RowCount(), 3);
    EXPECT_TRUE(rows.IsNull(0, 0));
    EXPECT_EQ(rows.Value(0, 1).toByteArray(), QByteArray("xy"));
    EXPECT_EQ(rows.Value(1, 1).toString(), QStringLiteral("r2"));
    EXPECT_EQ(rows.Value(2, 0).toString(), QStringLiteral("2024-02-29"));
    EXPECT_EQ(rows.Float(2, 1), 2.5);
}

// A row's values copied into another row (an edit, a page read backwards) keep text that is
// not UTF-8, or starts with a byte order mark, byte for byte and still as text; the first reads
// as UTF-8 with the replacement character.
TEST(RowStore, ValuesKeepTextThatIsNotUtf8) {
    const std::string raw("a\xff\xc3", 3);
    TRowStore rows;
    rows.Reset(2);
    rows.BeginRow();
    rows.AddText(View(raw));
    rows.AddText("\xef\xbb\xbf\xf0\x9f\x98\x80");
    rows.EndRow();
    rows.AppendRow(rows.RowValues(0));
    EXPECT_EQ(rows.Kind(1, 0), Kind::Text);
    EXPECT_EQ(rows.Raw(1, 0), View(raw));
    EXPECT_EQ(rows.Raw(1, 1), rows.Raw(0, 1));
    EXPECT_EQ(rows.Value(1, 0).toString(), QStringLiteral("a\uFFFD\uFFFD"));
}

TEST(RowStore, RefusesARowWithTheWrongNumberOfCells) {
    TRowStore rows;
    rows.Reset(2);
    rows.BeginRow();
    rows.AddInteger(1);
    EXPECT_THROW(rows.EndRow(), std::logic_error);
    EXPECT_THROW(rows.AppendRow({1, 2, 3}), std::logic_error);
}

TEST(RowStore, ReadingOutsideTheRowsIsRefused) {
    TRowStore rows;
    rows.Reset(1);
    rows.AppendRow({1});
    EXPECT_THROW(rows.Kind(1, 0), std::out_of_range);
    EXPECT_THROW(rows.Kind(0, 1), std::out_of_range);
}

}  // namespace
