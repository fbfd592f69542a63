#include "db/qtsql/Libpq.h"

#include <dlfcn.h>

#include <QSqlDriver>
#include <QVariant>

namespace {

// libpq's PQTRANS_INTRANS and PQTRANS_INERROR: inside a transaction block, healthy or failed.
constexpr int kInTransaction = 2;
constexpr int kInFailedTransaction = 3;
// libpq's CONNECTION_BAD.
constexpr int kConnectionBad = 1;

TLibpq Load() {
    TLibpq libpq;
    void* library = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return libpq;
    libpq.ftable = reinterpret_cast<decltype(libpq.ftable)>(dlsym(library, "PQftable"));
    libpq.ftablecol = reinterpret_cast<decltype(libpq.ftablecol)>(dlsym(library, "PQftablecol"));
    libpq.transactionStatus =
        reinterpret_cast<decltype(libpq.transactionStatus)>(dlsym(library, "PQtransactionStatus"));
    libpq.status = reinterpret_cast<decltype(libpq.status)>(dlsym(library, "PQstatus"));
    libpq.consumeInput =
        reinterpret_cast<decltype(libpq.consumeInput)>(dlsym(library, "PQconsumeInput"));
    libpq.errorMessage =
        reinterpret_cast<decltype(libpq.errorMessage)>(dlsym(library, "PQerrorMessage"));
    return libpq;
}

// The PGconn of a QPSQL driver; null for other drivers and closed connections.
const void* Connection(const QSqlDriver& driver) {
    const QVariant handle = driver.handle();
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<const void* const*>(handle.constData());
}

}  // namespace

const TLibpq& Libpq() {
    // Loaded again until libpq is there: the driver brings it with the first connection.
    static TLibpq libpq;
    if (!libpq.ftable)
        libpq = Load();
    return libpq;
}

bool PgInTransaction(const QSqlDriver& driver) {
    const void* connection = Connection(driver);
    if (!Libpq().transactionStatus || !connection)
        return false;
    const int status = Libpq().transactionStatus(connection);
    return status == kInTransaction || status == kInFailedTransaction;
}

bool PgConnectionBroken(const QSqlDriver& driver) {
    const void* connection = Connection(driver);
    if (!Libpq().status || !Libpq().consumeInput || !connection)
        return false;
    // A closed socket reads as the end of input, which marks the connection bad; a server that
    // shut down sends its farewell first, so reading goes on a little.
    for (int read = 0; read < 3 && Libpq().status(connection) != kConnectionBad; ++read)
        if (!Libpq().consumeInput(connection))
            break;
    return Libpq().status(connection) == kConnectionBad;
}

QString PgConnectionError(const QSqlDriver& driver) {
    const void* connection = Connection(driver);
    if (!Libpq().errorMessage || !connection)
        return {};
    return QString::fromUtf8(Libpq().errorMessage(connection)).trimmed();
}
