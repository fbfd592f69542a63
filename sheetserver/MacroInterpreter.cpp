#include "MacroInterpreter.h"

#include <QRegularExpression>
#include <cmath>
#include <optional>
#include <utility>

#include "WorkbookWriter.h"

namespace {
constexpr int kMaxRow = 1048576;
constexpr int kMaxCol = 16384;
constexpr int kMaxCellText = 32767;

std::optional<double> Number(const TMacroArgument& argument) {
    bool ok = false;
    const double value = argument.value.toDouble(&ok);
    return !argument.quoted && ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<bool> Logical(const TMacroArgument& argument) {
    if (argument.quoted)
        return std::nullopt;
    if (argument.value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return true;
    if (argument.value.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = Number(argument);
    return number ? std::optional(*number != 0) : std::nullopt;
}

QString Arity(const TMacroCall& call, size_t least, size_t most) {
    if (call.arguments.size() >= least && call.arguments.size() <= most)
        return QString();
    return QStringLiteral("%1 takes %2 to %3 arguments, not %4")
        .arg(call.name)
        .arg(least)
        .arg(most)
        .arg(call.arguments.size());
}

QString Bad(const TMacroCall& call, int index, const QString& what) {
    return QStringLiteral("%1: argument %2 must be %3").arg(call.name).arg(index).arg(what);
}

// "R<row>C<column>", either letter in either case, at most 7 and 5 digits.
std::optional<std::pair<int, int>> CellReference(QStringView text) {
    const auto number = [&text](qsizetype& at, int most) -> std::optional<int> {
        int value = 0;
        const qsizetype from = at;
        while (at < text.size() && at - from < most && text[at].isDigit() &&
               text[at].unicode() < 0x80)
            value = value * 10 + (text[at++].unicode() - '0');
        return at > from ? std::optional(value) : std::nullopt;
    };
    qsizetype at = 0;
    if (at == text.size() || text[at++].toUpper() != u'R')
        return std::nullopt;
    const std::optional<int> row = number(at, 7);
    if (!row || at == text.size() || text[at++].toUpper() != u'C')
        return std::nullopt;
    const std::optional<int> col = number(at, 5);
    if (!col || at != text.size())
        return std::nullopt;
    return std::pair(*row, *col);
}

// A sheet name the workbook format allows: none of []:*?/\, no apostrophe at either end, at
// most 31 characters (a character outside the BMP is one, not cut in two).
QString UsableSheetName(QString name) {
    static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]|^'|'$"));
    const QList<uint> characters = name.toUcs4();
    if (characters.size() > 31)
        name = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), 31);
    name = name.trimmed();
    name.replace(forbidden, QStringLiteral("_"));
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}
}  // namespace

TMacroInterpreter::TMacroInterpreter() {
    const auto accepted = [](size_t least, size_t most) {
        return [least, most](const TMacroCall& call, TAction& action) {
            action = [] { return QString(); };
            return Arity(call, least, most);
        };
    };
    // Window and screen commands have nothing to act on: the server has no window.
    commands_[QStringLiteral("APP.MINIMIZE")] = accepted(0, 0);
    commands_[QStringLiteral("APP.RESTORE")] = accepted(0, 0);
    commands_[QStringLiteral("ECHO")] = accepted(0, 1);
    commands_[QStringLiteral("DISABLE.INPUT")] = accepted(0, 1);

    commands_[QStringLiteral("NEW")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 0, 1); !wrong.isEmpty())
            return wrong;
        if (!call.arguments.empty() && Number(call.arguments[0]) != 1.0)
            return QStringLiteral("NEW: only a worksheet (type 1) can be made");
        action = [this] {
            sheet_ = TSheetModel();
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("WORKBOOK.NAME")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 2, 2); !wrong.isEmpty())
            return wrong;
        if (call.arguments[0].value.compare(sheet_.sheetName, Qt::CaseInsensitive) != 0)
            return QStringLiteral("WORKBOOK.NAME: there is no sheet \"%1\"")
                .arg(call.arguments[0].value);
        const QString name = UsableSheetName(call.arguments[1].value);
        action = [this, name] {
            sheet_.sheetName = name;
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("SELECT")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 1, 1); !wrong.isEmpty())
            return wrong;
        const std::optional<std::pair<int, int>> cell = CellReference(call.arguments[0].value);
        if (!cell)
            return Bad(call, 1, QStringLiteral("a cell such as \"R1C1\""));
        const auto [row, col] = *cell;
        // R0C0 names no cell; the worksheet sends it before saving and nothing changes.
        if (row == 0 && col == 0) {
            action = [] { return QString(); };
            return QString();
        }
        if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol)
            return QStringLiteral("SELECT: R%1C%2 lies outside the sheet").arg(row).arg(col);
        action = [this, row, col] {
            sheet_.row = row;
            sheet_.col = col;
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("FORMULA")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 1, 1); !wrong.isEmpty())
            return wrong;
        const QString content = call.arguments[0].value;
        if (content.size() > kMaxCellText + (content.startsWith(QLatin1Char('\'')) ? 1 : 0))
            return QStringLiteral("FORMULA: a cell holds at most %1 characters").arg(kMaxCellText);
        action = [this, content] {
            sheet_.Selected().content = content;
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("ALIGNMENT")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 1, 4); !wrong.isEmpty())
            return wrong;
        const std::optional<double> horizontal = Number(call.arguments[0]);
        if (!horizontal || *horizontal < 1 || *horizontal > 7)
            return Bad(call, 1, QStringLiteral("a horizontal alignment from 1 to 7"));
        std::optional<double> vertical = 3;
        if (call.arguments.size() >= 3)
            vertical = Number(call.arguments[2]);
        if (!vertical || *vertical < 1 || *vertical > 4)
            return Bad(call, 3, QStringLiteral("a vertical alignment from 1 to 4"));
        action = [this, h = int(*horizontal), v = int(*vertical)] {
            TCellFormat& format = sheet_.Selected().format;
            format.horizontal = h;
            format.vertical = v;
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("COLUMN.WIDTH")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 1, 1); !wrong.isEmpty())
            return wrong;
        const std::optional<double> width = Number(call.arguments[0]);
        if (!width || *width < 0 || *width > 255)
            return Bad(call, 1, QStringLiteral("a width from 0 to 255"));
        action = [this, width = *width] {
            sheet_.columnWidths[sheet_.col] = width;
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("FORMAT.FONT")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 7, 7); !wrong.isEmpty())
            return wrong;
        TCellFormat font;
        font.fontName = call.arguments[0].value;
        const std::optional<double> size = Number(call.arguments[1]);
        if (!size || *size < 1 || *size > 409)
            return Bad(call, 2, QStringLiteral("a size from 1 to 409"));
        font.fontSize = *size;
        bool* const flags[] = {&font.bold, &font.italic, &font.underline, &font.strikeOut};
        for (int i = 0; i < 4; ++i) {
            const std::optional<bool> flag = Logical(call.arguments[size_t(i) + 2]);
            if (!flag)
                return Bad(call, i + 3, QStringLiteral("TRUE, FALSE, 1 or 0"));
            *flags[i] = *flag;
        }
        const std::optional<double> color = Number(call.arguments[6]);
        if (!color || *color < 0 || *color > 56)
            return Bad(call, 7, QStringLiteral("a colour index from 0 to 56"));
        font.colorIndex = int(*color);
        action = [this, font] {
            TCellFormat& format = sheet_.Selected().format;
            format.fontName = font.fontName;
            format.fontSize = font.fontSize;
            format.bold = font.bold;
            format.italic = font.italic;
            format.underline = font.underline;
            format.strikeOut = font.strikeOut;
            format.colorIndex = font.colorIndex;
            return QString();
        };
        return QString();
    };

    commands_[QStringLiteral("SAVE.AS")] = [this](const TMacroCall& call, TAction& action) {
        if (QString wrong = Arity(call, 1, 2); !wrong.isEmpty())
            return wrong;
        if (!call.arguments[0].quoted || call.arguments[0].value.isEmpty())
            return Bad(call, 1, QStringLiteral("a file name in quotes"));
        action = [this, path = call.arguments[0].value] {
            const QString failure = WriteWorkbook(sheet_, path);
            return failure.isEmpty() ? QString() : QStringLiteral("SAVE.AS: ") + failure;
        };
        return QString();
    };
}

QString TMacroInterpreter::Check(const TMacroCall& call, TAction& action) const {
    const auto command = commands_.find(call.name);
    if (command == commands_.end())
        return QStringLiteral("%1 is not a command this server carries out").arg(call.name);
    return command->second(call, action);
}

QString TMacroInterpreter::Execute(const QString& command) {
    QString error;
    const std::optional<std::vector<TMacroCall>> calls = ParseMacros(command, error);
    if (!calls)
        return QStringLiteral("The command is %1").arg(error);
    std::vector<TAction> actions(calls->size());
    for (size_t i = 0; i < calls->size(); ++i) {
        if (QString refused = Check((*calls)[i], actions[i]); !refused.isEmpty())
            return refused;
    }
    for (const TAction& action : actions) {
        if (QString failed = action(); !failed.isEmpty())
            return failed;
    }
    return QString();
}
