#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include "AdoConEd.h"
#include "Forms.h"
#include "MainUnit.h"
#include "OpenADOForm.h"
#include "OpenBDEUnit.h"
#include "support/ScriptedSeamFixture.h"

// The application's forms, created as at start-up, with a scripted seam.
class MainWindowTest : public ScriptedSeamTest {
  protected:
    void SetUp() override {
        ScriptedSeamTest::SetUp();
        CreateApplicationForms();
        form = MainForm;
    }
    void TearDown() override {
        DestroyApplicationForms();
        ScriptedSeamTest::TearDown();
    }

    // Answers the ADO chooser: `kind` is the radio button to click (1, 2, 3, 4 or 5).
    void ChooseAdo(int kind, const QString& value = {}, bool loginPrompt = false) {
        seam->AnswerModal([=](QDialog& dialog) {
            auto& chooser = static_cast<TOpenADOForm&>(dialog);
            QRadioButton* buttons[] = {nullptr,
                                       chooser.RadioButton1,
                                       chooser.RadioButton2,
                                       chooser.RadioButton3,
                                       chooser.RadioButton4,
                                       chooser.RadioButton5};
            buttons[kind]->click();
            if (chooser.FileEdit->isEnabled())
                chooser.FileEdit->setText(value);
            if (chooser.DBEdit->isEnabled())
                chooser.DBEdit->setText(value);
            chooser.CheckBox1->setChecked(loginPrompt);
            chooser.Button2->click();
            return chooser.result();
        });
    }

    // Answers the connection string editor with a typed connection string.
    void AnswerEditor(const QString& connectionString) {
        seam->AnswerModal([=](QDialog& dialog) {
            auto& editor = static_cast<TConnEditForm&>(dialog);
            editor.UseConnectionString->click();
            editor.ConnectionString->setText(connectionString);
            return int(mrOk);
        });
    }

    // Opens the first alias the chooser lists.
    void OpenFirstAlias() {
        seam->AnswerModal([](QDialog& dialog) {
            auto& chooser = static_cast<TOpenBDEForm&>(dialog);
            chooser.ListBox1->setCurrentRow(0);
            chooser.Button1->click();
            return chooser.result();
        });
        form->OpenBDEButton->click();
    }

    void OpenSqliteFile(const QString& path) {
        ChooseAdo(4, path);
        form->OpenADOButton->click();
    }

    QString Panel(int i) const { return form->PanelText(i); }

    TMainForm* form = nullptr;
    QTemporaryDir temp;
};
