#pragma once

#include <QString>

// Where data link (.udl) files are kept: the folder QUORVA_DATALINK_DIR names, else
// "Quorva/Data Links" in the user's data folder. Without a trailing "/".
QString DataLinkDirectory();
