#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <memory>

#include "AdoConEd.h"
#include "DataLinkForm.h"
#include "DialogTestSupport.h"
#include "OpenADOForm.h"
#include "OpenBDEUnit.h"
#include "support/AccessibleTree.h"

namespace {

struct DialogCase {
    const char* name;
    std::function<QDialog*()> make;
};

class DialogAccessibility : public ::testing::TestWithParam<DialogCase> {};

// A screen reader names every control of every connection dialog, in each of its states.
TEST_P(DialogAccessibility, NamesEveryControl) {
    std::unique_ptr<QDialog> dialog(GetParam().make());
    if (dialog->windowTitle().isEmpty())
        dialog->setWindowTitle(QStringLiteral("ADOConnection1 ConnectionString"));
    dialog->show();
    EXPECT_EQ(UnnamedControls(dialog.get()), QStringList());
    if (auto* link = qobject_cast<TDataLinkForm*>(dialog.get()))
        for (int i = 0; i < link->ProviderCombo->count(); ++i) {
            link->ProviderCombo->setCurrentIndex(i);
            EXPECT_EQ(UnnamedControls(dialog.get()), QStringList())
                << link->ProviderCombo->currentText().toStdString();
        }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogAccessibility,
    ::testing::Values(DialogCase{"Chooser", [] { return new TOpenADOForm; }},
                      DialogCase{"Aliases", [] { return new TOpenBDEForm; }},
                      DialogCase{"ConnectionEditor", [] { return new TConnEditForm; }},
                      DialogCase{"DataLink", [] { return new TDataLinkForm; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DialogAccessibilityDetails, TheEditorsFieldsAreTheirOwn) {
    TConnEditForm editor;
    const QStringList names = AccessibleNames(&editor, QAccessible::ComboBox) +
                              AccessibleNames(&editor, QAccessible::EditableText);
    EXPECT_EQ(names, QStringList({"Data link file", "Connection string"}));
}

TEST(DialogAccessibilityDetails, DataLinkProviderIsSetThroughItsAccessibleList) {
    TDataLinkForm link;
    link.show();
    QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(link.ProviderCombo);
    QAccessibleInterface* list = combo->child(0);
    ASSERT_NE(list, nullptr);
    const int postgres = link.ProviderCombo->findData(QStringLiteral("PostgreSQL"));
    QAccessibleInterface* item = list->child(postgres);
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->actionInterface(), nullptr);
    item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(link.ProviderCombo->currentData().toString(), "PostgreSQL");
    EXPECT_TRUE(link.HostEdit->isVisible()) << "the rows follow the provider";
}

// A caption's mnemonic moves the focus to its field; none shows as a literal "&".
TEST(DialogAccessibilityDetails, MnemonicsFocusTheirFields) {
    TDataLinkForm link;
    link.ProviderCombo->setCurrentIndex(link.ProviderCombo->findData(QStringLiteral("SQLite")));
    link.show();
    QApplication::setActiveWindow(&link);
    for (QLabel* label : link.findChildren<QLabel*>()) {
        if (!label->text().contains(QLatin1Char('&')))
            continue;
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString() << " shows its \"&\"";
    }
    const QLabel* file = Child<QLabel>(link, "FileLabel");
    EXPECT_EQ(file->buddy(), link.FileEdit);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(link.FileEdit)->text(QAccessible::Name),
              "Database file:");
}

}  // namespace
