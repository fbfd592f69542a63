#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

#include "DBGridPrt.h"
#include "db/components/ADOConnection.h"
#include "db/components/ADOQuery.h"
#include "db/components/ADOTable.h"
#include "db/components/BDEQuery.h"
#include "db/components/BDETable.h"
#include "db/components/Session.h"
#include "db/dataset/DataSource.h"
#include "db/grid/DBGrid.h"
#include "ui/EventGuard.h"
#include "ui/ModalSeam.h"

// The program's one window: connection state, table and field browsing, the SQL editor and
// the result grid. Components are public members named as on the form, so the dialogs and
// tests reach them as the rest of the program does.
class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Which set of data-access components is current: ADO (true) or the alias session.
    bool UseADO() const { return useADO_; }
    bool IsConnected() const;
    void CloseConnection();
    // Closes a connection that was lost under the window (server stopped, network gone) the
    // way "Close Connection" does, and returns why it was lost; empty when it was not.
    QString CloseLostConnection();
    // Runs a handler that reaches the database. A connection found lost before it is closed and
    // the loss reported instead; one lost on the way is closed before the handler's error is
    // shown. Either way the window never goes on claiming a connection it has lost.
    void RunWatched(const std::function<void()>& handler);

    void FormCreate();
    void OpenADOButtonClick();
    void OpenBDEButtonClick();
    void CloseConnButtonClick() { CloseConnection(); }
    void Button1Click() { close(); }
    void ADOConnection1AfterConnect();
    void ADOConnection1AfterDisconnect();

    // Table and field browsing.
    void TableButtonClick();
    void ListBox1Click();
    // The selected entry of the table list; a screen reader selects one without making it the
    // current one, as a click does.
    QListWidgetItem* SelectedTable() const;
    QString QuoteTableName(const QString& name) const;
    void SelectAllButtonClick();
    void CountAllButtonClick();
    void CheckBox1Click();
    // Beeps and shows a warning once the toggle that called for it has returned.
    void WarnAfterToggle(const QString& warning);
    void DBGrid1DrawColumnCell(QPainter& canvas, const QRect& rect, TField& field);

    // The SQL editor and its execution.
    void Memo1Change();
    // Returns true when the key is consumed.
    bool Memo1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void EmptyButtonClick() { Memo1->clear(); }
    void Button4Click();
    void CheckBox2Click();
    void ExecuteButtonClick();

    // Saving the grid and printing the field report.
    void Button5Click();
    void Button3Click();
    // Printing the grid through the grid print adapter.
    void Button2Click();
    // The grid's context menu: asks for the workbook's name, then has the adapter export the
    // grid to the spreadsheet program.
    void ExportSheet1Click();

    QLabel* Label3;
    QPushButton* OpenADOButton;
    QPushButton* OpenBDEButton;
    QPushButton* CloseConnButton;
    QLabel* Label1;
    QListWidget* ListBox1;
    QLabel* Label4;
    QListWidget* ListBox2;
    QLabel* Label2;
    QPlainTextEdit* Memo1;
    QPushButton* TableButton;
    QPushButton* SelectAllButton;
    QPushButton* CountAllButton;
    QPushButton* Button3;
    QPushButton* EmptyButton;
    QPushButton* ExecuteButton;
    QPushButton* Button4;
    QCheckBox* LoadFieldsCheckbox;
    QCheckBox* CheckBox2;
    TDBGrid* DBGrid1;
    QAction* ExportSheet1;
    // The grid's context menu.
    QMenu* PopupMenu1;
    QCheckBox* CheckBox1;
    QCheckBox* TruncateColumnsCheckbox;
    QPushButton* Button5;
    QPushButton* Button2;
    QPushButton* Button1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanels[4];

    QTextEdit* RichEdit1;
    QPlainTextEdit* RichEdit2;

    TADOConnection* ADOConnection1;
    TADOQuery* ADOQuery1;
    TADOTable* ADOTable1;
    TSession* Session1;
    TQuery* Query1;
    TTable* Table1;
    TDataSource* DataSource1;
    TDBGridPrint* DBGridPrint1;
    TFileDialogRequest OpenDialog1;
    TFileDialogRequest SaveDialog1;
    TFileDialogRequest ExportDialog1;

    // Text of a status bar panel.
    QString PanelText(int panel) const { return StatusPanels[panel]->text(); }
    // The panel's name stays what it is ("Records"); a screen reader reads the text with it.
    void SetPanelText(int panel, const QString& text) {
        StatusPanels[panel]->setText(text);
        StatusPanels[panel]->setAccessibleDescription(text);
    }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // RunWatched inside the event guard, for connecting to a signal.
    template <typename F>
    auto Watched(F handler) {
        return Guard([this, handler] { RunWatched(handler); });
    }

    void CreateControls();
    void SetTabOrder();
    void CreateDataAccess();
    void CreateGridPrint();
    void ConnectHandlers();
    void LimitColumnWidths();
    void FillFieldReport(const QString& table);
    void PrintFieldReport();

    bool useADO_ = false;
    // The PDF file the field report goes to when there is no printer; kept for the session,
    // so the print dialog shows the file chosen last time.
    std::unique_ptr<QPrinter> reportPdf_;
};
