#pragma once

#include <QString>
#include <functional>
#include <memory>

class ModalSeam;
class ScriptedModalSeam;
class TMainForm;

// The program's main window, shown, worked as a user works it while a script answers its
// dialogs. Every step throws std::runtime_error with the texts the window showed when it did
// not end as a user expects.
class TScriptedMainWindow {
  public:
    TScriptedMainWindow();
    ~TScriptedMainWindow();
    TScriptedMainWindow(const TScriptedMainWindow&) = delete;
    TScriptedMainWindow& operator=(const TScriptedMainWindow&) = delete;

    // "Open ADO": the chooser's own connection string, typed into the connection string editor,
    // with "Use serverside cursorlocation" as given (checked, as the chooser starts, by default).
    void Connect(const QString& connectionString, bool serverCursor = true);
    // Types the text into the SQL editor and clicks "Execute SQL"; returns the records shown.
    qsizetype Execute(const QString& sql);
    // Clicks "Print grid" and answers the print dialog with Print, all pages, on the printer
    // the environment chose. `dialogShown` runs when the dialog comes up, that is once the
    // document is composed. Returns the pages the dialog offered.
    int PrintGrid(const std::function<void()>& dialogShown = {});
    // Clicks "Save grid" and answers the save dialog with the file; `clicked` runs just before
    // the click. Throws unless the window reports the grid saved to that file.
    void SaveGrid(const QString& fileName, const std::function<void()>& clicked = {});
    // The grid's context menu "Export to spreadsheet…", answered with the workbook's name; runs
    // the export the menu posts. Throws when the window showed an error.
    void ExportToSpreadsheet(const QString& fileName);

    TMainForm& Form() const;

  private:
    // Throws when the window showed an error or a notice since the last check.
    void RequireNothingShown(const char* step) const;

    ScriptedModalSeam* seam_;
    std::unique_ptr<ModalSeam> previous_;
};
