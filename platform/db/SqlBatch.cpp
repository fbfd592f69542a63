#include "db/SqlBatch.h"

namespace SqlBatch {

namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The end (one past) of the quoted text starting at `from` with `quote`.
qsizetype SkipQuoted(const QString& sql, qsizetype from, QChar quote, bool backslash) {
    for (qsizetype i = from + 1; i < sql.size(); ++i) {
        if (backslash && sql[i] == QLatin1Char('\\')) {
            ++i;
        } else if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return sql.size();
}

qsizetype SkipBlockComment(const QString& sql, qsizetype from, bool nested) {
    int depth = 0;
    for (qsizetype i = from; i + 1 < sql.size(); ++i) {
        if (sql[i] == QLatin1Char('/') && sql[i + 1] == QLatin1Char('*') &&
            (nested || depth == 0)) {
            ++depth;
            ++i;
        } else if (sql[i] == QLatin1Char('*') && sql[i + 1] == QLatin1Char('/')) {
            ++i;
            if (--depth == 0)
                return i + 1;
        }
    }
    return sql.size();
}

// A dollar quote's tag ("$$", "$body$") starting at `from`; empty when there is none.
QString DollarTag(const QString& sql, qsizetype from) {
    if (from > 0 && IsWordChar(sql[from - 1]))
        return {};
    qsizetype i = from + 1;
    while (i < sql.size() && sql[i] != QLatin1Char('$')) {
        if (!(sql[i].isLetterOrNumber() || sql[i] == QLatin1Char('_')) ||
            (i == from + 1 && sql[i].isDigit()))
            return {};
        ++i;
    }
    return i < sql.size() ? sql.mid(from, i - from + 1) : QString();
}

// Leading blanks and comments of a statement skipped; where its first word starts.
qsizetype CodeStart(const QString& sql) {
    qsizetype i = 0;
    while (i < sql.size()) {
        if (sql[i].isSpace()) {
            ++i;
        } else if (sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? sql.size() : end + 1;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            i = SkipBlockComment(sql, i, true);
        } else {
            break;
        }
    }
    return i;
}

QStringList Read(const QString& sql, bool backslash, bool nested) {
    QStringList statements;
    qsizetype start = 0;
    auto close = [&](qsizetype end) {
        const QString statement = sql.mid(start, end - start);
        if (CodeStart(statement) < statement.size())
            statements << statement;
        start = end + 1;
    };
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const QChar next = i + 1 < sql.size() ? sql[i + 1] : QChar();
        if (c == QLatin1Char('\'')) {
            const bool escaped =
                i > 0 && (sql[i - 1] == QLatin1Char('E') || sql[i - 1] == QLatin1Char('e')) &&
                (i < 2 || !IsWordChar(sql[i - 2]));
            i = SkipQuoted(sql, i, c, backslash || escaped);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
            i = SkipQuoted(sql, i, c, false);
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? sql.size() : end + 1;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            i = SkipBlockComment(sql, i, nested);
        } else if (c == QLatin1Char('$') && !DollarTag(sql, i).isEmpty()) {
            const QString tag = DollarTag(sql, i);
            const qsizetype end = sql.indexOf(tag, i + tag.size());
            i = end < 0 ? sql.size() : end + tag.size();
        } else if (c == QLatin1Char(';')) {
            close(i);
            ++i;
        } else {
            ++i;
        }
    }
    close(sql.size());
    return statements;
}

}  // namespace

QStringList Statements(const QString& sql) {
    QStringList most;
    for (const bool backslash : {false, true})
        for (const bool nested : {false, true})
            if (QStringList reading = Read(sql, backslash, nested); reading.size() > most.size())
                most = reading;
    return most;
}

bool ControlsTransaction(const QString& statement) {
    const qsizetype start = CodeStart(statement);
    qsizetype end = start;
    while (end < statement.size() && IsWordChar(statement[end]))
        ++end;
    const QString word = statement.mid(start, end - start).toUpper();
    for (const char* control :
         {"BEGIN", "START", "COMMIT", "END", "ROLLBACK", "ABORT", "SAVEPOINT", "RELEASE"})
        if (word == QLatin1String(control))
            return true;
    return word == QLatin1String("PREPARE") &&
           statement.mid(end).trimmed().startsWith(QLatin1String("TRANSACTION"),
                                                   Qt::CaseInsensitive);
}

QString FailedBatchText(const QString& error) {
    return error + QStringLiteral("\rThe whole batch was rolled back: nothing was changed");
}

QString TransactionInBatchText() {
    return QStringLiteral(
        "A batch of several statements runs as one transaction of its own, all or nothing: "
        "BEGIN, COMMIT, ROLLBACK and savepoints can only run as statements of their own");
}

}  // namespace SqlBatch
