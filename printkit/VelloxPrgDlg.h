#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The modeless progress window of composition and printing, with its Stop button.
class TVelloxPrgDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TVelloxPrgDlg(QWidget* parent = nullptr);

    // Without the Stop button the window loses its button row.
    void HideCancel();
    // One step on; past the maximum the bar starts over.
    void StepIt();

    // Escape and closing the window press Stop instead of closing it.
    void reject() override;

    QFrame* Bevel;
    QLabel* lblStatus;
    QLabel* lblPageNumber;
    QProgressBar* ProgBar;
    QPushButton* btnCancel;
};
