#pragma once

#include <QString>

// The lines of the printed report of a table's fields. Columns are cut and padded to fixed
// widths, so every line is 66 characters (a field number of 1000 or more widens it).
namespace FieldReport {

// The report's name of a field type value; "Unknown?" for a value that is no field type.
QString FieldTypeName(int dataType);

// A field size in decimal, "-" for 0 (types without a size).
QString FieldSizeText(int size);

// "Database file: <file>" of an Access file chosen in the ADO chooser.
QString DatabaseFileLine(const QString& fileName);
// "Database name: <name>" of an Oracle database chosen in the ADO chooser.
QString DatabaseNameLine(const QString& databaseName);
// "Table '<name>' has <count> fields:".
QString TableLine(const QString& tableName, int fieldCount);

// The column titles.
QString HeadingLine();
// One field: its zero-based number, name, type name and size text.
QString FieldLine(int number, const QString& fieldName, const QString& typeName,
                  const QString& sizeText);

}  // namespace FieldReport
