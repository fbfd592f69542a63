#pragma once

#include <QString>

#include "db/dataset/FieldDef.h"
#include "db/dataset/RowStore.h"

// The field a column declaration stands for: "VARCHAR(50)" is ftString of 50 characters,
// "CHAR(5)" ftFixedChar 5, "TEXT" ftMemo, "NUMERIC(10,2)" ftBCD with 2 decimals, and so on.
// Understands SQLite's and PostgreSQL's spellings ("character varying(40)", "int8",
// "timestamp with time zone"). An empty declaration gives ftUnknown; a name not recognised
// falls back to SQLite's affinity rules, and to ftString when none applies.
TFieldDef FieldDefFromDeclaration(const QString& name, const QString& declaredType);

// The field type of a column without a declaration (an SQLite expression), from the kind of
// its first non-null value.
TFieldType FieldTypeOfValue(TRowStore::CellKind kind);
