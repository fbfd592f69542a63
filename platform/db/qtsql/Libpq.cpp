#include "db/qtsql/Libpq.h"

#include <dlfcn.h>
#include <poll.h>

#include <type_traits>

#include <QSqlDriver>
#include <QVariant>

#include "core/Exception.h"

namespace {

// libpq's PQTRANS_INTRANS and PQTRANS_INERROR: inside a transaction block, healthy or failed.
constexpr int kInTransaction = 2;
constexpr int kInFailedTransaction = 3;
// libpq's CONNECTION_BAD.
constexpr int kConnectionBad = 1;
// libpq's PQTRANS_ACTIVE: a command is under way.
constexpr int kCommandActive = 1;
// libpq's PG_DIAG_SQLSTATE and PG_DIAG_STATEMENT_POSITION.
constexpr int kSqlState = 'C';
constexpr int kPosition = 'P';

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
    auto load = [library](auto& function, const char* name) {
        function =
            reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
    };
    load(libpq.sendQuery, "PQsendQuery");
    load(libpq.sendQueryParams, "PQsendQueryParams");
    load(libpq.isBusy, "PQisBusy");
    load(libpq.getResult, "PQgetResult");
    load(libpq.resultStatus, "PQresultStatus");
    load(libpq.cmdTuples, "PQcmdTuples");
    load(libpq.resultErrorMessage, "PQresultErrorMessage");
    load(libpq.clear, "PQclear");
    load(libpq.socket, "PQsocket");
    load(libpq.getCancel, "PQgetCancel");
    load(libpq.cancel, "PQcancel");
    load(libpq.freeCancel, "PQfreeCancel");
    load(libpq.ntuples, "PQntuples");
    load(libpq.nfields, "PQnfields");
    load(libpq.ftype, "PQftype");
    load(libpq.fformat, "PQfformat");
    load(libpq.getvalue, "PQgetvalue");
    load(libpq.getisnull, "PQgetisnull");
    load(libpq.getlength, "PQgetlength");
    load(libpq.unescapeBytea, "PQunescapeBytea");
    load(libpq.freemem, "PQfreemem");
    load(libpq.prepare, "PQprepare");
    load(libpq.describePrepared, "PQdescribePrepared");
    load(libpq.resultErrorField, "PQresultErrorField");
    load(libpq.putCopyEnd, "PQputCopyEnd");
    load(libpq.getCopyData, "PQgetCopyData");
    load(libpq.parameterStatus, "PQparameterStatus");
    return libpq;
}

// libpq's PGRES_COMMAND_OK and PGRES_TUPLES_OK.
constexpr int kCommandOk = 1;
constexpr int kTuplesOk = 2;
// libpq's PGRES_COPY_OUT and PGRES_COPY_IN.
constexpr int kCopyOut = 3;
constexpr int kCopyIn = 4;

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

bool PgTransactionFailed(const QSqlDriver& driver) {
    const void* connection = Connection(driver);
    return Libpq().transactionStatus && connection &&
           Libpq().transactionStatus(connection) == kInFailedTransaction;
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

qsizetype PgCommandWhileWaiting(const QSqlDriver& driver, const QByteArray& command,
                                const std::function<void()>& wait) {
    void* connection = PgConnection(driver);
    PgSend(connection, command);
    PgWaitWhileBusy(connection, wait);
    const TPgResult result = PgAnswer(connection);
    return QByteArray(Libpq().cmdTuples(result.Get())).toLongLong();
}

void PgWaitWhileBusy(void* connection, const std::function<void()>& wait) {
    const TLibpq& pq = Libpq();
    for (;;) {
        if (!pq.consumeInput(connection))
            throw EDatabaseError(QString::fromUtf8(pq.errorMessage(connection)).trimmed());
        if (!pq.isBusy(connection))
            return;
        pollfd socket{pq.socket(connection), POLLIN, 0};
        poll(&socket, 1, 20);
        if (wait)
            wait();
    }
}

bool PgCancel(const QSqlDriver& driver) {
    const TLibpq& pq = Libpq();
    void* connection = const_cast<void*>(Connection(driver));
    if (!connection || !pq.getCancel)
        return false;
    void* cancel = pq.getCancel(connection);
    if (!cancel)
        return false;
    char error[256];
    const bool sent = pq.cancel(cancel, error, int(sizeof error)) == 1;
    pq.freeCancel(cancel);
    return sent;
}

void* PgConnection(const QSqlDriver& driver) {
    return const_cast<void*>(Connection(driver));
}

TPgResult::~TPgResult() {
    if (result_)
        Libpq().clear(result_);
}

TPgResult& TPgResult::operator=(TPgResult&& other) noexcept {
    if (this != &other) {
        if (result_)
            Libpq().clear(result_);
        result_ = std::exchange(other.result_, nullptr);
    }
    return *this;
}

void PgSend(void* connection, const QByteArray& command) {
    const TLibpq& pq = Libpq();
    if (!connection || !pq.freemem)
        throw EDatabaseError(QStringLiteral("The PostgreSQL client library is not loaded"));
    if (!pq.sendQuery(connection, command.constData()))
        throw EDatabaseError(QString::fromUtf8(pq.errorMessage(connection)).trimmed());
}

void PgSendOne(void* connection, const QByteArray& command, bool binaryRows) {
    const TLibpq& pq = Libpq();
    if (!connection || !pq.freemem || !pq.sendQueryParams)
        throw EDatabaseError(QStringLiteral("The PostgreSQL client library is not loaded"));
    if (!pq.sendQueryParams(connection, command.constData(), 0, nullptr, nullptr, nullptr, nullptr,
                            binaryRows ? 1 : 0))
        throw EDatabaseError(QString::fromUtf8(pq.errorMessage(connection)).trimmed());
}

TPgResult PgAnswer(void* connection) {
    const TLibpq& pq = Libpq();
    TPgResult last;
    QString error;
    while (void* result = pq.getResult(connection)) {
        const int status = pq.resultStatus(result);
        if (status != kCommandOk && status != kTuplesOk && error.isEmpty())
            error = QString::fromUtf8(pq.resultErrorMessage(result)).trimmed();
        last = TPgResult(result);
    }
    if (!error.isEmpty())
        throw EDatabaseError(error);
    if (!last.Get())
        throw EDatabaseError(QString::fromUtf8(pq.errorMessage(connection)).trimmed());
    return last;
}

namespace {

// The connection behind the driver, refused while Qt's driver still reads a result on it.
void* IdleConnection(const QSqlDriver& driver) {
    const TLibpq& pq = Libpq();
    void* connection = PgConnection(driver);
    if (!connection || !pq.prepare || !pq.describePrepared || !pq.resultErrorField ||
        !pq.getCopyData)
        throw EDatabaseError(QStringLiteral("The PostgreSQL client library is not loaded"));
    if (pq.transactionStatus(connection) == kCommandActive)
        throw EDatabaseError(
            QStringLiteral("The database is still sending the rows of the previous statement"));
    return connection;
}

}  // namespace

qsizetype PgExecute(const QSqlDriver& driver, const QString& sql) {
    const TLibpq& pq = Libpq();
    void* connection = IdleConnection(driver);
    PgSend(connection, sql.toUtf8());
    qsizetype affected = 0;
    QString error;
    while (void* result = pq.getResult(connection)) {
        const TPgResult held(result);
        const int status = pq.resultStatus(result);
        // A COPY from or to the client would wait for ever: it is ended, data unread.
        if (status == kCopyIn) {
            pq.putCopyEnd(connection, "COPY FROM STDIN cannot be run here");
            continue;
        }
        if (status == kCopyOut) {
            char* data = nullptr;
            while (pq.getCopyData(connection, &data, 0) > 0)
                pq.freemem(data);
            if (error.isEmpty())
                error = QStringLiteral("COPY TO STDOUT cannot be run here");
            continue;
        }
        if (status != kCommandOk && status != kTuplesOk && error.isEmpty())
            error = QString::fromUtf8(pq.resultErrorMessage(result)).trimmed();
        if (status == kCommandOk)
            affected += QByteArray(pq.cmdTuples(result)).toLongLong();
    }
    if (!error.isEmpty())
        throw EDatabaseError(error);
    return affected;
}

int PgResultColumns(const QSqlDriver& driver, const QString& sql) {
    const TLibpq& pq = Libpq();
    void* connection = IdleConnection(driver);
    const TPgResult prepared(pq.prepare(connection, "", sql.toUtf8().constData(), 0, nullptr));
    if (!prepared.Get())
        throw EDatabaseError(QString::fromUtf8(pq.errorMessage(connection)).trimmed());
    if (pq.resultStatus(prepared.Get()) != kCommandOk) {
        // Several statements are refused as a syntax error without a position in the text;
        // a true syntax error points at where it is.
        const char* state = pq.resultErrorField(prepared.Get(), kSqlState);
        if (state && qstrcmp(state, "42601") == 0 &&
            !pq.resultErrorField(prepared.Get(), kPosition))
            return -1;
        throw EDatabaseError(QString::fromUtf8(pq.resultErrorMessage(prepared.Get())).trimmed());
    }
    const TPgResult described(pq.describePrepared(connection, ""));
    if (!described.Get() || pq.resultStatus(described.Get()) != kCommandOk)
        throw EDatabaseError(QString::fromUtf8(pq.errorMessage(connection)).trimmed());
    return pq.nfields(described.Get());
}
