#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "DialogTestSupport.h"
#include "OpenBDEUnit.h"
#include "core/Exception.h"
#include "db/connection/AliasFile.h"

namespace {

// What the dialog looked like while it was on screen.
struct Seen {
    QStringList items;
    int selected = -1;
    bool openEnabled = true;
};

class OpenBDEFormTest : public ScriptedSeamTest {
  protected:
    void SetUp() override {
        ScriptedSeamTest::SetUp();
        previous_ = SetAliasResolver(std::make_unique<TAliasFile>(path, QString()));
        WriteAliases({"Shop", "Kunden Daten", "Bücher ÆØÅ"});
    }
    void TearDown() override {
        SetAliasResolver(std::move(previous_));
        ScriptedSeamTest::TearDown();
    }

    void WriteAliases(const QStringList& names) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const QString& name : names)
            file.write(QStringLiteral("[%1]\nDriver=SQLITE\nPath=x.db\n").arg(name).toUtf8());
    }

    QListWidget* List() { return Child<QListWidget>(form, "ListBox1"); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(form, name); }

    // Shows the dialog through the seam; `act` works it while it is on screen.
    int Show(Seen& seen, std::function<void()> act) {
        seam->AnswerModal([&, act](QDialog&) {
            for (int row = 0; row < List()->count(); ++row)
                seen.items << List()->item(row)->text();
            seen.selected = List()->selectedItems().size();
            seen.openEnabled = Button("Button1")->isEnabled();
            act();
            return form.result();
        });
        return Modal().ShowModal(form);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("aliases.ini"));
    TSession Session1;
    TOpenBDEForm form{&Session1};

  private:
    std::unique_ptr<TAliasResolver> previous_;
};

TEST_F(OpenBDEFormTest, StartsAsTheChooserWithOpenDisabled) {
    EXPECT_EQ(form.objectName(), "OpenBDEForm");
    EXPECT_EQ(form.windowTitle(), "Open BDE database");
    EXPECT_EQ(form.size(), QSize(228, 375));
    EXPECT_NE(form.minimumSize(), form.maximumSize()) << "the chooser is resizable";
    EXPECT_EQ(Child<QLabel>(form, "Label1")->text(), "Available databases:");
    EXPECT_EQ(Button("Button1")->text(), "&Open");
    EXPECT_EQ(Button("Button2")->text(), "&Cancel");
    EXPECT_FALSE(Button("Button1")->isEnabled());
    EXPECT_TRUE(Button("Button2")->isEnabled());
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(form.Session(), &Session1);
}

TEST_F(OpenBDEFormTest, ListFillsTheFormAndButtonsKeepToTheirCorners) {
    form.layout()->setGeometry(QRect(0, 0, 228, 375));
    const QRect list = List()->geometry();
    const QRect open = Button("Button1")->geometry();
    const QRect cancel = Button("Button2")->geometry();
    EXPECT_LT(open.right(), cancel.left());
    EXPECT_LT(list.bottom(), open.top());

    form.layout()->setGeometry(QRect(0, 0, 328, 475));
    EXPECT_EQ(List()->geometry(), list.adjusted(0, 0, 100, 100));
    EXPECT_EQ(Button("Button1")->geometry(), open.translated(0, 100));
    EXPECT_EQ(Button("Button2")->geometry(), cancel.translated(100, 100));
}

TEST_F(OpenBDEFormTest, OpenReturnsOkWithTheSelectedAlias) {
    Seen seen;
    bool enabledBySelection = false;
    const int result = Show(seen, [&] {
        List()->setCurrentRow(2);
        enabledBySelection = Button("Button1")->isEnabled();
        Button("Button1")->click();
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(seen.items, (QStringList{"Shop", "Kunden Daten", "Bücher ÆØÅ"}));
    EXPECT_EQ(seen.selected, 0);
    EXPECT_FALSE(seen.openEnabled);
    EXPECT_TRUE(enabledBySelection);
    EXPECT_EQ(form.SelectedAlias(), "Bücher ÆØÅ");
    EXPECT_EQ(List()->currentItem()->text(), "Bücher ÆØÅ");
    EXPECT_EQ(seam->Texts("modal"), QStringList{"OpenBDEForm"});
}

TEST_F(OpenBDEFormTest, LosingTheSelectionDisablesOpen) {
    form.show();
    List()->setCurrentRow(0);
    EXPECT_TRUE(Button("Button1")->isEnabled());
    List()->clearSelection();
    EXPECT_FALSE(Button("Button1")->isEnabled());
    EXPECT_EQ(form.SelectedAlias(), QString());
}

TEST_F(OpenBDEFormTest, EmptyListCanOnlyBeCancelled) {
    WriteAliases({});
    Seen seen;
    int afterOpen = -1;
    const int result = Show(seen, [&] {
        Button("Button1")->click();
        afterOpen = form.result();
        Button("Button2")->click();
    });
    EXPECT_TRUE(seen.items.isEmpty());
    EXPECT_FALSE(seen.openEnabled);
    EXPECT_EQ(afterOpen, mrNone);
    EXPECT_EQ(result, mrCancel);
}

TEST_F(OpenBDEFormTest, ClosingTheWindowCancels) {
    Seen seen;
    EXPECT_EQ(Show(seen, [&] { form.reject(); }), mrCancel);
}

TEST_F(OpenBDEFormTest, ReopeningShowsTheRefreshedListWithNothingSelected) {
    Seen first;
    EXPECT_EQ(Show(first,
                   [&] {
                       List()->setCurrentRow(1);
                       Button("Button2")->click();
                   }),
              mrCancel);
    form.resize(300, 500);
    WriteAliases({"Shop", "Kunden Daten", "Bücher ÆØÅ", "Neu hinzugefügt"});

    Seen second;
    Show(second, [&] { Button("Button2")->click(); });
    EXPECT_EQ(second.items, (QStringList{"Shop", "Kunden Daten", "Bücher ÆØÅ", "Neu hinzugefügt"}));
    EXPECT_EQ(second.selected, 0);
    EXPECT_FALSE(second.openEnabled);
    EXPECT_EQ(form.size(), QSize(300, 500)) << "the size is kept between showings";
}

TEST_F(OpenBDEFormTest, ListingFailureReachesWhoeverShowsTheDialog) {
    QFile::remove(path);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("aliases.ini")));
    seam->AnswerModal([](QDialog&) { return int(mrOk); });
    EXPECT_THROW(Modal().ShowModal(form), EDatabaseError);
    EXPECT_FALSE(form.isVisible());
    // The real seam runs the dialog's own event loop; the failure comes before it starts.
    EXPECT_THROW(form.exec(), EDatabaseError);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(OpenBDEFormTest, WithoutASessionListsThroughItsOwn) {
    auto* given = new TSession;
    TOpenBDEForm lone(given);
    delete given;
    lone.show();
    EXPECT_EQ(lone.ListBox1->count(), 3);
    TOpenBDEForm none;
    none.show();
    EXPECT_EQ(none.ListBox1->count(), 3);
}

}  // namespace
