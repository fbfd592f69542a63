#include "MainUnit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

#include "AdoConEd.h"
#include "Forms.h"
#include "OpenADOForm.h"
#include "OpenBDEUnit.h"
#include "Version.h"
#include "core/Exception.h"
#include "ui/Accessibility.h"
#include "ui/AnchorLayout.h"
#include "ui/EventGuard.h"

namespace {

// The window's controls were laid out for a client area of this size; anchors keep their
// distances to its edges.
constexpr QSize kDesignClientSize(792, 556);

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, bool enabled) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setEnabled(enabled);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// A check box with its text left of the box.
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {}) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setLayoutDirection(Qt::RightToLeft);
    box->setChecked(true);
    if (!hint.isEmpty())
        box->setToolTip(hint);
    return box;
}

// A check box whose text needs more room than designed grows to the left, away from its box.
void PlaceCheckBox(TAnchorLayout* layout, QCheckBox* box, QRect design,
                   int anchors = kDefaultAnchors) {
    const int missing = box->sizeHint().width() - design.width();
    if (missing > 0)
        design.adjust(-missing, 0, 0, 0);
    layout->Place(box, design, anchors);
}

QListWidget* MakeListBox(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Quorva"));
    // The window was designed for MS Sans Serif; Liberation Sans has the metrics of its
    // successor Arial, so captions fit their controls as designed.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    CreateControls();
    CreateDataAccess();
    ConnectHandlers();
    resize(800, 600);
    setMinimumSize(750, 400);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
    // A connection lost under the grid (scrolling, a key, a repaint) is noticed like one lost
    // under a button: closed, the window reset, and the loss named in the one error shown.
    SetErrorReview([this](const QString& message) {
        const QString lost = CloseLostConnection();
        return lost.isEmpty() ? message : lost;
    });
}

TMainForm::~TMainForm() {
    SetErrorReview(nullptr);
}

void TMainForm::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);
    auto* layout = new TAnchorLayout(client, kDesignClientSize);

    Label3 = MakeLabel(client, "Label3", QStringLiteral("Connection type:"));
    layout->Place(Label3, QRect(3, 0, 0, 0));
    OpenADOButton = MakeButton(client, "OpenADOButton", QStringLiteral("Open ADO"), true);
    layout->Place(OpenADOButton, QRect(5, 20, 75, 25));
    OpenBDEButton = MakeButton(client, "OpenBDEButton", QStringLiteral("Open BDE"), true);
    layout->Place(OpenBDEButton, QRect(5, 53, 75, 25));
    CloseConnButton =
        MakeButton(client, "CloseConnButton", QStringLiteral("Close Connection"), false);
    layout->Place(CloseConnButton, QRect(2, 108, 87, 25));

    Label1 = MakeLabel(client, "Label1", QStringLiteral("Table/View/Query names:"));
    layout->Place(Label1, QRect(96, 0, 0, 0));
    ListBox1 = MakeListBox(client, "ListBox1");
    layout->Place(ListBox1, QRect(96, 16, 193, 145));
    Label4 = MakeLabel(client, "Label4", QStringLiteral("Fields in selected table/query:"));
    layout->Place(Label4, QRect(296, 0, 0, 0));
    ListBox2 = MakeListBox(client, "ListBox2");
    layout->Place(ListBox2, QRect(296, 16, 177, 145));
    Label2 = MakeLabel(client, "Label2", QStringLiteral("SQL statement to be executed:"));
    layout->Place(Label2, QRect(480, 0, 0, 0));
    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setMinimumWidth(250);
    layout->Place(Memo1, QRect(480, 16, 310, 145), akLeft | akTop | akRight);

    LabelFor(Label1, ListBox1);
    LabelFor(Label4, ListBox2);
    LabelFor(Label2, Memo1);
    // Tab leaves the editor, as the grid's own Tab walks its cells.
    Memo1->setTabChangesFocus(true);

    TableButton = MakeButton(client, "TableButton", QStringLiteral("Load tablenames"), false);
    layout->Place(TableButton, QRect(1, 168, 89, 25));
    SelectAllButton =
        MakeButton(client, "SelectAllButton", QStringLiteral("Select * from ..."), false);
    layout->Place(SelectAllButton, QRect(97, 168, 89, 25));
    CountAllButton = MakeButton(client, "CountAllButton", QStringLiteral("Count Records"), false);
    layout->Place(CountAllButton, QRect(193, 168, 89, 25));
    Button3 = MakeButton(client, "Button3", QStringLiteral("(Print Fields)"), false);
    layout->Place(Button3, QRect(298, 168, 75, 25));
    EmptyButton = MakeButton(client, "EmptyButton", QStringLiteral("Clear SQL"), false);
    layout->Place(EmptyButton, QRect(482, 168, 75, 25));
    ExecuteButton = MakeButton(client, "ExecuteButton", QStringLiteral("Execute SQL"), false);
    layout->Place(ExecuteButton, QRect(573, 168, 75, 25));
    Button4 = MakeButton(client, "Button4", QStringLiteral("Load File"), true);
    layout->Place(Button4, QRect(661, 168, 75, 25));

    LoadFieldsCheckbox = MakeCheckBox(client, "LoadFieldsCheckbox",
                                      QStringLiteral("Load fields when selecting table"));
    PlaceCheckBox(layout, LoadFieldsCheckbox, QRect(296, 200, 174, 17));
    CheckBox2 =
        MakeCheckBox(client, "CheckBox2", QStringLiteral("Confirm changes in SQL (Insert/Delete) "),
                     QStringLiteral("Toggle grid ReadOnly or changable"));
    PlaceCheckBox(layout, CheckBox2, QRect(480, 200, 209, 17));

    DBGrid1 = new TDBGrid(client);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetReadOnly(true);
    DBGrid1->setAccessibleName(QStringLiteral("Result grid"));
    layout->Place(DBGrid1, QRect(1, 224, 789, 297), akLeft | akTop | akRight | akBottom);
    ExportSheet1 = new QAction(QStringLiteral("Export to spreadsheet\u2026"), DBGrid1);
    ExportSheet1->setObjectName(QStringLiteral("ExportSheet1"));
    DBGrid1->addAction(ExportSheet1);
    // One menu for the window's life: a screen reader keeps what it learnt of an item with the
    // menu it first saw it in, and a menu made for each opening leaves that empty next time.
    PopupMenu1 = new QMenu(DBGrid1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setAccessibleName(QStringLiteral("Grid menu"));
    PopupMenu1->addAction(ExportSheet1);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);

    CheckBox1 = MakeCheckBox(client, "CheckBox1", QStringLiteral("Grid is ReadOnly"),
                             QStringLiteral("Toggle grid ReadOnly or changable"));
    PlaceCheckBox(layout, CheckBox1, QRect(0, 531, 105, 17), akLeft | akBottom);
    TruncateColumnsCheckbox =
        MakeCheckBox(client, "TruncateColumnsCheckbox", QStringLiteral("Truncate large columns"),
                     QStringLiteral("If checked, prevents huge columns (rotten to resize)"));
    PlaceCheckBox(layout, TruncateColumnsCheckbox, QRect(136, 531, 137, 17), akLeft | akBottom);
    Button5 = MakeButton(client, "Button5", QStringLiteral("Save grid"), true);
    layout->Place(Button5, QRect(533, 526, 75, 25), akRight | akBottom);
    Button2 = MakeButton(client, "Button2", QStringLiteral("Print grid"), true);
    layout->Place(Button2, QRect(621, 526, 75, 25), akRight | akBottom);
    Button1 = MakeButton(client, "Button1", QStringLiteral("Exit"), true);
    layout->Place(Button1, QRect(714, 526, 75, 25), akRight | akBottom);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(20);
    const int widths[4] = {120, 100, 80, 50};
    const QString texts[4] = {
        QStringLiteral("No connection"), QStringLiteral("Records: none"), {}, {}};
    const QString names[4] = {
        QStringLiteral("Connection"), QStringLiteral("Records"), QStringLiteral("Time"), {}};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setFixedWidth(widths[i]);
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusPanels[i]->setAccessibleName(names[i]);
        SetPanelText(i, texts[i]);
        StatusBar1->addWidget(StatusPanels[i]);
    }
    // The last panel is always empty: space, nothing to read.
    HideFromAccessibility(StatusPanels[3], QAccessible::StatusBar);
    setStatusBar(StatusBar1);

    // Staging buffers of the field report and the grid save; never shown.
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setPixelSize(13);
    RichEdit1->setFont(courier);
    RichEdit1->document()->setDefaultFont(courier);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->hide();
    RichEdit2 = new QPlainTextEdit(this);
    RichEdit2->setObjectName(QStringLiteral("RichEdit2"));
    RichEdit2->hide();
    HideFromAccessibility(RichEdit1, QAccessible::Window);
    HideFromAccessibility(RichEdit2, QAccessible::Window);
    SetTabOrder();

    OpenDialog1.title = QStringLiteral("Open SQL File");
    OpenDialog1.fileMustExist = true;
    SaveDialog1.title = QStringLiteral("Save Grid Data");
    SaveDialog1.defaultExt = QStringLiteral("txt");
    SaveDialog1.overwritePrompt = true;
}

// Column by column, as the work goes: connect, pick a table, its fields, the SQL, the grid, and
// the grid's options and output along the bottom.
void TMainForm::SetTabOrder() {
    // clang-format off
    QWidget* const order[] = {
        OpenADOButton, OpenBDEButton, CloseConnButton, TableButton,  // connection
        ListBox1, SelectAllButton, CountAllButton,                   // tables
        ListBox2, Button3, LoadFieldsCheckbox,                       // fields
        Memo1, EmptyButton, ExecuteButton, Button4, CheckBox2,       // SQL
        DBGrid1, CheckBox1, TruncateColumnsCheckbox,                 // grid
        Button5, Button2, Button1,                                   // output
    };
    // clang-format on
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TMainForm::CreateDataAccess() {
    ADOConnection1 = new TADOConnection(this, QStringLiteral("ADOConnection1"));
    ADOConnection1->AfterConnect = [this] { ADOConnection1AfterConnect(); };
    ADOConnection1->AfterDisconnect = [this] { ADOConnection1AfterDisconnect(); };
    ADOQuery1 = new TADOQuery(this);
    ADOQuery1->setObjectName(QStringLiteral("ADOQuery1"));
    ADOQuery1->SetConnection(ADOConnection1);
    ADOTable1 = new TADOTable(this);
    ADOTable1->setObjectName(QStringLiteral("ADOTable1"));
    ADOTable1->SetConnection(ADOConnection1);
    ADOTable1->SetReadOnly(true);
    ADOTable1->SetMaxRecords(1);

    Session1 = new TSession(this);
    Session1->setObjectName(QStringLiteral("Session1"));
    Query1 = new TQuery(this);
    Query1->setObjectName(QStringLiteral("Query1"));
    Query1->SetSession(Session1);
    Table1 = new TTable(this);
    Table1->setObjectName(QStringLiteral("Table1"));
    Table1->SetSession(Session1);
    Table1->SetReadOnly(true);

    DataSource1 = new TDataSource(this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DataSource1->SetDataSet(ADOQuery1);
    DBGrid1->SetDataSource(DataSource1);

    CreateGridPrint();
}

void TMainForm::ConnectHandlers() {
    connect(OpenADOButton, &QPushButton::clicked, this, Guard([this] { OpenADOButtonClick(); }));
    connect(ExportSheet1, &QAction::triggered, this, Guard([this] { ExportSheet1Click(); }));
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    connect(OpenBDEButton, &QPushButton::clicked, this, Guard([this] { OpenBDEButtonClick(); }));
    connect(CloseConnButton, &QPushButton::clicked, this,
            Guard([this] { CloseConnButtonClick(); }));
    connect(Button1, &QPushButton::clicked, this, Guard([this] { Button1Click(); }));

    connect(TableButton, &QPushButton::clicked, this, Watched([this] { TableButtonClick(); }));
    connect(ListBox1, &QListWidget::itemSelectionChanged, this,
            Watched([this] { ListBox1Click(); }));
    connect(SelectAllButton, &QPushButton::clicked, this,
            Watched([this] { SelectAllButtonClick(); }));
    connect(CountAllButton, &QPushButton::clicked, this,
            Watched([this] { CountAllButtonClick(); }));
    connect(CheckBox1, &QCheckBox::toggled, this, Guard([this] { CheckBox1Click(); }));
    DBGrid1->OnDrawColumnCell = [this](QPainter& canvas, const QRect& rect, int, TField& field,
                                       QStyle::State) {
        Guarded([&] { DBGrid1DrawColumnCell(canvas, rect, field); });
    };

    connect(Memo1, &QPlainTextEdit::textChanged, this, Guard([this] { Memo1Change(); }));
    Memo1->installEventFilter(this);
    connect(EmptyButton, &QPushButton::clicked, this, Guard([this] { EmptyButtonClick(); }));
    connect(Button4, &QPushButton::clicked, this, Guard([this] { Button4Click(); }));
    connect(CheckBox2, &QCheckBox::toggled, this, Guard([this] { CheckBox2Click(); }));
    connect(ExecuteButton, &QPushButton::clicked, this, Watched([this] { ExecuteButtonClick(); }));

    connect(Button5, &QPushButton::clicked, this, Guard([this] { Button5Click(); }));
    connect(Button3, &QPushButton::clicked, this, Watched([this] { Button3Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guard([this] { Button2Click(); }));
}

void TMainForm::FormCreate() {
    const QString version = GetVersionString();
    setWindowTitle(version.isEmpty() ? QStringLiteral("Quorva (version unknown)")
                                     : QStringLiteral("Quorva (v%1)").arg(version));
    useADO_ = false;
}

bool TMainForm::IsConnected() const {
    return useADO_ ? ADOConnection1->Connected() : Session1->Active();
}

void TMainForm::CloseConnection() {
    if (!CloseLostConnection().isEmpty() || !IsConnected())
        return;
    if (useADO_) {
        ADOConnection1->Close();
    } else {
        Session1->Close();
        ADOConnection1AfterDisconnect();
    }
}

QString TMainForm::CloseLostConnection() {
    if (useADO_)
        return ADOConnection1->CloseIfLost();
    const QString reason = Session1->CloseIfLost();
    if (!reason.isEmpty())
        ADOConnection1AfterDisconnect();
    return reason;
}

void TMainForm::RunWatched(const std::function<void()>& handler) {
    if (const QString lost = CloseLostConnection(); !lost.isEmpty())
        throw EDatabaseError(lost);
    try {
        handler();
    } catch (...) {
        CloseLostConnection();
        throw;
    }
    CloseLostConnection();
}

void TMainForm::OpenADOButtonClick() {
    if (Modal().ShowModal(*OpenADOForm) != mrOk)
        return;
    QCoreApplication::processEvents();
    CloseConnection();
    ADOConnection1->SetLoginPrompt(OpenADOForm->CheckBox1->isChecked());
    useADO_ = true;
    if (OpenADOForm->RadioButton3->isChecked()) {
        // OK opens the string even unchanged, so that a failed open can be tried again.
        bool confirmed = false;
        RunConnectionEditor(*ADOConnection1, &confirmed);
        if (!confirmed)
            return;
    } else {
        QString text = ADOConnection1->ConnectionString();
        OpenADOForm->BuildConnectionString(text);
        ADOConnection1->SetConnectionString(text);
    }
    const TCursorLocation location =
        OpenADOForm->CheckBox2->isChecked() ? clUseServer : clUseClient;
    ADOConnection1->SetCursorLocation(location);
    ADOQuery1->SetCursorLocation(location);
    ADOTable1->SetCursorLocation(location);

    QCoreApplication::processEvents();
    Modal().SetCursor(crHourGlass);
    try {
        ADOConnection1->Open();
    } catch (...) {
        Modal().SetCursor(crDefault);
        if (!ADOConnection1->Connected())
            Modal().ShowMessage(QStringLiteral("Cannot open connection!"));
        throw;
    }
    Modal().SetCursor(crDefault);
    if (!ADOConnection1->Connected())
        Modal().ShowMessage(QStringLiteral("Cannot open connection!"));
    DataSource1->SetDataSet(ADOQuery1);
}

void TMainForm::OpenBDEButtonClick() {
    // Closing comes first, so that even a cancelled choice leaves the window disconnected.
    CloseConnection();
    if (Modal().ShowModal(*OpenBDEForm) != mrOk)
        return;
    useADO_ = false;
    const QString alias = OpenBDEForm->SelectedAlias();
    if (alias.isEmpty())
        return;
    Query1->Close();
    Query1->SetDatabaseName(alias);
    Table1->Close();
    Table1->SetDatabaseName(alias);

    QCoreApplication::processEvents();
    Modal().SetCursor(crHourGlass);
    try {
        Session1->Open();
        // Connect to the alias's database now, so that a broken alias fails here and not at
        // the first table list.
        try {
            Session1->Database(alias);
        } catch (...) {
            Session1->Close();
            throw;
        }
        ADOConnection1AfterConnect();
    } catch (...) {
        Modal().SetCursor(crDefault);
        if (!Session1->Active())
            Modal().ShowMessage(QStringLiteral("Cannot open connection!"));
        throw;
    }
    Modal().SetCursor(crDefault);
    if (!Session1->Active())
        Modal().ShowMessage(QStringLiteral("Cannot open connection!"));
    DataSource1->SetDataSet(Query1);
}

void TMainForm::ADOConnection1AfterConnect() {
    CloseConnButton->setEnabled(true);
    TableButton->setEnabled(true);
    SetPanelText(
        0, useADO_ ? QStringLiteral("ADO Connection open") : QStringLiteral("BDE Connection open"));
}

void TMainForm::ADOConnection1AfterDisconnect() {
    {
        // Emptying the list is no selection by the user: the table buttons keep their state.
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
    }
    ListBox2->clear();
    TableButton->setEnabled(false);
    Label1->setText(QStringLiteral("Table/View/Query names:"));
    Label4->setText(QStringLiteral("Fields in selected table/query:"));
    CloseConnButton->setEnabled(false);
    SetPanelText(0, QStringLiteral("No connection"));
    SetPanelText(1, QStringLiteral("Records: none"));
    SetPanelText(2, QString());
}

void TMainForm::closeEvent(QCloseEvent* event) {
    Guarded([this] {
        if (useADO_)
            ADOConnection1->Close();
        else
            Session1->Close();
    });
    event->accept();
}
