#pragma once

#include <QString>

// Help context of the connection string editor.
constexpr int kConnectionStringHelp = 27270;

// The help topic of a help context as HTML; empty when there is none.
QString HelpTopicText(int context);
