#include "OpenBDEUnit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <utility>

#include "ComponentName.h"
#include "ui/Accessibility.h"
#include "ui/AnchorLayout.h"
#include "ui/EventGuard.h"
#include "ui/ModalSeam.h"

TOpenBDEForm::TOpenBDEForm(TSession* session, QWidget* owner)
    : QDialog(owner), ownSession_(new TSession(this, QStringLiteral("Session"))) {
    setObjectName(QStringLiteral("OpenBDEForm"));
    setWindowTitle(QStringLiteral("Open BDE database"));
    SetSession(session);

    Label1 = Named(new QLabel(QStringLiteral("Available databases:"), this), "Label1");
    ListBox1 = Named(new QListWidget(this), "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    LabelFor(Label1, ListBox1);
    Button1 = Named(new QPushButton(QStringLiteral("&Open"), this), "Button1");
    Button2 = Named(new QPushButton(QStringLiteral("&Cancel"), this), "Button2");
    Button1->setEnabled(false);

    const QSize design(228, 375);
    auto* layout = new TAnchorLayout(this, design);
    layout->Place(Label1, QRect(8, 8, 0, 0));
    layout->Place(ListBox1, QRect(8, 26, 212, 306), akLeft | akTop | akRight | akBottom);
    layout->Place(Button1, QRect(8, 342, 75, 25), akLeft | akBottom);
    layout->Place(Button2, QRect(145, 342, 75, 25), akRight | akBottom);
    resize(design);
    // Small enough to shrink, large enough that the two buttons never overlap.
    setMinimumSize(174, 110);

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, Guard([this] { ListBox1Click(); }));
    connect(Button1, &QPushButton::clicked, this, Guard([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guard([this] { Button2Click(); }));
}

void TOpenBDEForm::SetSession(TSession* session) {
    session_ = session;
}

QString TOpenBDEForm::SelectedAlias() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void TOpenBDEForm::FormShow() {
    ListBox1->clear();
    Button1->setEnabled(false);
    QStringList names;
    Session()->GetAliasNames(names);
    ListBox1->addItems(names);
}

void TOpenBDEForm::ListBox1Click() {
    Button1->setEnabled(!ListBox1->selectedItems().isEmpty());
}

void TOpenBDEForm::Button1Click() {
    done(mrOk);
}

void TOpenBDEForm::Button2Click() {
    done(mrCancel);
}

// Listing before Qt takes over lets a failure reach the caller instead of an event handler.
int TOpenBDEForm::exec() {
    FormShow();
    listed_ = true;
    return QDialog::exec();
}

// Every showing refills the list before anything is drawn, unless exec() just did.
void TOpenBDEForm::setVisible(bool visible) {
    const bool listed = std::exchange(listed_, false);
    if (visible && !isVisible() && !listed)
        FormShow();
    QDialog::setVisible(visible);
}

// Closing the window or Esc cancels, as the "&Cancel" button does.
void TOpenBDEForm::reject() {
    done(mrCancel);
}
