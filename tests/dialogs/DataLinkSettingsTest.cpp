#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "DataLinkForm.h"
#include "DataLinkSettings.h"
#include "DialogTestSupport.h"

namespace {
using S = TDataLinkSettings;

struct BuildCase {
    const char* name;
    TDataLinkSettings settings;
    QString text;
};

class DataLinkStrings : public ::testing::TestWithParam<BuildCase> {};

TEST_P(DataLinkStrings, BuildAndReadBack) {
    const BuildCase& c = GetParam();
    EXPECT_EQ(c.settings.ToConnectionString(), c.text);
    EXPECT_EQ(TDataLinkSettings::FromConnectionString(c.text).ToConnectionString(), c.text);
    EXPECT_EQ(TDataLinkSettings::FromConnectionString(c.text).ToConnectionString(c.text), c.text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Providers, DataLinkStrings, ::testing::Values(
    BuildCase{"SQLite", S{.Provider = "SQLite", .DataSource = "/path/db.sqlite"},
              "Provider=SQLite;Data Source=/path/db.sqlite"},
    BuildCase{"PostgreSQL", S{.Provider = "PostgreSQL", .Host = "localhost", .Port = "5432",
                              .Database = "x", .UserID = "u", .Password = "p"},
              "Provider=PostgreSQL;Host=localhost;Port=5432;Database=x;User ID=u;Password=p"},
    BuildCase{"PostgreSQLOnlyDatabase", S{.Provider = "PostgreSQL", .Database = "x"},
              "Provider=PostgreSQL;Database=x"},
    BuildCase{"Odbc", S{.Provider = "MSDASQL.1", .DataSource = "MyDSN", .InitialCatalog = "shop"},
              "Provider=MSDASQL.1;Persist Security Info=False;Data Source=MyDSN;"
              "Initial Catalog=shop"},
    BuildCase{"OdbcWithLogin", S{.Provider = "MSDASQL.1", .DataSource = "MyDSN", .UserID = "u",
                                 .Password = "p"},
              "Provider=MSDASQL.1;Persist Security Info=False;Data Source=MyDSN;User ID=u;"
              "Password=p"},
    BuildCase{"Jet", S{.Provider = "Microsoft.Jet.OLEDB.4.0", .DataSource = "/data/nwind.mdb"},
              "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;"
              "Data Source=/data/nwind.mdb"},
    BuildCase{"Oracle", S{.Provider = "MSDAORA.1", .DataSource = "orcl", .UserID = "scott",
                          .Password = "tiger"},
              "Provider=MSDAORA.1;Persist Security Info=False;Data Source=orcl;User ID=scott;"
              "Password=tiger"},
    BuildCase{"EmptyDataSourceIsStillNamed", S{.Provider = "SQLite"},
              "Provider=SQLite;Data Source="},
    BuildCase{"ValuesOfOtherProvidersAreLeftOut", S{.Provider = "SQLite", .DataSource = "/a.db",
                                                    .Host = "h", .Password = "p"},
              "Provider=SQLite;Data Source=/a.db"},
    BuildCase{"PasswordWithSeparatorIsQuoted", S{.Provider = "PostgreSQL", .Database = "x",
                                                 .Password = "a;b\"c"},
              "Provider=PostgreSQL;Database=x;Password=\"a;b\"\"c\""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(DataLinkSettings, ReadsTheValuesOfAConnectionString) {
    EXPECT_EQ(TDataLinkSettings::FromConnectionString(
                  "provider=postgresql; host = db ;PORT=5433;Database=shop;User ID=me;"
                  "Password='x;y'"),
              (S{.Provider = "PostgreSQL",
                 .Host = "db",
                 .Port = "5433",
                 .Database = "shop",
                 .UserID = "me",
                 .Password = "x;y"}));
}

TEST(DataLinkSettings, TextThatIsNoConnectionStringGivesTheDefaults) {
    for (const char* text : {"", "not a connection string", "Provider=\"SQLite", "=x"})
        EXPECT_EQ(TDataLinkSettings::FromConnectionString(text), TDataLinkSettings()) << text;
}

TEST(DataLinkSettings, AProviderNotOfferedIsKeptAndNoProviderGivesTheDefault) {
    const TDataLinkSettings read =
        TDataLinkSettings::FromConnectionString("Provider=SQLOLEDB.1;Data Source=server");
    EXPECT_EQ(read.Provider, "SQLOLEDB.1");
    EXPECT_EQ(read.DataSource, "server");
    EXPECT_EQ(TDataLinkSettings::FromConnectionString("Data Source=x.db").Provider, "SQLite");
    EXPECT_EQ(TDataLinkSettings::FromConnectionString("Provider=;Data Source=x.db").Provider,
              "SQLite");
}

const QString kSqlServer =
    "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
    "Initial Catalog=Northwind;Data Source=srv;Trusted_Connection=yes;APP=Quorva";
const QString kOdbcServer =
    "provider = MSDASQL.1; Data Source=MSSQL;Initial Catalog=Northwind;Trusted_Connection=yes;"
    "APP=Quorva;";

struct MergeCase {
    const char* name;
    QString original;
    std::function<void(TDataLinkSettings&)> edit;
    QString expected;
};

class DataLinkMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(DataLinkMerge, KeysWithoutAFieldPassThrough) {
    const MergeCase& c = GetParam();
    TDataLinkSettings settings = TDataLinkSettings::FromConnectionString(c.original);
    if (c.edit)
        c.edit(settings);
    EXPECT_EQ(settings.ToConnectionString(c.original), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Strings, DataLinkMerge, ::testing::Values(
    MergeCase{"UnknownProviderUnchanged", kSqlServer, nullptr, kSqlServer},
    MergeCase{"OdbcUnchangedAsWritten", kOdbcServer, nullptr, kOdbcServer},
    MergeCase{"OdbcPasswordAdded", kOdbcServer, [](S& s) { s.Password = "pw"; },
              "Provider=MSDASQL.1;Persist Security Info=False;Data Source=MSSQL;"
              "Initial Catalog=Northwind;Trusted_Connection=yes;APP=Quorva;Password=pw"},
    MergeCase{"PostgresKeepsItsInitialCatalog",
              "Provider=PostgreSQL;Host=db;Initial Catalog=shop;User ID=me",
              [](S& s) { s.UserID = "you"; },
              "Provider=PostgreSQL;Host=db;Initial Catalog=shop;User ID=you"},
    MergeCase{"EmptiedPasswordIsRemoved", "Provider=PostgreSQL;Database=x;Password=p;sslmode=require",
              [](S& s) { s.Password.clear(); },
              "Provider=PostgreSQL;Database=x;sslmode=require"},
    MergeCase{"UnknownProviderSwitchedToAFile", kSqlServer,
              [](S& s) { s.Provider = "SQLite"; s.DataSource = "/a.db"; },
              "Provider=SQLite;Integrated Security=SSPI;Persist Security Info=False;"
              "Initial Catalog=Northwind;Data Source=/a.db;Trusted_Connection=yes;APP=Quorva"},
    MergeCase{"NoProviderGetsTheOneShown", "Data Source=/a.db", nullptr,
              "Provider=SQLite;Data Source=/a.db"},
    MergeCase{"NoConnectionStringKeepsNothing", "not a connection string", nullptr,
              "Provider=SQLite;Data Source="}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

class DataLinkFormTest : public ScriptedSeamTest {
  protected:
    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(form, name); }
    void Choose(const QString& provider) {
        auto* combo = Child<QComboBox>(form, "ProviderCombo");
        combo->setCurrentIndex(combo->findData(provider));
    }
    bool RowShown(QWidget* field) { return field->isVisibleTo(&form); }

    TDataLinkForm form;
};

TEST_F(DataLinkFormTest, ShowsTheValuesOfTheChosenProvider) {
    auto* source = Child<QComboBox>(form, "DataSourceCombo");
    EXPECT_TRUE(source->isEditable());
    struct Shown {
        const char* provider;
        bool file, dsn, host, port, database, catalog, user, password;
    };
    const Shown cases[] = {
        {"SQLite", true, false, false, false, false, false, false, false},
        {"PostgreSQL", false, false, true, true, true, false, true, true},
        {"MSDASQL.1", false, true, false, false, false, true, true, true},
        {"Microsoft.Jet.OLEDB.4.0", true, false, false, false, false, false, false, false},
        {"MSDAORA.1", false, true, false, false, false, false, true, true},
    };
    for (const Shown& c : cases) {
        Choose(c.provider);
        EXPECT_EQ(RowShown(Edit("FileEdit")), c.file) << c.provider;
        EXPECT_EQ(RowShown(source), c.dsn) << c.provider;
        EXPECT_EQ(RowShown(Edit("HostEdit")), c.host) << c.provider;
        EXPECT_EQ(RowShown(Edit("PortEdit")), c.port) << c.provider;
        EXPECT_EQ(RowShown(Edit("DatabaseEdit")), c.database) << c.provider;
        EXPECT_EQ(RowShown(Edit("CatalogEdit")), c.catalog) << c.provider;
        EXPECT_EQ(RowShown(Edit("UserEdit")), c.user) << c.provider;
        EXPECT_EQ(RowShown(Edit("PasswordEdit")), c.password) << c.provider;
    }
}

TEST_F(DataLinkFormTest, StartsFromTheStringAndReturnsTheNewOne) {
    seam->AnswerModal([this](QDialog&) {
        EXPECT_EQ(Child<QComboBox>(form, "ProviderCombo")->currentData().toString(), "MSDASQL.1");
        EXPECT_EQ(Child<QComboBox>(form, "DataSourceCombo")->currentText(), "MyDSN");
        EXPECT_EQ(Edit("CatalogEdit")->text(), "shop");
        Edit("PasswordEdit")->setText("secret");
        Child<QPushButton>(form, "OkButton")->click();
        return form.result();
    });

    EXPECT_EQ(form.Edit("Provider=MSDASQL.1;Data Source=MyDSN;Initial Catalog=shop"),
              "Provider=MSDASQL.1;Persist Security Info=False;Data Source=MyDSN;Initial "
              "Catalog=shop;Password=secret");
}

TEST_F(DataLinkFormTest, AFileIsChosenForFileProviders) {
    seam->AnswerOpenFile(QStringLiteral("/data/new/nwind.mdb"));
    seam->AnswerModal([this](QDialog&) {
        Child<QPushButton>(form, "FileButton")->click();
        Child<QPushButton>(form, "OkButton")->click();
        return form.result();
    });

    const auto text = form.Edit("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/old/nwind.mdb");

    ASSERT_EQ(seam->fileRequests.size(), 1u);
    EXPECT_EQ(seam->fileRequests[0].initialDir, "/data/old/");
    EXPECT_EQ(seam->fileRequests[0].fileName, "nwind.mdb");
    EXPECT_TRUE(seam->fileRequests[0].filter.startsWith("Access files (*.mdb)|*.mdb|"));
    EXPECT_EQ(text,
              "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data "
              "Source=/data/new/nwind.mdb");
}

TEST_F(DataLinkFormTest, OkWithoutAChangeReturnsTheStringAsItWas) {
    for (const QString& text :
         {kSqlServer, kOdbcServer, QString("Provider=PostgreSQL;Host = db;Initial Catalog=shop"),
          QString("Provider=sqlite;Data Source='/a b.db';Mode=ReadWrite"),
          QString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/nwind.mdb;Jet OLEDB:"
                  "Database Password=x")}) {
        seam->AnswerModal(ClickThen("OkButton"));
        EXPECT_EQ(form.Edit(text), text);
    }
    EXPECT_EQ(Child<QComboBox>(form, "ProviderCombo")->findData("SQLOLEDB.1"),
              TDataLinkSettings::Providers().size())
        << "a provider not offered is listed after the offered ones";
}

TEST_F(DataLinkFormTest, CancelReturnsNothing) {
    seam->AnswerModal(ClickThen("CancelButton"));
    EXPECT_EQ(form.Edit("Provider=SQLite;Data Source=/a.db"), std::nullopt);
}
}  // namespace
