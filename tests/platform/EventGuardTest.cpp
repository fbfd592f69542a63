#include <gtest/gtest.h>

#include <stdexcept>

#include "core/Exception.h"
#include "support/ScriptedSeamFixture.h"
#include "ui/EventGuard.h"

struct FullStopCase {
    const char* message;
    const char* shown;
};

class FullStopRule : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(FullStopRule, AppendsOnlyAfterCharactersSortingAfterPeriod) {
    EXPECT_EQ(WithFullStop(QString::fromUtf8(GetParam().message)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FullStopRule,
    ::testing::Values(FullStopCase{"Field 'x' not found", "Field 'x' not found."},
                      FullStopCase{"Error 42", "Error 42."}, FullStopCase{"Done.", "Done."},
                      FullStopCase{"Cannot open connection!", "Cannot open connection!"},
                      FullStopCase{"Really?", "Really?."}, FullStopCase{"(none)", "(none)"},
                      FullStopCase{"Umsätze", "Umsätze."}, FullStopCase{"", ""}));

using EventGuardTest = ScriptedSeamTest;

TEST_F(EventGuardTest, ExceptionsOfAnyKindEndInTheErrorBox) {
    Guarded([] { throw EDatabaseError(QStringLiteral("no such table: x")); });
    Guarded([] { throw std::runtime_error("disk full"); });
    Guarded([] { throw 42; });
    Guarded([] {});
    EXPECT_EQ(seam->Texts(QStringLiteral("error")),
              QStringList({QStringLiteral("no such table: x."), QStringLiteral("disk full."),
                           QStringLiteral("Unknown error.")}));
    EXPECT_EQ(seam->shown.front().caption, QStringLiteral("Quorva"));
}

TEST(PrintKitExceptions, CancelIsAPagePrinterErrorIsAPrinterError) {
    try {
        throw ECancelPrinting(QStringLiteral("Printing cancelled"));
    } catch (const EPrinter& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Printing cancelled"));
        EXPECT_NE(dynamic_cast<const EPagePrinter*>(&error), nullptr);
    }
}
