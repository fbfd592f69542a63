#pragma once

#include <QPointer>

class QDialog;
class QWidget;

// The application's help: topics by help context, shown in a help window that does not wait.
class THelpSystem {
  public:
    // Shows the topic of `context` ("No help for this topic." for an unknown one) and returns
    // the help window. The window is a child of `owner`, so a modal owner does not block it.
    QDialog* ShowContext(int context, QWidget* owner = nullptr);

  private:
    QPointer<QDialog> window_;
};

THelpSystem& HelpSystem();
