// The SQL editor and its execution on the main window.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>

#include "MainUnit.h"
#include "SqlText.h"
#include "core/Exception.h"
#include "core/FileBytes.h"
#include "ui/EventGuard.h"

void TMainForm::Memo1Change() {
    const bool enabled = !Memo1->document()->isEmpty() && IsConnected();
    ExecuteButton->setEnabled(enabled);
    EmptyButton->setEnabled(enabled);
}

bool TMainForm::Memo1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_F9)
        ExecuteButtonClick();
    if ((modifiers & Qt::ControlModifier) && key == Qt::Key_A) {
        Memo1->selectAll();
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool consumed = false;
        Guarded(
            [&] { RunWatched([&] { consumed = Memo1KeyDown(key->key(), key->modifiers()); }); });
        if (consumed)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Button4Click() {
    OpenDialog1.filter = QStringLiteral("SQL files (*.sql)|*.sql|All files (*.*)|*.*");
    if (OpenDialog1.initialDir.isEmpty())
        OpenDialog1.initialDir = QDir::currentPath();
    const std::optional<QString> chosen = Modal().OpenFile(this, OpenDialog1);
    if (!chosen)
        return;
    const QFileInfo info(*chosen);
    OpenDialog1.initialDir = info.absolutePath();
    const TFileBytes file = ReadFileBytes(*chosen);
    if (!file.failure.isEmpty())
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(*chosen, file.failure));
    Memo1->setPlainText(SqlText::DecodeSqlFile(file.bytes, *chosen));
}

void TMainForm::CheckBox2Click() {
    if (CheckBox2->isChecked())
        return;
    WarnAfterToggle(
        QStringLiteral("WARNING: changing data CANNOT be undone and can have huge consequences!\r"
                       "Set this option back to \"confirm\" if you are not very very sure!"));
}

void TMainForm::ExecuteButtonClick() {
    if (!IsConnected()) {
        Modal().ShowMessage(QStringLiteral("Not connected, open a database first."));
        return;
    }
    const QString text = SqlText::EditorText(Memo1->document()->toRawText());
    if (text.isEmpty()) {
        Modal().ShowMessage(QStringLiteral("Enter some SQL code first."));
        return;
    }
    TCustomQuery* query = useADO_ ? static_cast<TCustomQuery*>(ADOQuery1) : Query1;
    // Text that returns no rows, or holds several statements, is a change whatever its words:
    // confirmed, then run without a result set.
    bool changes = SqlText::IsChangeStatement(text);
    try {
        changes = changes || !query->ReturnsRows(text);
    } catch (const EDatabaseError&) {
        // Text the engine refuses unrun fails on opening, timed like any failed statement.
    }
    if (changes && CheckBox2->isChecked() &&
        !Modal().Confirm(QStringLiteral("You are about to CHANGE the contents of a table!\r"
                                        "Are you sure you want to do this?")))
        return;
    if (SqlText::DropsTable(text) &&
        !Modal().Confirm(QStringLiteral("You are about to DROP A TABLE!\r"
                                        "This CANNOT BE UNDONE, are you SURE?")))
        return;

    Modal().SetCursor(crSQLWait);
    QElapsedTimer timer;
    timer.start();
    auto finish = [&] {
        SetPanelText(2, SqlText::ElapsedText(timer.elapsed()));
        Modal().SetCursor(crDefault);
    };
    try {
        const QStringList lines = text.split(QLatin1Char('\n'));
        if (useADO_) {
            // An edit the user has not posted yet is posted, not dropped, by closing.
            ADOQuery1->CheckBrowseMode();
            ADOQuery1->Close();
            ADOQuery1->SQL().clear();
            ADOQuery1->SQL() = lines;
            if (changes) {
                SetPanelText(1, QStringLiteral("Affected: %1").arg(ADOQuery1->ExecSQL()));
            } else {
                ADOQuery1->Open();
                SetPanelText(1, QStringLiteral("Records: %1").arg(ADOQuery1->RecordCount()));
            }
        } else {
            Query1->CheckBrowseMode();
            Query1->Close();
            Query1->SQL().clear();
            Query1->SQL() = lines;
            if (changes) {
                Query1->ExecSQL();
                SetPanelText(1, QStringLiteral("Affected: %1").arg(Query1->RowsAffected()));
            } else {
                Query1->Open();
                SetPanelText(1, QStringLiteral("Records: %1").arg(Query1->RecordCount()));
            }
        }
    } catch (const EOperationCancelled&) {
        // Stopped with Escape: the data set is closed again, and the status bar says so.
        finish();
        SetPanelText(1, QStringLiteral("Cancelled"));
        return;
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (!changes && TruncateColumnsCheckbox->isChecked())
        LimitColumnWidths();
}

void TMainForm::LimitColumnWidths() {
    TDBGridColumns& columns = DBGrid1->Columns();
    if (columns.Count() == 0)
        return;
    const int limit = SqlText::ColumnWidthLimit(DBGrid1->width(), columns.Count());
    for (int i = 0; i < columns.Count(); ++i)
        if (columns.Width(i) > limit)
            columns.SetWidth(i, limit);
}
