#pragma once

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QUuid>

#include "support/PdfTools.h"

// The PDF queue of the private CUPS server that tools/test.sh starts (tools/cups-test-server.sh):
// QUORVA_CUPS_PDF_OUT names the folder where cups-pdf writes each job, CUPS_SERVER the server.
// Jobs are found by their title, so tests printing at the same time keep apart.
namespace cupspdf {

inline constexpr const char* kQueue = "QuorvaPDF";
inline constexpr const char* kOutVariable = "QUORVA_CUPS_PDF_OUT";
// Bounds the waits for the server, not an expectation on its speed.
inline constexpr int kJobSeconds = 60;

inline QString OutFolder() {
    return qEnvironmentVariable(kOutVariable);
}

// Why the queue cannot be used here, or empty when it can.
inline QString Unavailable() {
    if (OutFolder().isEmpty())
        return QStringLiteral(
                   "%1 is not set: no private CUPS server with a PDF queue "
                   "(tools/cups-test-server.sh)")
            .arg(QLatin1String(kOutVariable));
    for (const char* tool : {"lpstat", "pdfinfo", "pdftotext"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
    }
    return {};
}

using pdftools::Output;

// A job title no other test uses; cups-pdf names its file after it.
inline QString UniqueTitle(const QString& prefix) {
    return prefix + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

inline bool QueueIdle() {
    return Output(QStringLiteral("lpstat"), {QStringLiteral("-o"), QLatin1String(kQueue)})
        .trimmed()
        .isEmpty();
}

// The PDF files of the job with this title (cups-pdf may change the case of the name).
inline QStringList PdfFiles(const QString& title) {
    const QDir folder(OutFolder());
    QStringList files;
    for (const QString& name :
         folder.entryList({QStringLiteral("*%1*.pdf").arg(title)}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

// Waits until the queue has finished every job, then gives the file of the job with this
// title, or empty when none came.
inline QString WaitForPdf(const QString& title) {
    const QDeadlineTimer deadline(kJobSeconds * 1000);
    while (!QueueIdle() && !deadline.hasExpired())
        QThread::msleep(200);
    const QStringList files = PdfFiles(title);
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace cupspdf

#define REQUIRE_CUPS_PDF_QUEUE()                                    \
    if (const QString why = cupspdf::Unavailable(); !why.isEmpty()) \
    GTEST_SKIP() << why.toStdString()
