#include "dde/DdeProtocol.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>

namespace {
// A line longer than this is no message: a peer sending endless text is one breaking the rules.
constexpr qsizetype kLongestLine = 16 << 20;

// The verbs as shared strings: a decoded message names its verb without a copy of its own.
const QString kVerbs[] = {
    QStringLiteral("EXECUTE"), QStringLiteral("ACK"),     QStringLiteral("DONE"),
    QStringLiteral("REQUEST"), QStringLiteral("DATA"),    QStringLiteral("NACK"),
    QStringLiteral("NODATA"),  QStringLiteral("CONNECT"), QStringLiteral("RESUME"),
};

QString Verb(QByteArrayView word) {
    for (const QString& verb : kVerbs) {
        if (QLatin1StringView(word) == verb)
            return verb;
    }
    return QString::fromLatin1(word);
}

bool NeedsEscape(char c) {
    return c == '\\' || c == '\n' || c == '\r';
}

// Escaping works on the UTF-8 bytes: the three characters escaped are ASCII and no byte of a
// longer sequence can be taken for them.
void AppendEscaped(QByteArray& out, QByteArrayView text) {
    for (const char c : text) {
        if (!NeedsEscape(c)) {
            out += c;
            continue;
        }
        out += '\\';
        out += c == '\\' ? '\\' : c == '\n' ? 'n' : 'r';
    }
}

std::optional<QString> Unescaped(QByteArrayView text) {
    qsizetype slash = text.indexOf('\\');
    if (slash < 0)
        return QString::fromUtf8(text);
    QByteArray plain;
    plain.reserve(text.size());
    qsizetype from = 0;
    for (; slash >= 0; slash = text.indexOf('\\', from)) {
        if (slash + 1 == text.size())
            return std::nullopt;
        plain += text.sliced(from, slash - from);
        switch (text[slash + 1]) {
            case '\\':
                plain += '\\';
                break;
            case 'n':
                plain += '\n';
                break;
            case 'r':
                plain += '\r';
                break;
            default:
                return std::nullopt;
        }
        from = slash + 2;
    }
    plain += text.sliced(from);
    return QString::fromUtf8(plain);
}
}  // namespace

void DdeAppend(QByteArray& out, const TDdeMessage& message) {
    const QByteArray text = message.text.toUtf8();
    for (const QChar c : message.verb)
        out += char(c.unicode());
    out += ' ';
    out += QByteArray::number(message.id);
    out += ' ';
    if (std::none_of(text.begin(), text.end(), NeedsEscape))
        out += text;
    else
        AppendEscaped(out, text);
    out += '\n';
}

QByteArray DdeEncode(const TDdeMessage& message) {
    QByteArray line;
    DdeAppend(line, message);
    return line;
}

std::optional<TDdeMessage> DdeDecode(QByteArrayView line) {
    const qsizetype first = line.indexOf(' ');
    const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
    if (first <= 0 || second < 0)
        return std::nullopt;
    bool numeric = false;
    const quint64 id = line.sliced(first + 1, second - first - 1).toULongLong(&numeric);
    std::optional<QString> body = Unescaped(line.sliced(second + 1));
    if (!numeric || !body)
        return std::nullopt;
    return TDdeMessage{Verb(line.first(first)), id, std::move(*body)};
}

void DdeSend(QIODevice& device, const TDdeMessage& message) {
    device.write(DdeEncode(message));
}

std::optional<TDdeMessage> TDdeReader::Next(QIODevice& device, bool& malformed) {
    malformed = false;
    qsizetype end = buffer_.indexOf('\n', start_);
    const qint64 available = end < 0 ? device.bytesAvailable() : 0;
    if (available > 0) {
        // Read into the buffer's own room: a conversation reads thousands of times.
        buffer_.remove(0, start_);
        start_ = 0;
        const qsizetype kept = buffer_.size();
        buffer_.resize(kept + qsizetype(available));
        const qint64 read = device.read(buffer_.data() + kept, available);
        buffer_.resize(kept + qsizetype(std::max<qint64>(read, 0)));
        end = buffer_.indexOf('\n', kept);
    }
    if (end < 0) {
        malformed = buffer_.size() - start_ > kLongestLine;
        return std::nullopt;
    }
    const QByteArrayView line(buffer_.constData() + start_, end - start_);
    start_ = end + 1;
    std::optional<TDdeMessage> message = DdeDecode(line);
    malformed = !message.has_value();
    return message;
}

void TDdeReader::Clear() {
    buffer_.clear();
    start_ = 0;
}

QString DdeServicePath(const QString& service) {
    QString folder = qEnvironmentVariable("QUORVA_DDE_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder).filePath(QStringLiteral("quorva-dde-") + service);
}
