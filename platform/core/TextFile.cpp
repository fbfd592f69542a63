#include "core/TextFile.h"

#include "core/TextFileWriter.h"

void SaveTextFile(const QString& fileName, const QString& text) {
    TTextFileWriter file(fileName);
    file.Write(text);
    file.Commit();
}
