#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/Exception.h"
#include "db/components/ADOConnection.h"
#include "db/connection/AliasFile.h"
#include "db/connection/ConnectionString.h"
#include "db/connection/OdbcConnectionText.h"
#include "support/ScriptedSeamFixture.h"

namespace {

struct ParseCase {
    const char* name;
    const char* text;
    QList<QPair<QString, QString>> items;
};

class ConnectionStringParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ConnectionStringParse, GivesItemsInOrder) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(TConnectionString::Parse(QString::fromUtf8(c.text)).Items(), c.items);
}

using Items = QList<QPair<QString, QString>>;
INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionStringParse,
    ::testing::Values(
        ParseCase{"Empty", "", {}},
        ParseCase{"OnePair", "Provider=SQLite", Items{{"Provider", "SQLite"}}},
        ParseCase{"BlanksAroundKeysAndValues", "  Provider = SQLite ;  Data Source = a b  ",
                  Items{{"Provider", "SQLite"}, {"Data Source", "a b"}}},
        ParseCase{"TrailingAndDoubledSemicolons", "A=1;;B=2;", Items{{"A", "1"}, {"B", "2"}}},
        ParseCase{"DoubleQuotedValueKeepsSemicolon", "Password=\"a;b\";User ID=x",
                  Items{{"Password", "a;b"}, {"User ID", "x"}}},
        ParseCase{"SingleQuotedValue", "Password='it''s'", Items{{"Password", "it's"}}},
        ParseCase{"DoubledQuoteInsideQuotes", "A=\"say \"\"hi\"\"\"", Items{{"A", "say \"hi\""}}},
        ParseCase{"QuotedValueKeepsBlanks", "A=\"  x  \"", Items{{"A", "  x  "}}},
        ParseCase{"EmptyValue", "Password=;User ID=sa", Items{{"Password", ""}, {"User ID", "sa"}}},
        ParseCase{"EqualsInsideValue", "Extended Properties=DSN=x",
                  Items{{"Extended Properties", "DSN=x"}}},
        ParseCase{"RepeatedKeyLastWinsInFirstPlace", "A=1;b=2;a=3", Items{{"A", "3"}, {"b", "2"}}},
        ParseCase{"NonAsciiValue", "Data Source=/tmp/Umsätze.db",
                  Items{{"Data Source", "/tmp/Umsätze.db"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct MalformedCase {
    const char* name;
    const char* text;
    const char* says;
};

class ConnectionStringMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ConnectionStringMalformed, RaisesDatabaseErrorSayingWhy) {
    const MalformedCase& c = GetParam();
    try {
        TConnectionString::Parse(QString::fromUtf8(c.text));
        FAIL() << "parsed without error";
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QString::fromUtf8(c.says))) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionStringMalformed,
    ::testing::Values(MalformedCase{"UnterminatedQuote", "A=\"abc;B=1", "unterminated quote"},
                      MalformedCase{"UnterminatedSingleQuote", "A='abc", "unterminated quote"},
                      MalformedCase{"ItemWithoutEquals", "Provider=SQLite;nonsense",
                                    "'nonsense' has no '='"},
                      MalformedCase{"EmptyKey", "=value;A=1", "has no key"},
                      MalformedCase{"BlankKey", "Provider=x;  =value", "has no key"},
                      MalformedCase{"TextAfterQuotedValue", "A=\"x\"y;B=1", "after the quoted"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectionString, KeysAreCaseInsensitive) {
    TConnectionString params = TConnectionString::Parse(QStringLiteral("data source=x.db"));
    EXPECT_TRUE(params.Has(QStringLiteral("DATA SOURCE")));
    EXPECT_EQ(params.Value(QStringLiteral("Data Source")), QStringLiteral("x.db"));
    params.Set(QStringLiteral("DATA SOURCE"), QStringLiteral("y.db"));
    EXPECT_EQ(params.Items().size(), 1);
    params.Remove(QStringLiteral("Data source"));
    EXPECT_FALSE(params.Has(QStringLiteral("data source")));
    EXPECT_EQ(params.Value(QStringLiteral("data source")), QString());
}

TEST(ConnectionString, FormatsSoThatParsingGivesTheSameItems) {
    TConnectionString params;
    params.Set(QStringLiteral("Provider"), QStringLiteral("PostgreSQL"));
    params.Set(QStringLiteral("Password"), QStringLiteral("a;\"b\""));
    params.Set(QStringLiteral("User ID"), QStringLiteral(" padded "));
    params.Set(QStringLiteral("Quote"), QStringLiteral("'lead"));
    params.Set(QStringLiteral("Empty"), QString());
    const QString text = params.ToString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Provider=PostgreSQL;Password=\"a;\"\"b\"\"\"")))
        << text.toStdString();
    EXPECT_EQ(TConnectionString::Parse(text).Items(), params.Items());
}

struct OdbcCase {
    const char* name;
    QList<QPair<QString, QString>> keys;
    const char* text;
};

class OdbcText : public ::testing::TestWithParam<OdbcCase> {};

// What the driver manager is given for the pairs of an ADO string: braces where ODBC needs
// them, and a value the user already braced the ODBC way not braced again.
TEST_P(OdbcText, BracesWhatOdbcNeedsBracedOnce) {
    EXPECT_EQ(OdbcConnectionText(GetParam().keys), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OdbcText,
    ::testing::Values(
        OdbcCase{"PlainValues", Items{{"Server", "db"}, {"Port", "5432"}}, "Server=db;Port=5432"},
        OdbcCase{"DriverAlwaysBraced", Items{{"DRIVER", "PostgreSQL Unicode"}},
                 "DRIVER={PostgreSQL Unicode}"},
        OdbcCase{"DriverBracedByTheUser", Items{{"Driver", "{PostgreSQL Unicode}"}},
                 "Driver={PostgreSQL Unicode}"},
        OdbcCase{"ValueBracedByTheUser", Items{{"PWD", "{a}}b}"}}, "PWD={a}}b}"},
        OdbcCase{"SemicolonBlanksAndBraces",
                 Items{{"PWD", "a;b"}, {"UID", " ann "}, {"X", "{a}b}"}, {"Y", "}"}},
                 "PWD={a;b};UID={ ann };X={{a}}b}}};Y={}}}"},
        OdbcCase{"EmptyValues", Items{{"PWD", ""}, {"Driver", ""}}, "PWD=;Driver={}"}),
    [](const auto& info) { return std::string(info.param.name); });

// A password reaches an error only as the place it stands, never as its text, however the
// string comes in: typed, from a data link file, from an alias, or through an engine that
// fails to open.
struct SecretCase {
    const char* name;
    enum { Typed, DataLink, Alias } via;
    const char* text;
    const char* says;  // what the error still tells
};

class SecretsInErrors : public ScriptedSeamTest,
                        public ::testing::WithParamInterface<SecretCase> {};

TEST_P(SecretsInErrors, ShowNoPartOfThePassword) {
    const SecretCase& c = GetParam();
    QTemporaryDir dir;
    QString message;
    try {
        QString text = QString::fromUtf8(c.text);
        if (c.via != SecretCase::Typed) {
            const QString path = dir.filePath(c.via == SecretCase::Alias ? "aliases.ini" : "a.udl");
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.via == SecretCase::Alias ? QByteArray(c.text)
                                                  : QByteArray("[oledb]\r\n") + c.text);
            file.close();
            text = c.via == SecretCase::Alias ? *TAliasFile(path, {}).ConnectionString("Shop")
                                              : QStringLiteral("FILE NAME=") + path;
        }
        TADOConnection connection;
        connection.SetLoginPrompt(false);
        connection.SetConnectionString(text);
        connection.Open();
        FAIL() << "opened without error";
    } catch (const Exception& error) {
        message = error.Message();
    }
    EXPECT_FALSE(message.contains(QStringLiteral("Zq9"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.says))) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SecretsInErrors,
    ::testing::Values(
        SecretCase{"PieceWithoutEquals", SecretCase::Typed, "Password=ab;Zq9SecretPW",
                   "an item after the value of 'Password' has no '='"},
        SecretCase{"PieceWithoutKey", SecretCase::Typed, "Provider=SQLite;PWD=ab;=Zq9Secret",
                   "an item after the value of 'PWD' has no key"},
        SecretCase{"PieceTakenForAKeyWithOpenQuote", SecretCase::Typed,
                   "pwd=ab;Zq9Secret='x;Provider=SQLite", "unterminated quote"},
        SecretCase{"PieceTakenForAKeyWithTextAfterQuote", SecretCase::Typed,
                   "Password=ab;Zq9Secret=\"x\"y", "text after the quoted value"},
        SecretCase{"ItemsBeforeThePasswordStillNamed", SecretCase::Typed,
                   "Provider=SQLite;nonsense;Password=Zq9Secret", "item 'nonsense' has no '='"},
        SecretCase{"DataLinkFile", SecretCase::DataLink, "Provider=SQLite;Password=ab;Zq9SecretPW",
                   "has no '='"},
        SecretCase{"PostgresAlias", SecretCase::Alias,
                   "[Shop]\nDriver=PGSQL\nHost=/nonexistent\nDatabase=x\nPassword=ab;Zq9Secret\n",
                   "/nonexistent"},
        SecretCase{"OdbcDriverThatCannotLoad", SecretCase::Typed,
                   "Provider=MSDASQL;Driver={No Such Driver};PWD=Zq9Secret", "No Such Driver"},
        SecretCase{"DriverMessageQuotingThePassword", SecretCase::Typed,
                   "Provider=MSDASQL;Driver=/nonexistent/Zq9Secret.so;PWD=Zq9Secret",
                   "/nonexistent/***.so"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
