#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The `orders` table of a benchmark database, row by row as the kit's cell lines ("a|b|...",
// NULL as an empty cell), read forward-only as a grid's data set would deliver it.
class TOrdersSource {
  public:
    explicit TOrdersSource(const QString& databaseFile);
    ~TOrdersSource();

    QStringList ColumnTitles() const;
    // Which columns hold numbers (shown right-aligned, as a grid shows them).
    QList<bool> NumericColumns() const;
    // Calls `row` for every row in key order; returns the number of rows.
    int ForEachRow(const std::function<void(const QString&)>& row) const;

  private:
    QString connection_;
};
