#include "dde/DdeProtocol.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString Escape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else
            escaped += c;
    }
    return escaped;
}

std::optional<QString> Unescape(QStringView text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            plain += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
            case '\\':
                plain += QLatin1Char('\\');
                break;
            case 'n':
                plain += QLatin1Char('\n');
                break;
            case 'r':
                plain += QLatin1Char('\r');
                break;
            default:
                return std::nullopt;
        }
    }
    return plain;
}
}  // namespace

QByteArray DdeEncode(const TDdeMessage& message) {
    return (message.verb + QLatin1Char(' ') + QString::number(message.id) + QLatin1Char(' ') +
            Escape(message.text))
               .toUtf8() +
           '\n';
}

std::optional<TDdeMessage> DdeDecode(const QByteArray& line) {
    const QString text = QString::fromUtf8(line);
    const qsizetype first = text.indexOf(QLatin1Char(' '));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char(' '), first + 1);
    if (first <= 0 || second < 0)
        return std::nullopt;
    bool numeric = false;
    const quint64 id =
        QStringView(text).sliced(first + 1, second - first - 1).toULongLong(&numeric);
    std::optional<QString> body = Unescape(QStringView(text).sliced(second + 1));
    if (!numeric || !body)
        return std::nullopt;
    return TDdeMessage{text.left(first), id, *body};
}

std::optional<TDdeMessage> DdeReadMessage(QIODevice& device, bool& malformed) {
    malformed = false;
    if (!device.canReadLine())
        return std::nullopt;
    QByteArray line = device.readLine();
    line.chop(1);
    std::optional<TDdeMessage> message = DdeDecode(line);
    malformed = !message.has_value();
    return message;
}

void DdeSend(QIODevice& device, const TDdeMessage& message) {
    device.write(DdeEncode(message));
}

QString DdeServicePath(const QString& service) {
    QString folder = qEnvironmentVariable("QUORVA_DDE_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder).filePath(QStringLiteral("quorva-dde-") + service);
}
