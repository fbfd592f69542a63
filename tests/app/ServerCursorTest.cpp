#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include "GridText.h"
#include "core/TextFileWriter.h"
#include "db/components/ADOQuery.h"
#include "db/dataset/CellTextWriter.h"
#include "db/dataset/DataSource.h"
#include "db/grid/DBGrid.h"
#include "db/grid/DBGridModel.h"
#include "platform/PostgresSuite.h"

namespace {

// Large enough that neither engine can hide a whole read behind a page or two; smaller under
// the sanitizers, which run every row many times slower.
// QUORVA_CURSOR_TEST_ROWS sets another count for a quicker run.
#ifdef QUORVA_SANITIZED
constexpr qsizetype kDefaultRows = 300'000;
#else
constexpr qsizetype kDefaultRows = 5'000'000;
#endif
const qsizetype kRows = qEnvironmentVariableIsSet("QUORVA_CURSOR_TEST_ROWS")
                            ? qEnvironmentVariableIntValue("QUORVA_CURSOR_TEST_ROWS")
                            : kDefaultRows;

const TCursorLocation kLocations[] = {clUseClient, clUseServer};

const char* Name(TCursorLocation location) {
    return location == clUseServer ? "server-side" : "client-side";
}

// The same `orders` in SQLite and in PostgreSQL: ids 1..kRows, text, numbers, dates and NULLs.
QString SqliteOrders() {
    return QStringLiteral(
               "CREATE TABLE orders(id INTEGER PRIMARY KEY, customer TEXT, city TEXT, amount REAL,"
               " qty INTEGER, date TEXT, note TEXT, flag INTEGER, rate REAL, code TEXT);"
               "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < %1)"
               " INSERT INTO orders SELECT n, 'Customer ' || n, 'City ' || (n % 50),"
               " (n % 100000) / 100.0, n % 500 + 1, '2020-01-' || printf('%02d', n % 28 + 1),"
               " CASE WHEN n % 5 = 0 THEN NULL ELSE 'note ' || n END, n % 2,"
               " (n % 10000) / 10000.0, 'AB-' || printf('%05d', n % 100000) FROM c;")
        .arg(kRows);
}

QString PostgresOrders() {
    return QStringLiteral(
               "CREATE TABLE orders(id integer PRIMARY KEY, customer text, city text,"
               " amount double precision, qty integer, date date, note text, flag integer,"
               " rate double precision, code text);"
               "INSERT INTO orders SELECT n, 'Customer ' || n, 'City ' || (n % 50),"
               " (n % 100000) / 100.0, n % 500 + 1, date '2020-01-01' + n % 28,"
               " CASE WHEN n % 5 = 0 THEN NULL ELSE 'note ' || n END, n % 2,"
               " (n % 10000) / 10000.0, 'AB-' || lpad((n % 100000)::text, 5, '0')"
               " FROM generate_series(1, %1) n;"
               "ANALYZE orders;")
        .arg(kRows);
}

// One query on `orders` with a grid over it, as the main window has them, on either engine.
class ServerCursor : public PostgresSuite {
  protected:
    static void SetUpTestSuite() {}

    void UseSqlite() {
        ScriptedSeamTest::SetUp();
        sqlite_ = std::make_unique<TestDatabaseFile>(SqliteOrders());
        Connect(QStringLiteral("Provider=SQLite;Data Source=") + sqlite_->Path());
    }

    // Skips when no server can be had.
    bool UsePostgres() {
        StartServer(QString(), PostgresOrders());
        if (!skipReason_.isEmpty())
            return false;
        ScriptedSeamTest::SetUp();
        Connect(server_->ConnectionString());
        return true;
    }

    void SetUp() override {}
    void TearDown() override {
        query.Close();
        connection.Close();
        if (seam)
            ScriptedSeamTest::TearDown();
    }

    void Connect(const QString& connectionString) {
        OpenConnection(connection, connectionString);
        query.SetConnection(&connection);
        source.SetDataSet(&query);
        grid.SetDataSource(&source);
        grid.resize(600, 300);
        grid.show();
    }

    void Open(TCursorLocation location, const QString& sql) {
        query.Close();
        query.SetCursorLocation(location);
        query.SQL() = QStringList{sql};
        query.Open();
    }

    // A cell of the data set's row as the grid shows it; the row must be in the grid's window.
    QString Cell(qsizetype row, int column) {
        const int shown = grid.Model().ModelRow(row);
        if (shown < 0)
            return QStringLiteral("(row %1 is not in the grid's window)").arg(row);
        return grid.model()->data(grid.model()->index(shown, column)).toString();
    }

    // The data set's row shown at the bottom of the grid.
    qsizetype BottomRow() {
        const QModelIndex shown = grid.indexAt(QPoint(2, grid.viewport()->height() - 2));
        return shown.isValid() ? grid.Model().DataRow(shown.row()) : -1;
    }

    // Save grid's walk into a file of that name in the test's folder; returns its path.
    QString SaveGrid(const QString& name) {
        const QString path = folder.filePath(name);
        TTextFileWriter file(path);
        GridText::WriteAllLines(query, file);
        file.Commit();
        return path;
    }

    // Save grid's walk into a file; returns its digest, having checked that it holds every
    // row once, in order.
    QByteArray SaveAndCheck() {
        QFile saved(SaveGrid(QStringLiteral("grid.txt")));
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        QCryptographicHash digest(QCryptographicHash::Sha1);
        qsizetype lines = 0;
        bool inOrder = true;
        while (!saved.atEnd()) {
            const QByteArray line = saved.readLine();
            digest.addData(line);
            ++lines;
            if (inOrder && line.left(line.indexOf('\t')).toLongLong() != lines)
                inOrder = false;
        }
        EXPECT_EQ(lines, kRows);
        EXPECT_TRUE(inOrder) << "a row is missing, doubled or out of place";
        return digest.result();
    }

    // Both cursor locations show the same rows: first, last, any, through the data set and the
    // grid, with the exact count; Save grid writes the same file; a server-side result holds
    // only a window of rows however far it is walked.
    void ReadsTheSameOnBothLocations() {
        // A few pages of rows, whatever the result's size.
        constexpr std::size_t kServerMemoryLimit = 16 * 1024 * 1024;
        const QString sql = QStringLiteral("SELECT * FROM orders ORDER BY id");
        QByteArray saved[2];
        for (const TCursorLocation location : kLocations) {
            SCOPED_TRACE(Name(location));
            Open(location, sql);
            EXPECT_EQ(query.ServerSide(), location == clUseServer);
            EXPECT_EQ(query.RecordCount(), kRows);
            // The view holds a window of the rows; the grid's own bar runs over all of them.
            EXPECT_EQ(grid.Model().Rows(), kRows);
            EXPECT_LE(grid.model()->rowCount(), TDBGridModel::kWindowRows);
            EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(), QStringLiteral("1"));
            auto* rowBar = grid.RowBar();
            ASSERT_TRUE(rowBar);
            EXPECT_EQ(rowBar->isVisible(), kRows > TDBGridModel::kWindowRows);
            if (rowBar->isVisible()) {
                rowBar->setValue(rowBar->maximum());
                EXPECT_EQ(BottomRow(), kRows - 1);
                EXPECT_EQ(Cell(kRows - 1, 0), QString::number(kRows));
                rowBar->setValue(kRows / 3);
                EXPECT_EQ(Cell(kRows / 3, 0), QString::number(kRows / 3 + 1));
                rowBar->setValue(0);
                // Ctrl+End and Ctrl+Home move the record to either end of all the rows.
                for (const auto& [key, recNo] :
                     {std::pair{Qt::Key_End, kRows}, std::pair{Qt::Key_Home, qsizetype(1)}}) {
                    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
                    QCoreApplication::sendEvent(&grid, &press);
                    EXPECT_EQ(query.RecNo(), recNo);
                    EXPECT_EQ(Cell(recNo - 1, 0), QString::number(recNo));
                }
            }
            query.Last();
            EXPECT_EQ(Cell(kRows - 1, 0), QString::number(kRows));
            EXPECT_EQ(query.FieldByName(QStringLiteral("customer")).AsString(),
                      QStringLiteral("Customer %1").arg(kRows));
            query.SetRecNo(kRows / 2);
            EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(),
                      QString::number(kRows / 2));
            EXPECT_TRUE(query.FieldByName(QStringLiteral("note")).IsNull() == (kRows / 2 % 5 == 0));
            const TBookmark mark = query.GetBookmark();
            query.First();
            query.GotoBookmark(mark);
            EXPECT_EQ(query.RecNo(), kRows / 2);
            saved[location == clUseServer] = SaveAndCheck();
            if (location == clUseServer) {
                EXPECT_LT(query.MemoryUsed(), kServerMemoryLimit);
            }
        }
        EXPECT_EQ(saved[0], saved[1]) << "the two cursor locations saved different files";

        // The whole table as the table list's "Select * from" asks for it, read from both ends.
        Open(clUseServer, QStringLiteral("select * from orders"));
        for (const qsizetype recNo : {kRows, kRows - 700, kRows / 2 + 1, kRows / 2, qsizetype(3)}) {
            query.SetRecNo(recNo);
            EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(), QString::number(recNo));
        }
    }

    // An edit is written to the table by its key and shown at once; a deleted record leaves
    // the count and the table, a new one joins them.
    void EditsWriteBack() {
        const qsizetype recNo = kRows - 5;
        Open(clUseServer, QStringLiteral("SELECT * FROM orders ORDER BY id"));
        query.SetRecNo(recNo);
        query.Edit();
        query.FieldByName(QStringLiteral("customer")).SetAsString(QStringLiteral("Edited ü"));
        query.Post();
        query.First();
        query.SetRecNo(recNo);
        EXPECT_EQ(query.FieldByName(QStringLiteral("customer")).AsString(),
                  QStringLiteral("Edited ü"));
        query.First();
        query.SetRecNo(recNo);
        EXPECT_EQ(Cell(recNo - 1, 0), QString::number(recNo));
        EXPECT_EQ(query.FieldByName(QStringLiteral("customer")).TextAt(recNo - 1),
                  QStringLiteral("Edited ü"));
        query.SetRecNo(2);
        query.Delete();
        EXPECT_EQ(query.RecordCount(), kRows - 1);
        EXPECT_EQ(Cell(1, 0), QStringLiteral("3"));
        EXPECT_EQ(query.FieldByName(QStringLiteral("customer")).TextAt(recNo - 2),
                  QStringLiteral("Edited ü"));
        query.Append();
        query.FieldByName(QStringLiteral("id")).SetAsString(QString::number(kRows + 1));
        query.FieldByName(QStringLiteral("customer")).SetAsString(QStringLiteral("New"));
        query.Post();
        EXPECT_EQ(query.RecordCount(), kRows);
        query.First();
        query.Last();
        EXPECT_EQ(query.FieldByName(QStringLiteral("customer")).AsString(), QStringLiteral("New"));

        Open(clUseServer, QStringLiteral("SELECT customer FROM orders WHERE id = %1").arg(recNo));
        EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("Edited ü"));
        Open(clUseServer, QStringLiteral("SELECT count(*), max(id) FROM orders"));
        EXPECT_EQ(query.Fields(0).AsString(), QString::number(kRows));
        EXPECT_EQ(query.Fields(1).AsString(), QString::number(kRows + 1));
    }

    struct TLines {
        std::string digest;  // in hex
        qsizetype count = 0;
        std::string last;  // the last line, from the database only
    };

    // The lines Save grid writes from the grid's query.
    TLines SavedLines() {
        QFile saved(SaveGrid(QStringLiteral("changed.txt")));
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        QCryptographicHash digest(QCryptographicHash::Sha1);
        TLines lines;
        while (!saved.atEnd()) {
            digest.addData(saved.readLine());
            ++lines.count;
        }
        lines.digest = digest.result().toHex().toStdString();
        return lines;
    }

    // The same lines made from the rows a second connection reads from the database.
    static TLines DatabaseLines(TADOConnection& other, const QString& sql) {
        const std::unique_ptr<TResultCursor> cursor = other.Backend().Query(sql);
        const TCellTextWriter cells;
        QCryptographicHash digest(QCryptographicHash::Sha1);
        TLines lines;
        for (bool more = true; more;) {
            TRowStore rows;
            rows.Reset(int(cursor->Fields().size()));
            more = cursor->Fetch(rows, 10000);
            for (qsizetype row = 0; row < rows.RowCount(); ++row, ++lines.count) {
                std::string line;
                for (int column = 0; column < rows.ColumnCount(); ++column) {
                    if (column > 0)
                        line += '\t';
                    cells.Append(line, rows, row, column, cursor->Fields()[column].DataType);
                }
                line += "\r\n";
                digest.addData(QByteArrayView(line.data(), qsizetype(line.size())));
                lines.last = line;
            }
        }
        lines.digest = digest.result().toHex().toStdString();
        return lines;
    }

    // A record deleted, one appended and one edited through the data set, another program's
    // delete and insert meanwhile, then a jump far and Save grid, on a result in the table's
    // order and on a sorted one: the file holds the rows the database gives the statement then
    // (as the cursor last read them when it reads one snapshot), each once, in order.
    void ChangesThenSave(const QString& inTableOrder, bool seesOtherPrograms) {
        const struct {
            const char* name;
            QString sql;
            qsizetype theirs;  // the id another program deletes
        } results[] = {
            {"in the table's order", inTableOrder, 1234},
            {"sorted",
             QStringLiteral("SELECT * FROM orders WHERE id > %1 ORDER BY amount DESC, id")
                 .arg(kRows - 20000),
             kRows - 1000},
        };
        TADOConnection other;
        OpenConnection(other, connection.ConnectionString());
        qsizetype newId = kRows + 100;
        for (const auto& result : results) {
            SCOPED_TRACE(result.name);
            Open(clUseServer, result.sql);
            const qsizetype count = query.RecordCount();
            query.SetRecNo(count - 10);
            const QString deleted = query.FieldByName(QStringLiteral("id")).AsString();
            query.Delete();
            EXPECT_EQ(query.RecordCount(), count - 1);
            EXPECT_NE(query.FieldByName(QStringLiteral("id")).AsString(), deleted);
            query.Append();
            query.FieldByName(QStringLiteral("id")).SetAsString(QString::number(++newId));
            query.FieldByName(QStringLiteral("customer")).SetAsString(QStringLiteral("Ours"));
            query.FieldByName(QStringLiteral("amount")).SetAsString(QStringLiteral("0.5"));
            query.Post();
            EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(), QString::number(newId));
            query.SetRecNo(count / 2);
            const QString edited = query.FieldByName(QStringLiteral("id")).AsString();
            query.Edit();
            query.FieldByName(QStringLiteral("customer")).SetAsString(QStringLiteral("Edited"));
            query.Post();
            // The record stays current after the result is read again.
            EXPECT_EQ(query.FieldByName(QStringLiteral("id")).AsString(), edited);
            EXPECT_EQ(query.FieldByName(QStringLiteral("customer")).AsString(),
                      QStringLiteral("Edited"));

            const TLines before = seesOtherPrograms ? TLines() : DatabaseLines(other, result.sql);
            // Wherever the grid last read, another program may write.
            query.SetRecNo(query.RecordCount() / 4);
            other.Backend().Execute(
                QStringLiteral("DELETE FROM orders WHERE id = %1;"
                               " INSERT INTO orders(id, customer, amount) VALUES(%2, 'Theirs', 7)")
                    .arg(result.theirs)
                    .arg(++newId));
            const TLines expected = seesOtherPrograms ? DatabaseLines(other, result.sql) : before;
            // A drag to the end shows the last row as the database has it now.
            if (seesOtherPrograms) {
                QScrollBar* bar =
                    grid.RowBar()->isVisible() ? grid.RowBar() : grid.verticalScrollBar();
                bar->setValue(bar->maximum());
                EXPECT_EQ(query.RecordCount(), expected.count);
                EXPECT_EQ(Cell(expected.count - 1, 0).toStdString(),
                          expected.last.substr(0, expected.last.find('\t')));
            }
            query.Last();
            query.SetRecNo(query.RecordCount() / 3);
            const TLines saved = SavedLines();
            EXPECT_EQ(saved.count, expected.count);
            EXPECT_EQ(saved.digest, expected.digest) << "the file differs from the database";
            EXPECT_EQ(query.RecordCount(), expected.count);
        }
    }

    // Escape during a count, or during the first rows of a sort, that would take hours stops
    // the statement on the server; during a client-side loading it stops the loading. The
    // query is closed, the grid empty, and the next statement runs.
    void EscapeCancelsALongRead() {
        const std::pair<TCursorLocation, const char*> reads[] = {
            {clUseServer, "SELECT a.id, b.id FROM orders a, orders b"},
            {clUseServer, "SELECT a.id FROM orders a, orders b ORDER BY a.id + b.id"},
            {clUseClient, "SELECT a.id, b.id FROM orders a, orders b"}};
        for (const auto& [location, sql] : reads) {
            SCOPED_TRACE(sql);
            SCOPED_TRACE(Name(location));
            EXPECT_TRUE(OpenPressingEscape(location, QString::fromLatin1(sql)));
            EXPECT_FALSE(query.Active());
            EXPECT_EQ(grid.model()->rowCount(), 0);
            Open(location, QStringLiteral("SELECT id FROM orders WHERE id = 7"));
            EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("7"));
        }
    }

    // Opens the statement while Escape is pressed, as a user would, until the read is over;
    // whether it ended in "Cancelled".
    bool OpenPressingEscape(TCursorLocation location, const QString& sql) {
        QTimer escape;
        escape.setInterval(200);
        QObject::connect(&escape, &QTimer::timeout, &grid, [this] {
            if (query.Loading())
                QCoreApplication::postEvent(
                    &grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        escape.start();
        try {
            Open(location, sql);
        } catch (const EOperationCancelled& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("Cancelled"));
            return true;
        }
        return false;
    }

    // A sorted result opened inside the user's transaction is kept as it was when opened, with
    // the transaction's changes, whatever the user changes later; Escape while it is kept
    // leaves the transaction as it was.
    void KeepsInTheUsersTransaction() {
        DbBackend& backend = connection.Backend();
        backend.Execute(QStringLiteral("BEGIN"));
        backend.Execute(QStringLiteral("UPDATE orders SET customer = 'Uncommitted' WHERE id = 1"));
        const QString sql = QStringLiteral("SELECT * FROM orders ORDER BY amount DESC, id");
        const TLines opened = DatabaseLines(connection, sql);
        Open(clUseServer, sql);
        backend.Execute(QStringLiteral("UPDATE orders SET customer = 'Later'"));
        query.Last();
        EXPECT_EQ(query.RecordCount(), opened.count);
        const TLines saved = SavedLines();
        EXPECT_EQ(saved.count, opened.count);
        EXPECT_EQ(saved.digest, opened.digest) << "the file mixes rows of two states";
        backend.Execute(QStringLiteral("UPDATE orders SET customer = 'Uncommitted' WHERE id = 1"));

        EXPECT_TRUE(
            OpenPressingEscape(clUseServer, QStringLiteral("SELECT * FROM orders a, orders b")));
        Open(clUseClient, QStringLiteral("SELECT customer FROM orders WHERE id = 1"));
        EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("Uncommitted"));
        backend.Execute(QStringLiteral("ROLLBACK"));
    }

    // Rows of 10 KB walked by Save grid: the data set keeps no more of them than its budget,
    // wherever the walk went.
    void WideRowsStayWithinTheBudget(const QString& wideTable) {
        constexpr std::size_t kWideMemoryLimit = 16 * 1024 * 1024;
        connection.Backend().Execute(wideTable);
        Open(clUseServer, QStringLiteral("SELECT * FROM wide ORDER BY id"));
        ASSERT_EQ(query.RecordCount(), 3000);
        const QString path = SaveGrid(QStringLiteral("wide.txt"));
        // Each line: the id, a TAB, the 10,000 characters and CR LF.
        EXPECT_EQ(QFileInfo(path).size(), 3000 * (10000 + 3) + 9 * 1 + 90 * 2 + 900 * 3 + 2001 * 4);
        EXPECT_LT(query.MemoryUsed(), kWideMemoryLimit);
    }

    // A save that stops part way: `meanwhile` runs once the walk lets events run.
    struct TStoppedSave {
        const char* name;
        QString sql;
        std::function<void()> meanwhile;
        bool cancelled;  // by Escape, rather than by an error
    };

    // Escape, or a read that fails, in the middle of Save grid ends it with that error, the
    // lines' thread joined: the file saved before stays as it was, with nothing beside it.
    void StoppedSaveKeepsTheFile(const TStoppedSave& readError) {
        const TStoppedSave saves[] = {
            {"Escape", QStringLiteral("SELECT * FROM orders"),
             [this] {
                 QCoreApplication::postEvent(
                     &grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
             },
             true},
            readError,
        };
        const QString place = folder.filePath(QStringLiteral("stopped"));
        ASSERT_TRUE(QDir().mkpath(place));
        const QString path = place + QStringLiteral("/grid.txt");
        const QByteArray earlier = "the grid saved before\r\n";
        for (const TStoppedSave& save : saves) {
            SCOPED_TRACE(save.name);
            {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(earlier);
            }
            Open(clUseServer, save.sql);
            QMetaObject::invokeMethod(&grid, save.meanwhile, Qt::QueuedConnection);
            QString error;
            bool cancelled = false;
            try {
                TTextFileWriter file(path);
                GridText::WriteAllLines(query, file);
                file.Commit();
            } catch (const EOperationCancelled& stop) {
                cancelled = true;
                error = stop.Message();
            } catch (const EDatabaseError& failure) {
                error = failure.Message();
            }
            EXPECT_FALSE(error.isEmpty()) << "the save went through";
            EXPECT_EQ(cancelled, save.cancelled) << error.toStdString();
            QFile kept(path);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), earlier);
            EXPECT_EQ(QDir(place).entryList(QDir::Files | QDir::Hidden),
                      QStringList{QStringLiteral("grid.txt")});
        }
    }

    void ReadsEditsAndCancels(const QString& wideTable, const QString& inTableOrder,
                              bool seesOtherPrograms) {
        {
            SCOPED_TRACE("wide rows");
            WideRowsStayWithinTheBudget(wideTable);
        }
        {
            SCOPED_TRACE("reading");
            ReadsTheSameOnBothLocations();
        }
        {
            SCOPED_TRACE("editing");
            EditsWriteBack();
        }
        {
            SCOPED_TRACE("changing, then saving");
            ChangesThenSave(inTableOrder, seesOtherPrograms);
        }
        {
            SCOPED_TRACE("cancelling");
            EscapeCancelsALongRead();
        }
    }

    // Past its first batch a walk reads the columns it can in the server's binary form: every
    // such type, at its edges, saves as client-side reading saves it, with the dates in the
    // server's ISO order or in another.
    void BinaryRowsSaveAsText() {
        DbBackend& backend = connection.Backend();
        backend.Execute(QStringLiteral(
            "CREATE TABLE kinds AS SELECT n AS id, n % 3 = 0 AS b,"
            " (n * 7 % 65535 - 32767)::int2 AS small,"
            " n::int8 * 3037000499 * (1 - 2 * (n % 2)) AS big,"
            " (n::int8 * 2654435761 % 4294967296)::oid AS o,"
            " (ARRAY['NaN', 'Infinity', '-Infinity', '-0', '0.30000000000000004', '1e300',"
            "  '5e-324', '-2.5'])[n % 8 + 1]::float8 + CASE WHEN n % 16 < 8 THEN 0 ELSE n / 7.0 END"
            "  AS f, (ARRAY['infinity', '-infinity', '0044-03-15 BC', '0001-01-01 BC',"
            "  '10000-01-01', '1999-12-31'])[n % 6 + 1]::date + CASE WHEN n % 12 < 6 THEN 0"
            "  ELSE n END AS d, 'Ünï ' || n AS t, ('p' || n % 10)::char(6) AS c,"
            " ('v' || n)::varchar(20) AS v, ('name' || n)::name AS nm,"
            " CASE WHEN n % 11 > 0 THEN n END AS maybe FROM generate_series(1, 5000) n"));
        for (const char* dateStyle : {"ISO", "German"}) {
            SCOPED_TRACE(dateStyle);
            backend.Execute(QStringLiteral("SET DateStyle = ") + QLatin1String(dateStyle));
            QByteArray saved[2];
            for (const TCursorLocation location : kLocations) {
                Open(location, QStringLiteral("SELECT * FROM kinds ORDER BY id"));
                QFile file(SaveGrid(QStringLiteral("kinds.txt")));
                EXPECT_TRUE(file.open(QIODevice::ReadOnly));
                saved[location == clUseServer] = file.readAll();
            }
            EXPECT_EQ(saved[0].count('\n'), 5000);
            EXPECT_TRUE(saved[0] == saved[1]) << "the two cursor locations saved different files";
        }
        backend.Execute(QStringLiteral("SET DateStyle = ISO"));
    }

    // What the user's session holds shows in a result as client-side reading shows it: the
    // search path, an open transaction's changes (a column added in it too), temporary tables,
    // a sequence advanced once per reading. A declaration waiting on another program's lock
    // stops on Escape.
    void ReadsInTheUsersSession() {
        DbBackend& backend = connection.Backend();
        backend.Execute(QStringLiteral(
            "CREATE SCHEMA other; CREATE TABLE other.orders(id int PRIMARY KEY, customer text);"
            "INSERT INTO other.orders VALUES (1, 'Other'); CREATE SEQUENCE s"));
        struct Case {
            const char* name;
            QStringList before;
            const char* sql;
            const char* shown;
            QStringList after;
        };
        const Case cases[] = {
            {"search_path",
             {QStringLiteral("SET search_path TO other, public")},
             "SELECT customer FROM orders WHERE id = 1",
             "Other",
             {QStringLiteral("SET search_path TO public")}},
            {"open transaction",
             {QStringLiteral("BEGIN"),
              QStringLiteral("UPDATE orders SET customer = 'Uncommitted' WHERE id = 1")},
             "SELECT customer FROM orders WHERE id = 1",
             "Uncommitted",
             {QStringLiteral("ROLLBACK")}},
            {"column added in the open transaction",
             {QStringLiteral("BEGIN"),
              QStringLiteral("ALTER TABLE orders ADD COLUMN extra int DEFAULT 7")},
             "SELECT extra FROM orders WHERE id = 3",
             "7",
             {QStringLiteral("ROLLBACK")}},
            {"temporary table",
             {QStringLiteral("CREATE TEMP TABLE scratch AS SELECT 'Temp' AS t")},
             "SELECT t FROM scratch",
             "Temp",
             {QStringLiteral("DROP TABLE scratch")}},
        };
        for (const Case& sessionCase : cases) {
            SCOPED_TRACE(sessionCase.name);
            for (const TCursorLocation location : kLocations) {
                SCOPED_TRACE(Name(location));
                for (const QString& statement : sessionCase.before)
                    backend.Execute(statement);
                Open(location, QString::fromLatin1(sessionCase.sql));
                EXPECT_EQ(query.Fields(0).AsString(), QString::fromLatin1(sessionCase.shown));
                query.Close();
                for (const QString& statement : sessionCase.after)
                    backend.Execute(statement);
            }
        }
        for (const TCursorLocation location : kLocations) {
            Open(location, QStringLiteral("SELECT nextval('s')"));
            EXPECT_EQ(query.Fields(0).AsString(), QString::number(location == clUseClient ? 1 : 2));
        }
        Open(clUseClient, QStringLiteral("SELECT last_value FROM s"));
        EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("2"));
        {
            // Each row's value of a volatile function is the one first shown, however the
            // result is scrolled and walked.
            Open(clUseServer, QStringLiteral("SELECT id, nextval('s') AS n FROM orders "
                                             "WHERE id <= 20000 ORDER BY id"));
            const QString first = query.Fields(1).AsString();
            QFile saved(SaveGrid(QStringLiteral("volatile.txt")));
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_EQ(saved.readLine().toStdString(), "1\t" + first.toStdString() + "\r\n");
            query.Last();
            query.First();
            EXPECT_EQ(query.Fields(1).AsString(), first);
            query.Close();
        }

        TADOConnection locker;
        OpenConnection(locker, server_->ConnectionString());
        locker.Backend().Execute(QStringLiteral("BEGIN"));
        locker.Backend().Execute(QStringLiteral("LOCK TABLE orders IN ACCESS EXCLUSIVE MODE"));
        QTimer::singleShot(300, &grid, [this] {
            QCoreApplication::postEvent(
                &grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        bool cancelled = false;
        try {
            Open(clUseServer, QStringLiteral("SELECT * FROM orders"));
        } catch (const EOperationCancelled& error) {
            cancelled = true;
            EXPECT_EQ(error.Message(), QStringLiteral("Cancelled"));
        }
        EXPECT_TRUE(cancelled);
        EXPECT_FALSE(query.Active());
        locker.Close();
        Open(clUseServer, QStringLiteral("SELECT id FROM orders WHERE id = 7"));
        EXPECT_EQ(query.Fields(0).AsString(), QStringLiteral("7"));
    }

    TADOConnection connection;
    TADOQuery query;
    TDataSource source;
    TDBGrid grid;
    QTemporaryDir folder;

  private:
    std::unique_ptr<TestDatabaseFile> sqlite_;
};

}  // namespace

TEST_F(ServerCursor, Sqlite) {
    UseSqlite();
    ReadsEditsAndCancels(
        QStringLiteral(
            "CREATE TABLE wide AS WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c "
            "WHERE n < 3000) SELECT n AS id, replace(hex(zeroblob(5000)), '0', 'x') AS pad FROM c"),
        QStringLiteral("SELECT * FROM orders"), true);
    {
        SCOPED_TRACE("in the user's transaction");
        KeepsInTheUsersTransaction();
    }
    SCOPED_TRACE("saving, stopped");
    // abs() of the smallest integer overflows, on a row far into the result.
    StoppedSaveKeepsTheFile({"read error",
                             QStringLiteral("SELECT id, CASE WHEN id = %1 THEN "
                                            "abs(-9223372036854775808) END FROM orders")
                                 .arg(kRows * 3 / 4),
                             [] {}, false});
}

TEST_F(ServerCursor, Postgres) {
    if (!UsePostgres())
        GTEST_SKIP() << "no PostgreSQL server for this test: " << skipReason_.toStdString();
    ReadsEditsAndCancels(
        QStringLiteral("CREATE TABLE wide AS SELECT n AS id, repeat('x', 10000) AS pad "
                       "FROM generate_series(1, 3000) n"),
        QStringLiteral("SELECT * FROM orders ORDER BY id"), false);
    {
        SCOPED_TRACE("session");
        ReadsInTheUsersSession();
    }
    {
        SCOPED_TRACE("binary rows");
        BinaryRowsSaveAsText();
    }
    // The server connection dropped while the grid scrolls: one clear error, the query closed.
    Open(clUseServer, QStringLiteral("SELECT * FROM orders ORDER BY id"));
    TADOConnection admin;
    OpenConnection(admin, server_->ConnectionString());
    admin.Backend().Execute(QStringLiteral(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() "
        "AND datname = current_database()"));
    seam->shown.clear();
    // A row of the grid's window not read yet.
    EXPECT_EQ(Cell(grid.Model().DataRow(grid.model()->rowCount() - 1), 0), QString());
    for (int round = 0; round < 5 && query.Active(); ++round)
        QCoreApplication::processEvents();
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(seam->Texts(QStringLiteral("error")).size(), 1);

    SCOPED_TRACE("saving, stopped");
    Connect(server_->ConnectionString());
    StoppedSaveKeepsTheFile({"connection lost", QStringLiteral("SELECT * FROM orders ORDER BY id"),
                             [&admin] {
                                 admin.Backend().Execute(QStringLiteral(
                                     "SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                     "WHERE pid <> pg_backend_pid() "
                                     "AND datname = current_database()"));
                             },
                             false});
}
