#include "registry/RegFileParser.h"

#include <QStringEncoder>
#include <QStringList>
#include <cctype>
#include <optional>

#include "registry/RegFileText.h"
#include "registry/RegKeyPath.h"

namespace {
const QLatin1String kRegedit4Header("REGEDIT4");
const QLatin1String kVersion5Header("Windows Registry Editor Version 5.00");

QByteArray Utf16LE(const QString& text) {
    return QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::Stateless).encode(text);
}

bool IsHexDigits(QStringView text, qsizetype maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    for (QChar ch : text) {
        if (ch.unicode() > 0x7F || !isxdigit(ch.unicode()))
            return false;
    }
    return true;
}

// The text before a ";" comment, without blanks around it.
QStringView WithoutComment(QStringView text) {
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
    return (semicolon < 0 ? text : text.first(semicolon)).trimmed();
}

// A quoted string at the start of `rest`, which then holds what follows it. Only \\ and \"
// are escapes; a backslash before anything else stands for itself.
std::optional<QString> TakeQuoted(QStringView& rest) {
    if (!rest.startsWith(QLatin1Char('"')))
        return std::nullopt;
    QString text;
    for (qsizetype i = 1; i < rest.size(); ++i) {
        const QChar ch = rest[i];
        if (ch == QLatin1Char('\\') && i + 1 < rest.size() &&
            (rest[i + 1] == QLatin1Char('\\') || rest[i + 1] == QLatin1Char('"'))) {
            text += rest[++i];
        } else if (ch == QLatin1Char('"')) {
            rest = rest.sliced(i + 1);
            return text;
        } else {
            text += ch;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> HexBytes(QStringView list) {
    list = WithoutComment(list);
    QByteArray bytes;
    if (list.isEmpty())
        return bytes;
    bytes.reserve(list.size() / 3 + 1);
    for (QStringView token : list.split(QLatin1Char(','))) {
        token = token.trimmed();
        if (!IsHexDigits(token, 2))
            return std::nullopt;
        bytes += char(token.toUInt(nullptr, 16));
    }
    return bytes;
}

bool TakePrefix(QStringView& rest, QLatin1String prefix) {
    if (!rest.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    rest = rest.sliced(prefix.size());
    return true;
}

// The data after "=": nothing when it cannot be read or deletes the value.
std::optional<TRegValue> ParseData(QStringView rest, TRegFormat format) {
    if (rest.startsWith(QLatin1Char('"'))) {
        const std::optional<QString> text = TakeQuoted(rest);
        if (!text || !WithoutComment(rest).isEmpty())
            return std::nullopt;
        return TRegValue{REG_SZ, Utf16LE(*text + QChar(0))};
    }
    if (TakePrefix(rest, QLatin1String("dword:"))) {
        const QStringView digits = WithoutComment(rest);
        if (!IsHexDigits(digits, 8))
            return std::nullopt;
        const uint32_t number = digits.toUInt(nullptr, 16);
        QByteArray data(4, '\0');
        for (int i = 0; i < 4; ++i)
            data[i] = char((number >> (8 * i)) & 0xFF);
        return TRegValue{REG_DWORD, data};
    }
    uint32_t type = REG_BINARY;
    if (TakePrefix(rest, QLatin1String("hex("))) {
        const qsizetype close = rest.indexOf(QLatin1String("):"));
        if (close < 0 || !IsHexDigits(rest.first(close), 8))
            return std::nullopt;
        type = rest.first(close).toUInt(nullptr, 16);
        rest = rest.sliced(close + 2);
    } else if (!TakePrefix(rest, QLatin1String("hex:"))) {
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = HexBytes(rest);
    if (!bytes)
        return std::nullopt;
    const bool stringType = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (stringType && format == TRegFormat::Regedit4)
        *bytes = Utf16LE(Decode8Bit(*bytes));
    return TRegValue{type, *bytes};
}

std::optional<TRegNamedValue> ParseValueLine(QStringView line, TRegFormat format) {
    QStringView rest = line.trimmed();
    QString name;
    if (rest.startsWith(QLatin1Char('@'))) {
        rest = rest.sliced(1);
    } else if (std::optional<QString> quoted = TakeQuoted(rest)) {
        name = *quoted;
    } else {
        return std::nullopt;
    }
    rest = rest.trimmed();
    if (!rest.startsWith(QLatin1Char('=')))
        return std::nullopt;
    std::optional<TRegValue> value = ParseData(rest.sliced(1).trimmed(), format);
    if (!value)
        return std::nullopt;
    return TRegNamedValue{name, *value};
}

bool StartsValue(QStringView line) {
    line = line.trimmed();
    return line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@'));
}

// Removes a continuation mark (a backslash ending the line, blanks after it allowed); false
// when the line has none.
bool ChopContinuation(QString& line) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1].isSpace())
        --end;
    if (end == 0 || line[end - 1] != QLatin1Char('\\'))
        return false;
    line.truncate(end - 1);
    return true;
}

// Lines after the header with value lines joined to their continuations. A value cut off by
// the end of the text is incomplete and left out.
QStringList LogicalLines(const QStringList& physical) {
    QStringList lines;
    for (qsizetype i = 1; i < physical.size(); ++i) {
        QString line = physical[i];
        bool complete = true;
        // Each physical line carries its own mark: a line ending in two backslashes goes on to
        // the next line only, not past it into the sections after it.
        bool continued = StartsValue(line) && ChopContinuation(line);
        while (continued) {
            if (i + 1 >= physical.size()) {
                complete = false;
                break;
            }
            QString next = physical[++i].trimmed();
            continued = ChopContinuation(next);
            // Appended in place: a large binary value spans thousands of lines.
            line += next;
        }
        if (complete)
            lines << line;
    }
    return lines;
}

QStringList PhysicalLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// The key a "[...]" section names; nothing for a deletion or a name that is no usable key.
// Blanks around the root's name are dropped, but not those ending the path: a key name may
// end in one, and the section written for such a key must read back as that key.
std::optional<TRegKeyEntry> ParseSection(QStringView line) {
    const QStringView name = line.sliced(1, line.size() - 2);
    if (name.trimmed().startsWith(QLatin1Char('-')))
        return std::nullopt;
    const qsizetype backslash = name.indexOf(QLatin1Char('\\'));
    const std::optional<TRootKey> root =
        ParseRootKeyName((backslash < 0 ? name : name.first(backslash)).trimmed().toString());
    const std::optional<QString> path =
        NormalizeKeyPath(backslash < 0 ? QString() : name.sliced(backslash).toString());
    if (!root || !path)
        return std::nullopt;
    TRegKeyEntry entry;
    entry.root = *root;
    entry.path = *path;
    return entry;
}
}  // namespace

QString RegFormatHeader(TRegFormat format) {
    return format == TRegFormat::Regedit4 ? kRegedit4Header : kVersion5Header;
}

TRegContents ParseRegText(const QString& text) {
    TRegContents contents;
    const QStringList physical = PhysicalLines(text);
    const QString header = physical.first().trimmed();
    if (header.compare(kRegedit4Header, Qt::CaseInsensitive) == 0)
        contents.format = TRegFormat::Regedit4;
    else if (header.compare(kVersion5Header, Qt::CaseInsensitive) == 0)
        contents.format = TRegFormat::Version5;
    else
        return contents;

    TRegKeyEntry* current = nullptr;
    for (const QString& line : LogicalLines(physical)) {
        const QStringView trimmed = QStringView(line).trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            current = nullptr;
            if (!trimmed.endsWith(QLatin1Char(']')))
                continue;
            if (std::optional<TRegKeyEntry> entry = ParseSection(trimmed)) {
                const QString identity = KeyIdentity(entry->root, entry->path);
                if (!contents.keys.contains(identity))
                    contents.keys.insert(identity, *entry);
                current = &contents.keys[identity];
            }
            continue;
        }
        if (!current)
            continue;
        if (std::optional<TRegNamedValue> value = ParseValueLine(trimmed, contents.format))
            current->values.insert(value->name.toCaseFolded(), *value);
    }
    return contents;
}
