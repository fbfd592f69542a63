#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <functional>

#include "AdoConEd.h"
#include "DataLinkDirectory.h"
#include "DialogTestSupport.h"
#include "HelpSystem.h"
#include "db/components/ADOConnection.h"

namespace {
// Every test gets a data link folder of its own, named through the environment.
class ConnEditFormTest : public ScriptedSeamTest {
  protected:
    void SetUp() override {
        ScriptedSeamTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        qputenv("QUORVA_DATALINK_DIR", folder.path().toUtf8());
    }
    void TearDown() override {
        qunsetenv("QUORVA_DATALINK_DIR");
        ScriptedSeamTest::TearDown();
    }
    void Touch(const QString& name) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString Dir() const { return folder.path(); }

    QTemporaryDir folder;
};

TEST_F(ConnEditFormTest, ListsTheDataLinkFilesOfTheFolderSorted) {
    for (const char* name : {"shop.udl", "Archive.udl", "notes.txt", "beta.UDL"})
        Touch(name);
    ASSERT_TRUE(QDir(Dir()).mkdir("folder.udl"));

    TConnEditForm form;

    auto* list = Child<QComboBox>(form, "DataLinkFile");
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    EXPECT_EQ(items, (QStringList{"Archive.udl", "beta.UDL", "shop.udl"}));
    EXPECT_EQ(list->currentText(), "");
    EXPECT_EQ(form.HelpContext(), 27270);
}

TEST_F(ConnEditFormTest, AMissingFolderLeavesTheListEmpty) {
    qputenv("QUORVA_DATALINK_DIR", QDir(Dir()).filePath("missing").toUtf8());
    TConnEditForm form;
    EXPECT_EQ(Child<QComboBox>(form, "DataLinkFile")->count(), 0);
}

// One run of the editor: what the user does before pressing a button.
struct EditCase {
    const char* name;
    QString initial;  // "<dir>" stands for the data link folder
    bool showsFile;   // else the string is shown as a connection string
    QString shown;
    std::function<void(TConnEditForm&)> action;
    const char* button;
    QString result;
};

class EditConnectionString : public ConnEditFormTest,
                             public ::testing::WithParamInterface<EditCase> {
  protected:
    QString Expand(QString text) const { return text.replace("<dir>", Dir()); }
};

TEST_P(EditConnectionString, ShowsAndReturnsTheString) {
    const EditCase& c = GetParam();
    TConnEditForm form;
    seam->AnswerModal([&](QDialog&) {
        EXPECT_EQ(form.UseDataLinkFile->isChecked(), c.showsFile);
        EXPECT_EQ(form.UseConnectionString->isChecked(), !c.showsFile);
        EXPECT_EQ(c.showsFile ? form.DataLinkFile->currentText() : form.ConnectionString->text(),
                  Expand(c.shown));
        if (c.action)
            c.action(form);
        Child<QPushButton>(form, c.button)->click();
        return form.result();
    });

    EXPECT_EQ(form.EditConnectionString(Expand(c.initial)), Expand(c.result));
}

const auto kNothing = std::function<void(TConnEditForm&)>();
void UseFile(TConnEditForm& form, const QString& text) {
    form.UseDataLinkFile->click();
    form.DataLinkFile->setEditText(text);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, EditConnectionString,
    ::testing::Values(
        EditCase{"FileInTheFolderShowsItsName", "FILE NAME=<dir>/shop.udl", true, "shop.udl",
                 kNothing, "OkButton", "FILE NAME=<dir>/shop.udl"},
        EditCase{"FileElsewhereShowsItsPath", "FILE NAME=/srv/links/shop.udl", true,
                 "/srv/links/shop.udl", kNothing, "OkButton", "FILE NAME=/srv/links/shop.udl"},
        EditCase{"FileInASubfolderShowsItsPath", "FILE NAME=<dir>/old/shop.udl", true,
                 "<dir>/old/shop.udl", kNothing, "OkButton", "FILE NAME=<dir>/old/shop.udl"},
        EditCase{"LongPathIsKeptWhole", "FILE NAME=/srv/" + QString(300, 'x') + ".udl", true,
                 "/srv/" + QString(300, 'x') + ".udl", kNothing, "OkButton",
                 "FILE NAME=/srv/" + QString(300, 'x') + ".udl"},
        EditCase{"LowerCasePrefixIsAConnectionString", "file name=<dir>/shop.udl", false,
                 "file name=<dir>/shop.udl", kNothing, "OkButton", "file name=<dir>/shop.udl"},
        EditCase{"PrefixNotAtTheStart", " FILE NAME=<dir>/shop.udl", false,
                 " FILE NAME=<dir>/shop.udl", kNothing, "OkButton", " FILE NAME=<dir>/shop.udl"},
        EditCase{"PlainString", "Provider=SQLite;Data Source=/tmp/a.db", false,
                 "Provider=SQLite;Data Source=/tmp/a.db", kNothing, "OkButton",
                 "Provider=SQLite;Data Source=/tmp/a.db"},
        EditCase{"EmptyFileBoxGivesEmptyString", "Provider=SQLite;Data Source=/tmp/a.db", false,
                 "Provider=SQLite;Data Source=/tmp/a.db",
                 [](TConnEditForm& form) { UseFile(form, ""); }, "OkButton", ""},
        EditCase{"BareNameGoesIntoTheFolder", "", false, "",
                 [](TConnEditForm& form) { UseFile(form, "new.udl"); }, "OkButton",
                 "FILE NAME=<dir>/new.udl"},
        EditCase{"NameWithAPathIsKept", "", false, "",
                 [](TConnEditForm& form) { UseFile(form, "links/new.udl"); }, "OkButton",
                 "FILE NAME=links/new.udl"},
        EditCase{"TypedString", "FILE NAME=<dir>/shop.udl", true, "shop.udl",
                 [](TConnEditForm& form) {
                     form.UseConnectionString->click();
                     form.ConnectionString->setText("Provider=PostgreSQL;Host=db");
                 },
                 "OkButton", "Provider=PostgreSQL;Host=db"},
        EditCase{"CancelKeepsTheInitialString", "FILE NAME=<dir>/shop.udl", true, "shop.udl",
                 [](TConnEditForm& form) { UseFile(form, ""); }, "CancelButton",
                 "FILE NAME=<dir>/shop.udl"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnEditFormTest, SourceButtonsSwitchInputsColoursAndFocus) {
    TConnEditForm form;
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    ASSERT_NE(window, buttonFace);
    auto base = [](QWidget* input) { return input->palette().color(QPalette::Base); };

    form.UseConnectionString->click();
    EXPECT_FALSE(form.DataLinkFile->isEnabled());
    EXPECT_FALSE(form.Browse->isEnabled());
    EXPECT_TRUE(form.ConnectionString->isEnabled());
    EXPECT_TRUE(form.Build->isEnabled());
    EXPECT_EQ(base(form.DataLinkFile), buttonFace);
    EXPECT_EQ(base(form.ConnectionString), window);
    EXPECT_EQ(form.focusWidget(), form.ConnectionString);

    form.UseDataLinkFile->click();
    EXPECT_TRUE(form.DataLinkFile->isEnabled());
    EXPECT_TRUE(form.Browse->isEnabled());
    EXPECT_FALSE(form.ConnectionString->isEnabled());
    EXPECT_FALSE(form.Build->isEnabled());
    EXPECT_EQ(base(form.DataLinkFile), window);
    EXPECT_EQ(base(form.ConnectionString), buttonFace);
    EXPECT_TRUE(form.focusWidget() == form.DataLinkFile ||
                form.focusWidget() == form.DataLinkFile->lineEdit());
}

TEST_F(ConnEditFormTest, BrowseStartsInTheDirectoryOfTheTypedPath) {
    TConnEditForm form;
    const std::pair<QString, QString> cases[] = {
        {"", ""}, {"shop.udl", ""}, {"/srv/links/shop.udl", "/srv/links/"}};
    for (const auto& [typed, directory] : cases) {
        seam->Clear();
        form.DataLinkFile->setEditText(typed);
        form.Browse->click();
        ASSERT_EQ(seam->fileRequests.size(), 1u) << typed.toStdString();
        EXPECT_EQ(seam->fileRequests[0].filter,
                  "Microsoft Data Link Files (*.udl)|*.udl|All Files (*.*)|*.*");
        EXPECT_EQ(seam->fileRequests[0].initialDir, directory);
        EXPECT_EQ(form.DataLinkFile->currentText(), typed) << "cancel keeps the text";
    }

    seam->AnswerOpenFile(QStringLiteral("/srv/other/new.udl"));
    form.Browse->click();
    EXPECT_EQ(form.DataLinkFile->currentText(), "/srv/other/new.udl");
}

TEST_F(ConnEditFormTest, BuildTakesTheStringOfTheDataLinkDialog) {
    TConnEditForm form;
    form.ConnectionString->setText("Provider=PostgreSQL;Host=db;Port=5433;Database=shop");
    seam->AnswerModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "DataLinkForm");
        EXPECT_EQ(Child<QLineEdit>(dialog, "HostEdit")->text(), "db");
        EXPECT_EQ(Child<QLineEdit>(dialog, "PortEdit")->text(), "5433");
        Child<QLineEdit>(dialog, "UserEdit")->setText("me");
        Child<QLineEdit>(dialog, "PasswordEdit")->setText("a;b");
        Child<QPushButton>(dialog, "OkButton")->click();
        return dialog.result();
    });

    form.Build->click();

    EXPECT_EQ(form.ConnectionString->text(),
              "Provider=PostgreSQL;Host=db;Port=5433;Database=shop;User ID=me;Password=\"a;b\"");
}

TEST_F(ConnEditFormTest, ACancelledBuildKeepsTheString) {
    TConnEditForm form;
    form.ConnectionString->setText("not a connection string");
    seam->AnswerModal(ClickThen("CancelButton"));

    form.Build->click();

    EXPECT_EQ(form.ConnectionString->text(), "not a connection string");
    EXPECT_TRUE(seam->Texts("error").isEmpty());
}

TEST_F(ConnEditFormTest, HelpShowsTheConnectionStringTopicWithoutWaiting) {
    TConnEditForm form;
    form.HelpButton->click();

    auto* window = form.findChild<QDialog*>("HelpWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    const QString text = Child<QTextBrowser>(*window, "HelpText")->toPlainText();
    for (const char* part : {"Provider=SQLite;", "Provider=PostgreSQL;", "Provider=MSDASQL.1;",
                             "Provider=Microsoft.Jet.OLEDB.4.0;", "Provider=MSDAORA.1;",
                             "FILE NAME=", "[oledb]", "UTF-16"})
        EXPECT_TRUE(text.contains(part)) << part;
    EXPECT_TRUE(text.contains(DataLinkDirectory()));
    window->close();
}

TEST_F(ConnEditFormTest, UnknownHelpContextSaysSo) {
    QWidget owner;
    QDialog* window = HelpSystem().ShowContext(1, &owner);
    EXPECT_EQ(Child<QTextBrowser>(*window, "HelpText")->toPlainText(), "No help for this topic.");
    window->close();
}

// The connection string editor run on a connection of the main window.
class RunConnectionEditorTest : public ConnEditFormTest {
  protected:
    RunConnectionEditorTest() { owner.setObjectName("MainForm"); }
    QObject owner;
    TADOConnection connection{&owner, QStringLiteral("ADOConnection1")};
};

TEST_F(RunConnectionEditorTest, CaptionNamesOwnerAndConnection) {
    seam->AnswerModal(ClickThen("CancelButton"));
    RunConnectionEditor(connection);
    ASSERT_EQ(seam->shown.size(), 1u);
    EXPECT_EQ(seam->shown[0].caption, "MainForm.ADOConnection1 ConnectionString");

    TADOConnection ownerless(nullptr, QStringLiteral("ADOConnection2"));
    seam->AnswerModal(ClickThen("CancelButton"));
    RunConnectionEditor(ownerless);
    EXPECT_EQ(seam->shown.back().caption, "ADOConnection2 ConnectionString");
}

TEST_F(RunConnectionEditorTest, ReportsAndStoresOnlyADifferentStringAndTellsOkFromCancel) {
    struct Case {
        const char* name;
        QString initial;
        std::function<void(QDialog&)> action;
        const char* button;
        bool changed;
        QString stored;
    };
    const QString inFolder = "FILE NAME=" + Dir() + "/shop.udl";
    const QString sqlServer =
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Initial "
        "Catalog=Northwind;Data Source=srv;Trusted_Connection=yes;APP=Quorva";
    const Case cases[] = {
        {"unchanged string", "Provider=SQLite;Data Source=/tmp/a.db", nullptr, "OkButton", false,
         "Provider=SQLite;Data Source=/tmp/a.db"},
        {"unchanged file rebuilt", inFolder, nullptr, "OkButton", false, inFolder},
        {"cancelled", "Provider=SQLite", nullptr, "CancelButton", false, "Provider=SQLite"},
        {"file box emptied", "Provider=SQLite;Data Source=/tmp/a.db",
         [](QDialog& form) {
             Child<QRadioButton>(form, "UseDataLinkFile")->click();
             Child<QComboBox>(form, "DataLinkFile")->setEditText("");
         },
         "OkButton", true, ""},
        {"letter case changed", "Provider=SQLite",
         [](QDialog& form) {
             Child<QLineEdit>(form, "ConnectionString")->setText("provider=SQLite");
         },
         "OkButton", true, "provider=SQLite"},
        {"built without a change", sqlServer,
         [this](QDialog& form) {
             seam->AnswerModal(ClickThen("OkButton"));
             Child<QPushButton>(form, "Build")->click();
         },
         "OkButton", false, sqlServer},
    };
    for (const Case& c : cases) {
        connection.SetConnectionString(c.initial);
        seam->AnswerModal([&c](QDialog& form) {
            if (c.action)
                c.action(form);
            Child<QPushButton>(form, c.button)->click();
            return form.result();
        });
        bool confirmed = false;
        EXPECT_EQ(RunConnectionEditor(connection, &confirmed), c.changed) << c.name;
        EXPECT_EQ(connection.ConnectionString(), c.stored) << c.name;
        EXPECT_EQ(confirmed, QLatin1String(c.button) == QLatin1String("OkButton")) << c.name;
    }
}
}  // namespace
