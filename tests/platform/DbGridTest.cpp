#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
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

// A result with more rows than the model's window, loaded client-side: the view holds a window
// of them and the grid's own scroll bar runs over all of them. The window follows the bar, the
// wheel, the keys and the data set, and stays full when rows in it go.
TEST(GridOverManyRows, ShowsAWindowAndScrollsOverAllRows) {
    const qsizetype rows = TDBGridModel::kWindowRows * 5 / 2;
    TestDatabaseFile file{QStringLiteral(
        "CREATE TABLE n(id INTEGER PRIMARY KEY);"
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1)"
        " INSERT INTO n SELECT x FROM c;").arg(rows)};
    TADOConnection connection;
    OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
    TADOQuery query;
    query.SetConnection(&connection);
    query.SQL() << QStringLiteral("SELECT id FROM n ORDER BY id");
    TDataSource source;
    source.SetDataSet(&query);
    TDBGrid grid;
    grid.SetDataSource(&source);
    grid.resize(300, 400);
    grid.show();
    query.Open();

    TDBGridModel& model = grid.Model();
    const auto cell = [&](qsizetype row) {
        const int shown = model.ModelRow(row);
        return shown < 0 ? QStringLiteral("(outside the window)")
                         : model.index(shown, 0).data().toString();
    };
    const auto topRow = [&] { return model.DataRow(grid.indexAt(QPoint(2, 2)).row()); };
    auto* bar = grid.RowBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(model.Rows(), rows);
    EXPECT_EQ(model.rowCount(), TDBGridModel::kWindowRows);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(grid.verticalScrollBar()->isVisible());

    // The bar: its end shows the last row, its middle the middle.
    bar->setValue(bar->maximum());
    EXPECT_EQ(model.DataRow(grid.indexAt(QPoint(2, grid.viewport()->height() - 2)).row()),
              rows - 1);
    EXPECT_EQ(cell(rows - 1), QString::number(rows));
    bar->setValue(int(rows / 2));
    EXPECT_EQ(topRow(), rows / 2);
    EXPECT_EQ(cell(rows / 2), QString::number(rows / 2 + 1));

    // The wheel over the cells scrolls the view, and the bar follows, across the window's edge.
    bar->setValue(0);
    QWheelEvent wheel(QPointF(5, 5), grid.viewport()->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid.viewport(), &wheel);
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(topRow(), bar->value());
    const int nearEnd = grid.verticalScrollBar()->maximum() - 5;
    grid.verticalScrollBar()->setValue(nearEnd);
    EXPECT_GT(model.FirstRow(), 0);
    EXPECT_EQ(bar->value(), nearEnd);
    EXPECT_EQ(topRow(), nearEnd);

    // Keys reach either end of all the rows; the grid follows the data set anywhere.
    grid.setFocus();
    for (const auto& [key, recNo] :
         {std::pair{Qt::Key_End, rows}, std::pair{Qt::Key_Home, qsizetype(1)}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QCoreApplication::sendEvent(&grid, &press);
        EXPECT_EQ(query.RecNo(), recNo);
        EXPECT_EQ(model.DataRow(grid.currentIndex().row()), recNo - 1);
    }
    query.SetRecNo(rows - 3);
    EXPECT_EQ(model.DataRow(grid.currentIndex().row()), rows - 4);
    EXPECT_EQ(cell(rows - 4), QString::number(rows - 3));
    // Down from a record the view had scrolled away from goes on from that record.
    bar->setValue(0);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &down);
    EXPECT_EQ(query.RecNo(), rows - 2);

    // Rows deleted in the window: the window takes rows beside it back in.
    query.Delete();
    EXPECT_EQ(model.Rows(), rows - 1);
    EXPECT_EQ(model.rowCount(), TDBGridModel::kWindowRows);
    EXPECT_EQ(cell(rows - 3), QString::number(rows - 1));
    EXPECT_EQ(model.headerData(model.ModelRow(rows - 3), Qt::Vertical, Qt::DisplayRole).toInt(), rows - 2);
}

}  // namespace
