#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "MainWindowFixture.h"
#include "OpenBDEUnit.h"
#include "db/connection/AliasFile.h"
#include "support/SharedData.h"

// Aliases from a file of the test's own: a working SQLite one and one whose file is missing.
class OpenBdeTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        const QString database = temp.filePath("notes.db");
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bde"));
            db.setDatabaseName(database);
            ASSERT_TRUE(db.open());
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec("CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)"));
            ASSERT_TRUE(query.exec("INSERT INTO notes (body) VALUES ('one'), ('two'), ('three')"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bde"));
        QFile file(temp.filePath("aliases.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("[Notes]\nDriver=SQLITE\nPath=" + database +
                    "\n\n[Broken]\nDriver=SQLITE\nPath=" + temp.filePath("gone.db") + "\n")
                       .toUtf8());
        file.close();
        previous_ = SetAliasResolver(std::make_unique<TAliasFile>(file.fileName(), QString()));
    }
    void TearDown() override {
        SetAliasResolver(std::move(previous_));
        MainWindowTest::TearDown();
    }

    // Answers the alias chooser with an alias (or cancels when it is empty).
    void ChooseAlias(const QString& alias) {
        seam->AnswerModal([alias](QDialog& dialog) {
            auto& chooser = static_cast<TOpenBDEForm&>(dialog);
            if (alias.isEmpty())
                return int(mrCancel);
            const auto items = chooser.ListBox1->findItems(alias, Qt::MatchExactly);
            if (items.isEmpty())
                return int(mrCancel);
            chooser.ListBox1->setCurrentItem(items.first());
            chooser.Button1->click();
            return chooser.result();
        });
        form->OpenBDEButton->click();
    }

  private:
    std::unique_ptr<TAliasResolver> previous_;
};

TEST_F(OpenBdeTest, OpensBrowsesAndQueriesAnAlias) {
    ChooseAlias("Notes");
    EXPECT_EQ(seam->Texts("error"), QStringList());
    EXPECT_FALSE(form->UseADO());
    EXPECT_TRUE(form->IsConnected());
    EXPECT_EQ(Panel(0), QStringLiteral("BDE Connection open"));
    EXPECT_EQ(form->DataSource1->DataSet(), form->Query1);
    EXPECT_EQ(seam->cursorHistory, (std::vector<TCursor>{crHourGlass, crDefault}));

    form->TableButton->click();
    ASSERT_EQ(form->ListBox1->count(), 1);
    form->ListBox1->setCurrentRow(0);
    EXPECT_EQ(form->ListBox2->count(), 2);
    form->SelectAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("SELECT * FROM notes"));
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 3"));
    form->CountAllButton->click();
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("SELECT count(1) FROM notes"));
    EXPECT_EQ(form->Query1->Fields(0).AsString(), QStringLiteral("3"));

    seam->AnswerConfirm(true);
    form->Memo1->setPlainText("delete from notes where id > 1");
    form->ExecuteButton->click();
    EXPECT_EQ(Panel(1), QStringLiteral("Affected: 2"));

    form->CloseConnButton->click();
    EXPECT_FALSE(form->IsConnected());
    EXPECT_EQ(Panel(0), QStringLiteral("No connection"));
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_FALSE(form->TableButton->isEnabled());
}

TEST_F(OpenBdeTest, CancelStillDisconnectsAndBrokenAliasCannotOpen) {
    OpenSqliteFile(temp.filePath("notes.db"));
    ASSERT_EQ(Panel(0), QStringLiteral("ADO Connection open"));
    ChooseAlias(QString());
    EXPECT_FALSE(form->IsConnected());
    EXPECT_EQ(Panel(0), QStringLiteral("No connection"));

    seam->Clear();
    ChooseAlias("Broken");
    EXPECT_EQ(seam->Texts("message"), QStringList("Cannot open connection!"));
    ASSERT_EQ(seam->Texts("error").size(), 1);
    EXPECT_FALSE(form->IsConnected());
    EXPECT_FALSE(form->UseADO());
    EXPECT_EQ(seam->Cursor(), crDefault);
    EXPECT_FALSE(QFile::exists(temp.filePath("gone.db")));
}

TEST_F(OpenBdeTest, SwitchingFromAdoToAnAliasResetsTheWindowFirst) {
    OpenSqliteFile(temp.filePath("notes.db"));
    form->TableButton->click();
    form->ListBox1->setCurrentRow(0);
    ASSERT_EQ(form->ListBox2->count(), 2);
    ChooseAlias("Notes");
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_EQ(form->ListBox2->count(), 0);
    EXPECT_EQ(form->Label4->text(), QStringLiteral("Fields in selected table/query:"));
    EXPECT_EQ(Panel(0), QStringLiteral("BDE Connection open"));
    EXPECT_FALSE(form->ADOConnection1->Connected());

    ChooseAdo(4, temp.filePath("notes.db"));
    form->OpenADOButton->click();
    EXPECT_EQ(Panel(0), QStringLiteral("ADO Connection open"));
    EXPECT_FALSE(form->Session1->Active());
}

TEST_F(OpenBdeTest, ChinookThroughAnAlias) {
    REQUIRE_SHARED_FILE(chinook, "chinook.sqlite");
    QFile file(temp.filePath("aliases.ini"));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(("\n[Chinook Music]\nDriver=SQLITE\nPath=" + chinook + "\n").toUtf8());
    file.close();
    ChooseAlias("Chinook Music");
    form->TableButton->click();
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Table/View/Query names: 11"));
    form->ListBox1->setCurrentItem(form->ListBox1->findItems("Track", Qt::MatchExactly).first());
    form->SelectAllButton->click();
    EXPECT_EQ(Panel(1), QStringLiteral("Records: 3503"));
}
