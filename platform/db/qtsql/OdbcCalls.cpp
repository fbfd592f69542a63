#include "db/qtsql/OdbcCalls.h"

#include <sql.h>
#include <sqlext.h>

#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

#include "core/Exception.h"

namespace {

SQLHDBC Connection(const QSqlDriver& driver) {
    const QVariant handle = driver.handle();
    if (!handle.isValid() || handle.metaType().sizeOf() != int(sizeof(SQLHDBC)))
        throw EDatabaseError(QStringLiteral("The ODBC connection is not open"));
    return *static_cast<const SQLHDBC*>(handle.constData());
}

QString FromOdbc(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

QString InfoText(SQLHDBC connection, SQLUSMALLINT item) {
    SQLWCHAR buffer[4096];
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, item, buffer, SQLSMALLINT(sizeof buffer), &length)))
        return {};
    return FromOdbc(buffer, qMin<qsizetype>(length / qsizetype(sizeof(SQLWCHAR)),
                                            qsizetype(std::size(buffer)) - 1));
}

QString Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    QStringList messages;
    SQLWCHAR state[6];
    SQLWCHAR text[1024];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1; SQL_SUCCEEDED(SQLGetDiagRecW(
             type, handle, record, state, &native, text, SQLSMALLINT(std::size(text)), &length));
         ++record)
        messages << FromOdbc(text, qMin<qsizetype>(length, qsizetype(std::size(text)) - 1));
    return messages.isEmpty() ? QStringLiteral("The ODBC driver refused the statement")
                              : messages.join(QLatin1Char(' '));
}

}  // namespace

TOdbcSqlRules OdbcSqlRules(const QSqlDriver& driver) {
    const SQLHDBC connection = Connection(driver);
    TOdbcSqlRules rules;
    rules.quote = InfoText(connection, SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    SQLUSMALLINT folding = 0;
    if (SQL_SUCCEEDED(
            SQLGetInfoW(connection, SQL_IDENTIFIER_CASE, &folding, sizeof folding, nullptr))) {
        rules.foldsToUpper = folding == SQL_IC_UPPER;
        rules.foldsToLower = folding == SQL_IC_LOWER;
    }
    for (const QString& word : InfoText(connection, SQL_KEYWORDS).split(QLatin1Char(',')))
        if (!word.trimmed().isEmpty())
            rules.keywords.insert(word.trimmed().toUpper());
    return rules;
}

int OdbcResultColumns(const QSqlDriver& driver, const QString& sql) {
    const SQLHDBC connection = Connection(driver);
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement)))
        throw EDatabaseError(Diagnostics(SQL_HANDLE_DBC, connection));
    std::u16string text = sql.toStdU16String();
    SQLSMALLINT columns = 0;
    const bool described =
        SQL_SUCCEEDED(SQLPrepareW(statement, reinterpret_cast<SQLWCHAR*>(text.data()),
                                  SQLINTEGER(text.size()))) &&
        SQL_SUCCEEDED(SQLNumResultCols(statement, &columns));
    const QString error = described ? QString() : Diagnostics(SQL_HANDLE_STMT, statement);
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    if (!described)
        throw EDatabaseError(error);
    return columns;
}
