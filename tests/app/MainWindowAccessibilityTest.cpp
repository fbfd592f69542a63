#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <functional>

#include "MainWindowFixture.h"
#include "platform/DbTestSupport.h"
#include "support/AccessibleTree.h"

namespace {

using MainWindowAccessibilityTest = MainWindowTest;

// What a screen reader finds: every control named, the three lists and the editor by their
// captions, the status panels by what they show, and no buffer or empty panel in the way.
TEST_F(MainWindowAccessibilityTest, NamesEveryControlAndLeavesOutWhatIsNeverRead) {
    form->show();
    EXPECT_EQ(UnnamedControls(form), QStringList());
    EXPECT_EQ(AccessibleNames(form, QAccessible::List),
              QStringList({"Table/View/Query names", "Fields in selected table/query"}));
    EXPECT_EQ(AccessibleNames(form, QAccessible::EditableText),
              QStringList({"SQL statement to be executed"}))
        << "the hidden buffers are out of the tree";
    EXPECT_EQ(AccessibleNames(form, QAccessible::Table), QStringList({"Result grid"}));
    EXPECT_EQ(AccessibleNames(form->StatusBar1, QAccessible::StaticText),
              QStringList({"Connection", "Records", "Time"}));
    form->SetPanelText(1, QStringLiteral("Records: 12"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->StatusPanels[1])
                  ->text(QAccessible::Description),
              "Records: 12");
    EXPECT_EQ(form->PanelText(1), "Records: 12");
}

// Of a result larger than the grid's window, the bar over all the rows is read and set as a
// screen reader does: found by its name, its value the top row, and setting it scrolls.
TEST_F(MainWindowAccessibilityTest, TheRowsBarIsReadAndSetByItsName) {
    TestDatabaseFile file(QStringLiteral("CREATE TABLE t(v INTEGER);"));
    form->show();
    OpenSqliteFile(file.Path());
    form->Memo1->setPlainText(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150000) "
        "SELECT i FROM n"));
    form->ExecuteButton->click();
    ASSERT_EQ(Panel(1), QStringLiteral("Records: 150000"));

    QAccessibleInterface* bar = nullptr;
    std::function<void(QAccessibleInterface*)> find = [&](QAccessibleInterface* node) {
        if (node->role() == QAccessible::ScrollBar &&
            node->text(QAccessible::Name) == QLatin1String("Rows") && !node->state().invisible)
            bar = node;
        for (int i = 0; i < node->childCount() && !bar; ++i)
            if (QAccessibleInterface* child = node->child(i))
                find(child);
    };
    find(QAccessible::queryAccessibleInterface(form));
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 0);
    EXPECT_GT(bar->valueInterface()->maximumValue().toInt(), 140000);
    bar->valueInterface()->setCurrentValue(120000);
    const QModelIndex top = form->DBGrid1->indexAt(QPoint(2, 2));
    EXPECT_EQ(top.data().toString(), QStringLiteral("120001"));
}

// Assistive technology waits for its toggle: the warning of "Grid is ReadOnly" shows once the
// toggle has returned, never inside it.
TEST_F(MainWindowAccessibilityTest, UnlockingTheGridThroughItsActionReturnsBeforeTheWarning) {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(form->CheckBox1);
    ASSERT_NE(box->actionInterface(), nullptr);
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(form->DBGrid1->ReadOnly());
    EXPECT_EQ(seam->beeps, 1);
    EXPECT_EQ(seam->Texts("message"), QStringList());
    QCoreApplication::processEvents();
    EXPECT_EQ(seam->Texts("message").size(), 1);
}

// Tab walks the window column by column, every control once, and comes back round.
TEST_F(MainWindowAccessibilityTest, TabReachesEveryControlInOrder) {
    for (QWidget* widget : form->findChildren<QWidget*>())
        widget->setEnabled(true);
    form->show();
    QApplication::setActiveWindow(form);
    form->OpenADOButton->setFocus(Qt::TabFocusReason);
    QStringList met;
    for (int i = 0; i < 22; ++i) {
        QWidget* focus = QApplication::focusWidget();
        met << (focus ? focus->objectName() : QStringLiteral("(none)"));
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(focus ? focus : form, &tab);
    }
    EXPECT_EQ(met, QStringList({"OpenADOButton",   "OpenBDEButton",
                                "CloseConnButton", "TableButton",
                                "ListBox1",        "SelectAllButton",
                                "CountAllButton",  "ListBox2",
                                "Button3",         "LoadFieldsCheckbox",
                                "Memo1",           "EmptyButton",
                                "ExecuteButton",   "Button4",
                                "CheckBox2",       "DBGrid1",
                                "CheckBox1",       "TruncateColumnsCheckbox",
                                "Button5",         "Button2",
                                "Button1",         "OpenADOButton"}));
}

}  // namespace
