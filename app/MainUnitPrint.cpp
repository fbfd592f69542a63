#include <QCoreApplication>
#include <QFileInfo>

#include "MainUnit.h"
#include "WSCommands.h"
#include "ui/Accessibility.h"
#include "ui/ModalSeam.h"

void TMainForm::CreateGridPrint() {
    // The adapter sits hidden on the window; these are the settings the window gives it.
    DBGridPrint1 = new TDBGridPrint(this);
    DBGridPrint1->setObjectName(QStringLiteral("DBGridPrint1"));
    DBGridPrint1->setVisible(false);
    HideFromAccessibility(DBGridPrint1, QAccessible::Window);
    DBGridPrint1->SetAsgnDBGrid(DBGrid1);
    const QFont font(QStringLiteral("Arial"), 9);
    DBGridPrint1->SetFont(font);
    DBGridPrint1->SetHeaderFont(font);
    DBGridPrint1->SetFooterFont(font);
    DBGridPrint1->SetMeasureUnit(muMillimeters);
    DBGridPrint1->SetMarginTop(25);
    DBGridPrint1->SetMarginBottom(25);
    DBGridPrint1->SetMarginLeft(25);
    DBGridPrint1->SetMarginRight(25);
    DBGridPrint1->SetPageBorderOffset(1.5L);
    DBGridPrint1->SetPrintWYSIWYG(false);
    DBGridPrint1->SetPrintTitle(QStringLiteral("Quorva Table Print"));
    DBGridPrint1->SetRegistryKey(QStringLiteral("Software\\Mervane\\Vellox"));
    DBGridPrint1->SetUseRegistry(false);
    DBGridPrint1->SetZoomLocation(zlCenter);
}

void TMainForm::Button2Click() {
    TDataSet* dataSet = DataSource1->DataSet();
    if (!dataSet || dataSet->RecordCount() < 1) {
        Modal().ShowMessage(QStringLiteral("No lines, no print!"));
        return;
    }
    DBGridPrint1->BuildFromGrid();
    DBGridPrint1->Print();
}

void TMainForm::ExportSheet1Click() {
    TDataSet* dataSet = DataSource1->DataSet();
    if (!dataSet || dataSet->RecordCount() < 1) {
        Modal().ShowMessage(QStringLiteral("No data in grid!"));
        return;
    }
    ExportDialog1.title = QStringLiteral("Export to spreadsheet");
    ExportDialog1.filter = QStringLiteral("Workbook (*.XLS)|*.XLS|");
    ExportDialog1.defaultExt = QStringLiteral("XLS");
    // The export writes the name with its extension replaced by ".XLS": that file is the one
    // asked about, not the name typed.
    ExportDialog1.overwritePrompt = false;
    const std::optional<QString> chosen = Modal().SaveFile(this, ExportDialog1);
    if (!chosen)
        return;
    const QString name = QFileInfo(*chosen).absoluteFilePath();
    const QString workbook = WorkbookPath(name);
    if (QFileInfo::exists(workbook) &&
        !Modal().Confirm(QStringLiteral("\"%1\" already exists.\rReplace it? The previous "
                                        "workbook is kept as \"%2\".")
                             .arg(workbook, BackupPath(workbook))))
        return;
    DBGridPrint1->SetWSFileName(name);
    // The adapter's own command; what it raises is shown like any other error.
    QCoreApplication::postEvent(DBGridPrint1, new TVelloxMessageEvent(WM_EXPORTSHEET));
}
