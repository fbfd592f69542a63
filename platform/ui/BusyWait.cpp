#include "ui/BusyWait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

constexpr qint64 kPumpEveryMs = 40;
constexpr qint64 kHourglassAfterMs = 500;

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

TBusyWait::TBusyWait(std::function<void()> onEscape) : onEscape_(std::move(onEscape)) {
    started_.start();
    sincePump_.start();
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

TBusyWait::~TBusyWait() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
    if (hourglass_)
        QGuiApplication::restoreOverrideCursor();
}

void TBusyWait::Pump() {
    if (sincePump_.elapsed() < kPumpEveryMs)
        return;
    if (!hourglass_ && started_.elapsed() >= kHourglassAfterMs &&
        qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        hourglass_ = true;
    }
    QCoreApplication::processEvents();
    sincePump_.start();
}

bool TBusyWait::eventFilter(QObject* watched, QEvent* event) {
    if (!IsUserInput(event->type()))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !escaped_) {
        escaped_ = true;
        if (onEscape_)
            onEscape_();
    }
    return true;
}
