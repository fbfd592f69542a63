#include "print/PrinterSelection.h"

#include <QDebug>

namespace {
constexpr int kMaxDpi = 9600;
}

std::optional<TPrinterSelection> TPrinterSelection::Parse(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return TPrinterSelection{};
    if (trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return None();
    if (!trimmed.startsWith(QLatin1String("pdf:"), Qt::CaseInsensitive))
        return std::nullopt;
    // The file name may itself hold colons, so only the first two separate.
    const QString rest = trimmed.mid(4);
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    bool ok = false;
    const int dpi = (colon < 0 ? rest : rest.left(colon)).toInt(&ok);
    if (!ok || dpi <= 0 || dpi > kMaxDpi)
        return std::nullopt;
    return Pdf(dpi, colon < 0 ? QString() : rest.mid(colon + 1));
}

TPrinterSelection TPrinterSelection::FromEnvironment() {
    const QString value = qEnvironmentVariable(kVariable);
    if (const auto selection = Parse(value))
        return *selection;
    qWarning().noquote() << kVariable << "does not name a printer:" << value
                         << "- printing without one";
    return None();
}
