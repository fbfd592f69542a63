#pragma once

#include "core/TextFileWriter.h"

// The text file of a composition run: the program's safe text writer, so a run that stops or
// fails leaves the previous file as it was.
class TTextOutputFile : public TTextFileWriter {
  public:
    using TTextFileWriter::TTextFileWriter;
};
