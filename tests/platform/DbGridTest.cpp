#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>

#include "DbTestSupport.h"
#include "db/components/ADOQuery.h"
#include "db/grid/DBGrid.h"
#include "db/grid/DBGridModel.h"

namespace {

class GridOverQuery : public ::testing::Test {
  protected:
    void SetUp() override {
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
        query.SetConnection(&connection);
        query.SQL() << QStringLiteral("SELECT * FROM things ORDER BY id");
        source.SetDataSet(&query);
        grid.SetDataSource(&source);
    }

    QString Cell(int row, int column) const {
        return grid.model()->index(row, column).data().toString();
    }

    TestDatabaseFile file{QStringLiteral(
        "CREATE TABLE things(id INTEGER, name VARCHAR(30), notes TEXT, pic BLOB, price REAL);"
        "INSERT INTO things VALUES (1, 'lamp', 'bright', x'01', 2.5), (2, NULL, NULL, NULL, 10),"
        "(3, 'chair', 'four legs', x'0203', 0.1);")};
    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    TDBGrid grid;
};

TEST_F(GridOverQuery, ShowsRowsAndColumnsOnceTheQueryOpens) {
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.model()->columnCount(), 0);
    query.Open();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->columnCount(), 5);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("name"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("lamp"));
    EXPECT_EQ(Cell(1, 1), QString());
    EXPECT_EQ(Cell(2, 4), QStringLiteral("0.1"));
    query.Close();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.Columns().Count(), 0);
}

TEST_F(GridOverQuery, DrawsPlaceholdersForMemoAndBinaryCells) {
    query.Open();
    EXPECT_EQ(Cell(0, 2), QStringLiteral("(MEMO)"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("(MEMO)"));
    EXPECT_EQ(Cell(0, 3), QStringLiteral("(BLOB)"));
}

TEST_F(GridOverQuery, ColumnsDescribeTheFieldsForPrinting) {
    query.Open();
    TDBGridColumns& columns = grid.Columns();
    ASSERT_EQ(columns.Count(), 5);
    EXPECT_EQ(columns[1].Field(), &query.Fields(1));
    EXPECT_EQ(columns[1].Title().Caption(), QStringLiteral("name"));
    EXPECT_TRUE(columns[0].Alignment() & Qt::AlignRight);
    EXPECT_TRUE(columns[1].Alignment() & Qt::AlignLeft);
    EXPECT_GT(columns.Width(1), columns.Width(0));  // 30 characters against 11 digits
    EXPECT_EQ(grid.columnWidth(1), columns.Width(1));

    columns.SetWidth(1, 40);
    EXPECT_EQ(grid.columnWidth(1), 40);
    grid.setColumnWidth(2, 77);  // as the user dragging the border
    EXPECT_EQ(columns.Width(2), 77);
    columns[3].SetVisible(false);
    EXPECT_EQ(columns.Width(3), -1);
    EXPECT_TRUE(grid.isColumnHidden(3));
    columns[0].Title().SetCaption(QStringLiteral("No."));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));
}

TEST_F(GridOverQuery, CurrentRecordAndCurrentRowFollowEachOther) {
    query.Open();
    query.SetRecNo(3);
    EXPECT_EQ(grid.currentIndex().row(), 2);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    EXPECT_EQ(query.RecNo(), 2);
}

TEST_F(GridOverQuery, DrawHookSeesTheDrawnRecordWithASolidBrush) {
    query.Open();
    query.First();
    struct Seen {
        int column;
        QString text;
        Qt::BrushStyle brush;
    };
    QList<Seen> seen;
    grid.OnDrawColumnCell = [&](QPainter& canvas, const QRect&, int column, TField& field,
                                QStyle::State) {
        seen << Seen{column, field.AsString(), canvas.brush().style()};
    };
    QPixmap pixmap(200, 40);
    QPainter painter(&pixmap);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, 20);
    option.state = QStyle::State_Enabled;
    grid.itemDelegate()->paint(&painter, option, grid.model()->index(2, 2));
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].column, 2);
    EXPECT_EQ(seen[0].text, QStringLiteral("four legs"));
    EXPECT_EQ(seen[0].brush, Qt::SolidPattern);
    EXPECT_EQ(query.FieldByName(QStringLiteral("notes")).AsString(), QStringLiteral("bright"));
}

TEST_F(GridOverQuery, AnotherDataSetInTheSourceIsShownInstead) {
    query.Open();
    TADOQuery other;
    other.SetConnection(&connection);
    other.SQL() << QStringLiteral("SELECT name FROM things");
    other.Open();
    source.SetDataSet(&other);
    EXPECT_EQ(grid.model()->columnCount(), 1);
    source.SetDataSet(nullptr);
    EXPECT_EQ(grid.model()->columnCount(), 0);
}

TEST_F(GridOverQuery, ForgetsADataSetThatIsDestroyed) {
    auto other = std::make_unique<TADOQuery>();
    other->SetConnection(&connection);
    other->SQL() << QStringLiteral("SELECT name FROM things");
    other->Open();
    source.SetDataSet(other.get());
    EXPECT_EQ(grid.model()->rowCount(), 3);
    other.reset();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.Columns().Count(), 0);
}

}  // namespace
