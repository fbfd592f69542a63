#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QString>

// Path of a file in the shared test data folder beside the checkout, or empty when that
// folder is missing (a newcomer's clone): tests then skip with GTEST_SKIP.
inline QString SharedTestFile(const QString& name) {
    const QString path = QDir(QStringLiteral(QUORVA_SHARED_DIR "/testdata")).filePath(name);
    return QFileInfo::exists(path) ? QFileInfo(path).absoluteFilePath() : QString();
}

#define REQUIRE_SHARED_FILE(var, name)                        \
    const QString var = SharedTestFile(QStringLiteral(name)); \
    if (var.isEmpty())                                        \
    GTEST_SKIP() << "shared test data " name " not found beside the checkout"
