#pragma once

#include <QAccessible>
#include <QString>

class QComboBox;
class QLabel;
class QWidget;

// A caption as a screen reader should say it: mnemonic ampersands gone ("&&" stays one "&"),
// blanks and a trailing colon trimmed.
QString SpokenCaption(const QString& caption);

// Makes `label` the caption of `field`: its mnemonic focuses the field, and the field is named
// after it for assistive technology (lists and grids take no name from a buddy on their own).
void LabelFor(QLabel* label, QWidget* field);

// Takes a widget out of the accessibility tree of its parent: for buffers that are never shown
// and empty panels that only fill space. `parentRole` is the role the parent keeps. The parent
// must be of a class of the program's own or one the toolkit has no interface of its own for
// (a window, a status bar).
void HideFromAccessibility(QWidget* widget, QAccessible::Role parentRole);

// Assistive technology picks an entry of a list box that is not open by selecting its item; the
// combo box takes that item as its current one, as it takes one clicked in the open list.
void FollowAccessibleSelection(QComboBox* combo);
