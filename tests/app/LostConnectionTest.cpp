#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <functional>

#include "MainWindowFixture.h"
#include "db/connection/AliasFile.h"
#include "platform/PostgresSuite.h"

namespace {

// The window on a PostgreSQL server of the suite's own, which a test stops under it.
class LostConnectionTest : public MainWindowTest {
  protected:
    static void SetUpTestSuite() {
        server_ = new PostgresServer;
        skipReason_ =
            StartTestServer(*server_, QString(),
                            QStringLiteral("CREATE TABLE items(id int PRIMARY KEY, "
                                           "name varchar(20));"
                                           "INSERT INTO items VALUES (1, 'pen'), (2, 'ink')"));
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        MainWindowTest::SetUp();
        if (!skipReason_.isEmpty())
            GTEST_SKIP() << "no PostgreSQL server: " << skipReason_.toStdString();
    }

    // Opens through the connection string editor; `text` must differ from the last string.
    void Open(const QString& text) {
        ChooseAdo(3);
        AnswerEditor(text);
        form->OpenADOButton->click();
    }

    // Opens the server's database through an alias of a file of the test's own.
    void OpenAlias() {
        QFile file(temp.filePath(QStringLiteral("aliases.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[Shop]\nDriver=PGSQL\nHost=%1\nPort=%2\nDatabase=postgres\n"
                                  "User=%3\n")
                       .arg(server_->SocketDir())
                       .arg(PostgresServer::Port())
                       .arg(PostgresServer::User())
                       .toUtf8());
        file.close();
        previous_ = SetAliasResolver(std::make_unique<TAliasFile>(file.fileName(), QString()));
        OpenFirstAlias();
    }
    void TearDown() override {
        if (previous_)
            SetAliasResolver(std::move(previous_));
        MainWindowTest::TearDown();
    }

    void ExpectReset() {
        EXPECT_FALSE(form->IsConnected());
        EXPECT_EQ(Panel(0).toStdString(), "No connection");
        EXPECT_EQ(Panel(1).toStdString(), "Records: none");
        EXPECT_EQ(form->ListBox1->count(), 0);
        EXPECT_EQ(form->ListBox2->count(), 0);
        EXPECT_EQ(form->Label1->text().toStdString(), "Table/View/Query names:");
        EXPECT_FALSE(form->TableButton->isEnabled());
        EXPECT_FALSE(form->CloseConnButton->isEnabled());
        EXPECT_EQ(seam->Cursor(), crDefault);
    }

    // The one error the loss shows, and no "Not connected" after it.
    void ExpectOneLossError(int errors = 1) {
        const QStringList shown = seam->Texts("error");
        ASSERT_EQ(shown.size(), errors) << shown.join(" | ").toStdString();
        if (errors) {
            EXPECT_TRUE(shown.first().contains("server closed the connection"))
                << shown.first().toStdString();
        }
        EXPECT_EQ(seam->Texts("message").join(" | ").toStdString(), "");
    }

    std::unique_ptr<TAliasResolver> previous_;
    static inline PostgresServer* server_ = nullptr;
    static inline QString skipReason_;
};

struct LostCase {
    const char* name;
    std::function<void(TMainForm&)> before;  // while the server still runs
    std::function<void(TMainForm&)> action;  // after it stopped
    int errors;                              // "Close Connection" just closes
};

class NextActionAfterLoss : public LostConnectionTest,
                            public ::testing::WithParamInterface<LostCase> {};

TEST_P(NextActionAfterLoss, ShowsTheErrorOnceResetsTheWindowAndCanOpenAgain) {
    Open(server_->ConnectionString());
    ASSERT_EQ(Panel(0).toStdString(), "ADO Connection open");
    form->TableButton->click();
    ASSERT_EQ(form->ListBox1->findItems(QStringLiteral("items"), Qt::MatchExactly).size(), 1);
    form->Memo1->setPlainText(QStringLiteral("select * from items"));
    GetParam().before(*form);

    seam->Clear();
    server_->Stop();
    GetParam().action(*form);
    ExpectOneLossError(GetParam().errors);
    ExpectReset();

    seam->Clear();
    form->ExecuteButton->click();
    EXPECT_EQ(seam->Texts("error").size(), 0) << "the error is shown once";

    ASSERT_EQ(server_->StartAgain().toStdString(), "");
    Open(server_->ConnectionString() + QLatin1Char(';'));
    EXPECT_EQ(seam->Texts("error").size(), 0);
    EXPECT_EQ(Panel(0).toStdString(), "ADO Connection open");
    form->ExecuteButton->click();
    EXPECT_EQ(Panel(1).toStdString(), "Records: 2");
}

void Nothing(TMainForm&) {}

INSTANTIATE_TEST_SUITE_P(
    Actions, NextActionAfterLoss,
    ::testing::Values(
        LostCase{"LoadTablenames", Nothing, [](TMainForm& form) { form.TableButton->click(); }, 1},
        LostCase{"ExecuteSql", Nothing, [](TMainForm& form) { form.ExecuteButton->click(); }, 1},
        LostCase{"SelectTable", Nothing, [](TMainForm& form) { form.ListBox1->setCurrentRow(0); },
                 1},
        LostCase{"CountRecords", [](TMainForm& form) { form.ListBox1->setCurrentRow(0); },
                 [](TMainForm& form) { form.CountAllButton->click(); }, 1},
        LostCase{"CloseConnection", Nothing, [](TMainForm& form) { form.CloseConnButton->click(); },
                 0},
        // The grid reads further rows of the server-side result only when it is scrolled.
        LostCase{"ScrollTheGrid",
                 [](TMainForm& form) {
                     form.Memo1->setPlainText(
                         QStringLiteral("select g from generate_series(1, 200000) g"));
                     form.ExecuteButton->click();
                     form.Memo1->setPlainText(QStringLiteral("select * from items"));
                 },
                 [](TMainForm& form) {
                     form.DBGrid1->RowBar()
                         ->setValue(100000);
                     // What painting the rows now shown asks of the model.
                     QTableView& view = *form.DBGrid1;
                     view.model()->index(view.verticalScrollBar()->value(), 0).data();
                     QCoreApplication::processEvents();
                 },
                 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LostConnectionTest, AliasSessionIsClosedAtTheNextActionAndOpensAgain) {
    OpenAlias();
    ASSERT_EQ(Panel(0).toStdString(), "BDE Connection open");
    form->Memo1->setPlainText(QStringLiteral("select * from items"));
    form->ExecuteButton->click();
    ASSERT_EQ(Panel(1).toStdString(), "Records: 2");

    seam->Clear();
    server_->Stop();
    form->ExecuteButton->click();
    ExpectOneLossError();
    ExpectReset();
    EXPECT_FALSE(form->Session1->Active());

    ASSERT_EQ(server_->StartAgain().toStdString(), "");
    seam->Clear();
    OpenAlias();
    EXPECT_EQ(Panel(0).toStdString(), "BDE Connection open");
    form->ExecuteButton->click();
    EXPECT_EQ(Panel(1).toStdString(), "Records: 2");
}

}  // namespace
