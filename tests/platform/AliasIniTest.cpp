#include <gtest/gtest.h>

#include "AliasTestSupport.h"
#include "db/connection/IniSections.h"

namespace {

// Sections written back as "name: key=value, key=value" for compact expectations.
QStringList Summary(const QList<TIniSection>& sections) {
    QStringList lines;
    for (const TIniSection& section : sections) {
        QStringList pairs;
        for (const auto& [key, value] : section.values)
            pairs << key + QLatin1Char('=') + value;
        lines << section.name + QStringLiteral(": ") + pairs.join(QStringLiteral(", "));
    }
    return lines;
}

struct IniCase {
    const char* name;
    QString text;
    QStringList sections;
};

class IniParsing : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniParsing, KeepsWhatCanBeRead) {
    EXPECT_EQ(Summary(ParseIniSections(GetParam().text)), GetParam().sections);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniParsing,
    ::testing::Values(
        IniCase{"TwoSections",
                "[A]\nDriver=SQLITE\nPath=a.db\n[B]\nDriver=PGSQL\n",
                {"A: Driver=SQLITE, Path=a.db", "B: Driver=PGSQL"}},
        IniCase{"BlanksCommentsAndWindowsLineEnds",
                "; aliases\r\n\r\n  [ A ]  \r\n# note\r\n  Driver = SQLITE  \r\n",
                {"A: Driver=SQLITE"}},
        IniCase{"SpacesAndLettersBeyondAscii",
                "[Kunden Daten]\nx=1\n[Bücher ÆØÅ]\n[顧客]\n",
                {"Kunden Daten: x=1", "Bücher ÆØÅ: ", "顧客: "}},
        IniCase{"QuotesKeepInnerBlanks",
                "[A]\nPassword=\"  se;cret \"\nUser=\"\n",
                {"A: Password=  se;cret , User=\""}},
        IniCase{"ValueMayHoldEqualsSigns", "[A]\nPassword=a=b==\n", {"A: Password=a=b=="}},
        IniCase{"CommentAfterHeader", "[A] ; the [best] one\nx=1\n", {"A: x=1"}},
        IniCase{"KeysBeforeAnyHeaderAreSkipped", "Driver=SQLITE\n[A]\nx=1\n", {"A: x=1"}},
        IniCase{"BrokenHeaderLosesItsKeysOnly",
                "[A\nDriver=PGSQL\n[B]\nDriver=ODBC\n",
                {"B: Driver=ODBC"}},
        IniCase{"EmptyHeaderLosesItsKeysOnly", "[  ]\nDriver=PGSQL\n[B]\n", {"B: "}},
        IniCase{"LinesWithoutKeyAreSkipped", "[A]\njunk line\n=value\nx=1\n", {"A: x=1"}},
        IniCase{"RepeatedNamesAndKeysAreKept", "[A]\nx=1\nx=2\n[a]\n", {"A: x=1, x=2", "a: "}},
        IniCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniSection, FirstOfRepeatedKeysCountsAndKeysIgnoreCase) {
    const QList<TIniSection> sections = ParseIniSections("[A]\npath=first\nPATH=second\n");
    ASSERT_EQ(sections.size(), 1);
    EXPECT_EQ(sections[0].Value(QStringLiteral("Path")), "first");
    EXPECT_TRUE(sections[0].Has(QStringLiteral("PaTh")));
    EXPECT_FALSE(sections[0].Has(QStringLiteral("Driver")));
    EXPECT_EQ(sections[0].Value(QStringLiteral("Driver")), QString());
}

}  // namespace
