#include <gtest/gtest.h>

#include "SqlText.h"
#include "core/Exception.h"

using namespace SqlText;

struct ClassifyCase {
    const char* sql;
    bool changes;
    bool dropsTable;
};

class ChangeFlag : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ChangeFlag, FollowsPlainSubstringsOfTheAsciiUpperCase) {
    const QString sql = QString::fromUtf8(GetParam().sql);
    EXPECT_EQ(IsChangeStatement(sql), GetParam().changes);
    EXPECT_EQ(DropsTable(sql), GetParam().dropsTable);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ChangeFlag,
    ::testing::Values(ClassifyCase{"select * from t where name = 'x'", false, false},
                      ClassifyCase{"select * from t where name = 'please update me'", true, false},
                      ClassifyCase{"drop table t", true, true},
                      ClassifyCase{"DROP  TABLE t", true, false},
                      ClassifyCase{"create view v as select 1", true, false},
                      ClassifyCase{"drop index i", true, false},
                      ClassifyCase{"SELECT * FROM UPDATES", true, false},
                      ClassifyCase{"SELECT * FROM DROPZONE", true, false},
                      ClassifyCase{"exec my_procedure", false, false},
                      ClassifyCase{"-- insert\nselect 1", true, false},
                      // Only a to z are upper-cased: a dotless i does not become I.
                      ClassifyCase{"\xC4\xB1nsert into t values (1)", false, false}));

TEST(ElapsedText, WholeSecondsFromOneSecondOn) {
    EXPECT_EQ(ElapsedText(0), QStringLiteral("Time: 0ms"));
    EXPECT_EQ(ElapsedText(999), QStringLiteral("Time: 999ms"));
    EXPECT_EQ(ElapsedText(1000), QStringLiteral("Time: 1s"));
    EXPECT_EQ(ElapsedText(1999), QStringLiteral("Time: 1s"));
    EXPECT_EQ(ElapsedText(90000), QStringLiteral("Time: 90s"));
}

TEST(ColumnWidthLimit, SharesTheGridWidthWithAFloorOf100) {
    EXPECT_EQ(ColumnWidthLimit(789, 3), 263);
    EXPECT_EQ(ColumnWidthLimit(789, 10), 100);
    EXPECT_EQ(ColumnWidthLimit(789, 7), 112);
}

TEST(QuoteTableName, BracketsOnlyForLowerCaseMdbInAdoStrings) {
    const QString access =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/nwind.mdb");
    EXPECT_EQ(QuoteTableName("Order Details", true, access), QStringLiteral("[Order Details]"));
    EXPECT_EQ(QuoteTableName("Orders", true, "Provider=X;Data Source=/d/NWIND.MDB"),
              QStringLiteral("Orders"));
    EXPECT_EQ(QuoteTableName("Orders", true, "Provider=X;Data Source=a.db;Extended=.mdb"),
              QStringLiteral("[Orders]"));
    EXPECT_EQ(QuoteTableName("Orders", false, access), QStringLiteral("Orders"));
}

TEST(DecodeSqlFile, Utf8WithOrWithoutBomElseWindows1252) {
    EXPECT_EQ(DecodeSqlFile("\xEF\xBB\xBFselect 'Ums\xC3\xA4tze'", "a.sql"),
              QStringLiteral("select 'Ums\u00e4tze'"));
    EXPECT_EQ(DecodeSqlFile("select '\x80 \xE4'", "b.sql"),
              QStringLiteral("select '\u20ac \u00e4'"));
    EXPECT_EQ(DecodeSqlFile("", "c.sql"), QString());
    EXPECT_THROW(DecodeSqlFile(QByteArray("sel\0ect", 7), "d.bin"), EConvertError);
}
