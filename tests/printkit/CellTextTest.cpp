#include <gtest/gtest.h>

#include "CellText.h"

namespace {
TMacroValues Values(int line, int page, const QString& suffix = {}) {
    return {line,
            page,
            QStringLiteral("05/06/24"),
            QStringLiteral("09:30:15"),
            QStringLiteral("Orders"),
            suffix};
}

struct MacroCase {
    const char* name;
    const char* cell;
    const char* suffix;
    const char* expanded;
};

class ExpandMacrosTable : public ::testing::TestWithParam<MacroCase> {};

TEST_P(ExpandMacrosTable, ReplacesKnownMacros) {
    EXPECT_EQ(ExpandMacros(QString::fromUtf8(GetParam().cell),
                           Values(4, 2, QString::fromUtf8(GetParam().suffix))),
              QString::fromUtf8(GetParam().expanded));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ExpandMacrosTable,
    ::testing::Values(MacroCase{"Line", "{$LINE}", "", "4"},
                      MacroCase{"Page", " Page {$PAGE}", "", " Page 2"},
                      MacroCase{"PageTwice", "{$PAGE}/{$PAGE}", "", "2/2"},
                      MacroCase{"Date", "{$DATE}", "", "05/06/24"},
                      MacroCase{"Time", "{$TIME}", "", "09:30:15"},
                      MacroCase{"Title", "{$TITLE}", "", "Orders"},
                      MacroCase{"UnknownStays", "{$FOO}", "", "{$FOO}"},
                      MacroCase{"UnclosedStays", "{$PAGE", "", "{$PAGE"},
                      MacroCase{"GroupSuffixAtTheEnd", " Page {$PAGE}", " - 2/2", " Page 2 - 2/2"},
                      MacroCase{"SuffixAfterTitle", "{$TITLE}", " - 1/3", "Orders - 1/3"},
                      MacroCase{"SuffixEvenForUnknownMacro", "{$FOO}", " - 1/2", "{$FOO} - 1/2"},
                      MacroCase{"NestedBraces", "{${$PAGE}}", "", "{$2}"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpandMacros, TitleTextIsNotExpandedAgain) {
    TMacroValues values = Values(0, 3);
    values.title = QStringLiteral("Page {$PAGE}");
    EXPECT_EQ(ExpandMacros(QStringLiteral("{$TITLE}"), values), QStringLiteral("Page {$PAGE}"));
}

TEST(CellText, TheRestOfACellKeepsWholeMacrosForItsOwnPage) {
    const TCellText cell = TCellText::WithMacros(QStringLiteral("ab {$PAGE}"));
    const TCellText::Expansion first = cell.Expand(Values(0, 1));
    ASSERT_EQ(first.Text(), QStringLiteral("ab 1"));
    const TCellText rest = first.Mid(3);
    EXPECT_EQ(rest.Expand(Values(0, 2)).Text(), QStringLiteral("2"));
}

TEST(CellText, AMacroCutInTheMiddleKeepsItsText) {
    const TCellText cell = TCellText::WithMacros(QStringLiteral("{$TITLE}!"));
    const TCellText::Expansion first = cell.Expand(Values(0, 1));
    TMacroValues later = Values(0, 2);
    later.title = QStringLiteral("Changed");
    EXPECT_EQ(first.Mid(3).Expand(later).Text(), QStringLiteral("ers!"));
    EXPECT_EQ(first.Mid(1, 4).Expand(later).Text(), QStringLiteral("rde"));
}

TEST(CellText, TheGroupSuffixIsOwedUntilItIsPlaced) {
    const TCellText cell = TCellText::WithMacros(QStringLiteral("x{$PAGE}"));
    const TCellText::Expansion first = cell.Expand(Values(0, 1, QStringLiteral(" - 1/2")));
    ASSERT_EQ(first.Text(), QStringLiteral("x1 - 1/2"));
    EXPECT_EQ(first.Mid(1).Expand(Values(0, 2, QStringLiteral(" - 2/2"))).Text(),
              QStringLiteral("2 - 2/2"));
    EXPECT_EQ(first.Mid(5).Expand(Values(0, 2, QStringLiteral(" - 2/2"))).Text(),
              QStringLiteral("1/2"));
}

TEST(CellText, PlainTextIsNeverExpanded) {
    const TCellText cell = TCellText::Plain(QStringLiteral("{$PAGE}"));
    EXPECT_FALSE(cell.HasMacros());
    EXPECT_EQ(cell.Expand(Values(0, 9, QStringLiteral(" - 1/2"))).Text(),
              QStringLiteral("{$PAGE}"));
}

TEST(CellText, JoinedPartsExpandInOrder) {
    const TCellText cell = TCellText::WithMacros(QStringLiteral("a\n{$LINE}"));
    const TCellText::Expansion expansion = cell.Expand(Values(0, 1));
    const TCellText joined = expansion.Mid(2) + TCellText::Plain(QStringLiteral(" ")) +
                             TCellText::Plain(QStringLiteral("z"));
    EXPECT_EQ(joined.Expand(Values(5, 1)).Text(), QStringLiteral("5 z"));
}
}  // namespace
