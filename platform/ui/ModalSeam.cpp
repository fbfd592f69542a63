#include "ui/ModalSeam.h"

#include <QCoreApplication>

#include "ui/QtModalSeam.h"

namespace {
std::unique_ptr<ModalSeam>& CurrentSeam() {
    static std::unique_ptr<ModalSeam> seam;
    return seam;
}
}  // namespace

ModalSeam& Modal() {
    auto& seam = CurrentSeam();
    if (!seam)
        seam = std::make_unique<QtModalSeam>();
    return *seam;
}

std::unique_ptr<ModalSeam> SetModalSeam(std::unique_ptr<ModalSeam> seam) {
    auto previous = std::move(CurrentSeam());
    CurrentSeam() = std::move(seam);
    return previous;
}

QString ApplicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Quorva") : name;
}

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString suffix = QStringLiteral("(%1)").arg(patterns);
        filters << (label.endsWith(suffix) ? label : label + QLatin1Char(' ') + suffix);
    }
    return filters.join(QStringLiteral(";;"));
}
