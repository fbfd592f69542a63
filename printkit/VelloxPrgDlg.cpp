#include "VelloxPrgDlg.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "VelloxStrings.h"
#include "ui/Accessibility.h"

namespace {
constexpr int kWidth = 293;
constexpr int kHeight = 133;
constexpr int kHeightWithoutButton = 98;

QLabel* CentredLabel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}
}  // namespace

TVelloxPrgDlg::TVelloxPrgDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("VelloxPrgDlg"));
    setWindowTitle(VelloxStrings::ProgressCaption);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    Bevel = new QFrame(this);
    Bevel->setObjectName(QStringLiteral("Bevel"));
    Bevel->setFrameShape(QFrame::Box);
    Bevel->setFrameShadow(QFrame::Sunken);
    Bevel->setGeometry(8, 8, 277, 57);
    lblStatus = CentredLabel(this, "lblStatus", QRect(20, 20, 249, 13));
    lblPageNumber = CentredLabel(this, "lblPageNumber", QRect(20, 40, 253, 13));

    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setGeometry(8, 76, 277, 13);
    ProgBar->setMinimum(0);
    ProgBar->setValue(0);
    ProgBar->setTextVisible(false);
    ProgBar->setAccessibleName(QStringLiteral("Progress"));
    // The box only frames the two lines of text.
    HideFromAccessibility(Bevel, QAccessible::Dialog);

    btnCancel = new QPushButton(VelloxStrings::StopCaption, this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(109, 100, 75, 25);
    btnCancel->setDefault(true);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TVelloxPrgDlg::HideCancel() {
    btnCancel->setEnabled(false);
    btnCancel->hide();
    setFixedHeight(logicalDpiY() * kHeightWithoutButton / 96);
}

void TVelloxPrgDlg::StepIt() {
    const int next = ProgBar->value() + 1;
    ProgBar->setValue(next > ProgBar->maximum() ? ProgBar->minimum() : next);
}

void TVelloxPrgDlg::PaintAtMostEvery(int intervalMs) {
    if (!isVisible())
        return;
    const qint64 since = painted_.isValid() ? painted_.elapsed() : intervalMs;
    if (since >= intervalMs) {
        setUpdatesEnabled(true);
        repaint();
    } else if (updatesEnabled()) {
        // Enabled again, the window asks for a paint when events next run; without events (a
        // composition) the next call after the interval paints it.
        setUpdatesEnabled(false);
        QTimer::singleShot(int(intervalMs - since), this, [this] { setUpdatesEnabled(true); });
    }
}

bool TVelloxPrgDlg::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // The window paints what changed in it when it handles this request.
    if (event->type() == QEvent::UpdateRequest)
        painted_.start();
    return handled;
}

void TVelloxPrgDlg::reject() {
    if (btnCancel->isVisible() && btnCancel->isEnabled())
        btnCancel->click();
}
