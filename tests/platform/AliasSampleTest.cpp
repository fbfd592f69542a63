#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "AliasTestSupport.h"
#include "core/Exception.h"
#include "db/connection/AliasSetup.h"
#include "db/components/BDEQuery.h"
#include "db/components/BDETable.h"
#include "db/components/Session.h"

namespace {

// Sets an environment variable (or removes it, for a null value) for as long as it lives.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QString& value) : name_(name), old_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnvironment() {
        if (old_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, old_);
    }

  private:
    const char* name_;
    QByteArray old_;
};

// The session of the main window on the sample alias, as a user gets it on a fresh machine.
class SampleDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(QStringLiteral(QUORVA_SAMPLE_DATABASE)).isFile())
            << "the build did not make " QUORVA_SAMPLE_DATABASE;
        session.Open();
        query.SetSession(&session);
        table.SetSession(&session);
        query.SetDatabaseName(QLatin1String(kSampleAlias));
        table.SetDatabaseName(QLatin1String(kSampleAlias));
    }

    int Count(const QString& from) {
        query.Close();
        query.SQL() = QStringList{QStringLiteral("SELECT count(1) FROM ") + from};
        query.Open();
        return query.Fields(0).AsString().toInt();
    }

    ScopedAliasFile aliases{QStringLiteral(QUORVA_SAMPLE_DATABASE)};
    TSession session;
    TQuery query;
    TTable table;
};

TEST_F(SampleDatabase, IsTheOneAliasWithoutAnAliasFile) {
    QStringList names;
    session.GetAliasNames(names);
    EXPECT_EQ(names, QStringList{"QuorvaSample"});
    session.GetTableNames(QLatin1String(kSampleAlias), QStringLiteral("*"), false, false, names);
    EXPECT_EQ(names, (QStringList{"customer", "employee", "order_line", "order_summary", "orders",
                                  "product", "region"}));
}

TEST_F(SampleDatabase, HoldsEnoughRowsForSeveralPages) {
    const std::pair<const char*, int> counts[] = {
        {"region", 6},   {"customer", 40},     {"employee", 8},       {"product", 30},
        {"orders", 400}, {"order_line", 1000}, {"order_summary", 400}};
    for (const auto& [name, rows] : counts)
        EXPECT_EQ(Count(QLatin1String(name)), rows) << name;
}

TEST_F(SampleDatabase, RowsAreRelatedAndTheViewAddsThemUp) {
    EXPECT_EQ(Count(QStringLiteral("order_line l LEFT JOIN orders o ON o.order_id = l.order_id "
                                   "LEFT JOIN product p ON p.product_id = l.product_id "
                                   "WHERE o.order_id IS NULL OR p.product_id IS NULL")),
              0);
    EXPECT_EQ(Count(QStringLiteral("orders o LEFT JOIN customer c ON c.customer_id = "
                                   "o.customer_id LEFT JOIN employee e ON e.employee_id = "
                                   "o.employee_id WHERE c.customer_id IS NULL OR e.employee_id "
                                   "IS NULL")),
              0);
    query.Close();
    query.SQL() = QStringList{QStringLiteral(
        "SELECT (SELECT sum(lines) FROM order_summary), (SELECT count(1) FROM order_line)")};
    query.Open();
    EXPECT_EQ(query.Fields(0).AsString(), query.Fields(1).AsString());
}

TEST_F(SampleDatabase, HasMemoAndDateColumns) {
    const std::tuple<const char*, const char*, TFieldType> columns[] = {
        {"customer", "notes", ftMemo},      {"customer", "customer_since", ftDate},
        {"employee", "notes", ftMemo},      {"employee", "hired", ftDate},
        {"product", "description", ftMemo}, {"orders", "order_date", ftDate},
        {"orders", "shipped_date", ftDate}, {"orders", "remarks", ftMemo},
        {"customer", "company", ftString}};
    for (const auto& [name, column, type] : columns) {
        table.Close();
        table.SetTableName(QLatin1String(name));
        table.Open();
        EXPECT_EQ(table.FieldByName(QLatin1String(column)).DataType(), type)
            << name << "." << column;
    }
}

TEST_F(SampleDatabase, KeepsTextBeyondAsciiAndLongMemos) {
    query.SQL() = QStringList{QStringLiteral(
        "SELECT company, contact FROM customer WHERE country IN ('Greece', 'Poland') "
        "ORDER BY customer_id")};
    query.Open();
    QStringList seen;
    for (query.First(); !query.Eof(); query.Next())
        seen << query.Fields(0).AsString() + " / " + query.Fields(1).AsString();
    EXPECT_EQ(seen,
              (QStringList{"Łąkowa Ceramika / Paweł Wójcik", "Ελαιώνας Κρήτης / Γιώργος Παπαδάκης",
                           "Kuchnia Babci / Małgorzata Zielińska"}));
    EXPECT_EQ(Count(QStringLiteral("employee WHERE length(notes) > 400")), 1);
}

TEST(SampleAlias, OpeningSaysWhenTheSampleIsNotInstalled) {
    QTemporaryDir dir;
    TAliasFile aliases(dir.filePath(QStringLiteral("aliases.ini")), QString());
    EXPECT_EQ(aliases.AliasNames(), QStringList{"QuorvaSample"});
    try {
        aliases.ConnectionString(QStringLiteral("quorvasample"));
        FAIL() << "opened a sample that is not there";
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().startsWith(
            "Alias \"QuorvaSample\": the sample database quorva-sample.sqlite is not installed"))
            << error.what();
    }
}

// An install prefix with the program in bin/ and data folders of its own.
class SampleLookup : public ::testing::Test {
  protected:
    QString Make(const QString& relative) {
        const QString path = prefix.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
    QString Found() {
        return FindSampleDatabase(SampleDatabaseCandidates(prefix.filePath(QStringLiteral("bin"))));
    }

    QTemporaryDir prefix;
    ScopedEnvironment dataHome{"XDG_DATA_HOME", prefix.filePath(QStringLiteral("home"))};
    ScopedEnvironment dataDirs{"XDG_DATA_DIRS", prefix.filePath(QStringLiteral("system"))};
};

TEST_F(SampleLookup, NothingFoundAnywhere) {
    QDir().mkpath(prefix.filePath(QStringLiteral("bin")));
    EXPECT_EQ(Found(), QString());
}

TEST_F(SampleLookup, SystemDataFoldersComeLast) {
    const QString system = Make(QStringLiteral("system/quorva/quorva-sample.sqlite"));
    EXPECT_EQ(Found(), system);
    const QString home = Make(QStringLiteral("home/quorva/quorva-sample.sqlite"));
    EXPECT_EQ(Found(), home);
}

TEST_F(SampleLookup, InstallPrefixShareFolderComesBeforeDataFolders) {
    Make(QStringLiteral("home/quorva/quorva-sample.sqlite"));
    const QString share = Make(QStringLiteral("share/quorva/quorva-sample.sqlite"));
    EXPECT_EQ(Found(), share);
}

TEST_F(SampleLookup, BesideTheProgramComesFirst) {
    Make(QStringLiteral("share/quorva/quorva-sample.sqlite"));
    const QString beside = Make(QStringLiteral("bin/quorva-sample.sqlite"));
    EXPECT_EQ(Found(), beside);
}

TEST(AliasFileName, NamedByTheEnvironmentElseInTheUsersConfigFolder) {
    QTemporaryDir config;
    ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    {
        ScopedEnvironment named("QUORVA_ALIASES", QStringLiteral("/etc/quorva/team.ini"));
        EXPECT_EQ(DefaultAliasFileName(), "/etc/quorva/team.ini");
    }
    ScopedEnvironment unnamed("QUORVA_ALIASES", QString());
    EXPECT_EQ(DefaultAliasFileName(), config.filePath(QStringLiteral("Quorva/aliases.ini")));
}

TEST(InstallAliasFile, TheSessionListsTheUsersFile) {
    QTemporaryDir config;
    ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    ScopedEnvironment unnamed("QUORVA_ALIASES", QString());
    ScopedAliasFile restoresTheResolver;
    InstallAliasFile();

    TSession session;
    QStringList names;
    session.GetAliasNames(names);
    EXPECT_EQ(names, QStringList{"QuorvaSample"});
    EXPECT_FALSE(QFileInfo::exists(config.filePath(QStringLiteral("Quorva"))));

    QDir(config.path()).mkpath(QStringLiteral("Quorva"));
    QFile file(config.filePath(QStringLiteral("Quorva/aliases.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Mine]\nDriver=SQLITE\nPath=mine.db\n");
    file.close();
    session.GetAliasNames(names);
    EXPECT_EQ(names, QStringList{"Mine"});
}

}  // namespace
