#pragma once

#include <QDir>
#include <QFile>
#include <memory>
#include <string>

#include "MainWindowFixture.h"
#include "db/connection/AliasFile.h"
#include "db/dataset/RowStore.h"
#include "platform/DbTestSupport.h"
#include "platform/PostgresSuite.h"

enum class TEngine { Sqlite, Postgres, PostgresOdbc };
enum class TConnectionKind { Ado, Alias };

// For the names of parameterised cases.
inline std::string EngineName(TEngine engine) {
    switch (engine) {
        case TEngine::Sqlite:
            return "Sqlite";
        case TEngine::Postgres:
            return "Postgres";
        case TEngine::PostgresOdbc:
            return "PostgresOdbc";
    }
    return {};
}

// The main window on a fresh database made from SQL text: an SQLite file, or a database of its
// own on the suite's PostgreSQL server; opened through the ADO chooser or an alias. Tests read
// the database back through a connection of their own.
class EngineWindowTest : public MainWindowTest {
  protected:
    static void SetUpTestSuite() {
        server_ = new PostgresServer;
        skipReason_ = StartTestServer(*server_, QString(), QStringLiteral("SELECT 1"));
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void TearDown() override {
        checker_.Close();
        if (previous_)
            SetAliasResolver(std::move(previous_));
        MainWindowTest::TearDown();
    }

    // Makes the database and opens the window on it; skips the test without a server or an
    // ODBC driver for it. Callers return when the test is skipped or has failed.
    void Open(TEngine engine, TConnectionKind kind, const QString& schema) {
        QString connection, alias;
        if (engine == TEngine::Sqlite) {
            file_ = std::make_unique<TestDatabaseFile>(schema);
            connection = QStringLiteral("Provider=SQLite;Data Source=") + file_->Path();
            alias = QStringLiteral("Driver=SQLITE\nPath=") + file_->Path();
        } else {
            if (!skipReason_.isEmpty())
                GTEST_SKIP() << "no PostgreSQL server: " << skipReason_.toStdString();
            // The driver by its file: unixODBC keeps the odbcinst.ini it read first, which may
            // be another test's.
            const QString odbcDriver = PsqlOdbcDriver();
            if (engine == TEngine::PostgresOdbc && odbcDriver.isEmpty())
                GTEST_SKIP() << "no PostgreSQL ODBC driver (odbc-postgresql)";
            static int made = 0;
            const QString database = QStringLiteral("window%1").arg(++made);
            TADOConnection admin;
            OpenConnection(admin, server_->ConnectionString());
            admin.Backend().Execute(QStringLiteral("CREATE DATABASE ") + database);
            admin.Close();
            connection = server_->ConnectionString(database);
            OpenConnection(admin, connection);
            admin.Backend().Execute(schema);
            if (engine == TEngine::PostgresOdbc)
                connection = QStringLiteral(
                                 "Provider=MSDASQL;Driver=%1;Server=%2;Port=%3;Database=%4;UID=%5")
                                 .arg(odbcDriver, server_->SocketDir())
                                 .arg(PostgresServer::Port())
                                 .arg(database, PostgresServer::User());
            alias = QStringLiteral("Driver=PGSQL\nHost=%1\nPort=%2\nDatabase=%3\nUser=%4")
                        .arg(server_->SocketDir())
                        .arg(PostgresServer::Port())
                        .arg(database, PostgresServer::User());
        }
        OpenConnection(checker_, connection);
        if (kind == TConnectionKind::Ado) {
            ChooseAdo(3);
            AnswerEditor(connection);
            form->OpenADOButton->click();
        } else {
            QFile file(temp.filePath(QStringLiteral("aliases.ini")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(("[Test]\n" + alias + "\n").toUtf8());
            file.close();
            previous_ = SetAliasResolver(std::make_unique<TAliasFile>(file.fileName(), QString()));
            OpenFirstAlias();
        }
        ASSERT_TRUE(form->IsConnected()) << seam->Texts("error").join(' ').toStdString();
        seam->Clear();
    }

    static QString PsqlOdbcDriver() {
        for (const QString& folder : QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs)) {
            const QString file = "/usr/lib/" + folder + "/odbc/psqlodbcw.so";
            if (QFile::exists(file))
                return file;
        }
        return {};
    }

    // The first value of a query, read on the test's own connection, as text.
    QString ReadBack(const QString& sql) {
        TRowStore rows;
        rows.Reset(1);
        checker_.Backend().ExecuteWith(sql, {}, &rows);
        return rows.RowCount() ? rows.RowValues(0).first().toString() : QStringLiteral("(none)");
    }

    void Run(const QString& sql) {
        form->Memo1->setPlainText(sql);
        form->ExecuteButton->click();
    }

    static inline PostgresServer* server_ = nullptr;
    static inline QString skipReason_;

  private:
    std::unique_ptr<TestDatabaseFile> file_;
    TADOConnection checker_;
    std::unique_ptr<TAliasResolver> previous_;
};
