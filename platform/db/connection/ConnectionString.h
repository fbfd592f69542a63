#pragma once

#include <QList>
#include <QPair>
#include <QString>

// An ADO connection string, "Key=Value;Key2=\"quoted; value\"". Keys are case-insensitive and
// keep their order; values may be quoted with " or ' (a doubled quote inside stands for one).
class TConnectionString {
  public:
    TConnectionString() = default;
    // Raises EDatabaseError for text that is not a connection string (unterminated quote,
    // an item without "=", an empty key).
    static TConnectionString Parse(const QString& text);

    QString Value(const QString& key) const;
    bool Has(const QString& key) const;
    void Set(const QString& key, const QString& value);
    void Remove(const QString& key);
    const QList<QPair<QString, QString>>& Items() const { return items_; }
    // Back to text, quoting values that need it.
    QString ToString() const;

  private:
    QList<QPair<QString, QString>> items_;
};
