#pragma once

#include <QString>

class TRegistry;

// The open command of ".XLS" documents in the registry: HKEY_CLASSES_ROOT\.XLS names the
// document type, whose "shell\open\command" holds the command line. Missing keys give an empty
// text.
QString XlsOpenCommand(TRegistry& registry);

// Registers `command` as the open command of ".XLS" documents in the registry store at
// `storePath`, under the document type "Quorva.Workbook", as a spreadsheet program's installer
// does, unless an open command is registered in that store already (it is kept; the machine's
// store under it does not count). True when it registered; raises ERegistryException when the
// store cannot be read or written.
bool RegisterXlsHandler(const QString& storePath, const QString& command);
