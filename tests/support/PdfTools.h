#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// Reading printed PDF files back with the poppler tools.
namespace pdftools {

// The standard output of a program run to its end (bounded, so a hung tool fails the test
// instead of hanging it).
inline QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Why the poppler tools cannot be used here, or empty when they can.
inline QString Missing() {
    for (const char* tool : {"pdfinfo", "pdftotext"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 (poppler-utils) is not installed").arg(QLatin1String(tool));
    return {};
}

inline QString Info(const QString& pdf) {
    return Output(QStringLiteral("pdfinfo"), {pdf});
}

// The text of every page, pages separated by form feeds.
inline QString Text(const QString& pdf, const QStringList& options = {}) {
    return Output(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-"));
}

}  // namespace pdftools
