#pragma once

class TMainForm;
class TOpenADOForm;
class TOpenBDEForm;

// The application's forms, created once at start-up in this order and living until exit.
extern TMainForm* MainForm;
extern TOpenBDEForm* OpenBDEForm;
extern TOpenADOForm* OpenADOForm;

void CreateApplicationForms();
void DestroyApplicationForms();
