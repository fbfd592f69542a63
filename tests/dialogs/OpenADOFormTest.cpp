#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "DialogTestSupport.h"
#include "OpenADOForm.h"

namespace {
const QString kNoValue = QStringLiteral("Specify a database/filename please.");

class OpenADOFormTest : public ScriptedSeamTest {
  protected:
    QRadioButton* Radio(const char* name) { return Child<QRadioButton>(form, name); }
    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(form, name); }
    // What the row of inputs looks like: file label, file edit, file button, name label, name edit.
    std::vector<bool> InputStates() {
        return {Child<QLabel>(form, "FileLabel")->isEnabled(), Edit("FileEdit")->isEnabled(),
                Child<QPushButton>(form, "FileButton")->isEnabled(),
                Child<QLabel>(form, "DBLabel")->isEnabled(), Edit("DBEdit")->isEnabled()};
    }

    TOpenADOForm form;
};

const std::vector<bool> kFileRow{true, true, true, false, false};
const std::vector<bool> kNameRow{false, false, false, true, true};
const std::vector<bool> kNoRow{false, false, false, false, false};

TEST_F(OpenADOFormTest, StartsWithAnotherSourceChosenAndBothOptionsOn) {
    EXPECT_EQ(form.windowTitle(), "Choose a connection");
    EXPECT_EQ(form.size(), QSize(447, 255));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(Radio("RadioButton3")->isChecked());
    EXPECT_EQ(InputStates(), kNoRow);
    for (const char* name : {"CheckBox1", "CheckBox2"}) {
        auto* box = Child<QCheckBox>(form, name);
        EXPECT_TRUE(box->isChecked()) << name;
        EXPECT_EQ(box->layoutDirection(), Qt::RightToLeft) << name;
    }
    EXPECT_EQ(Child<QCheckBox>(form, "CheckBox1")->text(), "Loginprompt when connecting");
    EXPECT_EQ(Child<QCheckBox>(form, "CheckBox2")->text(), "Use serverside cursorlocation");
}

TEST_F(OpenADOFormTest, OpenComesFirstInTabOrderAndNoButtonIsDefault) {
    QWidget* first = form.nextInFocusChain();
    while (first->focusPolicy() == Qt::NoFocus)
        first = first->nextInFocusChain();
    EXPECT_EQ(first->objectName(), "Button2");
    for (const char* name : {"Button2", "Button1"}) {
        auto* button = Child<QPushButton>(form, name);
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
    }
    EXPECT_EQ(Child<QPushButton>(form, "Button2")->text(), "&Open");
    EXPECT_EQ(Child<QPushButton>(form, "Button1")->text(), "&Cancel");
}

TEST_F(OpenADOFormTest, EnableInputsByKind) {
    const std::pair<int, std::vector<bool>> cases[] = {
        {1, kFileRow}, {2, kNameRow}, {0, kNoRow}, {3, kNoRow}, {-1, kNoRow}};
    for (const auto& [kind, states] : cases) {
        form.EnableInputs(kind);
        EXPECT_EQ(InputStates(), states) << "kind " << kind;
    }
}

TEST_F(OpenADOFormTest, RadioButtonsSwitchTheInputRowsHoweverCheckedAndKeepTheirTexts) {
    const std::pair<const char*, std::vector<bool>> clicks[] = {{"RadioButton1", kFileRow},
                                                                {"RadioButton2", kNameRow},
                                                                {"RadioButton4", kFileRow},
                                                                {"RadioButton5", kNameRow},
                                                                {"RadioButton3", kNoRow}};
    // Mouse, keyboard and assistive technology check a radio button each in their own way.
    const std::pair<const char*, std::function<void(QRadioButton*)>> ways[] = {
        {"mouse", [](QRadioButton* radio) { radio->click(); }},
        {"keyboard",
         [](QRadioButton* radio) {
             QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
             QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
             QCoreApplication::sendEvent(radio, &press);
             QCoreApplication::sendEvent(radio, &release);
         }},
        {"assistive technology",
         [](QRadioButton* radio) {
             QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(radio);
             ASSERT_NE(accessible, nullptr);
             ASSERT_NE(accessible->actionInterface(), nullptr);
             accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
         }},
    };
    for (const auto& [way, check] : ways) {
        for (const auto& [radio, states] : clicks) {
            check(Radio(radio));
            EXPECT_TRUE(Radio(radio)->isChecked()) << way << " " << radio;
            EXPECT_EQ(InputStates(), states) << way << " " << radio;
        }
    }

    Radio("RadioButton1")->click();
    Edit("FileEdit")->setText("/data/shop.mdb");
    Radio("RadioButton2")->click();
    EXPECT_EQ(Edit("FileEdit")->text(), "/data/shop.mdb");
    EXPECT_FALSE(Edit("FileEdit")->isEnabled());
    Radio("RadioButton4")->click();
    EXPECT_EQ(Edit("FileEdit")->text(), "/data/shop.mdb");
    EXPECT_TRUE(Edit("FileEdit")->isEnabled());
}

struct ValidationCase {
    const char* name;
    const char* radio;
    QString fileText;
    QString dbText;
    bool accepted;
};

class OpenADOValidation : public OpenADOFormTest,
                          public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(OpenADOValidation, OpenClosesWithOkOnlyForAUsableValue) {
    const ValidationCase& c = GetParam();
    Radio(c.radio)->click();
    Edit("FileEdit")->setText(c.fileText);
    Edit("DBEdit")->setText(c.dbText);
    form.setResult(mrNone);

    Child<QPushButton>(form, "Button2")->click();

    EXPECT_EQ(form.result(), c.accepted ? int(mrOk) : int(mrNone));
    EXPECT_EQ(seam->Texts("message"), c.accepted ? QStringList() : QStringList{kNoValue});
    EXPECT_EQ(Edit("FileEdit")->text(), c.fileText);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OpenADOValidation,
    ::testing::Values(
        ValidationCase{"AccessTwoCharacters", "RadioButton1", "ab", "", false},
        ValidationCase{"AccessThreeCharacters", "RadioButton1", "abc", "", true},
        ValidationCase{"JetTwoCharacters", "RadioButton4", "ab", "", false},
        ValidationCase{"JetThreeCharacters", "RadioButton4", "a.b", "", true},
        ValidationCase{"TwoCharactersWithinBlanks", "RadioButton1", "  ab  ", "", false},
        ValidationCase{"TwoCharactersWithinControls", "RadioButton4", "\tab\r\n\x01", "", false},
        ValidationCase{"ControlCharacterInsideCounts", "RadioButton4",
                       "a\x01"
                       "b",
                       "", true},
        ValidationCase{"FileKindIgnoresTheName", "RadioButton1", "", "orcl", false},
        ValidationCase{"OracleSingleBlank", "RadioButton2", "", " ", false},
        ValidationCase{"OracleSingleLetter", "RadioButton2", "", "x", true},
        ValidationCase{"OracleOleOnlyControls", "RadioButton5", "", "\t\x1f", false},
        ValidationCase{"OracleOleName", "RadioButton5", "", " orcl ", true},
        ValidationCase{"NameKindIgnoresTheFile", "RadioButton5", "/data/shop.mdb", "", false},
        ValidationCase{"AnotherSourceLooksAtNothing", "RadioButton3", "", "", true},
        ValidationCase{"AnotherSourceWithTexts", "RadioButton3", "ab", " ", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenADOFormTest, BuildsTheStringOfTheCheckedKindWithTheValueAsTyped) {
    Edit("FileEdit")->setText(" /data/shop.mdb ");
    Edit("DBEdit")->setText(" orcl ");
    const std::pair<const char*, QString> cases[] = {
        {"RadioButton1",
         "Provider=MSDASQL.1;Persist Security Info=False;Data Source=MS Access 97 "
         "Database;Initial Catalog= /data/shop.mdb "},
        {"RadioButton2",
         "Provider=MSDASQL.1;Persist Security Info=False;Data Source=Oracle Database;Initial "
         "Catalog= orcl "},
        {"RadioButton4",
         "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data Source= "
         "/data/shop.mdb "},
        {"RadioButton5", "Provider=MSDAORA.1;Persist Security Info=False;Data Source= orcl "},
    };
    for (const auto& [radio, expected] : cases) {
        Radio(radio)->click();
        QString text = "unchanged";
        form.BuildConnectionString(text);
        EXPECT_EQ(text, expected) << radio;
    }

    Radio("RadioButton3")->click();
    QString text = "unchanged";
    form.BuildConnectionString(text);
    EXPECT_EQ(text, "unchanged");
}

TEST_F(OpenADOFormTest, KeepsItsStateBetweenShowings) {
    seam->AnswerModal([this](QDialog&) {
        Radio("RadioButton4")->click();
        Edit("FileEdit")->setText("/data/shop.mdb");
        Child<QCheckBox>(form, "CheckBox2")->setChecked(false);
        Child<QPushButton>(form, "Button2")->click();
        return form.result();
    });
    ASSERT_EQ(Modal().ShowModal(form), int(mrOk));

    seam->AnswerModal(ClickThen("Button1"));
    EXPECT_EQ(Modal().ShowModal(form), int(mrCancel));

    EXPECT_TRUE(Radio("RadioButton4")->isChecked());
    EXPECT_EQ(InputStates(), kFileRow);
    EXPECT_EQ(Edit("FileEdit")->text(), "/data/shop.mdb");
    EXPECT_TRUE(Child<QCheckBox>(form, "CheckBox1")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(form, "CheckBox2")->isChecked());
}

TEST_F(OpenADOFormTest, CancelClosingAndEscape) {
    Child<QPushButton>(form, "Button1")->click();
    EXPECT_EQ(form.result(), int(mrCancel));

    form.setResult(mrNone);
    form.show();
    form.close();
    EXPECT_EQ(form.result(), int(mrCancel));

    // Without a cancel button Esc leaves the dialog open.
    form.setResult(mrNone);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &escape);
    EXPECT_EQ(form.result(), int(mrNone));
    EXPECT_TRUE(seam->shown.empty());
}

struct FilePromptCase {
    const char* name;
    QString fileText;
    QString initialDir;  // empty: the process's current directory
    QString fileName;
};

class OpenADOFilePrompt : public OpenADOFormTest,
                          public ::testing::WithParamInterface<FilePromptCase> {};

TEST_P(OpenADOFilePrompt, StartsFromTheTypedPath) {
    const FilePromptCase& c = GetParam();
    Radio("RadioButton1")->click();
    Edit("FileEdit")->setText(c.fileText);

    Child<QPushButton>(form, "FileButton")->click();

    ASSERT_EQ(seam->fileRequests.size(), 1u);
    const TFileDialogRequest& request = seam->fileRequests[0];
    EXPECT_EQ(request.filter, "Access files (*.mdb)|*.mdb|All files (*.*)|*.*");
    EXPECT_EQ(request.initialDir, c.initialDir.isEmpty() ? QDir::currentPath() : c.initialDir);
    EXPECT_EQ(request.fileName, c.fileName);
    EXPECT_TRUE(request.fileMustExist);
    EXPECT_EQ(Edit("FileEdit")->text(), c.fileText) << "a cancelled prompt changes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpenADOFilePrompt,
    ::testing::Values(FilePromptCase{"Empty", "", "", ""},
                      FilePromptCase{"BareName", "shop.mdb", "", "shop.mdb"},
                      FilePromptCase{"FullPath", "/data/old/shop.mdb", "/data/old/", "shop.mdb"},
                      FilePromptCase{"DirectoryOnly", "/data/old/", "/data/old/", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenADOFormTest, AChosenFileReplacesTheTypedPath) {
    Radio("RadioButton4")->click();
    Edit("FileEdit")->setText("old.mdb");
    seam->AnswerOpenFile(QStringLiteral("/data/new/shop.mdb"));

    Child<QPushButton>(form, "FileButton")->click();

    EXPECT_EQ(Edit("FileEdit")->text(), "/data/new/shop.mdb");
}
}  // namespace
