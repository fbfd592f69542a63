#include "db/components/CustomQuery.h"

#include "core/Exception.h"

QString TCustomQuery::CheckedCommand() const {
    const QString command = CommandText();
    if (command.trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("No SQL statement available"));
    return command;
}

int TCustomQuery::ExecSQL() {
    Close();
    rowsAffected_ = -1;
    rowsAffected_ = Engine().Execute(CheckedCommand());
    return rowsAffected_;
}

bool TCustomQuery::ReturnsRows(const QString& command) {
    return Engine().ReturnsRows(command);
}

QString TCustomQuery::SqlTableName(const QString& table) {
    return Engine().SqlTableName(table);
}

std::unique_ptr<TResultCursor> TCustomQuery::OpenCursor() {
    return Engine().Query(CheckedCommand());
}
