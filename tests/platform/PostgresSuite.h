#pragma once

#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "PostgresServer.h"
#include "core/Exception.h"
#include "db/components/ADOConnection.h"
#include "support/ScriptedSeamFixture.h"

// Starts a server and runs `schema` in `database` (the server's own database when empty).
// Returns why that failed; empty when the server is ready.
inline QString StartTestServer(PostgresServer& server, const QString& database,
                               const QString& schema) {
    if (QString failed = server.Start(); !failed.isEmpty())
        return failed;
    try {
        TADOConnection setup;
        OpenConnection(setup, server.ConnectionString());
        if (!database.isEmpty()) {
            setup.Backend().Execute(QStringLiteral("CREATE DATABASE ") + database);
            setup.Close();
            OpenConnection(setup, server.ConnectionString(database));
        }
        setup.Backend().Execute(schema);
    } catch (const Exception& error) {
        return QStringLiteral("cannot set up the test database: ") + error.Message();
    }
    return {};
}

// A test suite on a PostgreSQL server of its own, started once for the suite with `schema`
// run in `database`. Its tests skip, saying why, when no server can be had.
class PostgresSuite : public ScriptedSeamTest {
  protected:
    static void StartServer(const QString& database, const QString& schema) {
        server_ = new PostgresServer;
        skipReason_ = StartTestServer(*server_, database, schema);
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    // Derived suites call this first and return when the test is skipped.
    void SetUp() override {
        if (!skipReason_.isEmpty())
            GTEST_SKIP() << "no PostgreSQL server for this test: " << skipReason_.toStdString();
        ScriptedSeamTest::SetUp();
    }

    static inline PostgresServer* server_ = nullptr;
    static inline QString skipReason_;
};
