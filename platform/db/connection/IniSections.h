#pragma once

#include <QList>
#include <QPair>
#include <QString>

// One "[name]" section of an INI text and its "key=value" lines in file order.
struct TIniSection {
    QString name;
    QList<QPair<QString, QString>> values;

    // The first value of a key (keys compare case-insensitively); empty when absent.
    QString Value(const QString& key) const;
    bool Has(const QString& key) const;
};

// Reads INI text leniently, so that one typo costs at most one section: lines that are neither
// a header, a "key=value" pair, a comment (";" or "#") nor blank are skipped, and so are the
// keys under a broken header until the next good one. Sections come in file order, repeated
// names included; a value wrapped in double quotes loses them, keeping blanks inside.
QList<TIniSection> ParseIniSections(const QString& text);
