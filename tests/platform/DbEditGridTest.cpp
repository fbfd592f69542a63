#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "DbEditTestSupport.h"
#include "DbTestSupport.h"
#include "db/components/ADOQuery.h"
#include "db/grid/DBGrid.h"
#include "db/grid/DBGridModel.h"
#include "support/ScriptedSeamFixture.h"
#include "support/SharedData.h"

namespace {

constexpr int kId = 0, kName = 1, kNotes = 2, kPic = 3;

class EditableGrid : public ScriptedSeamTest {
  protected:
    void SetUp() override {
        ScriptedSeamTest::SetUp();
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
        query.SetConnection(&connection);
        source.SetDataSet(&query);
        grid.SetDataSource(&source);
        grid.SetReadOnly(false);
        grid.resize(600, 300);
        grid.show();
        Open(QStringLiteral("SELECT * FROM things ORDER BY id"));
    }

    void Open(const QString& sql) {
        query.Close();
        query.SQL() = QStringList{sql};
        query.Open();
    }

    QModelIndex Cell(int row, int column) const { return grid.model()->index(row, column); }
    QString Text(int row, int column) const { return Cell(row, column).data().toString(); }
    QStringList Db(const QString& sql) const { return FileRows(file.Path(), sql); }

    void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &press);
        QApplication::processEvents();  // the delegate commits Enter a moment later
    }

    // The cell editor open in the grid, if any.
    QWidget* Editor() const {
        for (QWidget* child : grid.viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isHidden() &&
                (qobject_cast<QLineEdit*>(child) || qobject_cast<QPlainTextEdit*>(child)))
                return child;
        return nullptr;
    }

    // Opens the cell's editor, types `text` into it and leaves it with `key`.
    void Type(int row, int column, const QString& text, int key = Qt::Key_Return) {
        grid.setCurrentIndex(Cell(row, column));
        grid.edit(Cell(row, column));
        QWidget* editor = Editor();
        ASSERT_NE(editor, nullptr);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setText(text);
        else if (auto* box = qobject_cast<QPlainTextEdit*>(editor))
            box->setPlainText(text);
        else
            FAIL() << "unexpected editor " << editor->metaObject()->className();
        Key(editor, key);
    }

    TestDatabaseFile file{QStringLiteral(
        "CREATE TABLE things(id INTEGER PRIMARY KEY, name VARCHAR(30), notes TEXT, pic BLOB);"
        "CREATE TABLE tags(n INTEGER);"
        "INSERT INTO things VALUES (1, 'lamp', 'bright', x'01'), (2, 'desk', NULL, NULL),"
        "(3, 'chair', 'four legs', x'0203'), (4, 'rug', NULL, NULL);"
        "INSERT INTO tags VALUES (1);")};
    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    TDBGrid grid;
};

TEST_F(EditableGrid, EnterPostsTheTypedValue) {
    Type(1, kName, QStringLiteral("table"));
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Text(1, kName), QStringLiteral("table"));
    EXPECT_EQ(Db(QStringLiteral("SELECT name FROM things WHERE id = 2")),
              QStringList(QStringLiteral("table")));
    EXPECT_TRUE(seam->Texts(QStringLiteral("error")).isEmpty());
}

TEST_F(EditableGrid, EscCancelsTheUnpostedEdit) {
    Type(0, kName, QStringLiteral("torch"), Qt::Key_Tab);
    EXPECT_EQ(query.State(), dsEdit);
    EXPECT_EQ(Text(0, kName), QStringLiteral("torch"));
    Type(0, kNotes, QStringLiteral("dim"), Qt::Key_Escape);
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Text(0, kName), QStringLiteral("lamp"));
    EXPECT_EQ(Db(QStringLiteral("SELECT name, notes FROM things WHERE id = 1")),
              QStringList(QStringLiteral("lamp|bright")));
}

TEST_F(EditableGrid, LeavingTheRowPostsAndEscWithoutEditorCancels) {
    Type(0, kName, QStringLiteral("torch"), Qt::Key_Tab);
    grid.setCurrentIndex(Cell(2, kName));
    EXPECT_EQ(query.RecNo(), 3);
    EXPECT_EQ(Db(QStringLiteral("SELECT name FROM things WHERE id = 1")),
              QStringList(QStringLiteral("torch")));

    Type(2, kName, QStringLiteral("stool"), Qt::Key_Tab);
    Key(&grid, Qt::Key_Escape);
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Text(2, kName), QStringLiteral("chair"));
}

TEST_F(EditableGrid, InsertedRowIsPostedOrDisappearsOnEsc) {
    grid.setCurrentIndex(Cell(1, kName));
    Key(&grid, Qt::Key_Insert);
    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(query.State(), dsInsert);
    Key(&grid, Qt::Key_Escape);
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(Text(1, kName), QStringLiteral("desk"));

    grid.setCurrentIndex(Cell(3, kName));
    Key(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.currentIndex().row(), 4);
    Type(4, kName, QStringLiteral("vase"));
    EXPECT_EQ(Text(4, kId), QStringLiteral("5"));
    EXPECT_EQ(Db(QStringLiteral("SELECT id, name FROM things WHERE name = 'vase'")),
              QStringList(QStringLiteral("5|vase")));
}

TEST_F(EditableGrid, DeleteAsksOnceForAllSelectedRows) {
    grid.setCurrentIndex(Cell(0, kName));
    grid.selectionModel()->select(Cell(0, kName), QItemSelectionModel::ClearAndSelect);
    grid.selectionModel()->select(Cell(2, kId), QItemSelectionModel::Select);
    seam->AnswerConfirm(false);
    Key(&grid, Qt::Key_Delete);
    EXPECT_EQ(seam->Texts(QStringLiteral("confirm")),
              QStringList(QStringLiteral("Delete all selected records?")));
    EXPECT_EQ(grid.model()->rowCount(), 4);

    seam->Clear();
    seam->AnswerConfirm(true);
    Key(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(seam->Texts(QStringLiteral("confirm")),
              QStringList(QStringLiteral("Delete all selected records?")));
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(Db(QStringLiteral("SELECT id FROM things ORDER BY id")),
              (QStringList{QStringLiteral("2"), QStringLiteral("4")}));
}

TEST_F(EditableGrid, DeleteOfOneRowAsksForThatRecord) {
    grid.setCurrentIndex(Cell(3, kName));
    grid.clearSelection();
    seam->AnswerConfirm(true);
    Key(&grid, Qt::Key_Delete);
    EXPECT_EQ(seam->Texts(QStringLiteral("confirm")),
              QStringList(QStringLiteral("Delete record?")));
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM things")), QStringList(QStringLiteral("3")));
    EXPECT_EQ(query.RecNo(), 3);
}

TEST_F(EditableGrid, RefusedPostShowsTheReasonAndTheOldValues) {
    Open(QStringLiteral(
        "SELECT things.id, things.name FROM things JOIN tags ON tags.n = things.id"));
    Type(0, kName, QStringLiteral("torch"));
    EXPECT_EQ(seam->Texts(QStringLiteral("error")).join(QLatin1Char('|')).toStdString(),
              "This result cannot be changed: it reads more than one table (a join or a "
              "subquery)");
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Text(0, kName), QStringLiteral("lamp"));
    EXPECT_EQ(Db(QStringLiteral("SELECT name FROM things WHERE id = 1")),
              QStringList(QStringLiteral("lamp")));
}

TEST_F(EditableGrid, WrongTypedValueIsReportedAndNothingChanges) {
    Type(0, kId, QStringLiteral("one"));
    EXPECT_EQ(seam->Texts(QStringLiteral("error")),
              QStringList(QStringLiteral("'one' is not a valid integer value for field 'id'")));
    EXPECT_EQ(Text(0, kId), QStringLiteral("1"));
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM things WHERE id = 1")),
              QStringList(QStringLiteral("1")));
}

TEST_F(EditableGrid, EmptyCellStoresNull) {
    Type(0, kName, QString());
    EXPECT_EQ(Db(QStringLiteral("SELECT name IS NULL FROM things WHERE id = 1")),
              QStringList(QStringLiteral("1")));
}

TEST_F(EditableGrid, ReadOnlyGridNeitherEditsNorDeletes) {
    grid.SetReadOnly(true);
    EXPECT_FALSE(grid.model()->flags(Cell(0, kName)) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid.model()->setData(Cell(0, kName), QStringLiteral("x"), Qt::EditRole));
    grid.setCurrentIndex(Cell(0, kName));
    Key(&grid, Qt::Key_Delete);
    Key(&grid, Qt::Key_Insert);
    EXPECT_TRUE(seam->Texts(QStringLiteral("confirm")).isEmpty());
    EXPECT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(query.State(), dsBrowse);
}

TEST_F(EditableGrid, BinaryCellsAreNotEditableMemoCellsAreEditedWhole) {
    EXPECT_FALSE(grid.model()->flags(Cell(0, kPic)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid.model()->flags(Cell(0, kNotes)) & Qt::ItemIsEditable);
    EXPECT_EQ(Text(0, kNotes), QStringLiteral("(MEMO)"));
    EXPECT_EQ(Cell(0, kNotes).data(Qt::EditRole).toString(), QStringLiteral("bright"));
    // Enter starts a new line in a memo; leaving the row posts.
    Type(0, kNotes, QStringLiteral("very\nbright"), Qt::Key_Tab);
    grid.setCurrentIndex(Cell(1, kName));
    EXPECT_EQ(Db(QStringLiteral("SELECT notes FROM things WHERE id = 1")),
              QStringList(QStringLiteral("very\nbright")));
}

TEST_F(EditableGrid, HugeTextSurvivesAnEditorLeftAlone) {
    const QString huge(1 << 20, QLatin1Char('h'));
    connection.Backend().ExecuteWith(QStringLiteral("UPDATE things SET name = ? WHERE id = 3"),
                                     {huge + QStringLiteral("\u00e9")}, nullptr);
    Open(QStringLiteral("SELECT * FROM things ORDER BY id"));
    grid.setCurrentIndex(Cell(2, kName));
    grid.edit(Cell(2, kName));
    QWidget* editor = Editor();
    ASSERT_NE(qobject_cast<QPlainTextEdit*>(editor), nullptr) << "a line edit would cut it";
    Key(editor, Qt::Key_Tab);
    grid.setCurrentIndex(Cell(0, kName));
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Db(QStringLiteral("SELECT length(name) FROM things WHERE id = 3")),
              QStringList(QString::number(huge.size() + 1)));
    EXPECT_EQ(query.Fields(kName).TextAt(2).size(), huge.size() + 1);
}

TEST(EditableGridOnAccess, SaysClearlyThatTheFileCannotBeChanged) {
    REQUIRE_SHARED_FILE(mdb, "nwind.mdb");
    auto owned = std::make_unique<ScriptedModalSeam>();
    ScriptedModalSeam* seam = owned.get();
    auto previous = SetModalSeam(std::move(owned));
    {
        TADOConnection connection;
        OpenConnection(connection,
                       QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + mdb);
        TADOQuery query;
        query.SetConnection(&connection);
        query.SQL() << QStringLiteral("SELECT * FROM Shippers");
        TDataSource source;
        source.SetDataSet(&query);
        TDBGrid grid;
        grid.SetDataSource(&source);
        grid.SetReadOnly(false);
        query.Open();
        const int rows = query.RecordCount();
        EXPECT_TRUE(grid.model()->setData(grid.model()->index(0, 1), QStringLiteral("Changed"),
                                          Qt::EditRole));
        EXPECT_EQ(query.State(), dsEdit);
        EXPECT_EQ(DatabaseErrorOf([&] { query.Post(); }),
                  QStringLiteral("Access files are read-only here: mdbtools cannot change data"));
        query.Cancel();
        seam->AnswerConfirm(true);
        grid.setCurrentIndex(grid.model()->index(0, 1));
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(&grid, &del);
        EXPECT_EQ(seam->Texts(QStringLiteral("error")),
                  QStringList(QStringLiteral(
                      "Access files are read-only here: mdbtools cannot change data.")));
        EXPECT_EQ(query.RecordCount(), rows);
        EXPECT_NE(query.Fields(1).TextAt(0), QStringLiteral("Changed"));
    }
    SetModalSeam(std::move(previous));
}

}  // namespace
