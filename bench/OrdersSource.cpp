#include "OrdersSource.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <stdexcept>

TOrdersSource::TOrdersSource(const QString& databaseFile) : connection_(QStringLiteral("orders")) {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    database.setDatabaseName(databaseFile);
    if (!database.open())
        throw std::runtime_error(database.lastError().text().toStdString());
}

TOrdersSource::~TOrdersSource() {
    QSqlDatabase::removeDatabase(connection_);
}

QStringList TOrdersSource::ColumnTitles() const {
    const QSqlRecord record = QSqlDatabase::database(connection_).record(QStringLiteral("orders"));
    QStringList titles;
    for (int i = 0; i < record.count(); ++i)
        titles << record.fieldName(i);
    return titles;
}

QList<bool> TOrdersSource::NumericColumns() const {
    const QSqlRecord record = QSqlDatabase::database(connection_).record(QStringLiteral("orders"));
    QList<bool> numeric;
    for (int i = 0; i < record.count(); ++i) {
        const int type = record.field(i).metaType().id();
        numeric << (type == QMetaType::Int || type == QMetaType::LongLong ||
                    type == QMetaType::Double);
    }
    return numeric;
}

int TOrdersSource::ForEachRow(const std::function<void(const QString&)>& row) const {
    QSqlQuery query(QSqlDatabase::database(connection_));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM orders ORDER BY id"))) {
        throw std::runtime_error(query.lastError().text().toStdString());
    }
    const int columns = query.record().count();
    int rows = 0;
    QStringList cells;
    while (query.next()) {
        cells.clear();
        for (int i = 0; i < columns; ++i)
            cells << query.value(i).toString();
        row(cells.join(QLatin1Char('|')));
        ++rows;
    }
    return rows;
}
