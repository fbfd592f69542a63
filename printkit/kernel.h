#pragma once

// The print kit: the kernel component and what its users need with it.
#include "CellText.h"
#include "CodedLine.h"
#include "ColumnLayout.h"
#include "CustomVellox.h"
#include "PrintTypes.h"
#include "ProgramCounters.h"
#include "TextFit.h"
#include "TextUtils.h"
#include "VelloxMessage.h"
#include "VelloxPrgDlg.h"
#include "VelloxStrings.h"
#include "core/Exception.h"
#include "metafile/Metafile.h"
#include "metafile/PageList.h"
#include "print/Printer.h"
