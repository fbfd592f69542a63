#include "db/qtsql/PgScrollCursor.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "core/Exception.h"
#include "db/dataset/RowStore.h"
#include "db/qtsql/Libpq.h"
#include "db/qtsql/PgOrigins.h"
#include "db/qtsql/QtSqlFieldType.h"

namespace {

const QString kCursor = QStringLiteral("quorva_rows");

QString ErrorText(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error") : text;
}

// The statement fit to follow "FOR": without its closing semicolon, and ended by a line feed so
// that a trailing "--" comment stays a comment.
QString Body(const QString& sql) {
    QString body = sql;
    while (!body.isEmpty() && (body.back().isSpace() || body.back() == QLatin1Char(';')))
        body.chop(1);
    return body + QLatin1Char('\n');
}

}  // namespace

std::unique_ptr<PgScrollCursor> PgScrollCursor::Open(DbBackend& backend, const QSqlDatabase& main,
                                                    const QString& sql) {
    static int opened = 0;
    std::unique_ptr<PgScrollCursor> cursor(new PgScrollCursor);
    cursor->connectionName_ = QStringLiteral("%1-cursor-%2").arg(main.connectionName()).arg(++opened);
    cursor->db_ = QSqlDatabase::cloneDatabase(main, cursor->connectionName_);
    if (!cursor->db_.open())
        throw EDatabaseError(ErrorText(cursor->db_.lastError()));
    cursor->Run(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    QSqlQuery declare(cursor->db_);
    if (!declare.exec(QStringLiteral("DECLARE %1 SCROLL CURSOR FOR\n%2").arg(kCursor, Body(sql))))
        return nullptr;
    // FETCH 0 reads no row but describes the result, with the tables its columns come from.
    QSqlQuery describe(cursor->db_);
    describe.setForwardOnly(true);
    if (!describe.exec(QStringLiteral("FETCH FORWARD 0 FROM %1").arg(kCursor)))
        throw EDatabaseError(ErrorText(describe.lastError()));
    const QSqlRecord record = describe.record();
    for (int column = 0; column < record.count(); ++column)
        cursor->fields_.append(FieldDefFromSqlField(record.field(column), main.driverName()));
    cursor->updateTarget_ = PgUpdateResolver(backend, PgOriginsOf(describe, sql));
    describe.finish();
    return cursor;
}

PgScrollCursor::~PgScrollCursor() {
    if (connectionName_.isEmpty())
        return;
    Detach();
    if (onGone)
        onGone();
}

void PgScrollCursor::Detach() {
    if (connectionName_.isEmpty())
        return;
    // Closing the connection ends the read-only transaction and the cursor with it.
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
    connectionName_.clear();
}

void PgScrollCursor::Run(const QString& command) {
    QSqlQuery query(db_);
    if (!query.exec(command))
        throw EDatabaseError(ErrorText(query.lastError()));
}

void PgScrollCursor::Read(qsizetype first, qsizetype count, TRowStore& rows) {
    if (!db_.isOpen())
        throw EDatabaseError(QStringLiteral("Database is not open"));
    if (first != next_) {
        // ABSOLUTE n stands on the n-th row counted from 1, so the next FETCH starts at `first`.
        Run(QStringLiteral("MOVE ABSOLUTE %1 IN %2").arg(first).arg(kCursor));
        next_ = first;
    }
    QSqlQuery fetch(db_);
    fetch.setForwardOnly(true);
    if (!fetch.exec(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(count).arg(kCursor))) {
        next_ = -1;
        throw EDatabaseError(ErrorText(fetch.lastError()));
    }
    const int columns = int(fields_.size());
    while (fetch.next()) {
        rows.BeginRow();
        for (int column = 0; column < columns; ++column)
            rows.AddValue(fetch.value(column));
        rows.EndRow();
        ++next_;
    }
    if (fetch.lastError().isValid()) {
        next_ = -1;
        throw EDatabaseError(ErrorText(fetch.lastError()));
    }
}

qsizetype PgScrollCursor::Count(const std::function<void()>& wait) {
    if (!db_.isOpen())
        throw EDatabaseError(QStringLiteral("Database is not open"));
    interrupted_ = false;
    qsizetype moved;
    try {
        moved = PgCommandWhileWaiting(*db_.driver(),
                                      QStringLiteral("MOVE FORWARD ALL IN %1").arg(kCursor).toUtf8(),
                                      wait);
    } catch (const EDatabaseError&) {
        if (interrupted_)
            throw EOperationCancelled(QStringLiteral("Cancelled"));
        throw;
    }
    next_ += moved;
    return next_;
}

void PgScrollCursor::Interrupt() {
    if (!db_.isOpen())
        return;
    interrupted_ = true;
    PgCancel(*db_.driver());
}
