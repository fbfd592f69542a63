#include "Forms.h"

#include "MainUnit.h"
#include "OpenADOForm.h"
#include "OpenBDEUnit.h"

TMainForm* MainForm = nullptr;
TOpenBDEForm* OpenBDEForm = nullptr;
TOpenADOForm* OpenADOForm = nullptr;

void CreateApplicationForms() {
    MainForm = new TMainForm;
    OpenBDEForm = new TOpenBDEForm(MainForm->Session1);
    OpenADOForm = new TOpenADOForm;
}

void DestroyApplicationForms() {
    delete OpenADOForm;
    OpenADOForm = nullptr;
    delete OpenBDEForm;
    OpenBDEForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
}
