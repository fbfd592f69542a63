#pragma once

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// A throwaway PostgreSQL server on a Unix socket in a temporary folder, for tests. The
// server refuses to run as root, so under root it runs as the "postgres" account.
class PostgresServer {
  public:
    ~PostgresServer() { Stop(); }

    // Empty when the server runs; otherwise why it cannot.
    QString Start() {
        const QString bin =
            qEnvironmentVariable("QUORVA_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin"));
        initdb_ = bin + QStringLiteral("/initdb");
        pgctl_ = bin + QStringLiteral("/pg_ctl");
        if (!QFileInfo(initdb_).isExecutable() || !QFileInfo(pgctl_).isExecutable())
            return QStringLiteral("initdb/pg_ctl not found in ") + bin;
        if (!dir_.isValid())
            return QStringLiteral("no temporary folder");
        if (geteuid() == 0) {
            const passwd* account = getpwnam("postgres");
            if (!account)
                return QStringLiteral("running as root and no postgres account");
            runuser_ = QStandardPaths::findExecutable(QStringLiteral("runuser"));
            if (runuser_.isEmpty())
                return QStringLiteral("running as root and no runuser");
            if (chown(QFile::encodeName(dir_.path()).constData(), account->pw_uid,
                      account->pw_gid) != 0)
                return QStringLiteral("cannot hand the temporary folder to postgres");
        }
        QString output;
        if (!Run(initdb_,
                 {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-U"),
                  User(), QStringLiteral("--auth=trust"), QStringLiteral("-E"),
                  QStringLiteral("UTF8"), QStringLiteral("--no-locale"), QStringLiteral("-N")},
                 output))
            return QStringLiteral("initdb failed: ") + output;
        return StartAgain();
    }

    // Starts the stopped server again on its data, as after a restart of the machine's server.
    QString StartAgain() {
        QString output;
        const QString options =
            QStringLiteral("-k %1 -c listen_addresses= -p %2 -F").arg(SocketDir()).arg(Port());
        if (!Run(pgctl_,
                 {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-o"),
                  options, QStringLiteral("-l"), dir_.filePath(QStringLiteral("server.log")),
                  QStringLiteral("-w"), QStringLiteral("start")},
                 output))
            return QStringLiteral("pg_ctl start failed: ") + output;
        running_ = true;
        return {};
    }

    void Stop() {
        if (!running_)
            return;
        QString output;
        Run(pgctl_,
            {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
            output);
        running_ = false;
    }

    QString SocketDir() const { return dir_.path(); }
    static int Port() { return 5432; }
    static QString User() { return QStringLiteral("quorva"); }
    QString ConnectionString(const QString& database = QStringLiteral("postgres")) const {
        return QStringLiteral("Provider=PostgreSQL;Host=%1;Port=%2;Database=%3;User ID=%4")
            .arg(SocketDir())
            .arg(Port())
            .arg(database, User());
    }

  private:
    bool Run(const QString& program, QStringList arguments, QString& output) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (!runuser_.isEmpty()) {
            arguments.prepend(program);
            arguments = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                    QStringLiteral("--")} +
                        arguments;
            process.start(runuser_, arguments);
        } else {
            process.start(program, arguments);
        }
        const bool finished = process.waitForFinished(120000);
        output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QTemporaryDir dir_;
    QString initdb_, pgctl_, runuser_;
    bool running_ = false;
};
