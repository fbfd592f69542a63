#include <gtest/gtest.h>

#include <QTimer>

#include "DbEditTestSupport.h"
#include "DbTestSupport.h"
#include "db/components/ADOQuery.h"
#include "db/grid/DBGrid.h"
#include "db/grid/DBGridModel.h"
#include "support/ScriptedSeamFixture.h"

namespace {

constexpr int kRows = 3000;
constexpr int kBatch = 100;

// A grid over a query of a few thousand rows read in small batches, so that loading takes
// many rounds; what runs during loading is started from a zero timer, as window events are.
class LoadingGrid : public ScriptedSeamTest {
  protected:
    void SetUp() override {
        ScriptedSeamTest::SetUp();
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
        query.SetConnection(&connection);
        query.SetFetchBatchSize(kBatch);
        query.SQL() << QStringLiteral("SELECT * FROM numbers ORDER BY n");
        source.SetDataSet(&query);
        grid.SetDataSource(&source);
        grid.resize(400, 200);
        grid.show();
    }

    // Runs `action` at the first chance the grid gives pending events while the rows load;
    // returns the error Open raised, if any.
    QString OpenWhileLoading(std::function<void()> action) {
        bool ran = false;
        QTimer::singleShot(0, &query, [&] {
            ran = true;
            action();
        });
        const QString error = DatabaseErrorOf([&] { query.Open(); });
        EXPECT_TRUE(ran) << "nothing ran while the rows were loading";
        return error;
    }

    static QString Numbers() {
        return QStringLiteral(
                   "CREATE TABLE numbers(n INTEGER PRIMARY KEY, word TEXT);"
                   "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < %1)"
                   "INSERT INTO numbers SELECT n, 'word ' || n FROM c;")
            .arg(kRows);
    }

    TestDatabaseFile file{Numbers()};
    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    TDBGrid grid;
};

TEST_F(LoadingGrid, ShowsTheFirstRowsBeforeTheRestArrive) {
    QList<int> shownWhileLoading;
    bool loadingWhenShown = false;
    const QString error = OpenWhileLoading([&] {
        shownWhileLoading << grid.model()->rowCount();
        loadingWhenShown = query.Loading();
    });
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(shownWhileLoading.size(), 1);
    EXPECT_GE(shownWhileLoading[0], kBatch);
    EXPECT_LT(shownWhileLoading[0], kRows);
    EXPECT_TRUE(loadingWhenShown);
    EXPECT_FALSE(query.Loading());
    EXPECT_EQ(query.RecordCount(), kRows);
    EXPECT_EQ(grid.model()->rowCount(), kRows);
    EXPECT_EQ(query.Fields(1).TextAt(kRows - 1), QStringLiteral("word 3000"));
}

TEST_F(LoadingGrid, CloseDuringLoadingStopsItCleanly) {
    const QString error = OpenWhileLoading([&] { query.Close(); });
    EXPECT_EQ(error,
              QStringLiteral("Loading the rows was stopped: the data set was closed meanwhile"));
    EXPECT_FALSE(query.Active());
    EXPECT_FALSE(query.Loading());
    EXPECT_EQ(grid.model()->rowCount(), 0);
    query.Open();
    EXPECT_EQ(query.RecordCount(), kRows);
}

TEST_F(LoadingGrid, ClosingTheConnectionDuringLoadingStopsIt) {
    const QString error = OpenWhileLoading([&] { connection.Close(); });
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(grid.model()->columnCount(), 0);
}

TEST_F(LoadingGrid, SecondOpenOrChangeDuringLoadingIsRefused) {
    QStringList refusals;
    const QString error = OpenWhileLoading([&] {
        refusals << DatabaseErrorOf([&] { query.Open(); })
                 << DatabaseErrorOf([&] { query.Edit(); });
    });
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(refusals,
              (QStringList{QStringLiteral("Cannot open the data set while its rows are loading"),
                           QStringLiteral("Cannot change records while the rows are loading")}));
    EXPECT_EQ(query.RecordCount(), kRows);
    EXPECT_TRUE(query.CanModify());
}

TEST_F(LoadingGrid, RunningAnotherStatementDuringLoadingShowsOnlyIts) {
    // What "Execute SQL" does: close, new text, open.
    const QString error = OpenWhileLoading([&] {
        query.Close();
        query.SQL() = QStringList{QStringLiteral("SELECT n FROM numbers WHERE n <= 5")};
        query.Open();
    });
    EXPECT_FALSE(error.isEmpty()) << "the first loading was stopped";
    EXPECT_TRUE(query.Active());
    EXPECT_EQ(query.RecordCount(), 5);
    EXPECT_EQ(query.FieldCount(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 5);
}

// Cells of a megabyte, BLOBs, NULLs and names no ASCII spells: all shown, none cut, and a
// change to such a table still reaches the right row.
TEST(LargeAndOddCells, AreShownWholeAndStayEditable) {
    const QString megabyte(1 << 20, QChar(0x00e9));
    TestDatabaseFile file(QStringLiteral(
        "CREATE TABLE \"Bücher ✓\"(\"Nummer\" INTEGER PRIMARY KEY, \"Titel ü\" TEXT, "
        "\"Bild\" BLOB, \"leer\" VARCHAR(5));"
        "INSERT INTO \"Bücher ✓\" VALUES (1, 'kurz', zeroblob(1048576), NULL),"
        "(2, NULL, NULL, NULL);"));
    TADOConnection connection;
    OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
    connection.Backend().ExecuteWith(
        QStringLiteral(
            "UPDATE \"Bücher ✓\" SET \"Titel ü\" = ?1, \"leer\" = ?1 WHERE \"Nummer\" = 1"),
        {megabyte}, nullptr);
    TADOQuery query;
    query.SetConnection(&connection);
    query.SQL() << QStringLiteral("SELECT * FROM \"Bücher ✓\" ORDER BY 1");
    TDataSource source;
    source.SetDataSet(&query);
    TDBGrid grid;
    grid.SetDataSource(&source);
    query.Open();

    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Titel ü"));
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("(MEMO)"));
    EXPECT_EQ(grid.model()->index(0, 2).data().toString(), QStringLiteral("(BLOB)"));
    EXPECT_EQ(query.Fields(2).ValueAt(0).toByteArray().size(), 1 << 20);
    EXPECT_EQ(query.Fields(1).TextAt(0), megabyte);
    EXPECT_EQ(query.Fields(3).TextAt(0), megabyte) << "a declared length cuts nothing";
    const QString shown = grid.model()->index(0, 3).data().toString();
    EXPECT_TRUE(megabyte.startsWith(shown));
    EXPECT_LT(shown.size(), 10000) << "laying out a megabyte on every repaint freezes the window";
    EXPECT_TRUE(query.Fields(1).IsNullAt(1));
    EXPECT_TRUE(query.Fields(3).IsNullAt(1));

    query.Last();
    query.Edit();
    query.Fields(3).SetAsString(QStringLiteral("ja"));
    query.Post();
    EXPECT_EQ(FileRows(file.Path(), QStringLiteral("SELECT \"leer\" FROM \"Bücher ✓\" "
                                                   "ORDER BY \"Nummer\"")),
              (QStringList{megabyte, QStringLiteral("ja")}));
    EXPECT_EQ(query.Fields(3).TextAt(0), megabyte);
}

}  // namespace
