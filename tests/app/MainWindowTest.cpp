#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "MainWindowFixture.h"
#include "support/SharedData.h"

namespace {

QString MakeSqliteDatabase(const QString& path) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(
            QStringLiteral("CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(40))")));
        EXPECT_TRUE(query.exec(QStringLiteral("INSERT INTO people (name) VALUES ('Ann'), ('Bo')")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
    return path;
}

QStringList EnabledButtons(QWidget* window) {
    QStringList names;
    for (auto* button : window->findChildren<QPushButton*>())
        if (button->isEnabled())
            names << button->objectName();
    names.sort();
    return names;
}

}  // namespace

TEST_F(MainWindowTest, StartsNotConnectedWithOnlyTheAlwaysEnabledButtons) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorva (version unknown)"))
        << "the test program carries no version resource";
    EXPECT_EQ(Panel(0), QStringLiteral("No connection"));
    EXPECT_EQ(Panel(1), QStringLiteral("Records: none"));
    EXPECT_EQ(Panel(2), QString());
    EXPECT_EQ(Panel(3), QString());
    EXPECT_EQ(EnabledButtons(form), QStringList({"Button1", "Button2", "Button4", "Button5",
                                                 "OpenADOButton", "OpenBDEButton"}));
    EXPECT_FALSE(form->UseADO());
    EXPECT_FALSE(form->IsConnected());
    EXPECT_EQ(form->size(), QSize(800, 600));
    EXPECT_EQ(form->minimumSize(), QSize(750, 400));
    EXPECT_FALSE(form->RichEdit1->isVisible());
    EXPECT_FALSE(form->RichEdit2->isVisible());
}

TEST_F(MainWindowTest, GridGrowsAndBottomRowFollowsTheBottomEdge) {
    form->show();
    form->resize(800, 600);
    QCoreApplication::processEvents();
    const QRect grid = form->DBGrid1->geometry();
    const QRect exit = form->Button1->geometry();
    const QRect readOnly = form->CheckBox1->geometry();
    const int memoWidth = form->Memo1->width();
    form->resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->DBGrid1->width(), grid.width() + 200);
    EXPECT_EQ(form->DBGrid1->height(), grid.height() + 100);
    EXPECT_EQ(form->Button1->geometry(), exit.translated(200, 100));
    EXPECT_EQ(form->CheckBox1->geometry(), readOnly.translated(0, 100));
    EXPECT_EQ(form->Memo1->width(), memoWidth + 200);
    EXPECT_EQ(form->ListBox1->geometry(), QRect(96, 16, 193, 145));
}

TEST_F(MainWindowTest, OpensAndClosesASqliteFileThroughTheChooser) {
    const QString path = MakeSqliteDatabase(temp.filePath("people.db"));
    OpenSqliteFile(path);
    EXPECT_EQ(seam->Texts("error"), QStringList());
    EXPECT_TRUE(form->UseADO());
    EXPECT_TRUE(form->IsConnected());
    EXPECT_EQ(Panel(0), QStringLiteral("ADO Connection open"));
    EXPECT_TRUE(form->TableButton->isEnabled());
    EXPECT_TRUE(form->CloseConnButton->isEnabled());
    EXPECT_EQ(form->ADOConnection1->ConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source=" + path);
    EXPECT_EQ(form->DataSource1->DataSet(), form->ADOQuery1);
    EXPECT_EQ(seam->cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));

    form->ListBox1->addItem(QStringLiteral("people"));
    form->SetPanelText(1, QStringLiteral("Records: 2"));
    form->CloseConnButton->click();
    EXPECT_FALSE(form->IsConnected());
    EXPECT_EQ(Panel(0), QStringLiteral("No connection"));
    EXPECT_EQ(Panel(1), QStringLiteral("Records: none"));
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_FALSE(form->TableButton->isEnabled());
    EXPECT_FALSE(form->CloseConnButton->isEnabled());
}

TEST_F(MainWindowTest, CancelledChooserLeavesTheOpenConnectionAlone) {
    OpenSqliteFile(MakeSqliteDatabase(temp.filePath("people.db")));
    seam->AnswerModal([](QDialog&) { return int(mrCancel); });
    form->OpenADOButton->click();
    EXPECT_TRUE(form->IsConnected());
    EXPECT_EQ(Panel(0), QStringLiteral("ADO Connection open"));
}

TEST_F(MainWindowTest, FailedOpensSayCannotOpenThenTheDriversError) {
    const QString missing = temp.filePath("missing.mdb");
    QFile notDatabase(temp.filePath("notes.txt"));
    ASSERT_TRUE(notDatabase.open(QIODevice::WriteOnly));
    notDatabase.write("just some notes, not a database\n");
    notDatabase.close();

    for (const QString& path : {missing, notDatabase.fileName()}) {
        seam->Clear();
        OpenSqliteFile(path);
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(seam->Texts("message"), QStringList("Cannot open connection!"));
        ASSERT_EQ(seam->Texts("error").size(), 1);
        EXPECT_EQ(seam->shown.back().kind, QStringLiteral("error")) << "the error comes second";
        EXPECT_EQ(seam->Cursor(), crDefault);
        EXPECT_FALSE(form->IsConnected());
        EXPECT_TRUE(form->UseADO());
        EXPECT_EQ(Panel(0), QStringLiteral("No connection"));
    }
    EXPECT_FALSE(QFile::exists(missing)) << "a missing database is never created";
}

TEST_F(MainWindowTest, MalformedConnectionStringsFailCleanly) {
    for (const QString& text : {QStringLiteral("Provider=SQLite;Data Source=\"unterminated"),
                                QStringLiteral("Data Source=x.db"),
                                QStringLiteral("Provider=NoSuchProvider;Data Source=x")}) {
        seam->Clear();
        ChooseAdo(3);
        AnswerEditor(text);
        form->OpenADOButton->click();
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(seam->Texts("message"), QStringList("Cannot open connection!"));
        EXPECT_EQ(seam->Texts("error").size(), 1);
        EXPECT_FALSE(form->IsConnected());
        EXPECT_EQ(seam->Cursor(), crDefault);
    }
}

TEST_F(MainWindowTest, FailedOpenIsRetriedWithTheSameStringAndCancelOpensNothing) {
    const QString path = temp.filePath("people.db");
    ChooseAdo(3);
    AnswerEditor("Provider=SQLite;Data Source=" + path);
    form->OpenADOButton->click();
    ASSERT_FALSE(form->IsConnected()) << "the file is not there yet";
    MakeSqliteDatabase(path);

    ChooseAdo(3);
    seam->AnswerModal([](QDialog&) { return int(mrCancel); });
    form->OpenADOButton->click();
    EXPECT_FALSE(form->IsConnected()) << "a cancelled editor opens nothing";

    seam->Clear();
    ChooseAdo(3);
    seam->AnswerModal([](QDialog& editor) {
        static_cast<TConnEditForm&>(editor).OkButton->click();
        return editor.result();
    });
    form->OpenADOButton->click();
    EXPECT_TRUE(form->IsConnected()) << "OK with the same string tries it again";
    EXPECT_EQ(seam->Texts("message"), QStringList());
    EXPECT_EQ(form->ADOConnection1->ConnectionString(), "Provider=SQLite;Data Source=" + path);
}

TEST_F(MainWindowTest, LoginPromptIsAskedAndItsCancelFailsTheOpen) {
    const QString path = MakeSqliteDatabase(temp.filePath("people.db"));
    ChooseAdo(4, path, true);
    seam->AnswerLogin(TLoginAnswer{QStringLiteral("ann"), QStringLiteral("secret")});
    form->OpenADOButton->click();
    EXPECT_EQ(seam->Texts("login").size(), 1);
    EXPECT_TRUE(form->IsConnected());

    ChooseAdo(4, path, true);
    seam->AnswerLogin(std::nullopt);
    form->OpenADOButton->click();
    EXPECT_FALSE(form->IsConnected());
    EXPECT_EQ(seam->Texts("message").last(), QStringLiteral("Cannot open connection!"));
}

TEST_F(MainWindowTest, LoginPromptStartsWithTheLoginOfTheString) {
    const QString path = MakeSqliteDatabase(temp.filePath("people.db"));
    const std::pair<QString, TLoginAnswer> cases[] = {
        {";User ID=ann;Password=\"s;cret\"", {"ann", "s;cret"}},
        {";UID=ann;PWD=s3cret", {"ann", "s3cret"}},
        {";User ID=ann", {"ann", ""}},
        {"", {"", ""}},
    };
    for (const auto& [login, offered] : cases) {
        seam->Clear();
        ChooseAdo(3, {}, true);
        AnswerEditor("Provider=SQLite;Data Source=" + path + login);
        seam->AnswerLogin([](const TLoginAnswer& shown) { return shown; });
        form->OpenADOButton->click();
        SCOPED_TRACE(login.toStdString());
        ASSERT_EQ(seam->loginOffers.size(), 1u);
        EXPECT_EQ(seam->loginOffers[0].userName, offered.userName);
        EXPECT_EQ(seam->loginOffers[0].password, offered.password);
        EXPECT_TRUE(form->IsConnected());
    }
}

TEST_F(MainWindowTest, CursorLocationFollowsTheChooser) {
    OpenSqliteFile(MakeSqliteDatabase(temp.filePath("people.db")));
    EXPECT_EQ(form->ADOConnection1->CursorLocation(), clUseServer);
    EXPECT_EQ(form->ADOQuery1->CursorLocation(), clUseServer);
    seam->AnswerModal([](QDialog& dialog) {
        auto& chooser = static_cast<TOpenADOForm&>(dialog);
        chooser.CheckBox2->setChecked(false);
        chooser.Button2->click();
        return chooser.result();
    });
    form->OpenADOButton->click();
    EXPECT_EQ(form->ADOConnection1->CursorLocation(), clUseClient);
    EXPECT_EQ(form->ADOTable1->CursorLocation(), clUseClient);
    EXPECT_TRUE(form->IsConnected()) << "the chooser kept the file from the previous open";
}

TEST_F(MainWindowTest, ChinookAndNorthwindOpenThroughTheChooser) {
    REQUIRE_SHARED_FILE(chinook, "chinook.sqlite");
    REQUIRE_SHARED_FILE(nwind, "nwind.mdb");
    for (const QString& path : {chinook, nwind}) {
        OpenSqliteFile(path);
        EXPECT_EQ(Panel(0), QStringLiteral("ADO Connection open")) << path.toStdString();
        EXPECT_EQ(seam->Texts("error"), QStringList());
    }
}

TEST_F(MainWindowTest, ExitClosesTheConnection) {
    OpenSqliteFile(MakeSqliteDatabase(temp.filePath("people.db")));
    form->show();
    form->Button1->click();
    EXPECT_FALSE(form->ADOConnection1->Connected());
    EXPECT_FALSE(form->isVisible());
}
