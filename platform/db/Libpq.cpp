#include "db/Libpq.h"

#include <dlfcn.h>

#include <QSqlDriver>
#include <QVariant>

namespace {

// libpq's PQTRANS_INTRANS and PQTRANS_INERROR: inside a transaction block, healthy or failed.
constexpr int kInTransaction = 2;
constexpr int kInFailedTransaction = 3;

TLibpq Load() {
    TLibpq libpq;
    void* library = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return libpq;
    libpq.ftable = reinterpret_cast<decltype(libpq.ftable)>(dlsym(library, "PQftable"));
    libpq.ftablecol = reinterpret_cast<decltype(libpq.ftablecol)>(dlsym(library, "PQftablecol"));
    libpq.transactionStatus =
        reinterpret_cast<decltype(libpq.transactionStatus)>(dlsym(library, "PQtransactionStatus"));
    return libpq;
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
    const QVariant handle = driver.handle();
    if (!Libpq().transactionStatus || qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return false;
    const void* connection = *static_cast<const void* const*>(handle.constData());
    if (!connection)
        return false;
    const int status = Libpq().transactionStatus(connection);
    return status == kInTransaction || status == kInFailedTransaction;
}
