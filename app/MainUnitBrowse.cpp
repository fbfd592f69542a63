// Table and field browsing on the main window.
#include <QPainter>
#include <QSignalBlocker>

#include "MainUnit.h"
#include "SqlText.h"

namespace {
const QString kWarning =
    QStringLiteral("WARNING: changing data CANNOT be undone and can have huge consequences!");
}

void TMainForm::TableButtonClick() {
    if (!IsConnected()) {
        Modal().ShowMessage(QStringLiteral("Not connected, open a database first."));
        return;
    }
    Modal().SetCursor(crSQLWait);
    try {
        ListBox2->clear();
        QStringList names;
        if (useADO_)
            ADOConnection1->GetTableNames(names, false);
        else
            Session1->GetTableNames(Table1->DatabaseName(), QStringLiteral("*"), false, false,
                                    names);
        // Replacing the items is no selection by the user: the table buttons stay as they are.
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(names);
        Label1->setText(QStringLiteral("Table/View/Query names: %1").arg(ListBox1->count()));
    } catch (...) {
        Modal().SetCursor(crDefault);
        throw;
    }
    Modal().SetCursor(crDefault);
}

QListWidgetItem* TMainForm::SelectedTable() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TMainForm::ListBox1Click() {
    const bool selected = SelectedTable() != nullptr;
    SelectAllButton->setEnabled(selected);
    CountAllButton->setEnabled(selected);
    Button3->setEnabled(selected);
    if (!selected || !LoadFieldsCheckbox->isChecked())
        return;
    ListBox2->clear();
    Modal().SetCursor(crSQLWait);
    const QString table = SelectedTable()->text();
    auto finish = [this] {
        Label4->setText(
            QStringLiteral("Fields in selected table/query: %1").arg(ListBox2->count()));
        Modal().SetCursor(crDefault);
    };
    try {
        QStringList names;
        if (useADO_) {
            ADOTable1->Close();
            ADOTable1->SetTableName(table);
            ADOTable1->GetFieldNames(names);
        } else {
            Table1->Close();
            Table1->SetTableName(table);
            Table1->GetFieldNames(names);
        }
        ListBox2->addItems(names);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

QString TMainForm::QuoteTableName(const QString& name) const {
    // Access names hold no brackets; another kind of file behind ".mdb" might.
    const QString bracketed =
        SqlText::QuoteTableName(name, useADO_, ADOConnection1->ConnectionString());
    if (bracketed != name && !name.contains(QLatin1Char(']')))
        return bracketed;
    TCustomQuery* query = useADO_ ? static_cast<TCustomQuery*>(ADOQuery1) : Query1;
    return query->SqlTableName(name);
}

void TMainForm::SelectAllButtonClick() {
    const QListWidgetItem* item = SelectedTable();
    if (!item)
        return;
    Memo1->setPlainText(QStringLiteral("SELECT * FROM ") + QuoteTableName(item->text()));
    ExecuteButtonClick();
}

void TMainForm::CountAllButtonClick() {
    const QListWidgetItem* item = SelectedTable();
    if (!item)
        return;
    Memo1->setPlainText((useADO_ ? QStringLiteral("SELECT count(*) FROM ")
                                 : QStringLiteral("SELECT count(1) FROM ")) +
                        QuoteTableName(item->text()));
    ExecuteButtonClick();
}

void TMainForm::CheckBox1Click() {
    if (!CheckBox1->isChecked())
        WarnAfterToggle(
            kWarning + QLatin1Char('\r') +
            QStringLiteral("Set this option back to \"readonly\" if you are not very very sure!"));
    DBGrid1->SetReadOnly(CheckBox1->isChecked());
}

void TMainForm::WarnAfterToggle(const QString& warning) {
    Modal().Beep();
    // Assistive technology waits for its toggle to return: a message box opened inside the
    // toggle would hold the screen reader until the box is closed. The box follows it instead.
    QMetaObject::invokeMethod(this, Guard([warning] { Modal().ShowMessage(warning); }),
                              Qt::QueuedConnection);
}

void TMainForm::DBGrid1DrawColumnCell(QPainter& canvas, const QRect& rect, TField& field) {
    if (field.DataType() != ftMemo)
        return;
    canvas.fillRect(rect, canvas.brush().color());
    // One line of a cell never shows more than this; measuring a megabyte of text would stall
    // every repaint.
    constexpr qsizetype kDrawnCharacters = 1000;
    canvas.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    field.AsString().left(kDrawnCharacters));
}
