#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "core/Exception.h"
#include "db/components/ADOQuery.h"

namespace {

// A query over five numbered rows.
class DataSetNavigation : public ::testing::Test {
  protected:
    void SetUp() override {
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
        query.SetConnection(&connection);
        query.SQL() << QStringLiteral("SELECT n, word FROM numbers ORDER BY n");
    }

    TestDatabaseFile file{QStringLiteral(
        "CREATE TABLE numbers(n INTEGER, word VARCHAR(10));"
        "INSERT INTO numbers VALUES (1,'one'),(2,'two'),(3,'three'),(4,'four'),(5,'five');")};
    TADOConnection connection;
    TADOQuery query;
};

TEST_F(DataSetNavigation, WalksFromFirstToEof) {
    query.Open();
    QStringList words;
    for (query.First(); !query.Eof(); query.Next())
        words << query.FieldByName(QStringLiteral("WORD")).AsString();
    EXPECT_EQ(words.join(','), QStringLiteral("one,two,three,four,five"));
    EXPECT_EQ(query.RecNo(), 5);  // Eof stays on the last record
    query.Prior();
    EXPECT_FALSE(query.Eof());
    EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("4"));
}

TEST_F(DataSetNavigation, BookmarksBringBackTheRecord) {
    query.Open();
    query.SetRecNo(3);
    TBookmark mark = query.GetBookmark();
    query.Last();
    query.GotoBookmark(mark);
    EXPECT_EQ(query.FieldByName(QStringLiteral("word")).AsString(), QStringLiteral("three"));
    query.FreeBookmark(mark);
    EXPECT_THROW(query.GotoBookmark(mark), EDatabaseError);
}

TEST_F(DataSetNavigation, BookmarkOfAnEarlierOpeningIsRefused) {
    query.Open();
    query.SetRecNo(2);
    const TBookmark mark = query.GetBookmark();
    query.Close();
    query.Open();
    EXPECT_THROW(query.GotoBookmark(mark), EDatabaseError);
}

TEST_F(DataSetNavigation, ClosedDataSetRefusesRecordCount) {
    try {
        query.RecordCount();
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message(),
                  QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
    EXPECT_THROW(query.First(), EDatabaseError);
}

TEST_F(DataSetNavigation, UnknownFieldNameIsNamedInTheError) {
    query.Open();
    EXPECT_EQ(query.FindField(QStringLiteral("nope")), nullptr);
    try {
        query.FieldByName(QStringLiteral("Nope"));
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Field 'Nope' not found"));
    }
}

TEST_F(DataSetNavigation, DisabledControlsHearOfTheMoveOnlyAtTheEnd) {
    query.Open();
    QList<qsizetype> moves;
    QObject::connect(&query, &TDataSet::CurrentChanged, [&](qsizetype row) { moves << row; });
    query.DisableControls();
    query.DisableControls();
    for (query.First(); !query.Eof(); query.Next()) {
    }
    query.EnableControls();
    EXPECT_EQ(moves.count(), 0);
    EXPECT_TRUE(query.ControlsDisabled());
    query.EnableControls();
    EXPECT_EQ(moves, QList<qsizetype>{4});
    EXPECT_FALSE(query.ControlsDisabled());
}

TEST_F(DataSetNavigation, OpeningReadsInBatchesAndReportsEach) {
    query.SetFetchBatchSize(2);
    QList<qsizetype> progress;
    query.OnFetchProgress = [&](qsizetype rows) { progress << rows; };
    query.Open();
    EXPECT_EQ(progress, (QList<qsizetype>{2, 4, 5}));
    EXPECT_EQ(query.RecordCount(), 5);
}

TEST_F(DataSetNavigation, EmptyResultIsAtEofWithFieldsStillKnown) {
    query.SQL() = QStringList{QStringLiteral("SELECT n, word FROM numbers WHERE n > 99")};
    int opened = 0;
    QObject::connect(&query, &TDataSet::Opened, [&] { ++opened; });
    query.Open();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.FieldCount(), 2);
    EXPECT_TRUE(query.Fields(1).IsNull());
    EXPECT_FALSE(query.GetBookmark().IsValid());
}

TEST_F(DataSetNavigation, FailedOpenLeavesTheDataSetClosed) {
    query.SQL() = QStringList{QStringLiteral("SELECT nothing FROM numbers")};
    EXPECT_THROW(query.Open(), EDatabaseError);
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.FieldCount(), 0);
}

TEST_F(DataSetNavigation, EmptySqlIsRefused) {
    query.SQL().clear();
    EXPECT_THROW(query.Open(), EDatabaseError);
    EXPECT_THROW(query.ExecSQL(), EDatabaseError);
}

}  // namespace
