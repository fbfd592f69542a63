#include "db/qtsql/PgScrollCursor.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/Exception.h"
#include "db/DbBackend.h"
#include "db/dataset/RowStore.h"
#include "db/qtsql/PgOrigins.h"
#include "db/qtsql/PgRows.h"
#include "db/qtsql/PgSession.h"
#include "db/qtsql/QtSqlFieldType.h"
#include "db/qtsql/SqlErrorText.h"
#include "ui/BusyWait.h"

namespace {

// A walk's batches hold about this much, however wide the rows: a few of them are at hand at
// once (one arriving, one turned into values, those the walk's caller works on). The server
// keeps a FETCH's rows whole before it sends them, in a temporary file once they outgrow
// work_mem (4 MB unless set otherwise), so a batch stays well below that.
constexpr qsizetype kWalkBatchBytes = 1 << 20;
constexpr qsizetype kFirstWalkRows = 1000;
constexpr qsizetype kMostWalkRows = 20000;

// The statement fit to follow "FOR": without its closing semicolon, and ended by a line feed so
// that a trailing "--" comment stays a comment.
QString Body(const QString& sql) {
    QString body = sql;
    while (!body.isEmpty() && (body.back().isSpace() || body.back() == QLatin1Char(';')))
        body.chop(1);
    return body + QLatin1Char('\n');
}

// Whether the statement calls a volatile function (random(), nextval(), clock_timestamp(), one
// of the user's own). A scrollable cursor may run such a function again for a row fetched again,
// and show another value than the first time. Calls are found by their names in the text; one
// inside a view is not seen.
bool CallsVolatileFunction(DbBackend& backend, const QString& sql) {
    static const QRegularExpression call(
        QStringLiteral(R"(("(?:[^"]|"")+"|[A-Za-z_][A-Za-z0-9_$]*)\s*\()"));
    QStringList names;
    for (auto match = call.globalMatch(sql); match.hasNext();) {
        const QString name = match.next().captured(1);
        names << (name.startsWith(QLatin1Char('"'))
                      ? name.mid(1, name.size() - 2)
                            .replace(QLatin1String("\"\""), QLatin1String("\""))
                      : name.toLower());
    }
    if (names.isEmpty())
        return false;
    TRowStore found;
    found.Reset(1);
    try {
        backend.ExecuteWith(
            QStringLiteral("SELECT 1 FROM pg_catalog.pg_proc WHERE provolatile = 'v' AND "
                           "proname = ANY(string_to_array($1, chr(1))) LIMIT 1"),
            {names.join(QChar(1))}, &found);
    } catch (const EDatabaseError&) {
        // A failed transaction of the user's: no cursor can be declared in it either.
        return false;
    }
    return found.RowCount() > 0;
}

// Appends the rows of a FETCH. With the next FETCH under way on `connection`, what the server
// has sent is taken in every few hundred rows: it stops making rows once the socket is full.
void AppendResult(const TPgResult& result, TRowStore& rows, void* connection = nullptr) {
    constexpr int kRowsBetweenReads = 256;
    const TLibpq& pq = Libpq();
    const int count = pq.ntuples(result.Get());
    for (int row = 0; row < count; ++row) {
        // A failure here shows again when the answer is awaited.
        if (connection && row % kRowsBetweenReads == 0)
            pq.consumeInput(connection);
        AppendPgRow(result.Get(), row, rows);
    }
}

// The size of a FETCH's values as the server sent them.
qsizetype ResultBytes(const TPgResult& result) {
    const TLibpq& pq = Libpq();
    const int count = pq.ntuples(result.Get());
    const int columns = pq.nfields(result.Get());
    qsizetype bytes = 0;
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < columns; ++column)
            bytes += pq.getlength(result.Get(), row, column);
    return bytes;
}

qsizetype Rows(const TPgResult& result) {
    return Libpq().ntuples(result.Get());
}

}  // namespace

std::unique_ptr<PgScrollCursor> PgScrollCursor::Open(DbBackend& backend, PgSession& session,
                                                     const QSqlDatabase& db, const QString& sql) {
    static int opened = 0;
    const TLibpq& pq = Libpq();
    if (!pq.freemem || !pq.sendQueryParams || !PgConnection(*db.driver()))
        return nullptr;
    // Such a result is read once into the server's store of a common table expression, which
    // a scroll reads again without running anything.
    const QString declared = CallsVolatileFunction(backend, sql)
                                 ? QStringLiteral(
                                       "WITH quorva_once AS (\n%1) SELECT * FROM "
                                       "quorva_once\n")
                                       .arg(Body(sql))
                                 : Body(sql);
    if (!session.PrepareDeclare())
        return nullptr;
    const QString name = QStringLiteral("quorva_rows_%1").arg(++opened);
    void* connection = PgConnection(*db.driver());
    bool cancelled = false;
    try {
        // One statement only: the server refuses several in one DECLARE.
        PgSendOne(connection,
                  QStringLiteral("DECLARE %1 SCROLL CURSOR FOR\n%2").arg(name, declared).toUtf8());
        TBusyWait busy([&cancelled, &db] { cancelled = PgCancel(*db.driver()); });
        PgWaitWhileBusy(connection, [&busy] { busy.Pump(); });
        PgAnswer(connection);
    } catch (const EDatabaseError&) {
        session.DeclareFailed();
        if (cancelled)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        return nullptr;
    }
    std::unique_ptr<PgScrollCursor> cursor(new PgScrollCursor(session));
    cursor->name_ = name;
    session.Declared(cursor.get());
    // FETCH 0 reads no row but describes the result, with the tables its columns come from.
    QSqlQuery describe(db);
    describe.setForwardOnly(true);
    if (!describe.exec(QStringLiteral("FETCH FORWARD 0 FROM %1").arg(cursor->name_)))
        throw EDatabaseError(SqlErrorText(describe.lastError()));
    const QSqlRecord record = describe.record();
    for (int column = 0; column < record.count(); ++column)
        cursor->fields_.append(FieldDefFromSqlField(record.field(column), db.driverName()));
    cursor->updateTarget_ = PgUpdateResolver(backend, PgOriginsOf(describe, sql));
    describe.finish();
    return cursor;
}

PgScrollCursor::~PgScrollCursor() {
    if (!gone_.isEmpty() || name_.isEmpty())
        return;
    TakePending();
    ahead_ = TPgResult();
    try {
        session_.Closed(this);
    } catch (const EDatabaseError&) {
        // The connection was lost: the transaction has ended with it.
    }
}

void PgScrollCursor::Forget(const QString& why) {
    gone_ = why;
    pending_ = false;
    ahead_ = TPgResult();
}

void* PgScrollCursor::Connection() const {
    CheckOpen();
    void* connection = session_.Driver() ? PgConnection(*session_.Driver()) : nullptr;
    if (!connection)
        throw EDatabaseError(QStringLiteral("Database is not open"));
    return connection;
}

void PgScrollCursor::CheckOpen() const {
    if (!gone_.isEmpty())
        throw EDatabaseError(gone_);
}

void PgScrollCursor::TakePending() {
    if (!pending_)
        return;
    pending_ = false;
    try {
        ahead_ = PgAnswer(PgConnection(*session_.Driver()));
        next_ = pendingFirst_ + Rows(ahead_);
    } catch (const EDatabaseError&) {
        ahead_ = TPgResult();
        next_ = -1;
    }
}

TPgResult PgScrollCursor::TakeAhead(qsizetype first, qsizetype count) {
    TakePending();
    TPgResult ahead = std::move(ahead_);
    if (!ahead.Get() || first != pendingFirst_ || count != pendingCount_)
        return TPgResult();
    return ahead;
}

void PgScrollCursor::Send(const QString& command, bool binaryRows) {
    void* connection = Connection();
    TakePending();
    ahead_ = TPgResult();
    session_.Settle();
    CheckOpen();
    try {
        // Nothing is sent on a lost connection: libpq's reason for the loss stays the one reported.
        if (PgConnectionBroken(*session_.Driver()))
            throw EDatabaseError(PgConnectionError(*session_.Driver()));
        if (binaryRows)
            PgSendOne(connection, command.toUtf8(), true);
        else
            PgSend(connection, command.toUtf8());
    } catch (const EDatabaseError&) {
        next_ = -1;
        throw;
    }
}

TPgResult PgScrollCursor::Answer(const std::function<void()>& wait) {
    void* connection = Connection();
    try {
        PgWaitWhileBusy(connection, wait);
        return PgAnswer(connection);
    } catch (const EDatabaseError&) {
        next_ = -1;
        session_.CursorFailed();
        if (interrupted_.exchange(false))
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        throw;
    }
}

TPgResult PgScrollCursor::Command(const QString& command, const std::function<void()>& wait) {
    Send(command);
    return Answer(wait);
}

void PgScrollCursor::MoveTo(qsizetype row, const std::function<void()>& wait) {
    if (row == next_)
        return;
    // ABSOLUTE n stands on the n-th row counted from 1: the next FETCH starts at `row`.
    Command(QStringLiteral("MOVE ABSOLUTE %1 IN %2").arg(row).arg(name_), wait);
    next_ = row;
}

void PgScrollCursor::FetchAhead(qsizetype first, qsizetype count, bool binaryRows) {
    Send(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count).arg(name_), binaryRows);
    pending_ = true;
    pendingFirst_ = first;
    pendingCount_ = count;
}

void PgScrollCursor::Read(qsizetype first, qsizetype count, TRowStore& rows) {
    ReadWaiting(first, count, rows, {});
}

void PgScrollCursor::ReadWaiting(qsizetype first, qsizetype count, TRowStore& rows,
                                 const std::function<void()>& wait) {
    CheckOpen();
    interrupted_ = false;
    const bool walking = first == lastEnd_;
    TPgResult result = TakeAhead(first, count);
    if (!result.Get()) {
        MoveTo(first, wait);
        result = Command(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count).arg(name_), wait);
        next_ = first + Rows(result);
    }
    const qsizetype read = Rows(result);
    AppendResult(result, rows);
    lastEnd_ = first + read;
    // Reading on from the last read: the server fetches the next page meanwhile.
    if (walking && read == count)
        FetchAhead(lastEnd_, count);
}

qsizetype PgScrollCursor::Count(const std::function<void()>& wait) {
    CheckOpen();
    interrupted_ = false;
    TakeAhead(-1, 0);
    if (next_ < 0)
        MoveTo(0, wait);
    const TPgResult moved = Command(QStringLiteral("MOVE FORWARD ALL IN %1").arg(name_), wait);
    next_ += QByteArray(Libpq().cmdTuples(moved.Get())).toLongLong();
    return next_;
}

void PgScrollCursor::Walk(const std::function<bool(TRowStore& batch)>& each,
                          const std::function<void()>& wait) {
    CheckOpen();
    interrupted_ = false;
    TakeAhead(-1, 0);
    qsizetype position = 0;
    qsizetype batchRows = kFirstWalkRows;
    bool binary = false;
    MoveTo(position, wait);
    FetchAhead(position, batchRows);
    for (;;) {
        TPgResult result;
        if (pending_ && pendingFirst_ == position && pendingCount_ == batchRows) {
            pending_ = false;
            result = Answer(wait);
            next_ = position + Rows(result);
        } else {
            // Whatever ran meanwhile (a page painted) took the answer or moved the cursor.
            result = TakeAhead(position, batchRows);
            if (!result.Get()) {
                MoveTo(position, wait);
                result = Command(
                    QStringLiteral("FETCH FORWARD %1 FROM %2").arg(batchRows).arg(name_), wait);
                next_ = position + Rows(result);
            }
        }
        // The first batch shows the columns' types.
        if (position == 0)
            binary = PgBinaryRowsAsText(result.Get(), Connection());
        const qsizetype read = Rows(result);
        position += read;
        const bool more = read == batchRows;
        // The server makes the next batch while this one is turned into values.
        if (more) {
            batchRows = qBound(qsizetype(64),
                               read * kWalkBatchBytes / qMax(ResultBytes(result), qsizetype(1)),
                               kMostWalkRows);
            FetchAhead(position, batchRows, binary);
        }
        TRowStore batch;
        batch.Reset(int(fields_.size()));
        AppendResult(result, batch, more ? Connection() : nullptr);
        result = TPgResult();
        if (read > 0 && !each(batch)) {
            TakeAhead(-1, 0);
            return;
        }
        if (!more)
            return;
        CheckOpen();
        // Escape while the rows were at work, the next batch asked for already.
        if (interrupted_.exchange(false)) {
            TakeAhead(-1, 0);
            session_.CursorFailed();
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        }
    }
}

void PgScrollCursor::Interrupt() {
    if (!gone_.isEmpty() || !session_.Driver())
        return;
    interrupted_ = true;
    PgCancel(*session_.Driver());
}
