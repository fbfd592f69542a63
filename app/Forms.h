#pragma once

class TMainForm;
class TOpenADOForm;

// The application's forms, created once at start-up in this order and living until exit.
extern TMainForm* MainForm;
extern TOpenADOForm* OpenADOForm;

void CreateApplicationForms();
void DestroyApplicationForms();
