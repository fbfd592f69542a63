#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "DbTestSupport.h"
#include "PostgresSuite.h"
#include "core/Exception.h"
#include "db/components/ADOQuery.h"
#include "db/components/ADOTable.h"
#include "support/ScriptedSeamFixture.h"

namespace {

const QString kSchema = QStringLiteral(R"(
CREATE TABLE customers(id serial PRIMARY KEY, name varchar(50), code char(5), notes text,
    balance numeric(10,2), visits int8, floor int2, rating float8, born date,
    seen timestamp, active boolean, photo bytea, ref uuid, "Straße" varchar(20));
INSERT INTO customers(name, code, notes, balance, visits, floor, rating, born, seen, active,
    photo, ref, "Straße")
  VALUES ('Anna', 'AB001', 'first', 120.50, 5000000000, 3, 3983.0, '1990-05-17',
          '2024-01-02 03:04:05', true, '\x00ff10', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11',
          'Hauptstraße 1');
INSERT INTO customers(name) VALUES (NULL);
INSERT INTO customers(name, active) VALUES ('Øyvind', false);
CREATE VIEW rich AS SELECT name, balance FROM customers WHERE balance > 100;
)");

class PostgresData : public PostgresSuite {
  protected:
    static void SetUpTestSuite() { StartServer(QString(), kSchema); }

    void SetUp() override {
        PostgresSuite::SetUp();
        if (IsSkipped())
            return;
        OpenConnection(connection, server_->ConnectionString());
        query.SetConnection(&connection);
        table.SetConnection(&connection);
    }

    void OpenQuery(const QString& sql) {
        query.Close();
        query.SQL() = QStringList{sql};
        query.Open();
    }

    TADOConnection connection;
    TADOQuery query;
    TADOTable table;
};

TEST_F(PostgresData, ListsTablesAndViewsWithoutSystemSchemas) {
    QStringList names;
    connection.GetTableNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("customers"), QStringLiteral("rich")}));
}

TEST_F(PostgresData, TableFieldsTakeTypesAndSizesFromTheirDeclarations) {
    table.SetTableName(QStringLiteral("customers"));
    table.SetMaxRecords(1);
    table.Open();
    EXPECT_EQ(table.RecordCount(), 1);
    struct Expected {
        const char* name;
        TFieldType type;
        int size;
    };
    const Expected expected[] = {
        {"id", ftInteger, 0},     {"name", ftString, 50},   {"code", ftFixedChar, 5},
        {"notes", ftMemo, 0},     {"balance", ftBCD, 2},    {"visits", ftLargeint, 0},
        {"floor", ftSmallint, 0}, {"rating", ftFloat, 0},   {"born", ftDate, 0},
        {"seen", ftDateTime, 0},  {"active", ftBoolean, 0}, {"photo", ftBlob, 0},
        {"ref", ftGuid, 0},       {"Straße", ftString, 20}};
    ASSERT_EQ(table.FieldCount(), int(std::size(expected)));
    for (const Expected& field : expected) {
        const TField& found = table.FieldByName(QString::fromUtf8(field.name));
        EXPECT_EQ(found.DataType(), field.type) << field.name;
        EXPECT_EQ(found.Size(), field.size) << field.name;
    }

    table.Close();
    QStringList names;
    table.SetTableName(QStringLiteral("rich"));
    table.GetFieldNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("name"), QStringLiteral("balance")}));
}

TEST_F(PostgresData, QueryShowsValuesAsText) {
    OpenQuery(QStringLiteral("SELECT * FROM customers ORDER BY id"));
    ASSERT_EQ(query.RecordCount(), 3);
    const auto text = [&](const char* name) {
        return query.FieldByName(QString::fromUtf8(name)).AsString();
    };
    EXPECT_EQ(text("balance"), QStringLiteral("120.5"));
    EXPECT_EQ(text("visits"), QStringLiteral("5000000000"));
    EXPECT_EQ(text("rating"), QStringLiteral("3983"));
    EXPECT_EQ(text("active"), QStringLiteral("True"));
    EXPECT_EQ(text("born"), QLocale::system().toString(QDate(1990, 5, 17), QLocale::ShortFormat));
    EXPECT_EQ(text("Straße"), QStringLiteral("Hauptstraße 1"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("photo")).Value().toByteArray(),
              QByteArray("\x00\xff\x10", 3));
    query.Next();
    EXPECT_TRUE(query.FieldByName(QStringLiteral("name")).IsNull());
    query.Next();
    EXPECT_EQ(text("name"), QStringLiteral("Øyvind"));
    EXPECT_EQ(text("active"), QStringLiteral("False"));
}

TEST_F(PostgresData, ExecSqlReturnsTheRowsAffected) {
    query.SQL() =
        QStringList{QStringLiteral("UPDATE customers SET floor = 1 WHERE name IS NOT NULL")};
    EXPECT_EQ(query.ExecSQL(), 2);
}

TEST_F(PostgresData, DatabaseErrorsCarryTheDriverMessage) {
    query.SQL() = QStringList{QStringLiteral("SELECT * FROM missing_table")};
    try {
        query.Open();
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("missing_table"))) << error.what();
    }
}

TEST_F(PostgresData, LoginPromptAnswerIsTheUserThatConnects) {
    TADOConnection prompted;
    prompted.SetConnectionString(server_->ConnectionString());
    seam->AnswerLogin(TLoginAnswer{QStringLiteral("nobody"), QString()});
    try {
        prompted.Open();
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("nobody"))) << error.what();
    }
    seam->AnswerLogin(TLoginAnswer{PostgresServer::User(), QString()});
    prompted.Open();
    EXPECT_TRUE(prompted.Connected());
}

TEST_F(PostgresData, OdbcDataSourceGoesThroughQtOdbc) {
    const QString driver = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so");
    if (!QFileInfo::exists(driver))
        GTEST_SKIP() << "no PostgreSQL ODBC driver at " << driver.toStdString();
    const LocalOdbcIni ini(QStringLiteral("[QuorvaPg]\nDriver=%1\nServername=%2\nPort=%3\n"
                                          "Database=postgres\n")
                               .arg(driver, server_->SocketDir())
                               .arg(PostgresServer::Port()));
    // As ADO users and ODBC users write it.
    for (const QString& connectionString :
         {QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;"
                         "Data Source=QuorvaPg;Initial Catalog=postgres;User ID=%1"),
          QStringLiteral("DSN=QuorvaPg;UID=%1"),
          QStringLiteral("Provider=MSDASQL;DSN=QuorvaPg;UID=%1"),
          QStringLiteral("DSN=QuorvaPg;UID=%1;Database=postgres;ReadOnly=1")}) {
        SCOPED_TRACE(connectionString.toStdString());
        TADOConnection odbc;
        try {
            OpenConnection(odbc, connectionString.arg(PostgresServer::User()));
        } catch (const EDatabaseError& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        TADOQuery rows;
        rows.SetConnection(&odbc);
        rows.SQL() << QStringLiteral("SELECT id, name, balance FROM customers ORDER BY id");
        rows.Open();
        EXPECT_EQ(rows.RecordCount(), 3);
        EXPECT_EQ(rows.FieldByName(QStringLiteral("name")).DataType(), ftString);
        EXPECT_EQ(rows.FieldByName(QStringLiteral("name")).Size(), 50);
        EXPECT_EQ(rows.FieldByName(QStringLiteral("balance")).AsString(), QStringLiteral("120.5"));
    }
}

}  // namespace
