#include "WSCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

#include "NumberText.h"

QString MacroQuoted(const QString& text) {
    QString quoted = text;
    return QLatin1Char('"') + quoted.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QString SelectCommand(int row, int col) {
    return QStringLiteral("[SELECT(\"R%1C%2\")]").arg(row).arg(col);
}

QString FormulaCommand(const QString& text) {
    const bool needsMark = text.startsWith(QLatin1Char('=')) ||
                           text.startsWith(QLatin1Char('\'')) ||
                           LosesDigitsAsNumber(text, QLocale::system().decimalPoint());
    return QStringLiteral("[FORMULA(%1)]")
        .arg(MacroQuoted(needsMark ? QLatin1Char('\'') + text : text));
}

QString ColumnWidthCommand(int width) {
    return QStringLiteral("[COLUMN.WIDTH(%1)]").arg(width);
}

QString AlignmentCommand(uint8_t alignment) {
    int horizontal = 1;
    switch (alignment) {
        case 0:
            horizontal = 2;
            break;
        case 1:
            horizontal = 4;
            break;
        case 2:
            horizontal = 3;
            break;
        default:
            break;
    }
    return QStringLiteral("[ALIGNMENT(%1, FALSE, 2, 0)]").arg(horizontal);
}

int ExcelColorIndex(int32_t color) {
    struct Band {
        int32_t last;
        int index;
    };
    static constexpr Band kBands[] = {
        {0x000000, 0},  {0x000080, 30}, {0x0000FF, 3},  {0x008000, 50}, {0x00FF00, 4},
        {0x00FFFF, 6},  {0x800000, 11}, {0x808080, 16}, {0xC0C0C0, 15}, {0xFF0000, 41},
        {0xFF00FF, 13}, {0xFFFF00, 8},  {0xFFFFFF, 2},
    };
    if (color < 0)
        return 0;
    for (const Band& band : kBands) {
        if (color <= band.last)
            return band.index;
    }
    return 0;
}

QString FontCommand(const QFont& font, int32_t color) {
    // A font sized in pixels has no point size; screen pixels are 1/96 inch.
    const int points =
        font.pointSize() > 0 ? font.pointSize() : int(std::lround(font.pixelSize() * 72.0 / 96.0));
    return QStringLiteral("[FORMAT.FONT(%1, %2, %3, %4, %5, %6, %7)]")
        .arg(MacroQuoted(font.family()))
        .arg(points)
        .arg(int(font.bold()))
        .arg(int(font.italic()))
        .arg(int(font.underline()))
        .arg(int(font.strikeOut()))
        .arg(ExcelColorIndex(color));
}

QString RenameSheetCommand(const QString& oldName, const QString& newName) {
    return QStringLiteral("[WORKBOOK.NAME(%1,%2)]").arg(MacroQuoted(oldName), MacroQuoted(newName));
}

QString SaveAsCommand(const QString& path, int saveType) {
    return QStringLiteral("[SAVE.AS(%1, %2)]").arg(MacroQuoted(path)).arg(saveType);
}

namespace {
QString WithExtension(const QString& path, const QString& extension) {
    const QFileInfo info(path);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return QDir(info.path()).filePath(base + extension);
}
}  // namespace

QString CellName(int row, int col) {
    QString letters;
    for (int rest = col; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters + QString::number(row);
}

QString WorkbookPath(const QString& name) {
    return WithExtension(QDir::current().absoluteFilePath(name), QStringLiteral(".XLS"));
}

QString BackupPath(const QString& workbookPath) {
    return WithExtension(workbookPath, QStringLiteral(".BAK"));
}
