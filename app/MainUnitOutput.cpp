// Saving the grid and printing the field report on the main window.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageSize>
#include <QTextCursor>

#include "FieldReport.h"
#include "Forms.h"
#include "GridText.h"
#include "MainUnit.h"
#include "OpenADOForm.h"
#include "ReportPrint.h"
#include "core/Exception.h"
#include "core/TextFileWriter.h"
#include "print/Printer.h"

namespace {

// Stops the grid from following the data set while the records are walked, and brings it
// back to the record it showed on every way out.
class TDetachedGrid {
  public:
    explicit TDetachedGrid(TDataSet& data) : data_(data) {
        // A record being changed is settled first, as the walk would settle it, so that the
        // bookmark names a record that is still there afterwards.
        data_.CheckBrowseMode();
        data_.DisableControls();
        bookmark_ = data_.GetBookmark();
    }
    ~TDetachedGrid() {
        if (attached_)
            return;
        // Left by an error: that error is the one to report, the way back is best effort.
        try {
            data_.GotoBookmark(bookmark_);
        } catch (...) {
        }
        Release();
    }
    TDetachedGrid(const TDetachedGrid&) = delete;
    TDetachedGrid& operator=(const TDetachedGrid&) = delete;

    // Raises when the record cannot be reached again; the grid follows the data set anyway.
    void Reattach() {
        attached_ = true;
        try {
            data_.GotoBookmark(bookmark_);
        } catch (...) {
            Release();
            throw;
        }
        Release();
    }

  private:
    void Release() {
        data_.FreeBookmark(bookmark_);
        data_.EnableControls();
    }

    TDataSet& data_;
    TBookmark bookmark_;
    bool attached_ = false;
};

// Adds report lines to a rich-text buffer, each in its own format.
class TReportLines {
  public:
    explicit TReportLines(QTextDocument& document) : cursor_(&document) {}
    void Add(const QString& text, const QTextCharFormat& format) {
        if (!first_)
            cursor_.insertBlock(QTextBlockFormat(), format);
        first_ = false;
        cursor_.insertText(text, format);
    }

  private:
    QTextCursor cursor_;
    bool first_ = true;
};

}  // namespace

void TMainForm::Button5Click() {
    TDataSet* data = DataSource1->DataSet();
    if (!data || data->RecordCount() < 1) {
        Modal().ShowMessage(QStringLiteral("No data in grid!"));
        return;
    }
    SaveDialog1.filter = QStringLiteral("Text file (Tab Delimited) (*.txt)|*.txt|");
    const std::optional<QString> chosen = Modal().SaveFile(this, SaveDialog1);
    if (!chosen)
        return;
    const QString fileName = QFileInfo(*chosen).absoluteFilePath();

    Modal().SetCursor(crHourGlass);
    try {
        TTextFileWriter file(fileName);
        {
            TDetachedGrid detached(*data);
            GridText::WriteAllLines(*data, file);
            detached.Reattach();
        }
        file.Commit();
    } catch (...) {
        Modal().SetCursor(crDefault);
        throw;
    }
    Modal().SetCursor(crDefault);
    Modal().ShowMessage(QStringLiteral("Grid saved to ") + fileName);
}

void TMainForm::Button3Click() {
    const QListWidgetItem* item = SelectedTable();
    if (!item)
        return;
    Modal().SetCursor(crHourGlass);
    try {
        FillFieldReport(item->text());
        PrintFieldReport();
    } catch (...) {
        Modal().SetCursor(crDefault);
        throw;
    }
    Modal().SetCursor(crDefault);
}

void TMainForm::FillFieldReport(const QString& table) {
    RichEdit1->clear();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(Qt::black));
    QTextCharFormat regular = bold;
    regular.setFontWeight(QFont::Normal);
    TReportLines lines(*RichEdit1->document());

    if (useADO_) {
        if (OpenADOForm->FileEdit->isEnabled()) {
            lines.Add(FieldReport::DatabaseFileLine(OpenADOForm->FileEdit->text()), bold);
            lines.Add(QString(), bold);
        }
        if (OpenADOForm->DBEdit->isEnabled()) {
            lines.Add(FieldReport::DatabaseNameLine(OpenADOForm->DBEdit->text()), bold);
            lines.Add(QString(), bold);
        }
    }
    lines.Add(FieldReport::TableLine(table, ListBox2->count()), bold);
    lines.Add(QString(), bold);
    lines.Add(FieldReport::HeadingLine(), bold);

    TCustomTable* source = useADO_ ? static_cast<TCustomTable*>(ADOTable1) : Table1;
    source->Close();
    source->SetTableName(table);
    // Only the field definitions are wanted, not the rows.
    source->SetMaxRecords(1);
    source->Open();
    try {
        for (int i = 0; i < ListBox2->count(); ++i) {
            const QString name = ListBox2->item(i)->text();
            const TField& field = source->FieldByName(name);
            lines.Add(FieldReport::FieldLine(i, name, FieldReport::FieldTypeName(field.DataType()),
                                             FieldReport::FieldSizeText(field.Size())),
                      regular);
        }
    } catch (...) {
        source->Close();
        throw;
    }
    source->Close();
}

void TMainForm::PrintFieldReport() {
    TPrinter& printer = Printer();
    QPrinter* device = printer.Device();
    const bool fallback = device == nullptr;
    if (fallback) {
        if (!reportPdf_)
            reportPdf_ = TPrinter::NewPdfDevice(
                300, QPageSize(QPageSize::A4), 6,
                QDir::home().filePath(QStringLiteral("Fields of table.pdf")));
        device = reportPdf_.get();
    }
    // The dialog's "print to text file" box belongs to the print kit; this report only prints.
    if (!Modal().PrintDialog(this, TPrintDialogRequest{device, 1, 1, 1, 1}))
        return;
    if (fallback)
        printer.Lend(device);
    try {
        ReportPrint::Print(*RichEdit1->document(), RichEdit1->logicalDpiY(),
                           QStringLiteral("Fields of table"), printer);
    } catch (...) {
        // A failed job is aborted already, so the loan can end.
        if (fallback)
            printer.Lend(nullptr);
        throw;
    }
    if (fallback)
        printer.Lend(nullptr);
}
