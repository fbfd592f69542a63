#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>
#include <functional>

// What a screen reader finds wrong in a window's accessibility tree: every control it could
// not name, and every empty panel or filler in the way. Lists, grids, edits and combo boxes are
// read as one control, so their items and internals are not walked; scroll bars are named by
// their orientation.
inline QStringList UnnamedControls(QWidget* window) {
    static const QList<QAccessible::Role> controls = {
        QAccessible::PushButton,   QAccessible::CheckBox,     QAccessible::RadioButton,
        QAccessible::ComboBox,     QAccessible::EditableText, QAccessible::List,
        QAccessible::Table,        QAccessible::Tree,         QAccessible::PageTab,
        QAccessible::SpinBox,      QAccessible::Slider,       QAccessible::ProgressBar,
        QAccessible::StaticText,   QAccessible::Dialog,       QAccessible::Window,
        QAccessible::AlertMessage, QAccessible::Link};
    static const QList<QAccessible::Role> whole = {
        QAccessible::ComboBox,  QAccessible::EditableText, QAccessible::List,
        QAccessible::Table,     QAccessible::Tree,         QAccessible::SpinBox,
        QAccessible::ScrollBar, QAccessible::StaticText};
    QStringList found;
    std::function<void(QAccessibleInterface*, const QString&)> visit =
        [&](QAccessibleInterface* node, const QString& path) {
            const QAccessible::Role role = node->role();
            const QString name = node->text(QAccessible::Name).trimmed();
            const QString here = path + QLatin1Char('/') +
                                 (node->object() ? node->object()->objectName() : QString()) +
                                 QStringLiteral("(%1)").arg(int(role), 0, 16);
            const bool shown = !node->state().invisible;
            if (controls.contains(role) && name.isEmpty())
                found << QStringLiteral("unnamed ") + here;
            else if ((role == QAccessible::Grouping || role == QAccessible::Border ||
                      role == QAccessible::Client) &&
                     name.isEmpty() && node->childCount() == 0 && shown)
                found << QStringLiteral("empty ") + here;
            if (whole.contains(role))
                return;
            for (int i = 0; i < node->childCount(); ++i)
                if (QAccessibleInterface* child = node->child(i))
                    visit(child, here);
        };
    visit(QAccessible::queryAccessibleInterface(window), QString());
    return found;
}

// The accessible names of the window's controls of one role, in tree order.
inline QStringList AccessibleNames(QWidget* window, QAccessible::Role role) {
    QStringList names;
    std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
        if (node->role() == role)
            names << node->text(QAccessible::Name);
        if (node->role() == QAccessible::ComboBox)
            return;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i))
                visit(child);
    };
    visit(QAccessible::queryAccessibleInterface(window));
    return names;
}
