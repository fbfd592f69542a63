#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "CustomVellox.h"
#include "ProgressText.h"
#include "VelloxPrgDlg.h"
#include "VelloxStrings.h"
#include "ui/EventGuard.h"

void TCustomVellox::UpdateProgress(const QString& status, const QString& prefix, int current,
                                   int first, int last) {
    if (!showProgress_ || status == VelloxStrings::Finish) {
        if (progress_) {
            progress_->hide();
            delete progress_;
        }
        progress_ = nullptr;
        return;
    }
    if (!progress_) {
        progress_ = new TVelloxPrgDlg;
        // While a run composes or prints, the rest of the program may not change what it
        // reads; the window keeps painting and Stop keeps working.
        progress_->setWindowModality(Qt::ApplicationModal);
        connect(progress_->btnCancel, &QPushButton::clicked, this,
                Guard([this] { CancelPrinting(); }));
        if (!showCancel_)
            progress_->HideCancel();
    }
    progress_->show();
    progress_->setWindowTitle(PrintTitle());
    progress_->lblStatus->setText(status.isEmpty() ? VelloxStrings::SendingToPrinter : status);
    progress_->ProgBar->setMaximum(copies_ * (last - first + 1));
    progress_->StepIt();
    progress_->lblPageNumber->setText(ProgressPageText(prefix, current, first, last, copies_));
    // A paint costs more than composing a page or exporting a row, and the bar's animation asks
    // for one whenever events run; the eye needs no more than a few a second. A composition
    // runs no events between pages, so the window is painted from here.
    constexpr int kRepaintIntervalMs = 100;
    progress_->PaintAtMostEvery(kRepaintIntervalMs);
}
