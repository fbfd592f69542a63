#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <functional>
#include <utility>

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
    int (*sendQuery)(void* connection, const char* command) = nullptr;
    int (*sendQueryParams)(void* connection, const char* command, int count,
                           const unsigned int* types, const char* const* values, const int* lengths,
                           const int* formats, int resultFormat) = nullptr;
    int (*isBusy)(void* connection) = nullptr;
    void* (*getResult)(void* connection) = nullptr;
    int (*resultStatus)(const void* result) = nullptr;
    const char* (*cmdTuples)(void* result) = nullptr;
    const char* (*resultErrorMessage)(const void* result) = nullptr;
    void (*clear)(void* result) = nullptr;
    int (*socket)(const void* connection) = nullptr;
    void* (*getCancel)(void* connection) = nullptr;
    int (*cancel)(void* cancel, char* errorBuffer, int size) = nullptr;
    void (*freeCancel)(void* cancel) = nullptr;
    int (*ntuples)(const void* result) = nullptr;
    int (*nfields)(const void* result) = nullptr;
    unsigned int (*ftype)(const void* result, int column) = nullptr;
    int (*fformat)(const void* result, int column) = nullptr;
    char* (*getvalue)(const void* result, int row, int column) = nullptr;
    int (*getisnull)(const void* result, int row, int column) = nullptr;
    int (*getlength)(const void* result, int row, int column) = nullptr;
    unsigned char* (*unescapeBytea)(const unsigned char* text, std::size_t* length) = nullptr;
    void (*freemem)(void* memory) = nullptr;
    void* (*prepare)(void* connection, const char* name, const char* query, int count,
                     const unsigned int* types) = nullptr;
    void* (*describePrepared)(void* connection, const char* name) = nullptr;
    char* (*resultErrorField)(const void* result, int field) = nullptr;
    int (*putCopyEnd)(void* connection, const char* error) = nullptr;
    int (*getCopyData)(void* connection, char** buffer, int async) = nullptr;
    const char* (*parameterStatus)(const void* connection, const char* name) = nullptr;
};

// The PGconn behind a QPSQL driver; null for other drivers and closed connections.
void* PgConnection(const QSqlDriver& driver);

// A PGresult, cleared when it goes.
class TPgResult {
  public:
    explicit TPgResult(void* result = nullptr) : result_(result) {}
    ~TPgResult();
    TPgResult(TPgResult&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}
    TPgResult& operator=(TPgResult&& other) noexcept;
    void* Get() const { return result_; }

  private:
    void* result_;
};

// Sends one command without waiting for its answer; raises EDatabaseError when it cannot.
void PgSend(void* connection, const QByteArray& command);
// The same for text that must be one statement: the server refuses several. The rows come in
// the server's binary form when asked.
void PgSendOne(void* connection, const QByteArray& command, bool binaryRows = false);
// Lets `wait` (when given) run every few tens of milliseconds until the answer of the command
// sent last has come in.
void PgWaitWhileBusy(void* connection, const std::function<void()>& wait);
// Waits for the answer of the command sent last and returns its result; raises EDatabaseError
// with the server's message when it failed.
TPgResult PgAnswer(void* connection);

const TLibpq& Libpq();

// Whether the connection behind a QPSQL driver is inside a transaction block (one begun by
// the user's own BEGIN, say). False when that cannot be told.
bool PgInTransaction(const QSqlDriver& driver);
// Whether that transaction block has failed: it only takes a rollback now.
bool PgTransactionFailed(const QSqlDriver& driver);

// Whether the connection behind a QPSQL driver is broken, with libpq's reason. Qt's driver does
// not always notice: a table list on a lost connection is merely empty, and a failed statement
// leaves the connection looking open. Reading what the server sent tells.
bool PgConnectionBroken(const QSqlDriver& driver);
QString PgConnectionError(const QSqlDriver& driver);

// Runs one command on the connection behind a QPSQL driver without blocking the thread: `wait`
// runs every few tens of milliseconds until the server answers, and PgCancel from it stops the
// command (it then fails). Returns the rows the command reports (MOVE, FETCH, UPDATE...);
// raises EDatabaseError with the server's message when it fails.
qsizetype PgCommandWhileWaiting(const QSqlDriver& driver, const QByteArray& command,
                                const std::function<void()>& wait);
// Asks the server to stop what the connection is running; true when the request was sent.
bool PgCancel(const QSqlDriver& driver);

// How the server reads `sql` without running it (prepared and described as the unnamed
// statement): the number of columns of the rows it returns, 0 when it returns none, -1 when the
// text holds several statements. Raises EDatabaseError with the server's message when it
// refuses the text.
int PgResultColumns(const QSqlDriver& driver, const QString& sql);

// Runs text of one or more statements and returns the rows they changed, summed. Raises
// EDatabaseError with the first error of any of them (Qt's driver looks at the first only).
qsizetype PgExecute(const QSqlDriver& driver, const QString& sql);
