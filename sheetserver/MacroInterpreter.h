#pragma once

#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "MacroParser.h"
#include "SheetModel.h"

// Carries out the macro commands the worksheet sends on the workbook being built. A command
// string is checked whole before any of it is carried out: a string with one call it cannot
// carry out changes nothing.
class TMacroInterpreter {
  public:
    TMacroInterpreter();

    // Empty when done, else the reason it was refused.
    QString Execute(const QString& command);
    const TSheetModel& Sheet() const { return sheet_; }

  private:
    // Checks a call and returns what carries it out, or the reason it is refused.
    using TAction = std::function<QString()>;
    using TCheck = std::function<QString(const TMacroCall&, TAction&)>;

    QString Check(const TMacroCall& call, TAction& action) const;

    TSheetModel sheet_;
    std::map<QString, TCheck> commands_;
};
