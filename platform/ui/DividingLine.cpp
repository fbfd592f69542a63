#include "ui/DividingLine.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Qt's own factory answers for QFrame; a class of our own gets the separator role.
QAccessibleInterface* SeparatorFactory(const QString& key, QObject* object) {
    if (key != QLatin1String(TDividingLine::staticMetaObject.className()) ||
        !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Separator);
}

}  // namespace

TDividingLine::TDividingLine(QWidget* parent) : QFrame(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(SeparatorFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
}
