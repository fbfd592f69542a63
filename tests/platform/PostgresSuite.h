#pragma once

#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "PostgresServer.h"
#include "core/Exception.h"
#include "db/ADOConnection.h"
#include "support/ScriptedSeamFixture.h"

// A test suite on a PostgreSQL server of its own, started once for the suite with `schema`
// run in `database` (the server's own database when empty). Its tests skip, saying why, when
// no server can be had.
class PostgresSuite : public ScriptedSeamTest {
  protected:
    static void StartServer(const QString& database, const QString& schema) {
        server_ = new PostgresServer;
        skipReason_ = server_->Start();
        if (!skipReason_.isEmpty())
            return;
        try {
            TADOConnection setup;
            OpenConnection(setup, server_->ConnectionString());
            if (!database.isEmpty()) {
                setup.Backend().Execute(QStringLiteral("CREATE DATABASE ") + database);
                setup.Close();
                OpenConnection(setup, server_->ConnectionString(database));
            }
            setup.Backend().Execute(schema);
        } catch (const Exception& error) {
            skipReason_ = QStringLiteral("cannot set up the test database: ") + error.Message();
        }
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
