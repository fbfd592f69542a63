#pragma once

#include <QString>

class QSqlDriver;

// The few libpq functions Quorva calls itself, on the handles of Qt's PostgreSQL driver. They
// are taken from the libpq that driver has loaded into the process, so that Quorva needs no
// libpq to build; each is null until a PostgreSQL connection has been made.
struct TLibpq {
    unsigned int (*ftable)(const void* result, int column) = nullptr;
    int (*ftablecol)(const void* result, int column) = nullptr;
    int (*transactionStatus)(const void* connection) = nullptr;
    int (*status)(const void* connection) = nullptr;
    int (*consumeInput)(const void* connection) = nullptr;
    const char* (*errorMessage)(const void* connection) = nullptr;
};

const TLibpq& Libpq();

// Whether the connection behind a QPSQL driver is inside a transaction block (one begun by
// the user's own BEGIN, say). False when that cannot be told.
bool PgInTransaction(const QSqlDriver& driver);

// Whether the connection behind a QPSQL driver is broken, with libpq's reason. Qt's driver does
// not always notice: a table list on a lost connection is merely empty, and a failed statement
// leaves the connection looking open. Reading what the server sent tells.
bool PgConnectionBroken(const QSqlDriver& driver);
QString PgConnectionError(const QSqlDriver& driver);
