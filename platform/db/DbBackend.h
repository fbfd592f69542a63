#pragma once

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "db/connection/ConnectionString.h"
#include "db/dataset/FieldDef.h"
#include "db/dataset/UpdateTarget.h"
#include "ui/ModalSeam.h"

class TRowStore;

// An open result being read. Rows are fetched in batches so that a caller can show the first
// rows of a large result before the rest has arrived.
class TResultCursor {
  public:
    virtual ~TResultCursor() = default;
    virtual const TFieldDefs& Fields() const = 0;
    // Appends up to maxRows rows to `rows`; returns false once the result is exhausted.
    virtual bool Fetch(TRowStore& rows, qsizetype maxRows) = 0;
    // Which table and key changed rows of this result are written to. Taken when the result
    // opens, while its description is at hand; the resolver runs at the first change.
    virtual TUpdateResolver UpdateTarget() const = 0;
};

// A result the database keeps and hands out by position: a server-side cursor. The program
// holds only the rows it asks for. Used on the user-interface thread, except Interrupt.
class TScrollCursor {
  public:
    virtual ~TScrollCursor() = default;
    virtual const TFieldDefs& Fields() const = 0;
    // Appends the rows from `first` (from 0) on, at most `count`; fewer at the end of the result.
    virtual void Read(qsizetype first, qsizetype count, TRowStore& rows) = 0;
    // The same for a read that may take long (the first rows of a statement that sorts
    // everything first): `wait` runs meanwhile as for Count, and Interrupt stops the read.
    virtual void ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                             const std::function<void()>&) {
        Read(first, count, rows);
    }
    // The exact number of rows. The database may take long: `wait` runs every few tens of
    // milliseconds meanwhile, and an Interrupt from it ends the count with EOperationCancelled.
    virtual qsizetype Count(const std::function<void()>& wait) = 0;
    // Asks the database to stop the statement under way.
    virtual void Interrupt() = 0;
    virtual TUpdateResolver UpdateTarget() const = 0;
    // Whether another program's write may have changed what the cursor reads since it opened;
    // the data set then reads the result again before it reads a page it does not hold.
    virtual bool Stale() { return false; }
    // Whether the rows read before Count came from a run of the statement of their own, which
    // may order equal rows otherwise than the rest: the data set then reads them again.
    virtual bool FirstRowsProvisional() const { return false; }
    // Reads the whole result once, from its first row to its last, as one consistent state:
    // each batch goes to `each` in a store of its own, which `each` may take (false from it
    // stops the walk), and nothing is kept. `wait` runs while the database works, as for
    // Count; an Interrupt from it ends the walk with EOperationCancelled.
    virtual void Walk(const std::function<bool(TRowStore& batch)>& each,
                      const std::function<void()>& wait);
};

// One database engine behind a connection. Every failure is an EDatabaseError carrying the
// driver's message. Used on the user-interface thread only.
class DbBackend {
  public:
    virtual ~DbBackend() = default;

    // Connects; `login` is the answer of the login prompt when one was asked.
    virtual void Open(const std::optional<TLoginAnswer>& login) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Why the open connection was lost under the program (server stopped or restarted,
    // network gone); empty while it stands. An engine may notice only when a call fails.
    virtual QString LostReason() const { return {}; }
    bool ConnectionLost() const { return !LostReason().isEmpty(); }

    // Tables and views, system tables left out, in the database's order.
    virtual QStringList TableNames() = 0;
    // Columns of a table from its definition alone.
    virtual TFieldDefs FieldDefs(const QString& table) = 0;

    // A name from the database (a table, a column) as this engine's SQL reads it: bare where
    // the bare text reads back as the same name ("customer"), otherwise quoted with its inner
    // quotes doubled. Raises EDatabaseError for a name the engine cannot write at all.
    virtual QString SqlName(const QString& name) = 0;
    // A table as TableNames lists it, as SQL names it (with its schema where the list has one).
    virtual QString SqlTableName(const QString& table) { return SqlName(table); }

    // Whether `sql` is exactly one statement that returns rows, asked of the engine without
    // running anything. False for several statements or for one that returns no rows; raises
    // EDatabaseError for text the engine refuses outright (a syntax error, an unknown table).
    virtual bool ReturnsRows(const QString& sql) = 0;
    // Runs text without a result set; returns the rows affected (-1 when unknown). Several
    // statements run all or nothing: a failure part way rolls the batch back whole (inside the
    // user's own transaction only the batch) and says that nothing was changed. A batch
    // holding its own BEGIN, COMMIT or savepoint is refused unrun.
    virtual int Execute(const QString& sql) = 0;
    // Runs one statement that returns rows; anything else is refused unrun.
    virtual std::unique_ptr<TResultCursor> Query(const QString& sql) = 0;
    // Reads a table by name, at most maxRecords rows (0: all).
    virtual std::unique_ptr<TResultCursor> OpenTable(const QString& table, int maxRecords) = 0;
    // The same two kept as a server-side cursor; nothing when the engine (or this statement)
    // has none, and the caller then reads the rows itself. Close leaves a cursor still open
    // unable to read.
    virtual std::unique_ptr<TScrollCursor> ScrollQuery(const QString&) { return nullptr; }
    virtual std::unique_ptr<TScrollCursor> ScrollTable(const QString&, int) { return nullptr; }

    // Runs one statement with its "?" parameters bound to `params` in order; the rows it
    // returns are appended to `rows` (one column per result column) when given. Returns the
    // rows affected. Dates and times are bound as the database keeps them.
    virtual qsizetype ExecuteWith(const QString& sql, const QVariantList& params,
                                  TRowStore* rows) = 0;
    // One transaction around several statements; it may sit inside a transaction of the
    // user's own.
    virtual void StartTransaction() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
};

// Chooses and creates the engine for a connection string ("Provider=..."), bound to what the
// string names; raises EDatabaseError naming what is wrong with it. Nothing is opened yet.
std::unique_ptr<DbBackend> CreateBackend(const TConnectionString& params);
