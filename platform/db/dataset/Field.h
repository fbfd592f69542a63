#pragma once

#include <QString>
#include <QVariant>

#include "db/dataset/FieldDef.h"

class TDataSet;

// One column of an open data set. Its value is that of the data set's current record (or of
// the record being drawn, see TDataSet::TRowScope); the *At functions read any record by row
// number from 0 without moving. A record being edited reads as edited. Fields live while
// their data set is open.
class TField {
  public:
    TField(TDataSet& dataSet, int index, TFieldDef def);

    const QString& FieldName() const { return def_.Name; }
    const TFieldDef& Def() const { return def_; }
    TFieldType DataType() const { return def_.DataType; }
    int Size() const { return def_.Size; }
    int Index() const { return index_; }
    TDataSet& DataSet() const { return dataSet_; }

    bool IsNull() const;
    QString AsString() const;
    // What a printed grid shows: the value as text, or the grid's placeholder "(BLOB)" for
    // binary data, which has no text to print.
    QString DisplayText() const;
    QVariant Value() const;

    bool IsNullAt(qsizetype row) const;
    QString TextAt(qsizetype row) const;
    QVariant ValueAt(qsizetype row) const;
    // The text an editor of the cell starts from (see CellEditText).
    QString EditTextAt(qsizetype row) const;

    // Give the record being edited or inserted a value; raise EDatabaseError when the data
    // set is not editing. SetAsString reads typed text (see FieldValueFromText).
    void SetValue(const QVariant& value);
    void SetAsString(const QString& text);
    void Clear() { SetValue(QVariant()); }

    // Width in characters that a grid column gives the field at first.
    int DisplayWidth() const;
    // Numbers stand right-aligned, everything else left.
    Qt::Alignment Alignment() const;
    // Memo and binary fields are drawn as a placeholder by data grids.
    bool IsMemo() const;
    bool IsBinary() const;

  private:
    friend class TDataSet;
    void SetDef(const TFieldDef& def) { def_ = def; }

    TDataSet& dataSet_;
    int index_;
    TFieldDef def_;
};
