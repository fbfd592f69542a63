#include "ui/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace {
// Set on a widget left out of the tree, and on its parent with the role the parent keeps.
const char* const kHidden = "quorvaAccessibleHidden";
const char* const kPrunedRole = "quorvaAccessiblePrunedRole";

bool IsHidden(const QAccessibleInterface* child) {
    return child && child->object() && child->object()->property(kHidden).toBool();
}

// A widget's interface that leaves its hidden children out.
class TPrunedAccessible : public QAccessibleWidget {
  public:
    TPrunedAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override {
        int count = 0;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i)
            count += !IsHidden(QAccessibleWidget::child(i));
        return count;
    }
    QAccessibleInterface* child(int index) const override {
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* candidate = QAccessibleWidget::child(i);
            if (!IsHidden(candidate) && index-- == 0)
                return candidate;
        }
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (IsHidden(child))
            return -1;
        int index = 0;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* candidate = QAccessibleWidget::child(i);
            if (candidate == child)
                return index;
            index += !IsHidden(candidate);
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* found = QAccessibleWidget::childAt(x, y);
        return IsHidden(found) ? nullptr : found;
    }
};

QAccessibleInterface* PrunedFactory(const QString& key, QObject* object) {
    // Asked once per class of the object, most derived first; answering that first asking
    // replaces the toolkit's interface for the whole object.
    if (!object || !object->isWidgetType() ||
        key != QLatin1String(object->metaObject()->className()))
        return nullptr;
    const QVariant role = object->property(kPrunedRole);
    if (!role.isValid())
        return nullptr;
    return new TPrunedAccessible(static_cast<QWidget*>(object), QAccessible::Role(role.toInt()));
}
}  // namespace

QString SpokenCaption(const QString& caption) {
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                spoken += caption[++i];
            continue;
        }
        spoken += caption[i];
    }
    spoken = spoken.trimmed();
    if (spoken.endsWith(QLatin1Char(':')))
        spoken.chop(1);
    return spoken.trimmed();
}

void LabelFor(QLabel* label, QWidget* field) {
    label->setBuddy(field);
    field->setAccessibleName(SpokenCaption(label->text()));
}

void HideFromAccessibility(QWidget* widget, QAccessible::Role parentRole) {
    static const bool installed = [] {
        QAccessible::installFactory(PrunedFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(kHidden, true);
    QWidget* parent = widget->parentWidget();
    if (!parent)
        return;
    parent->setProperty(kPrunedRole, int(parentRole));
    // An interface made before (naming a widget makes one while a screen reader listens) would
    // go on listing the child: the next asking makes the pruned one.
    if (QAccessible::isActive())
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(parent))
            if (!dynamic_cast<TPrunedAccessible*>(made))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void FollowAccessibleSelection(QComboBox* combo) {
    QAbstractItemView* list = combo->view();
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, combo,
                     [combo, list] {
                         // In the open list the selection follows the keys; Enter or a click
                         // picks.
                         if (list->isVisible())
                             return;
                         const QModelIndexList rows = list->selectionModel()->selectedIndexes();
                         if (!rows.isEmpty())
                             combo->setCurrentIndex(rows.first().row());
                     });
}
