#include "registry/RegKeyPath.h"

#include <QList>
#include <array>

namespace {
constexpr qsizetype kMaxComponentLength = 255;

struct TRootName {
    TRootKey root;
    const char* name;
    const char* abbreviation;
};

constexpr std::array<TRootName, 5> kRoots{{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKU"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG", "HKCC"},
}};

bool UsableComponent(QStringView component) {
    if (component.isEmpty() || component.size() > kMaxComponentLength)
        return false;
    for (QChar ch : component) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            return false;
    }
    return true;
}
}  // namespace

QString RootKeyName(TRootKey root) {
    for (const TRootName& entry : kRoots) {
        if (entry.root == root)
            return QString::fromLatin1(entry.name);
    }
    return QStringLiteral("HKEY_%1").arg(uint32_t(root), 8, 16, QLatin1Char('0'));
}

std::optional<TRootKey> ParseRootKeyName(const QString& name) {
    for (const TRootName& entry : kRoots) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(entry.abbreviation), Qt::CaseInsensitive) == 0) {
            return entry.root;
        }
    }
    return std::nullopt;
}

std::optional<QString> NormalizeKeyPath(const QString& path) {
    QStringView view(path);
    if (view.startsWith(QLatin1Char('\\')))
        view = view.mid(1);
    if (view.endsWith(QLatin1Char('\\')))
        view.chop(1);
    if (view.isEmpty())
        return QString();
    for (QStringView component : view.split(QLatin1Char('\\'))) {
        if (!UsableComponent(component))
            return std::nullopt;
    }
    return view.toString();
}

QString KeyIdentity(TRootKey root, const QString& normalizedPath) {
    return SectionName(root, normalizedPath).toCaseFolded();
}

QString SectionName(TRootKey root, const QString& normalizedPath) {
    return normalizedPath.isEmpty() ? RootKeyName(root)
                                    : RootKeyName(root) + QLatin1Char('\\') + normalizedPath;
}
