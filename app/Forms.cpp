#include "Forms.h"

#include "MainUnit.h"
#include "OpenADOForm.h"

TMainForm* MainForm = nullptr;
TOpenADOForm* OpenADOForm = nullptr;

void CreateApplicationForms() {
    MainForm = new TMainForm;
    OpenADOForm = new TOpenADOForm;
}

void DestroyApplicationForms() {
    delete OpenADOForm;
    OpenADOForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
}
