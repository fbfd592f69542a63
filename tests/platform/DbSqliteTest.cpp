#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "core/Exception.h"
#include "db/components/ADOQuery.h"
#include "db/components/ADOTable.h"
#include "support/ScriptedSeamFixture.h"
#include "support/SharedData.h"

namespace {

const QString kSchema = QStringLiteral(R"(
CREATE TABLE customers(id INTEGER PRIMARY KEY AUTOINCREMENT, name VARCHAR(50), code CHAR(5),
    notes TEXT, balance NUMERIC(10,2), born DATE, seen DATETIME, active BOOLEAN, photo BLOB,
    "Straße" VARCHAR(20), rating REAL);
INSERT INTO customers(name, code, notes, balance, born, seen, active, photo, "Straße", rating)
    VALUES ('Anna', 'AB001', 'first', 120.5, '1990-05-17', '2024-01-02 03:04:05', 1, x'00ff10',
            'Hauptstraße 1', 3983.0);
INSERT INTO customers(name) VALUES (NULL);
INSERT INTO customers(name, notes, balance, active) VALUES ('Øyvind', printf('%.*c', 1048576, 'x'),
    99.99, 0);
CREATE VIEW rich AS SELECT name, balance FROM customers WHERE balance > 100;
CREATE TABLE "Umsätze"(betrag REAL, "Bemerkung" TEXT);
INSERT INTO "Umsätze" VALUES (1.5, 'ä');
)");

class SqliteData : public ScriptedSeamTest {
  protected:
    void SetUp() override {
        ScriptedSeamTest::SetUp();
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
        query.SetConnection(&connection);
        table.SetConnection(&connection);
    }

    void OpenQuery(const QString& sql) {
        query.Close();
        query.SQL() = QStringList{sql};
        query.Open();
    }

    TestDatabaseFile file{kSchema};
    TADOConnection connection;
    TADOQuery query;
    TADOTable table;
};

TEST_F(SqliteData, ListsTablesAndViewsWithoutSqliteOwnTables) {
    QStringList names;
    connection.GetTableNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("customers"), QStringLiteral("rich"),
                                  QStringLiteral("Umsätze")}));
}

TEST_F(SqliteData, TableFieldsTakeTypesAndSizesFromTheirDeclarations) {
    table.SetTableName(QStringLiteral("customers"));
    table.SetMaxRecords(1);
    table.Open();
    struct Expected {
        const char* name;
        TFieldType type;
        int size;
    };
    const Expected expected[] = {
        {"id", ftInteger, 0},     {"name", ftString, 50},   {"code", ftFixedChar, 5},
        {"notes", ftMemo, 0},     {"balance", ftBCD, 2},    {"born", ftDate, 0},
        {"seen", ftDateTime, 0},  {"active", ftBoolean, 0}, {"photo", ftBlob, 0},
        {"Straße", ftString, 20}, {"rating", ftFloat, 0}};
    ASSERT_EQ(table.FieldCount(), int(std::size(expected)));
    for (const Expected& field : expected) {
        const TField& found = table.FieldByName(QString::fromUtf8(field.name));
        EXPECT_EQ(found.DataType(), field.type) << field.name;
        EXPECT_EQ(found.Size(), field.size) << field.name;
    }
    EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(SqliteData, FieldNamesComeFromTheDefinitionWithoutOpeningTheTable) {
    table.SetTableName(QStringLiteral("Umsätze"));
    QStringList names;
    table.GetFieldNames(names);
    EXPECT_EQ(names, (QStringList{QStringLiteral("betrag"), QStringLiteral("Bemerkung")}));
    EXPECT_FALSE(table.Active());
    table.SetTableName(QStringLiteral("nowhere"));
    EXPECT_THROW(table.GetFieldNames(names), EDatabaseError);
}

TEST_F(SqliteData, QueryShowsValuesAsText) {
    OpenQuery(QStringLiteral("SELECT * FROM customers ORDER BY id"));
    ASSERT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(query.FieldByName(QStringLiteral("name")).AsString(), QStringLiteral("Anna"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("balance")).AsString(), QStringLiteral("120.5"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("rating")).AsString(), QStringLiteral("3983"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("active")).AsString(), QStringLiteral("True"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("Straße")).AsString(),
              QStringLiteral("Hauptstraße 1"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("photo")).Value().toByteArray(),
              QByteArray("\x00\xff\x10", 3));
    query.Next();
    EXPECT_TRUE(query.FieldByName(QStringLiteral("name")).IsNull());
    EXPECT_EQ(query.FieldByName(QStringLiteral("name")).AsString(), QString());
    query.Next();
    EXPECT_EQ(query.FieldByName(QStringLiteral("name")).AsString(), QStringLiteral("Øyvind"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("notes")).AsString(), QString(1048576, 'x'));
    EXPECT_EQ(query.FieldByName(QStringLiteral("active")).AsString(), QStringLiteral("False"));
}

TEST_F(SqliteData, ExpressionsTakeTheTypeOfTheirFirstNonNullValue) {
    OpenQuery(QStringLiteral(
        "SELECT count(*) AS n, max(name) || '!' AS shout, NULL AS empty, avg(balance) AS mean, "
        "(SELECT CASE WHEN id = 1 THEN NULL ELSE id END FROM customers) AS late "
        "FROM customers UNION ALL SELECT 1, 'x', NULL, 2.0, 7"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("n")).DataType(), ftLargeint);
    EXPECT_EQ(query.FieldByName(QStringLiteral("shout")).DataType(), ftString);
    EXPECT_EQ(query.FieldByName(QStringLiteral("empty")).DataType(), ftUnknown);
    EXPECT_EQ(query.FieldByName(QStringLiteral("mean")).DataType(), ftFloat);
    EXPECT_EQ(query.FieldByName(QStringLiteral("late")).DataType(), ftLargeint);
    EXPECT_EQ(query.FieldByName(QStringLiteral("n")).AsString(), QStringLiteral("3"));
}

TEST_F(SqliteData, LinesOfTheSqlTextAreOneCommand) {
    query.SQL() = QStringList{QStringLiteral("SELECT name"), QStringLiteral("FROM customers"),
                              QStringLiteral("WHERE id = 1")};
    query.Open();
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(SqliteData, ExecSqlReturnsTheRowsAffected) {
    query.SQL() =
        QStringList{QStringLiteral("UPDATE customers SET code = 'Z' WHERE name IS NOT NULL")};
    EXPECT_EQ(query.ExecSQL(), 2);
    query.SQL() =
        QStringList{QStringLiteral("CREATE TABLE extra(a); INSERT INTO extra VALUES (1), (2);")};
    EXPECT_EQ(query.ExecSQL(), 2);
    query.SQL() = QStringList{QStringLiteral("DROP TABLE extra")};
    EXPECT_EQ(query.ExecSQL(), 0);

    // Rows a trigger changes are not the statement's own.
    query.SQL() = QStringList{QStringLiteral(
        "CREATE TABLE audit(note); CREATE TRIGGER noted AFTER UPDATE ON customers "
        "BEGIN INSERT INTO audit VALUES ('a'); INSERT INTO audit VALUES ('b'); END")};
    EXPECT_EQ(query.ExecSQL(), 0);
    query.SQL() =
        QStringList{QStringLiteral("UPDATE customers SET code = 'Y' WHERE name IS NOT NULL")};
    EXPECT_EQ(query.ExecSQL(), 2);
    query.SQL() =
        QStringList{QStringLiteral("UPDATE customers SET code = 'X' WHERE id = 1; "
                                   "DELETE FROM audit")};
    EXPECT_EQ(query.ExecSQL(), 7) << "one update and the six rows the triggers wrote";
}

TEST_F(SqliteData, OpeningAStatementWithoutRowsFailsWithoutRunningIt) {
    query.SQL() = QStringList{QStringLiteral("DELETE FROM customers")};
    EXPECT_THROW(query.Open(), EDatabaseError);
    EXPECT_FALSE(query.Active());
    OpenQuery(QStringLiteral("SELECT * FROM customers"));
    EXPECT_EQ(query.RecordCount(), 3);
}

TEST_F(SqliteData, OpeningTwoStatementsIsRefusedRatherThanHalfDone) {
    query.SQL() = QStringList{QStringLiteral("SELECT 1; SELECT 2")};
    EXPECT_THROW(query.Open(), EDatabaseError);
    OpenQuery(QStringLiteral("SELECT 1;  -- trailing comment"));
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(SqliteData, DatabaseErrorsCarryTheDriverMessage) {
    query.SQL() = QStringList{QStringLiteral("SELECT * FROM missing_table")};
    try {
        query.Open();
        FAIL();
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("no such table: missing_table")));
    }
}

TEST_F(SqliteData, ClosingTheConnectionClosesItsDataSets) {
    OpenQuery(QStringLiteral("SELECT * FROM customers"));
    int disconnects = 0;
    connection.AfterDisconnect = [&] { ++disconnects; };
    connection.Close();
    EXPECT_FALSE(query.Active());
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(disconnects, 1);
    connection.Close();
    EXPECT_EQ(disconnects, 1);
    EXPECT_THROW(query.Open(), EDatabaseError);
}

TEST_F(SqliteData, LoginPromptNamesTheDatabaseAndACancelFailsTheOpen) {
    TADOConnection prompted;
    prompted.SetConnectionString(
        QStringLiteral("Provider=SQLite;Data Source=%1;User ID=anna").arg(file.Path()));
    int connects = 0;
    prompted.AfterConnect = [&] { ++connects; };
    EXPECT_THROW(prompted.Open(), EDatabaseError);
    EXPECT_FALSE(prompted.Connected());
    seam->AnswerLogin(TLoginAnswer{QStringLiteral("anna"), QStringLiteral("secret")});
    prompted.Open();
    EXPECT_TRUE(prompted.Connected());
    EXPECT_EQ(connects, 1);
    ASSERT_EQ(seam->Texts(QStringLiteral("login")),
              (QStringList{QStringLiteral("anna"), QStringLiteral("anna")}));
    EXPECT_EQ(seam->shown.front().caption, file.Path());
}

TEST_F(SqliteData, FileNameStringOpensTheStringInsideTheDataLinkFile) {
    QTemporaryDir dir;
    const QString udl = WriteFile(
        dir, QStringLiteral("local.udl"),
        QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                       "Provider=SQLite;Data Source=%1\r\n")
            .arg(file.Path())
            .toUtf8());
    TADOConnection linked;
    OpenConnection(linked, QStringLiteral("FILE NAME=") + udl);
    QStringList names;
    linked.GetTableNames(names);
    EXPECT_EQ(names.size(), 3);
}

TEST(SqliteChinook, HasElevenTablesAndAllTracks) {
    REQUIRE_SHARED_FILE(path, "chinook.sqlite");
    TADOConnection connection;
    OpenConnection(connection,
                   QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    QStringList names;
    connection.GetTableNames(names);
    EXPECT_EQ(names.size(), 11);
    EXPECT_TRUE(names.contains(QStringLiteral("PlaylistTrack")));

    TADOQuery query;
    query.SetConnection(&connection);
    query.SQL() << QStringLiteral("SELECT * FROM Track");
    query.Open();
    EXPECT_EQ(query.RecordCount(), 3503);
    EXPECT_EQ(query.FieldByName(QStringLiteral("Name")).DataType(), ftString);
    EXPECT_EQ(query.FieldByName(QStringLiteral("Name")).Size(), 200);
    EXPECT_EQ(query.FieldByName(QStringLiteral("UnitPrice")).AsString(), QStringLiteral("0.99"));

    TADOTable table;
    table.SetConnection(&connection);
    table.SetTableName(QStringLiteral("Invoice"));
    table.SetMaxRecords(1);
    table.Open();
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.FieldByName(QStringLiteral("InvoiceDate")).DataType(), ftDateTime);
    EXPECT_EQ(table.FieldByName(QStringLiteral("InvoiceDate")).Value().toDateTime(),
              QDateTime(QDate(2021, 1, 1), QTime(0, 0)));
}

}  // namespace
