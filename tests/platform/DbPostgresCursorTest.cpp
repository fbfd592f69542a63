#include <gtest/gtest.h>

#include "DbEditTestSupport.h"
#include "DbTestSupport.h"
#include "PostgresSuite.h"
#include "core/Exception.h"
#include "db/dataset/RowStore.h"

namespace {

constexpr qsizetype kRows = 5000;

const QString kSchema = QStringLiteral(
    "CREATE TABLE numbers(id int PRIMARY KEY, label text, pad text);"
    "INSERT INTO numbers SELECT n, 'n' || n, repeat('x', 2000) FROM generate_series(1, 5000) n;"
    "CREATE TABLE notes(id int PRIMARY KEY, v text);");

// Where a server-side cursor's transaction comes from: the program's own, or the user's BEGIN.
struct SessionCase {
    const char* name;
    bool userTransaction;
};

void PrintTo(const SessionCase& session, std::ostream* out) {
    *out << session.name;
}

// Server-side cursors on the session's own connection, read through the backend as the data set
// reads them; a second connection stands for another program.
class PostgresCursor : public PostgresSuite, public ::testing::WithParamInterface<SessionCase> {
  protected:
    static void SetUpTestSuite() { StartServer(QStringLiteral("cursors"), kSchema); }

    void SetUp() override {
        PostgresSuite::SetUp();
        if (IsSkipped())
            return;
        OpenConnection(other, server_->ConnectionString(QStringLiteral("cursors")));
        other.Backend().Execute(
            QStringLiteral("DELETE FROM notes; INSERT INTO notes VALUES (1, 'before');"
                           "DELETE FROM numbers WHERE id > 5000;"
                           "INSERT INTO numbers VALUES (1, 'n1', '') ON CONFLICT DO NOTHING"));
        OpenConnection(connection, server_->ConnectionString(QStringLiteral("cursors")));
        if (GetParam().userTransaction)
            Backend().Execute(QStringLiteral("BEGIN"));
    }

    DbBackend& Backend() { return connection.Backend(); }

    // The first value of a statement's rows, as text.
    static QString Value(TADOConnection& on, const QString& sql) {
        TRowStore rows;
        rows.Reset(1);
        on.Backend().ExecuteWith(sql, {}, &rows);
        return rows.RowCount() ? rows.Value(0, 0).toString() : QStringLiteral("<none>");
    }

    // Whether the connection sits in a transaction: a statement of its own starts when it does.
    bool InTransaction() {
        return Value(connection, QStringLiteral("SELECT now() <> statement_timestamp()")) ==
               QStringLiteral("1");
    }

    QStringList Walked(TScrollCursor& cursor) {
        QStringList values;
        cursor.Walk(
            [&values](TRowStore& batch) {
                for (qsizetype row = 0; row < batch.RowCount(); ++row)
                    values << batch.Value(row, 1).toString();
                return true;
            },
            {});
        return values;
    }

    TADOConnection connection;
    TADOConnection other;
};

std::string SessionName(const ::testing::TestParamInfo<SessionCase>& info) {
    return info.param.name;
}

// The walk reads the state the cursor was declared in, every row once and in order, whatever
// another program wrote since and wherever the cursor stood; stopped, it reads no further.
// Rows of 2 KB make batches of a few thousand rows.
TEST_P(PostgresCursor, WalksOneStateOnceInOrder) {
    // What cannot be a cursor is left to client-side reading, the transaction unharmed.
    EXPECT_FALSE(Backend().ScrollQuery(QStringLiteral("SHOW search_path")));
    EXPECT_FALSE(Backend().ScrollQuery(QStringLiteral("SELECT 1; SELECT 2")));
    const std::unique_ptr<TScrollCursor> cursor =
        Backend().ScrollQuery(QStringLiteral("SELECT id, label, pad FROM numbers ORDER BY id"));
    ASSERT_TRUE(cursor);
    TRowStore page;
    page.Reset(3);
    cursor->Read(4000, 3, page);
    ASSERT_EQ(page.RowCount(), 3);
    EXPECT_EQ(page.Integer(0, 0), 4001);
    other.Backend().Execute(QStringLiteral(
        "DELETE FROM numbers WHERE id = 1; INSERT INTO numbers VALUES (5001, 'late')"));
    EXPECT_FALSE(cursor->Stale());
    EXPECT_EQ(cursor->Count({}), kRows);
    if (!GetParam().userTransaction) {
        // The program's failing statements leave its own transaction, and the cursor, usable.
        EXPECT_THROW(Backend().FieldDefs(QStringLiteral("no_such_table")), EDatabaseError);
        EXPECT_THROW(
            Backend().ExecuteWith(QStringLiteral("SELECT nonsense FROM numbers"), {}, nullptr),
            EDatabaseError);
        EXPECT_THROW(Backend().ReturnsRows(QStringLiteral("SELEC 1")), EDatabaseError);
    }

    // What runs between batches (a statement, a page painted) leaves the walk where it was.
    qsizetype expected = 1;
    bool inOrder = true;
    int batches = 0;
    cursor->Walk(
        [&](TRowStore& batch) {
            ++batches;
            for (qsizetype row = 0; row < batch.RowCount(); ++row)
                inOrder = inOrder && batch.Integer(row, 0) == expected++;
            if (batches == 1)
                Backend().TableNames();
            if (batches == 2) {
                page.Reset(3);
                cursor->Read(4000, 3, page);
            }
            return true;
        },
        {});
    EXPECT_TRUE(inOrder) << "a row is missing, doubled or out of place";
    EXPECT_EQ(expected - 1, kRows);
    EXPECT_GT(batches, 2);

    int calls = 0;
    cursor->Walk([&calls](TRowStore&) { return ++calls < 1; }, {});
    EXPECT_EQ(calls, 1);
    page.Reset(3);
    cursor->Read(0, 2, page);
    ASSERT_EQ(page.RowCount(), 2);
    EXPECT_EQ(page.Value(0, 1).toString(), QStringLiteral("n1"));

    // Escape while a batch is at work ends the walk; the program's transaction is not left
    // aborted.
    EXPECT_THROW(cursor->Walk(
                     [&cursor](TRowStore&) {
                         cursor->Interrupt();
                         return true;
                     },
                     {}),
                 EOperationCancelled);
    if (!GetParam().userTransaction) {
        EXPECT_EQ(Value(connection, QStringLiteral("SELECT count(*) FROM notes")),
                  QStringLiteral("1"));
    }
}

// The write-back inside the program's transaction is committed at once, which ends the cursor;
// inside the user's transaction it stays there, and a new cursor reads it. With the last cursor
// closed the program's transaction is over.
TEST_P(PostgresCursor, ProgramWritesCommitOnlyOutsideTheUsersTransaction) {
    const bool user = GetParam().userTransaction;
    const QString sql = QStringLiteral("SELECT id, v FROM notes ORDER BY id");
    const QString seen = QStringLiteral("SELECT string_agg(v, ',' ORDER BY id) FROM notes");
    std::unique_ptr<TScrollCursor> cursor = Backend().ScrollQuery(sql);
    ASSERT_TRUE(cursor);
    EXPECT_TRUE(InTransaction());

    // A new record is one statement; an edit sits in a transaction of its own.
    TRowStore key;
    key.Reset(1);
    Backend().ExecuteWith(QStringLiteral("INSERT INTO notes VALUES (?, ?) RETURNING id"),
                          {2, QStringLiteral("new")}, &key);
    EXPECT_EQ(Value(other, seen), user ? QStringLiteral("before") : QStringLiteral("before,new"));
    TRowStore rows;
    rows.Reset(2);
    if (user) {
        cursor->Read(0, 5, rows);
        EXPECT_EQ(rows.RowCount(), 1) << "the cursor reads the state it was declared in";
    } else {
        EXPECT_EQ(DatabaseErrorOf([&] { cursor->Read(0, 5, rows); }),
                  QStringLiteral("The rows of this result are no longer at hand: the transaction "
                                 "it was read in has ended"));
    }
    cursor = Backend().ScrollQuery(sql);
    Backend().StartTransaction();
    Backend().ExecuteWith(QStringLiteral("UPDATE notes SET v = ? WHERE id = ?"),
                          {QStringLiteral("after"), 1}, nullptr);
    Backend().Commit();
    EXPECT_EQ(Value(other, seen), user ? QStringLiteral("before") : QStringLiteral("after,new"));

    std::unique_ptr<TScrollCursor> again = Backend().ScrollQuery(sql);
    EXPECT_EQ(Walked(*again), (QStringList{QStringLiteral("after"), QStringLiteral("new")}));
    cursor.reset();
    again.reset();
    EXPECT_EQ(InTransaction(), user);
}

// Text of the user's runs after the cursors are closed and the program's transaction is over:
// a change outside the user's own transaction is seen by others at once.
TEST_P(PostgresCursor, UsersTextRunsOutsideTheProgramsTransaction) {
    const std::unique_ptr<TScrollCursor> cursor =
        Backend().ScrollQuery(QStringLiteral("SELECT id, label FROM numbers"));
    ASSERT_TRUE(cursor);
    Backend().Execute(QStringLiteral("INSERT INTO notes VALUES (3, 'typed')"));
    EXPECT_EQ(Value(other, QStringLiteral("SELECT count(*) FROM notes WHERE id = 3")),
              GetParam().userTransaction ? QStringLiteral("0") : QStringLiteral("1"));
    TRowStore rows;
    rows.Reset(2);
    EXPECT_THROW(cursor->Read(0, 1, rows), EDatabaseError);
    EXPECT_EQ(InTransaction(), GetParam().userTransaction);
}

INSTANTIATE_TEST_SUITE_P(Sessions, PostgresCursor,
                         ::testing::Values(SessionCase{"WithoutTransaction", false},
                                           SessionCase{"InUsersTransaction", true}),
                         SessionName);

}  // namespace
