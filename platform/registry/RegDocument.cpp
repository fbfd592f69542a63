#include "registry/RegDocument.h"

#include "registry/RegKeyPath.h"
#include "registry/RegistryException.h"

TRegDocument TRegDocument::FromBytes(const QByteArray& bytes, const QString& origin) {
    TRegDocument document;
    document.bytes_ = bytes;
    document.origin_ = origin;
    document.text_ = DecodeRegBytes(bytes);
    const QString& text = document.text_.text;
    document.blank_ = text.trimmed().isEmpty();
    if (text.contains(QLatin1String("\r\n")))
        document.lineEnd_ = QStringLiteral("\r\n");
    if (document.blank_)
        return document;
    document.contents_ = ParseRegText(text);
    if (document.contents_.format == TRegFormat::None) {
        throw ERegistryException(
            QStringLiteral("'%1' is not a registry file: its first line must be \"%2\" or \"%3\"")
                .arg(origin, RegFormatHeader(TRegFormat::Regedit4),
                     RegFormatHeader(TRegFormat::Version5)));
    }
    return document;
}

bool TRegDocument::KeyExists(TRootKey root, const QString& normalizedPath) const {
    if (normalizedPath.isEmpty())
        return true;
    const QString identity = KeyIdentity(root, normalizedPath);
    if (contents_.keys.contains(identity))
        return true;
    // The keys below a path sort together, right after the path itself.
    const QString below = identity + QLatin1Char('\\');
    const auto next = contents_.keys.lowerBound(below);
    return next != contents_.keys.cend() && next.key().startsWith(below);
}

const TRegKeyEntry* TRegDocument::FindKey(TRootKey root, const QString& normalizedPath) const {
    const auto found = contents_.keys.constFind(KeyIdentity(root, normalizedPath));
    return found == contents_.keys.cend() ? nullptr : &found.value();
}

QByteArray TRegDocument::WithKeyAdded(TRootKey root, const QString& normalizedPath,
                                      const std::optional<QString>& defaultValue) const {
    QString section =
        QLatin1Char('[') + SectionName(root, normalizedPath) + QLatin1Char(']') + lineEnd_;
    if (defaultValue) {
        QString escaped = *defaultValue;
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('"'), QLatin1String("\\\""));
        section += QStringLiteral("@=\"") + escaped + QLatin1Char('"') + lineEnd_;
    }
    // A new export is UTF-8, like every file the program writes.
    if (blank_)
        return (RegFormatHeader(TRegFormat::Version5) + lineEnd_ + lineEnd_ + section).toUtf8();

    // Sections stand apart by a blank line, as the registry exports them.
    const QString& text = text_.text;
    const bool endsWithLineEnd = text.endsWith(QLatin1Char('\n'));
    QStringView body(text);
    if (endsWithLineEnd)
        body.chop(1);
    const QStringView lastLine = body.sliced(body.lastIndexOf(QLatin1Char('\n')) + 1);
    QString addition;
    if (!endsWithLineEnd)
        addition += lineEnd_;
    if (!lastLine.trimmed().isEmpty())
        addition += lineEnd_;
    addition += section;

    const std::optional<QByteArray> encoded = EncodeRegText(addition, text_.encoding);
    if (!encoded) {
        throw ERegistryException(
            QStringLiteral("Key '%1' cannot be written to '%2' in the file's character set")
                .arg(SectionName(root, normalizedPath), origin_));
    }
    // A byte left over from a cut-off UTF-16 character would shift everything after it.
    return bytes_.left(bytes_.size() - (text_.oddTrailingByte ? 1 : 0)) + *encoded;
}
