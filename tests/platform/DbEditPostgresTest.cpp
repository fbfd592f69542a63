#include <gtest/gtest.h>

#include <QDate>

#include "DbEditTestSupport.h"
#include "DbTestSupport.h"
#include "PostgresSuite.h"
#include "db/components/ADOQuery.h"
#include "support/ScriptedSeamFixture.h"

namespace {

const QString kSchema = QStringLiteral(R"(
CREATE TABLE people(id serial PRIMARY KEY, name varchar(30) NOT NULL DEFAULT 'nobody',
    born date, balance numeric(10,2), active boolean DEFAULT true, note text,
    "Straße" varchar(20));
CREATE FUNCTION mark_renamed() RETURNS trigger LANGUAGE plpgsql AS $$
    BEGIN NEW.note := 'renamed'; RETURN NEW; END $$;
CREATE TRIGGER people_renamed BEFORE UPDATE OF name ON people
    FOR EACH ROW EXECUTE FUNCTION mark_renamed();
CREATE TABLE pairs(a int, b text, v text, PRIMARY KEY (a, b));
CREATE TABLE loose(x text);
CREATE VIEW adults AS SELECT id, name FROM people;
INSERT INTO people(name, born, balance, "Straße") VALUES ('Ada', '1815-12-10', 120.50, 'Hauptstraße'),
    ('Brian', NULL, NULL, NULL), ('Cleo', '1990-05-17', 7, NULL);
INSERT INTO pairs VALUES (1, 'x', 'one-x'), (1, 'y', 'one-y');
INSERT INTO loose VALUES ('p');
CREATE TABLE big(id numeric(20,0) PRIMARY KEY, v text);
INSERT INTO big VALUES (9007199254740992, 'other'), (9007199254740993, 'meant');
CREATE TABLE fine(id numeric PRIMARY KEY, v text);
INSERT INTO fine VALUES (12345678901234567000, 'other'),
    (12345678901234567890.0123456789, 'meant');
CREATE TABLE stamps(id timestamp PRIMARY KEY, v text);
INSERT INTO stamps VALUES ('2024-01-31 10:20:00.123', 'other'),
    ('2024-01-31 10:20:00.123456', 'meant');
CREATE TABLE zoned(id timestamptz PRIMARY KEY, v text);
INSERT INTO zoned VALUES ('2024-07-31 10:20:00.5+02', 'other'),
    ('2024-07-31 10:20:00.500001+02', 'meant');
CREATE TABLE clock(id time PRIMARY KEY, v text);
INSERT INTO clock VALUES ('10:20:00.123', 'other'), ('10:20:00.123456', 'meant');
)");

class EditingOnPostgres : public PostgresSuite {
  protected:
    static void SetUpTestSuite() { StartServer(QStringLiteral("editing"), kSchema); }

    void SetUp() override {
        PostgresSuite::SetUp();
        if (IsSkipped())
            return;
        OpenConnection(connection, server_->ConnectionString(QStringLiteral("editing")));
        query.SetConnection(&connection);
        connection.Backend().Execute(QStringLiteral("BEGIN"));
    }
    void TearDown() override {
        // Every test leaves the shared database as it found it.
        if (connection.Connected())
            connection.Backend().Execute(QStringLiteral("ROLLBACK"));
        ScriptedSeamTest::TearDown();
    }

    void Open(const QString& sql) {
        query.Close();
        query.SQL() = QStringList{sql};
        query.Open();
    }

    // One value read back over the same connection (the test's transaction).
    QString Value(const QString& sql) {
        TRowStore rows;
        rows.Reset(1);
        connection.Backend().ExecuteWith(sql, {}, &rows);
        return rows.RowCount() ? rows.Value(0, 0).toString() : QStringLiteral("<none>");
    }

    TADOConnection connection;
    TADOQuery query;
};

TEST_F(EditingOnPostgres, PostUpdatesByKeyAndShowsWhatTheTriggerDid) {
    Open(QStringLiteral("SELECT id, name, note, balance FROM people ORDER BY id"));
    query.SetRecNo(2);
    query.Edit();
    query.FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Bea"));
    query.FieldByName(QStringLiteral("balance")).SetAsString(QStringLiteral("99.95"));
    query.Post();
    EXPECT_EQ(query.FieldByName(QStringLiteral("note")).AsString(), QStringLiteral("renamed"));
    EXPECT_EQ(Value(QStringLiteral("SELECT name || '/' || balance FROM people WHERE id = 2")),
              QStringLiteral("Bea/99.95"));
    EXPECT_EQ(Value(QStringLiteral("SELECT count(*) FROM people WHERE note = 'renamed'")),
              QStringLiteral("1"));
}

TEST_F(EditingOnPostgres, InsertTakesTheSerialKeyAndDefaults) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Append();
    query.FieldByName(QStringLiteral("born")).SetAsString(QStringLiteral("2001-02-03"));
    query.FieldByName(QStringLiteral("Straße")).SetAsString(QStringLiteral("Øvre gate"));
    query.Post();
    // Sequences outlive the test's rollback, so the new key is only known to be new.
    const QString id = query.FieldByName(QStringLiteral("id")).AsString();
    EXPECT_GT(id.toInt(), 3);
    EXPECT_EQ(query.FieldByName(QStringLiteral("name")).AsString(), QStringLiteral("nobody"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("active")).AsString(), QStringLiteral("True"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("born")).Value().toDate(), QDate(2001, 2, 3));
    EXPECT_EQ(Value(QStringLiteral("SELECT \"Straße\" FROM people WHERE id = ") + id),
              QStringLiteral("Øvre gate"));
}

TEST_F(EditingOnPostgres, CompositeKeyEditsAndDeletes) {
    Open(QStringLiteral("SELECT v, b, a FROM pairs ORDER BY b"));
    query.Edit();
    query.Fields(0).SetAsString(QStringLiteral("changed"));
    query.Post();
    query.Last();
    query.Delete();
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(Value(QStringLiteral("SELECT string_agg(v, ',') FROM pairs")),
              QStringLiteral("changed"));
}

TEST_F(EditingOnPostgres, ChangeCommitsOnlyWhenTheUserHasNoTransactionOpen) {
    TADOConnection other;
    OpenConnection(other, server_->ConnectionString(QStringLiteral("editing")));
    auto seenByOthers = [&] {
        TRowStore rows;
        rows.Reset(1);
        other.Backend().ExecuteWith(QStringLiteral("SELECT v FROM pairs WHERE b = 'x'"), {}, &rows);
        return rows.Value(0, 0).toString();
    };
    Open(QStringLiteral("SELECT * FROM pairs ORDER BY b"));
    query.Edit();
    query.FieldByName(QStringLiteral("v")).SetAsString(QStringLiteral("inside"));
    query.Post();
    EXPECT_EQ(seenByOthers(), QStringLiteral("one-x")) << "the user's transaction stays open";

    connection.Backend().Execute(QStringLiteral("ROLLBACK"));
    Open(QStringLiteral("SELECT * FROM pairs ORDER BY b"));
    query.Edit();
    query.FieldByName(QStringLiteral("v")).SetAsString(QStringLiteral("committed"));
    query.Post();
    EXPECT_EQ(seenByOthers(), QStringLiteral("committed"));
    query.Edit();
    query.FieldByName(QStringLiteral("v")).SetAsString(QStringLiteral("one-x"));
    query.Post();
    connection.Backend().Execute(QStringLiteral("BEGIN"));
}

class ExactKeyOnPostgres : public EditingOnPostgres,
                           public ::testing::WithParamInterface<ExactKeyParam> {
  protected:
    std::string Rows() {
        TRowStore rows;
        rows.Reset(1);
        connection.Backend().ExecuteWith(
            QStringLiteral("SELECT id::text || '=' || v FROM %1 ORDER BY id")
                .arg(QLatin1String(std::get<0>(GetParam()).table)),
            {}, &rows);
        QStringList texts;
        for (qsizetype row = 0; row < rows.RowCount(); ++row)
            texts << rows.Value(row, 0).toString();
        return texts.join(QStringLiteral("; ")).toStdString();
    }
};

TEST_P(ExactKeyOnPostgres, EditAndDeleteTouchOnlyTheRowShown) {
    const auto& [key, location] = GetParam();
    query.SetCursorLocation(location);
    Open(QStringLiteral("SELECT id, v FROM %1 ORDER BY id").arg(QLatin1String(key.table)));
    CheckExactKey(query, key, [this] { return Rows(); });
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ExactKeyOnPostgres,
    ::testing::Combine(
        ::testing::Values(ExactKeyCase{"NumericBeyondDoubles", "big", "9007199254740993"},
                          ExactKeyCase{"NumericWithManyDecimals", "fine",
                                       "12345678901234567890.0123456789"},
                          ExactKeyCase{"TimestampMicroseconds", "stamps", "123456"},
                          ExactKeyCase{"TimestampWithZoneMicroseconds", "zoned", "500001"},
                          ExactKeyCase{"TimeMicroseconds", "clock", "123456"}),
        ::testing::Values(clUseClient, clUseServer)),
    ExactKeyName);

struct RefusalCase {
    const char* name;
    const char* sql;
    const char* reason;
};

class UnchangeablePostgresResult : public EditingOnPostgres,
                                   public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(UnchangeablePostgresResult, RefusesAndLeavesTheDatabaseAlone) {
    Open(QString::fromUtf8(GetParam().sql));
    query.Edit();
    query.Fields(query.FieldCount() - 1).SetAsString(QStringLiteral("7"));
    EXPECT_EQ(
        DatabaseErrorOf([&] { query.Post(); }),
        QStringLiteral("This result cannot be changed: ") + QString::fromUtf8(GetParam().reason));
    EXPECT_EQ(Value(QStringLiteral("SELECT count(*) FROM people WHERE name = '7' OR id = 7")),
              QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnchangeablePostgresResult,
    ::testing::Values(
        RefusalCase{"Join", "SELECT p.id, q.a FROM people p JOIN pairs q ON q.a = p.id",
                    "its columns come from more than one table"},
        RefusalCase{"JoinShowingOneSide",
                    "SELECT p.id, p.name FROM people p JOIN pairs q ON q.a = p.id",
                    "it reads more than one table, or one table more than once"},
        RefusalCase{"Aggregate", "SELECT name, count(*) FROM people GROUP BY name",
                    "column \"count\" is not a column of a table"},
        RefusalCase{"View", "SELECT * FROM adults", "it reads the view \"adults\""},
        RefusalCase{"KeyNotSelected", "SELECT name FROM people",
                    "it does not hold the primary key of \"people\" (id)"},
        RefusalCase{"NoKey", "SELECT x FROM loose", "table \"loose\" has no primary key"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
