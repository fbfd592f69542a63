#include "db/dataset/SqlIdentifier.h"

#include <QSet>
#include <QStringList>

QString QuoteIdentifier(const QString& name) {
    return QuoteIdentifier(name, QLatin1Char('"'), QLatin1Char('"'));
}

QString QuoteIdentifier(const QString& name, QChar open, QChar close) {
    QString quoted = name;
    quoted.replace(close, QString(2, close));
    return open + quoted + close;
}

bool IsPlainIdentifier(const QString& name) {
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool letter = c.isLetter();
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!letter && c != QLatin1Char('_') && !(digit && i > 0))
            return false;
    }
    return true;
}

bool IsReservedSqlWord(const QString& word) {
    // ODBC's list of reserved keywords (the SQL-92 words), which every driver must accept.
    static const QSet<QString> reserved = [] {
        const QString words = QStringLiteral(
            "ABSOLUTE ACTION ADA ADD ALL ALLOCATE ALTER AND ANY ARE AS ASC ASSERTION AT "
            "AUTHORIZATION AVG BEGIN BETWEEN BIT BIT_LENGTH BOTH BY CASCADE CASCADED CASE CAST "
            "CATALOG CHAR CHAR_LENGTH CHARACTER CHARACTER_LENGTH CHECK CLOSE COALESCE COLLATE "
            "COLLATION COLUMN COMMIT CONNECT CONNECTION CONSTRAINT CONSTRAINTS CONTINUE CONVERT "
            "CORRESPONDING COUNT CREATE CROSS CURRENT CURRENT_DATE CURRENT_TIME CURRENT_TIMESTAMP "
            "CURRENT_USER CURSOR DATE DAY DEALLOCATE DEC DECIMAL DECLARE DEFAULT DEFERRABLE "
            "DEFERRED DELETE DESC DESCRIBE DESCRIPTOR DIAGNOSTICS DISCONNECT DISTINCT DOMAIN "
            "DOUBLE DROP ELSE END ESCAPE EXCEPT EXCEPTION EXEC EXECUTE EXISTS EXTERNAL EXTRACT "
            "FALSE FETCH FIRST FLOAT FOR FOREIGN FORTRAN FOUND FROM FULL GET GLOBAL GO GOTO GRANT "
            "GROUP HAVING HOUR IDENTITY IMMEDIATE IN INCLUDE INDEX INDICATOR INITIALLY INNER INPUT "
            "INSENSITIVE INSERT INT INTEGER INTERSECT INTERVAL INTO IS ISOLATION JOIN KEY LANGUAGE "
            "LAST LEADING LEFT LEVEL LIKE LOCAL LOWER MATCH MAX MIN MINUTE MODULE MONTH NAMES "
            "NATIONAL NATURAL NCHAR NEXT NO NONE NOT NULL NULLIF NUMERIC OCTET_LENGTH OF ON ONLY "
            "OPEN OPTION OR ORDER OUTER OUTPUT OVERLAPS PAD PARTIAL PASCAL POSITION PRECISION "
            "PREPARE PRESERVE PRIMARY PRIOR PRIVILEGES PROCEDURE PUBLIC READ REAL REFERENCES "
            "RELATIVE RESTRICT REVOKE RIGHT ROLLBACK ROWS SCHEMA SCROLL SECOND SECTION SELECT "
            "SESSION SESSION_USER SET SIZE SMALLINT SOME SPACE SQL SQLCA SQLCODE SQLERROR "
            "SQLSTATE SQLWARNING SUBSTRING SUM SYSTEM_USER TABLE TEMPORARY THEN TIME TIMESTAMP "
            "TIMEZONE_HOUR TIMEZONE_MINUTE TO TRAILING TRANSACTION TRANSLATE TRANSLATION TRIM "
            "TRUE UNION UNIQUE UNKNOWN UPDATE UPPER USAGE USER USING VALUE VALUES VARCHAR VARYING "
            "VIEW WHEN WHENEVER WHERE WITH WORK WRITE YEAR ZONE");
        const QStringList list = words.split(QLatin1Char(' '));
        return QSet<QString>(list.begin(), list.end());
    }();
    return reserved.contains(word.toUpper());
}
