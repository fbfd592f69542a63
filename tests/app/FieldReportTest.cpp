#include <gtest/gtest.h>

#include "FieldReport.h"
#include "ReportPrint.h"
#include "db/dataset/FieldType.h"

using namespace FieldReport;

struct TypeNameCase {
    int value;
    const char* name;
};

class TypeNames : public ::testing::TestWithParam<TypeNameCase> {};

TEST_P(TypeNames, NameTheReportGivesEachValue) {
    EXPECT_EQ(FieldTypeName(GetParam().value), QLatin1String(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    AllValues, TypeNames,
    ::testing::Values(
        TypeNameCase{ftUnknown, "Unknown"}, TypeNameCase{ftString, "String"},
        TypeNameCase{ftSmallint, "Integer"}, TypeNameCase{ftInteger, "Long Integer"},
        TypeNameCase{ftWord, "Word (Int)"}, TypeNameCase{ftBoolean, "Boolean"},
        TypeNameCase{ftFloat, "Float"}, TypeNameCase{ftCurrency, "Currency"},
        TypeNameCase{ftBCD, "BCD"}, TypeNameCase{ftDate, "Date"}, TypeNameCase{ftTime, "Time"},
        TypeNameCase{ftDateTime, "DateTime"}, TypeNameCase{ftBytes, "Bytes"},
        TypeNameCase{ftVarBytes, "VarBytes"}, TypeNameCase{ftAutoInc, "AutoInc"},
        TypeNameCase{ftBlob, "BLOB"}, TypeNameCase{ftMemo, "Memo"},
        TypeNameCase{ftGraphic, "Bitmap"}, TypeNameCase{ftFmtMemo, "Format Memo"},
        TypeNameCase{ftParadoxOle, "Paradox OLE"}, TypeNameCase{ftDBaseOle, "dBASE OLE"},
        TypeNameCase{ftTypedBinary, "Typed binary"}, TypeNameCase{ftCursor, "Cursor output"},
        TypeNameCase{ftFixedChar, "Fixed char"}, TypeNameCase{ftWideString, "Widestring"},
        TypeNameCase{ftLargeint, "Large Integer"}, TypeNameCase{ftADT, "ADT"},
        TypeNameCase{ftArray, "Array"}, TypeNameCase{ftReference, "REF"},
        TypeNameCase{ftDataSet, "DataSet"}, TypeNameCase{ftOraBlob, "Oracle BLOB"},
        TypeNameCase{ftOraClob, "Oracle CLOB"}, TypeNameCase{ftVariant, "Variant"},
        TypeNameCase{ftInterface, "Interface?"}, TypeNameCase{ftIDispatch, "IDispatch"},
        TypeNameCase{ftGuid, "GUID"}, TypeNameCase{-1, "Unknown?"},
        TypeNameCase{ftGuid + 1, "Unknown?"}, TypeNameCase{1000, "Unknown?"}));

struct LineCase {
    const char* name;
    QString line;
    const char* expected;
};

class ReportLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(ReportLines, AreCutAndPaddedToTheirColumns) {
    EXPECT_EQ(GetParam().line, QString::fromUtf8(GetParam().expected));
}

// Columns: 3, 40, 15 and 5 characters, separated by single blanks.
INSTANTIATE_TEST_SUITE_P(
    Lines, ReportLines,
    ::testing::Values(
        LineCase{"Heading", HeadingLine(),
                 "Nr: Fieldname:                               Type:           Size:"},
        LineCase{"StringOfFifty", FieldLine(0, "name", FieldTypeName(ftString), FieldSizeText(50)),
                 "000 name                                     String             50"},
        LineCase{"IntegerWithoutSize",
                 FieldLine(7, "id", FieldTypeName(ftInteger), FieldSizeText(0)),
                 "007 id                                       Long Integer        -"},
        LineCase{"LongNameCutToForty",
                 FieldLine(12, QString(45, QLatin1Char('n')) + "END", "Memo", "-"),
                 "012 nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn Memo                -"},
        LineCase{"LongTypeAndSizeCut", FieldLine(99, "x", "Seventeen chars!!", "1234567"),
                 "099 x                                        Seventeen chars 12345"},
        LineCase{"FourDigitsWiden", FieldLine(1000, "f1000", "Float", "-"),
                 "1000 f1000                                    Float               -"},
        LineCase{"NonAsciiCountsCharacters", FieldLine(1, "Größe", "String", "8"),
                 "001 Größe                                    String              8"},
        LineCase{"Table", TableLine("Umsätze 2024", 4), "Table 'Umsätze 2024' has 4 fields:"},
        // A name that looks like a placeholder stays as it is.
        LineCase{"TableNameWithPercent", TableLine("t%2", 1), "Table 't%2' has 1 fields:"},
        LineCase{"DatabaseFile", DatabaseFileLine("/data/shop.mdb"),
                 "Database file: /data/shop.mdb"},
        LineCase{"DatabaseName", DatabaseNameLine("ORCL"), "Database name: ORCL"}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(ReportLineWidth, IsSixtySixUpToField999) {
    EXPECT_EQ(HeadingLine().size(), 66);
    for (int number : {0, 9, 10, 99, 100, 999})
        EXPECT_EQ(FieldLine(number, "f", "String", "1").size(), 66) << number;
    EXPECT_EQ(FieldLine(1000, "f", "String", "1").size(), 67);
    EXPECT_EQ(FieldLine(12345, "f", "String", "1").size(), 68);
}

struct RectCase {
    const char* name;
    ReportPrint::TPaper paper;
    QRect expected;
};

class PrintRects : public ::testing::TestWithParam<RectCase> {};

TEST_P(PrintRects, KeepTheMarginsFromThePaperEdges) {
    EXPECT_EQ(ReportPrint::PrintRect(GetParam().paper), GetParam().expected);
}

// A4 at 300 dpi is 2480 x 3508 pixels; margins 100 left/right/bottom and 150 at the top.
INSTANTIATE_TEST_SUITE_P(
    Papers, PrintRects,
    ::testing::Values(
        RectCase{"NoOffset", {300, 300, 2480, 3508, 0, 0}, QRect(100, 150, 2280, 3258)},
        RectCase{
            "PrintableCornerOffset", {300, 300, 2480, 3508, 71, 71}, QRect(29, 79, 2280, 3258)},
        // Integer division of odd resolutions, different across and down.
        RectCase{"UnevenResolution", {601, 301, 5000, 3000, 10, 20}, QRect(190, 130, 4600, 2750)}),
    [](const ::testing::TestParamInfo<RectCase>& info) { return std::string(info.param.name); });
