#include <gtest/gtest.h>

#include <QFile>

#include "DbEditTestSupport.h"
#include "DbTestSupport.h"
#include "db/components/ADOQuery.h"
#include "support/SharedData.h"

namespace {

const QString kSchema = QStringLiteral(R"(
CREATE TABLE people(id INTEGER PRIMARY KEY, name VARCHAR(30) NOT NULL DEFAULT 'nobody',
                    born DATE, score REAL, note TEXT, stamp TEXT DEFAULT 'fresh');
CREATE TABLE pairs(a INTEGER, b TEXT, v TEXT, PRIMARY KEY(a, b));
CREATE TABLE loose(x TEXT, y INTEGER);
CREATE TABLE audit(n INTEGER);
CREATE TRIGGER people_renamed AFTER UPDATE OF name ON people
    BEGIN UPDATE people SET note = 'renamed' WHERE id = new.id; END;
CREATE VIEW adults AS SELECT id, name FROM people;
INSERT INTO people(id, name, born, score) VALUES (1, 'Ada', '1815-12-10', 9.5),
    (2, 'Brian', '1942-01-09', NULL), (3, 'Cleo', NULL, 7);
INSERT INTO pairs VALUES (1, 'x', 'one-x'), (1, 'y', 'one-y');
INSERT INTO loose VALUES ('p', 1), ('q', 2);
INSERT INTO audit VALUES (1);
CREATE TABLE raw(k TEXT PRIMARY KEY, v TEXT);
INSERT INTO raw VALUES ('a' || char(65533), 'other'), (CAST(X'61FF' AS TEXT), 'meant');
CREATE TABLE big(k INTEGER PRIMARY KEY, v TEXT);
INSERT INTO big VALUES (9007199254740992, 'other'), (9007199254740993, 'meant');
CREATE TABLE stamps(k DATETIME PRIMARY KEY, v TEXT);
INSERT INTO stamps VALUES ('2024-01-31 10:20:00.123', 'other'),
    ('2024-01-31 10:20:00.123456', 'meant');
)");

class EditingOnSqlite : public ::testing::Test {
  protected:
    void SetUp() override {
        OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + file.Path());
        query.SetConnection(&connection);
    }

    void Open(const QString& sql) {
        query.Close();
        query.SQL() = QStringList{sql};
        query.Open();
    }

    QStringList Db(const QString& sql) const { return FileRows(file.Path(), sql); }
    QString Name() const { return query.FieldByName(QStringLiteral("name")).AsString(); }

    TestDatabaseFile file{kSchema};
    TADOConnection connection;
    TADOQuery query;
};

TEST_F(EditingOnSqlite, PostUpdatesTheRowByKeyAndShowsWhatTriggersDid) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.SetRecNo(2);
    query.Edit();
    EXPECT_EQ(query.State(), dsEdit);
    query.FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Bea"));
    EXPECT_TRUE(query.Modified());
    EXPECT_EQ(Name(), QStringLiteral("Bea")) << "the record reads as edited";
    query.Post();
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Db(QStringLiteral("SELECT name, note FROM people WHERE id = 2")),
              QStringList(QStringLiteral("Bea|renamed")));
    EXPECT_EQ(query.FieldByName(QStringLiteral("note")).AsString(), QStringLiteral("renamed"));
    EXPECT_EQ(query.RecNo(), 2);
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM people WHERE note = 'renamed'")),
              QStringList(QStringLiteral("1")))
        << "only the keyed row changed";
}

TEST_F(EditingOnSqlite, InsertedRowTakesItsDefaultsAndNewKey) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Append();
    EXPECT_EQ(query.State(), dsInsert);
    EXPECT_EQ(query.RecNo(), 4);
    query.FieldByName(QStringLiteral("score")).SetAsString(QStringLiteral("3.25"));
    query.Post();
    EXPECT_EQ(query.RecordCount(), 4);
    EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(), QStringLiteral("4"));
    EXPECT_EQ(Name(), QStringLiteral("nobody"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("stamp")).AsString(), QStringLiteral("fresh"));
    EXPECT_EQ(Db(QStringLiteral("SELECT id, name, score, stamp FROM people WHERE id = 4")),
              QStringList(QStringLiteral("4|nobody|3.25|fresh")));
}

TEST_F(EditingOnSqlite, InsertGoesBeforeTheCurrentRecordAndCancelTakesItAway) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.SetRecNo(2);
    query.Insert();
    EXPECT_EQ(query.RecordCount(), 4);
    EXPECT_EQ(query.RecNo(), 2);
    EXPECT_TRUE(query.FieldByName(QStringLiteral("id")).IsNull());
    query.Cancel();
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(Name(), QStringLiteral("Brian"));
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM people")), QStringList(QStringLiteral("3")));
}

TEST_F(EditingOnSqlite, CancelBringsBackTheStoredValues) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Edit();
    query.FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Zed"));
    query.Cancel();
    EXPECT_EQ(Name(), QStringLiteral("Ada"));
    EXPECT_FALSE(query.Modified());
    EXPECT_EQ(Db(QStringLiteral("SELECT name FROM people WHERE id = 1")),
              QStringList(QStringLiteral("Ada")));
}

TEST_F(EditingOnSqlite, MovingOnPostsAChangeAndDropsAnUntouchedNewRecord) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Edit();
    query.FieldByName(QStringLiteral("score")).SetAsString(QStringLiteral("1"));
    query.Next();
    EXPECT_EQ(query.State(), dsBrowse);
    EXPECT_EQ(Db(QStringLiteral("SELECT score FROM people WHERE id = 1")),
              QStringList(QStringLiteral("1.0")));

    query.Append();
    query.First();
    EXPECT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM people")), QStringList(QStringLiteral("3")));
}

TEST_F(EditingOnSqlite, EmptyTextStoresNullAndValuesAreNeverPartOfTheSql) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Edit();
    query.FieldByName(QStringLiteral("born")).SetAsString(QString());
    const QString hostile = QStringLiteral("x'); DROP TABLE people; --\"");
    query.FieldByName(QStringLiteral("note")).SetAsString(hostile);
    query.Post();
    EXPECT_EQ(Db(QStringLiteral("SELECT born IS NULL, note FROM people WHERE id = 1")),
              QStringList(QStringLiteral("1|") + hostile));
    EXPECT_TRUE(query.FieldByName(QStringLiteral("born")).IsNull());
}

TEST_F(EditingOnSqlite, ChangedKeyIsFoundUnderItsNewValue) {
    Open(QStringLiteral("SELECT id, name FROM people ORDER BY id"));
    query.Last();
    query.Edit();
    query.FieldByName(QStringLiteral("id")).SetAsString(QStringLiteral("30"));
    query.Post();
    EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(), QStringLiteral("30"));
    EXPECT_EQ(Name(), QStringLiteral("Cleo"));
    EXPECT_EQ(Db(QStringLiteral("SELECT id FROM people ORDER BY id")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("30")}));
}

TEST_F(EditingOnSqlite, CompositeKeysAndTheRowidIdentifyRows) {
    Open(QStringLiteral("SELECT v, a, b FROM pairs ORDER BY b"));
    query.Last();
    query.Edit();
    query.FieldByName(QStringLiteral("v")).SetAsString(QStringLiteral("changed"));
    query.Post();
    EXPECT_EQ(Db(QStringLiteral("SELECT v FROM pairs ORDER BY b")),
              (QStringList{QStringLiteral("one-x"), QStringLiteral("changed")}));

    Open(QStringLiteral("SELECT rowid, * FROM loose ORDER BY y"));
    query.Last();
    query.Edit();
    query.FieldByName(QStringLiteral("x")).SetAsString(QStringLiteral("r"));
    query.Post();
    query.First();
    query.Delete();
    query.Append();
    query.FieldByName(QStringLiteral("y")).SetAsString(QStringLiteral("3"));
    query.Post();
    EXPECT_EQ(query.FieldByName(QStringLiteral("rowid")).AsString(), QStringLiteral("3"));
    EXPECT_EQ(Db(QStringLiteral("SELECT rowid, x, y FROM loose ORDER BY y")),
              (QStringList{QStringLiteral("2|r|2"), QStringLiteral("3|<null>|3")}));
}

TEST_F(EditingOnSqlite, DeletingSeveralRecordsIsAllOrNothing) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    // Another user removes a row meanwhile: the three-row delete must not half happen.
    connection.Backend().Execute(QStringLiteral("DELETE FROM people WHERE id = 3"));
    const QString error = DatabaseErrorOf([&] { query.DeleteRecords({0, 1, 2}); });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Row cannot be located"))) << error.toStdString();
    EXPECT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM people")), QStringList(QStringLiteral("2")));

    query.DeleteRecords({1, 0});
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(Name(), QStringLiteral("Cleo"));
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM people")), QStringList(QStringLiteral("0")));
}

TEST_F(EditingOnSqlite, FailedPostKeepsTheEditAndTheDatabase) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Edit();
    query.FieldByName(QStringLiteral("name")).SetAsString(QString());
    const QString error = DatabaseErrorOf([&] { query.Post(); });
    EXPECT_TRUE(error.contains(QStringLiteral("NOT NULL"))) << error.toStdString();
    EXPECT_EQ(query.State(), dsEdit) << "the user may still correct the value";
    query.FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Ada L."));
    query.Post();
    EXPECT_EQ(Db(QStringLiteral("SELECT name FROM people WHERE id = 1")),
              QStringList(QStringLiteral("Ada L.")));
}

TEST_F(EditingOnSqlite, RowRemovedByAnotherUserCannotBeUpdated) {
    Open(QStringLiteral("SELECT * FROM people ORDER BY id"));
    connection.Backend().Execute(QStringLiteral("DELETE FROM people WHERE id = 1"));
    query.Edit();
    query.FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Ghost"));
    EXPECT_TRUE(DatabaseErrorOf([&] {
                    query.Post();
                }).startsWith(QStringLiteral("Row cannot be located for updating")));
    EXPECT_EQ(Db(QStringLiteral("SELECT count(*) FROM people WHERE name = 'Ghost'")),
              QStringList(QStringLiteral("0")));
}

TEST_F(EditingOnSqlite, ReadOnlyOrUnsetRecordsRefuseChanges) {
    Open(QStringLiteral("SELECT * FROM people"));
    EXPECT_EQ(DatabaseErrorOf([&] { query.FieldByName(QStringLiteral("name")).SetAsString("x"); }),
              QStringLiteral("Dataset not in edit or insert mode"));
    query.SetReadOnly(true);
    EXPECT_FALSE(query.CanModify());
    EXPECT_EQ(DatabaseErrorOf([&] { query.Edit(); }),
              QStringLiteral("Cannot modify a read-only dataset"));
    EXPECT_EQ(DatabaseErrorOf([&] { query.Delete(); }),
              QStringLiteral("Cannot modify a read-only dataset"));
    query.Close();
    EXPECT_EQ(query.State(), dsInactive);
    EXPECT_FALSE(query.CanModify());
}

TEST_F(EditingOnSqlite, EditOnAnEmptyResultStartsANewRecord) {
    Open(QStringLiteral("SELECT * FROM people WHERE id > 99"));
    query.Edit();
    EXPECT_EQ(query.State(), dsInsert);
    query.FieldByName(QStringLiteral("name")).SetAsString(QStringLiteral("Dora"));
    query.Post();
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(Db(QStringLiteral("SELECT name FROM people WHERE id = 4")),
              QStringList(QStringLiteral("Dora")));
}

class ExactKeyOnSqlite : public EditingOnSqlite,
                         public ::testing::WithParamInterface<ExactKeyParam> {
  protected:
    // The key's bytes in hex.
    std::string Rows() const {
        return Db(QStringLiteral("SELECT hex(k) || '=' || v FROM %1 ORDER BY k")
                      .arg(QLatin1String(std::get<0>(GetParam()).table)))
            .join(QStringLiteral("; "))
            .toStdString();
    }
};

TEST_P(ExactKeyOnSqlite, EditAndDeleteTouchOnlyTheRowShown) {
    const auto& [key, location] = GetParam();
    query.SetCursorLocation(location);
    Open(QStringLiteral("SELECT k, v FROM %1 ORDER BY k").arg(QLatin1String(key.table)));
    CheckExactKey(query, key, [this] { return Rows(); });
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ExactKeyOnSqlite,
    ::testing::Combine(::testing::Values(ExactKeyCase{"TextNotUtf8", "raw", "a\xEF\xBF\xBD"},
                                         ExactKeyCase{"IntegerBeyondDoubles", "big",
                                                      "9007199254740993"},
                                         ExactKeyCase{"StampMicroseconds", "stamps", "123456"}),
                       ::testing::Values(clUseClient, clUseServer)),
    ExactKeyName);

struct RefusalCase {
    const char* name;
    const char* sql;
    const char* reason;
};

class UnchangeableResult : public EditingOnSqlite,
                           public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(UnchangeableResult, RefusesToPostAndLeavesTheDatabaseAlone) {
    Open(QString::fromUtf8(GetParam().sql));
    const QStringList before = Db(QStringLiteral("SELECT * FROM people ORDER BY id"));
    query.Edit();
    query.Fields(query.FieldCount() - 1).SetAsString(QStringLiteral("77"));
    const QString error = DatabaseErrorOf([&] { query.Post(); });
    EXPECT_EQ(error, QStringLiteral("This result cannot be changed: ") +
                         QString::fromUtf8(GetParam().reason));
    EXPECT_EQ(Db(QStringLiteral("SELECT * FROM people ORDER BY id")), before);
    query.Cancel();
    EXPECT_NE(query.Fields(query.FieldCount() - 1).AsString(), QStringLiteral("77"));
    EXPECT_EQ(DatabaseErrorOf([&] { query.Delete(); }), error);
    EXPECT_EQ(Db(QStringLiteral("SELECT * FROM people ORDER BY id")), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnchangeableResult,
    ::testing::Values(
        RefusalCase{"Join",
                    "SELECT people.id, audit.n FROM people JOIN audit ON audit.n = people.id",
                    "its columns come from more than one table"},
        RefusalCase{"JoinShowingOneSide",
                    "SELECT people.* FROM people JOIN audit ON audit.n = people.id",
                    "it reads more than one table (a join or a subquery)"},
        RefusalCase{"SelfJoin", "SELECT a.id, b.name FROM people a JOIN people b ON b.id = a.id",
                    "it reads table \"people\" more than once (a join or a union)"},
        RefusalCase{"Union", "SELECT id, name FROM people UNION ALL SELECT id, name FROM people",
                    "it reads table \"people\" more than once (a join or a union)"},
        RefusalCase{"Aggregate", "SELECT name, count(*) FROM people GROUP BY name",
                    "column \"count(*)\" is not a column of a table"},
        RefusalCase{"Expression", "SELECT id, score * 2 AS doubled FROM people",
                    "column \"doubled\" is not a column of a table"},
        RefusalCase{"View", "SELECT * FROM adults", "it reads the view \"adults\""},
        RefusalCase{"WithClause", "WITH p AS (SELECT * FROM people) SELECT id, name FROM p",
                    "it reads through the view or WITH clause \"p\""},
        RefusalCase{"KeyNotSelected", "SELECT name FROM people",
                    "it does not hold the primary key of \"people\" (id)"},
        RefusalCase{"NoKeyAndNoRowid", "SELECT * FROM loose",
                    "table \"loose\" has no primary key; select its rowid as well (SELECT "
                    "rowid, * FROM ...)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditingChinook, ChangesReachACopyOfTheSampleDatabase) {
    REQUIRE_SHARED_FILE(original, "chinook.sqlite");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chinook.sqlite"));
    ASSERT_TRUE(QFile::copy(original, path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    TADOConnection connection;
    OpenConnection(connection, QStringLiteral("Provider=SQLite;Data Source=") + path);
    TADOQuery query;
    query.SetConnection(&connection);
    query.SQL() << QStringLiteral("SELECT * FROM Genre ORDER BY GenreId");
    query.Open();
    query.Append();
    query.FieldByName(QStringLiteral("Name")).SetAsString(QStringLiteral("Fado"));
    query.Post();
    EXPECT_EQ(query.FieldByName(QStringLiteral("GenreId")).AsString(), QStringLiteral("26"));

    query.Close();
    query.SQL() = QStringList{QStringLiteral("SELECT * FROM Invoice WHERE InvoiceId = 1")};
    query.Open();
    query.Edit();
    query.FieldByName(QStringLiteral("InvoiceDate")).SetAsString(QStringLiteral("2009-01-02"));
    query.FieldByName(QStringLiteral("Total")).SetAsString(QStringLiteral("1.5"));
    query.Post();
    EXPECT_EQ(FileRows(path, QStringLiteral("SELECT InvoiceDate, Total FROM Invoice "
                                            "WHERE InvoiceId = 1")),
              QStringList(QStringLiteral("2009-01-02 00:00:00|1.5")));
    EXPECT_EQ(FileRows(path, QStringLiteral("SELECT Name FROM Genre WHERE GenreId = 26")),
              QStringList(QStringLiteral("Fado")));
}

}  // namespace
