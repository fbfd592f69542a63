#pragma once

#include <QDialog>
#include <QElapsedTimer>

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
    // Paints what changed now or, when the window was painted less than `intervalMs` ago, once
    // that interval is over: what changes in between is painted together.
    void PaintAtMostEvery(int intervalMs);

    QFrame* Bevel;
    QLabel* lblStatus;
    QLabel* lblPageNumber;
    QProgressBar* ProgBar;
    QPushButton* btnCancel;

  protected:
    bool event(QEvent* event) override;

  private:
    QElapsedTimer painted_;
};
