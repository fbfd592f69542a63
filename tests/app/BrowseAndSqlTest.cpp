#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "MainWindowFixture.h"
#include "db/grid/DBGridModel.h"
#include "support/SharedData.h"

namespace {

// A database with tables whose names carry the change words, a view, and text of all kinds.
QString MakeShopDatabase(const QString& path) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shop"));
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        for (const char* sql :
             {"CREATE TABLE items (id INTEGER PRIMARY KEY, name VARCHAR(50), note TEXT, price "
              "REAL)",
              "INSERT INTO items (name, note, price) VALUES ('pen', 'blue ink', 1.5), ('cup', "
              "NULL, 3983.0),"
              " ('Bücher', 'viel zu lesen', 12.25)",
              "CREATE TABLE UPDATES (id INTEGER)",
              "CREATE TABLE wide (a VARCHAR(300), b VARCHAR(300), c VARCHAR(5))",
              "INSERT INTO wide VALUES ('x', 'y', 'z')",
              "CREATE VIEW cheap AS SELECT name FROM items WHERE price < 5",
              "CREATE TABLE \"Umsätze\" (\"Betrag\" REAL)", "INSERT INTO \"Umsätze\" VALUES (7.5)"})
            EXPECT_TRUE(query.exec(QString::fromUtf8(sql))) << sql;
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("shop"));
    return path;
}

}  // namespace

class ConnectedWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        OpenSqliteFile(MakeShopDatabase(temp.filePath("shop.db")));
        ASSERT_TRUE(form->IsConnected());
        seam->Clear();
    }
    void SelectTable(const QString& name) {
        const auto items = form->ListBox1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        form->ListBox1->setCurrentItem(items.first());
    }
    void Run(const QString& sql) {
        form->Memo1->setPlainText(sql);
        form->ExecuteButton->click();
    }
};

TEST_F(ConnectedWindowTest, TableListAndFieldListFollowTheSelection) {
    form->TableButton->click();
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Table/View/Query names: 5"));
    EXPECT_TRUE(form->ListBox1->findItems("cheap", Qt::MatchExactly).size() == 1);
    EXPECT_EQ(form->ListBox1->currentRow(), -1);
    EXPECT_EQ(seam->cursorHistory, (std::vector<TCursor>{crSQLWait, crDefault}));

    SelectTable("items");
    EXPECT_TRUE(form->SelectAllButton->isEnabled());
    EXPECT_TRUE(form->CountAllButton->isEnabled());
    EXPECT_TRUE(form->Button3->isEnabled());
    EXPECT_EQ(form->ListBox2->count(), 4);
    EXPECT_EQ(form->Label4->text(), QStringLiteral("Fields in selected table/query: 4"));

    form->LoadFieldsCheckbox->setChecked(false);
    SelectTable("Umsätze");
    EXPECT_EQ(form->ListBox2->count(), 4) << "the previous field list stays";

    form->TableButton->click();
    EXPECT_TRUE(form->SelectAllButton->isEnabled()) << "reloading leaves the buttons as they were";
    form->Memo1->setPlainText("keep me");
    form->SelectAllButton->click();
    form->CountAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("keep me"))
        << "nothing selected: nothing runs";
}

TEST_F(ConnectedWindowTest, SelectAllAndCountRunTheirStatements) {
    form->TableButton->click();
    SelectTable("items");
    form->SelectAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("SELECT * FROM items"));
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 3"));
    EXPECT_TRUE(Panel(2).startsWith("Time: "));
    EXPECT_EQ(form->DBGrid1->Model().rowCount(), 3);

    form->CountAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("SELECT count(*) FROM items"));
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 1"));
    EXPECT_EQ(form->ADOQuery1->Fields(0).AsString(), QStringLiteral("3"));

    SelectTable("Umsätze");
    form->SelectAllButton->click();
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 1"));
    EXPECT_EQ(form->ADOQuery1->FieldByName("Betrag").AsString(), QStringLiteral("7.5"));
}

TEST_F(ConnectedWindowTest, TableNamedLikeAChangeWordIsConfirmedAndExecuted) {
    form->TableButton->click();
    SelectTable("UPDATES");
    seam->AnswerConfirm(true);
    form->SelectAllButton->click();
    EXPECT_EQ(
        seam->Texts("confirm"),
        QStringList(
            "You are about to CHANGE the contents of a table!\rAre you sure you want to do this?"));
    EXPECT_TRUE(Panel(1).startsWith("Affected: "));
    EXPECT_FALSE(form->ADOQuery1->Active());
}

TEST_F(ConnectedWindowTest, ChangeStatementsAskFirstAndReportAffectedRows) {
    Run("update items set price = price + 1");
    EXPECT_EQ(seam->Texts("confirm").size(), 1);
    EXPECT_EQ(Panel(1), QStringLiteral("Records: none")) << "No stops before anything runs";
    EXPECT_EQ(Panel(2), QString());

    seam->AnswerConfirm(true);
    Run("update items set price = price + 1");
    EXPECT_EQ(Panel(1), QStringLiteral("Affected: 3"));

    form->CheckBox2->setChecked(false);
    EXPECT_EQ(seam->beeps, 1);
    QCoreApplication::processEvents();  // the warning follows the toggle
    EXPECT_EQ(seam->Texts("message").last(),
              "WARNING: changing data CANNOT be undone and can have huge consequences!\r"
              "Set this option back to \"confirm\" if you are not very very sure!");
    seam->Clear();
    Run("delete from items where name = 'pen'");
    EXPECT_EQ(seam->Texts("confirm"), QStringList()) << "confirmation is off";
    EXPECT_EQ(Panel(1), QStringLiteral("Affected: 1"));
}

TEST_F(ConnectedWindowTest, DropTableAsksItsOwnQuestionAfterTheFirst) {
    seam->AnswerConfirm(true);
    seam->AnswerConfirm(false);
    Run("drop table UPDATES");
    EXPECT_EQ(seam->Texts("confirm").size(), 2);
    EXPECT_EQ(
        seam->Texts("confirm").last(),
        QStringLiteral("You are about to DROP A TABLE!\rThis CANNOT BE UNDONE, are you SURE?"));
    form->TableButton->click();
    EXPECT_EQ(form->ListBox1->findItems("UPDATES", Qt::MatchExactly).size(), 1) << "not dropped";

    form->CheckBox2->setChecked(false);
    seam->Clear();
    seam->AnswerConfirm(true);
    Run("DROP TABLE UPDATES");
    EXPECT_EQ(seam->Texts("confirm").size(), 1) << "the drop question does not depend on the box";
    EXPECT_EQ(Panel(1), QStringLiteral("Affected: 0"));
}

TEST_F(ConnectedWindowTest, FailedStatementShowsTimeKeepsCountAndRestoresCursor) {
    Run("select * from items");
    ASSERT_EQ(Panel(1), QStringLiteral("Records: 3"));
    seam->Clear();
    Run("select * from no_such_table");
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 3"));
    EXPECT_TRUE(Panel(2).startsWith("Time: "));
    EXPECT_EQ(seam->Cursor(), crDefault);
    ASSERT_EQ(seam->Texts("error").size(), 1);
    EXPECT_TRUE(seam->Texts("error").first().contains("no_such_table"));
    EXPECT_FALSE(form->ADOQuery1->Active());

    seam->Clear();
    Run("selec * frm items");
    EXPECT_EQ(seam->Texts("error").size(), 1);
    EXPECT_TRUE(form->ExecuteButton->isEnabled()) << "the window stays usable";
}

TEST_F(ConnectedWindowTest, EditorButtonsFollowTextAndConnection) {
    form->Memo1->setPlainText("select 1");
    EXPECT_TRUE(form->ExecuteButton->isEnabled());
    EXPECT_TRUE(form->EmptyButton->isEnabled());
    form->EmptyButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QString());
    EXPECT_FALSE(form->ExecuteButton->isEnabled());

    form->Memo1->setPlainText("select 1");
    form->TableButton->click();
    SelectTable("items");
    form->CloseConnButton->click();
    EXPECT_TRUE(form->ExecuteButton->isEnabled()) << "disconnecting leaves the editor buttons";
    EXPECT_TRUE(form->SelectAllButton->isEnabled()) << "and the table buttons";
    form->ExecuteButton->click();
    EXPECT_EQ(seam->Texts("message"), QStringList("Not connected, open a database first."));
    form->TableButton->setEnabled(true);
    form->TableButton->click();
    EXPECT_EQ(seam->Texts("message").size(), 2);
}

TEST_F(ConnectedWindowTest, F9RunsAndCtrlAWithAnyModifiersSelectsAll) {
    form->Memo1->setPlainText("select * from items");
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::ControlModifier);
    QCoreApplication::sendEvent(form->Memo1, &f9);
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 3"));

    QKeyEvent ctrlShiftA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::sendEvent(form->Memo1, &ctrlShiftA);
    EXPECT_EQ(form->Memo1->textCursor().selectedText(), QStringLiteral("select * from items"));
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("select * from items"))
        << "the key is consumed";

    form->Memo1->clear();
    QCoreApplication::sendEvent(form->Memo1, &f9);
    EXPECT_EQ(seam->Texts("message"), QStringList("Enter some SQL code first."));
}

TEST_F(ConnectedWindowTest, TruncationNarrowsOnlyWideColumnsOnce) {
    form->show();
    QCoreApplication::processEvents();
    form->TruncateColumnsCheckbox->setChecked(false);
    Run("select * from wide");
    const int a = form->DBGrid1->Columns().Width(0), c = form->DBGrid1->Columns().Width(2);
    const int limit = std::max(form->DBGrid1->width() / 3, 100);
    ASSERT_GT(a, limit) << "a VARCHAR(300) column starts wider than its share";
    ASSERT_LT(c, limit);

    form->TruncateColumnsCheckbox->setChecked(true);
    Run("select * from wide");
    EXPECT_EQ(form->DBGrid1->Columns().Width(0), limit);
    EXPECT_EQ(form->DBGrid1->Columns().Width(1), limit);
    EXPECT_EQ(form->DBGrid1->Columns().Width(2), c) << "narrow columns keep their width";

    form->resize(form->width() + 300, form->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(form->DBGrid1->Columns().Width(0), limit) << "not applied again on resizing";
}

TEST_F(ConnectedWindowTest, LoadFileReadsTextAndRemembersTheFolder) {
    QFile file(temp.filePath("query.sql"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFselect * from items\nwhere name <> 'B\xC3\xBC'\n");
    file.close();
    seam->AnswerOpenFile(file.fileName());
    form->Button4->click();
    EXPECT_EQ(form->Memo1->toPlainText(),
              QStringLiteral("select * from items\nwhere name <> 'B\u00fc'\n"));
    EXPECT_TRUE(form->ExecuteButton->isEnabled());
    ASSERT_EQ(seam->fileRequests.size(), 1u);
    EXPECT_EQ(seam->fileRequests[0].filter,
              QStringLiteral("SQL files (*.sql)|*.sql|All files (*.*)|*.*"));
    EXPECT_EQ(seam->fileRequests[0].title, QStringLiteral("Open SQL File"));

    QFile empty(temp.filePath("sub/empty.sql"));
    QDir().mkpath(temp.filePath("sub"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    seam->AnswerOpenFile(empty.fileName());
    form->Button4->click();
    EXPECT_EQ(seam->fileRequests[1].initialDir, temp.path()) << "the folder of the last file";
    EXPECT_EQ(form->Memo1->toPlainText(), QString());
    EXPECT_FALSE(form->ExecuteButton->isEnabled());

    QFile binary(temp.filePath("data.bin"));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x00\x01\x02select", 9));
    binary.close();
    form->Memo1->setPlainText("kept");
    seam->AnswerOpenFile(binary.fileName());
    form->Button4->click();
    EXPECT_EQ(seam->Texts("error").size(), 1);
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("kept")) << "the editor keeps its text";

    seam->AnswerOpenFile(QStringLiteral("/quorva-no-such-file.sql"));
    form->Button4->click();
    seam->AnswerOpenFile(std::nullopt);
    form->Button4->click();
    EXPECT_EQ(seam->fileRequests.back().initialDir, QStringLiteral("/"))
        << "the root is a folder like any other";
}

TEST_F(ConnectedWindowTest, EditorTextReachesTheDatabaseUnchanged) {
    for (const QString& literal : {QStringLiteral("a\u00a0b"), QStringLiteral("a\tb"),
                                   QStringLiteral("a\u202fb\u00a0\u00a0c")}) {
        Run("select '" + literal + "' as t");
        EXPECT_EQ(form->ADOQuery1->Fields(0).AsString(), literal) << literal.toStdString();
    }
    Run("select 1 as a,\n2 as b");
    EXPECT_EQ(form->ADOQuery1->FieldByName("b").AsString(), QStringLiteral("2"))
        << "lines still reach the database as lines";
}

TEST_F(ConnectedWindowTest, UncheckingReadOnlyWarnsEveryTime) {
    for (int round = 1; round <= 2; ++round) {
        form->CheckBox1->setChecked(false);
        EXPECT_FALSE(form->DBGrid1->ReadOnly());
        QCoreApplication::processEvents();
        form->CheckBox1->setChecked(true);
        EXPECT_TRUE(form->DBGrid1->ReadOnly());
        EXPECT_EQ(seam->beeps, round);
        EXPECT_EQ(seam->Texts("message").size(), round);
    }
    EXPECT_EQ(seam->Texts("message").first(),
              "WARNING: changing data CANNOT be undone and can have huge consequences!\r"
              "Set this option back to \"readonly\" if you are not very very sure!");
}

TEST_F(ConnectedWindowTest, AccessTablesAreBracketedAndCountedWithStar) {
    REQUIRE_SHARED_FILE(nwind, "nwind.mdb");
    OpenSqliteFile(nwind);
    form->TableButton->click();
    SelectTable("Order Details");
    form->CountAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("SELECT count(*) FROM [Order Details]"));
    EXPECT_EQ(seam->Texts("error"), QStringList());
    form->SelectAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("SELECT * FROM [Order Details]"));
    EXPECT_EQ(seam->Texts("error"), QStringList());
    EXPECT_TRUE(Panel(1).startsWith("Records: "));
    EXPECT_NE(Panel(1), QStringLiteral("Records: 0"));
}

TEST_F(ConnectedWindowTest, MemoCellsAreDrawnWithTheirTextOtherCellsLeftAlone) {
    Run("select name, note from items");
    ASSERT_EQ(form->ADOQuery1->FieldByName("note").DataType(), ftMemo);
    auto draw = [&](const QString& fieldName) {
        QImage image(120, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter canvas(&image);
        canvas.setBrush(QColor(Qt::yellow));
        canvas.setPen(QColor(Qt::black));
        form->ADOQuery1->First();
        form->DBGrid1DrawColumnCell(canvas, QRect(10, 2, 100, 16),
                                    form->ADOQuery1->FieldByName(fieldName));
        return image;
    };
    const QImage memo = draw("note");
    EXPECT_EQ(memo.pixelColor(12, 17), QColor(Qt::yellow)) << "the rectangle is filled";
    EXPECT_EQ(memo.pixelColor(5, 10), QColor(Qt::white)) << "nothing outside it";
    int dark = 0;
    for (int x = 10; x < 40; ++x)
        for (int y = 2; y < 12; ++y)
            dark += memo.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 10) << "the text starts at the top-left corner";

    const QImage plain = draw("name");
    EXPECT_EQ(plain.pixelColor(12, 17), QColor(Qt::white)) << "other types keep the grid's drawing";
}

TEST_F(ConnectedWindowTest, AnUnpostedGridEditIsPostedBeforeTheNextStatement) {
    Run("select * from items");
    form->CheckBox1->setChecked(false);
    form->ADOQuery1->First();
    form->ADOQuery1->Edit();
    form->ADOQuery1->FieldByName("name").SetAsString("pencil");
    Run("select * from items where name = 'pencil'");
    EXPECT_EQ(seam->Texts("error"), QStringList());
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 1")) << "the edit reached the database";
}
