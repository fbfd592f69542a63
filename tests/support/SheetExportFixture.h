#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "WSUnit.h"

// A spreadsheet export in a world of its own: an empty registry store and no machine store
// under it, a folder for the DDE sockets, a current folder for the workbooks, no spreadsheet
// program located yet and no aborted transfer left over.
class SheetExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        QDir(folder.path()).mkpath(QStringLiteral("work"));
        qputenv("QUORVA_REGISTRY", folder.filePath(QStringLiteral("registry.reg")).toUtf8());
        qputenv("QUORVA_DDE_DIR", folder.path().toUtf8());
        previousConfigDirs_ = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_CONFIG_DIRS", MachineConfigPath().toUtf8());
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(WorkPath());
        previousTimeouts_ = TDdeClientConv::Timeouts();
        TDdeClientConv::SetTimeouts({1000, 10000, 10000});
        ExcelCommand.clear();
        TWorkSheet::TransferAborted = false;
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder_);
        TDdeClientConv::SetTimeouts(previousTimeouts_);
        qunsetenv("QUORVA_REGISTRY");
        qunsetenv("QUORVA_DDE_DIR");
        if (previousConfigDirs_.isEmpty())
            qunsetenv("XDG_CONFIG_DIRS");
        else
            qputenv("XDG_CONFIG_DIRS", previousConfigDirs_);
        TWorkSheet::TransferAborted = false;
    }

    // The machine's configuration folder, where a package puts the machine's store.
    QString MachineConfigPath() const { return folder.filePath(QStringLiteral("xdg")); }
    QString WorkPath(const QString& name = QString()) const {
        return folder.filePath(QStringLiteral("work/") + name);
    }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;

  private:
    QString previousFolder_;
    QByteArray previousConfigDirs_;
    TDdeTimeouts previousTimeouts_;
};
