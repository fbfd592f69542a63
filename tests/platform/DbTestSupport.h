#pragma once

#include <sqlite3.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <stdexcept>

#include "db/components/ADOConnection.h"

// An SQLite file made by a test from SQL text, in a temporary folder of its own.
class TestDatabaseFile {
  public:
    explicit TestDatabaseFile(const QString& sql, const QString& name = QStringLiteral("test.db"))
        : path_(dir_.filePath(name)) {
        sqlite3* db = nullptr;
        if (sqlite3_open(path_.toUtf8().constData(), &db) != SQLITE_OK)
            throw std::runtime_error("cannot create test database");
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        if (rc != SQLITE_OK)
            throw std::runtime_error("test database SQL failed: " + message);
    }

    const QString& Path() const { return path_; }
    QString Folder() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QString path_;
};

// A file with the given bytes in a temporary folder.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write test file");
    file.write(bytes);
    return path;
}

// An open connection without a login prompt.
inline void OpenConnection(TADOConnection& connection, const QString& connectionString) {
    connection.SetLoginPrompt(false);
    connection.SetConnectionString(connectionString);
    connection.Open();
}

// Points unixODBC at an odbc.ini of the test's own for as long as the object lives.
class LocalOdbcIni {
  public:
    explicit LocalOdbcIni(const QString& odbcIni)
        : oldIni_(qgetenv("ODBCINI")), oldSysIni_(qgetenv("ODBCSYSINI")) {
        const QString path = WriteFile(dir_, QStringLiteral("odbc.ini"), odbcIni.toUtf8());
        WriteFile(dir_, QStringLiteral("odbcinst.ini"), QByteArray());
        qputenv("ODBCINI", QFile::encodeName(path));
        qputenv("ODBCSYSINI", QFile::encodeName(dir_.path()));
    }
    ~LocalOdbcIni() {
        Restore("ODBCINI", oldIni_);
        Restore("ODBCSYSINI", oldSysIni_);
    }

  private:
    static void Restore(const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QTemporaryDir dir_;
    QByteArray oldIni_, oldSysIni_;
};
