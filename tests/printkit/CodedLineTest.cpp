#include <gtest/gtest.h>

#include "CodedLine.h"

namespace {
const TCodedLineContext kContext{
    QStringLiteral("05/06/24"), QStringLiteral("Wednesday, 5 June 2024"), QStringLiteral("09:30"),
    QStringLiteral("09:30:15"), QStringLiteral("/home/ann/out/Report.txt")};

struct CodedCase {
    const char* name;
    const char* coded;
    const char* cells;
};

class CompileCodedLineTable : public ::testing::TestWithParam<CodedCase> {};

TEST_P(CompileCodedLineTable, CompilesIntoCells) {
    EXPECT_EQ(CompileCodedLine(QString::fromUtf8(GetParam().coded), QLatin1Char('|'), kContext),
              QString::fromUtf8(GetParam().cells));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CompileCodedLineTable,
    ::testing::Values(
        CodedCase{"PlainText", "Sales", "Sales"},
        CodedCase{"CellCodesSeparate", "&lA&cB&rC", "A|B|C"},
        CodedCase{"NoSeparatorBeforeText", "&l&cX", "X"},
        CodedCase{"CellLetterDoesNotChooseColumn", "&rX&lY", "X|Y"},
        CodedCase{"ShortDate", "&d", "05/06/24"},
        CodedCase{"LongDate", "&D", "Wednesday, 5 June 2024"},
        CodedCase{"ShortTime", "&t", "09:30"}, CodedCase{"LongTime", "&T", "09:30:15"},
        CodedCase{"PageMacro", "&p", "{$PAGE}"}, CodedCase{"TitleMacro", "&i", "{$TITLE}"},
        CodedCase{"FileNamePart", "&f", "Report.txt"},
        CodedCase{"WholeFileName", "&F", "/home/ann/out/Report.txt"},
        CodedCase{"DoubleAmpersand", "A&&B", "A&B"}, CodedCase{"UnknownCode", "&x", " "},
        CodedCase{"TrailingAmpersandDropped", "abc&", "abc"},
        CodedCase{"CodesAreCaseSensitive", "&P", " "},
        CodedCase{"DefaultHeader", "&l &cSales&r ", " |Sales| "},
        CodedCase{"DefaultFooter", "&l&d&c&r Page &p", "05/06/24|| Page {$PAGE}"},
        CodedCase{"TextThenDate", "&cQ&d", "Q05/06/24"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompileCodedLine, EmptyExpansionsBecomeOneBlank) {
    const TCodedLineContext noFile{
        kContext.shortDate, kContext.longDate, kContext.shortTime, kContext.longTime, {}};
    EXPECT_EQ(CompileCodedLine(QStringLiteral("[&f][&F]"), QLatin1Char('|'), noFile),
              QStringLiteral("[ ][ ]"));
}

struct SelectorCase {
    const char* name;
    int left, centre, right;
    const char* codes;
};

class HeaderFooterCodesTable : public ::testing::TestWithParam<SelectorCase> {};

TEST_P(HeaderFooterCodesTable, OneFragmentPerPosition) {
    const SelectorCase& c = GetParam();
    EXPECT_EQ(HeaderFooterCodes(c.left, c.centre, c.right, QStringLiteral("T&&X"),
                                QStringLiteral("Page")),
              QString::fromUtf8(c.codes));
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, HeaderFooterCodesTable,
    ::testing::Values(SelectorCase{"DefaultHeader", 0, 4, 0, "&l &cT&&X&r "},
                      SelectorCase{"DefaultFooter", 1, 4, 2, "&l&d&cT&&X&r Page &p"},
                      SelectorCase{"TextOnlyInTheCentre", 4, 0, 4, "&l &c &r "},
                      SelectorCase{"TimeAndPageEverywhere", 3, 2, 3, "&l&t&c Page &p&r&t"},
                      SelectorCase{"OutOfRangeAddsNothing", 9, -1, 5, ""}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
