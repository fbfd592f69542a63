#pragma once

#include <QDialog>
#include <QPointer>

#include "db/components/Session.h"

class QLabel;
class QListWidget;
class QPushButton;

// "Open BDE database": picks one alias of a session. One instance lives for the whole run and
// keeps its size and position; the list is rebuilt from the session at every showing. After the
// dialog closes with OK (1) the selected entry of ListBox1 is the alias to open; cancel is 2.
class TOpenBDEForm : public QDialog {
    Q_OBJECT
  public:
    // Without a session the dialog lists the aliases through a session of its own.
    explicit TOpenBDEForm(TSession* session = nullptr, QWidget* owner = nullptr);

    // The session given, else (none given, or it is gone) the dialog's own.
    TSession* Session() const { return session_ ? session_.data() : ownSession_; }
    void SetSession(TSession* session);
    // The alias selected in ListBox1; empty when none is.
    QString SelectedAlias() const;

    // Refills the list with nothing selected. A session that cannot list its aliases raises
    // its error to whoever is showing the dialog, before anything appears on screen.
    void FormShow();
    void ListBox1Click();
    void Button1Click();
    void Button2Click();

    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* Button1;
    QPushButton* Button2;

    int exec() override;
    void setVisible(bool visible) override;
    void reject() override;

  private:
    QPointer<TSession> session_;
    TSession* ownSession_;
    bool listed_ = false;  // exec() has just run FormShow for the showing it starts
};
