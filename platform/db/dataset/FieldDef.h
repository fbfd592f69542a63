#pragma once

#include <QList>
#include <QString>

#include "db/dataset/FieldType.h"

// One column of a table or result set as the database declares it. Size is the length in
// characters for text types and 0 for types without a size.
struct TFieldDef {
    QString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
};

using TFieldDefs = QList<TFieldDef>;
