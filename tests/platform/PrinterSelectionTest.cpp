#include <gtest/gtest.h>

#include "print/PrinterSelection.h"

namespace {
struct SelectionCase {
    const char* name;
    const char* text;
    std::optional<TPrinterSelection> selection;
};

class PrinterSelectionTable : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(PrinterSelectionTable, ParsesTheVariable) {
    EXPECT_EQ(TPrinterSelection::Parse(QString::fromUtf8(GetParam().text)), GetParam().selection);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PrinterSelectionTable,
    ::testing::Values(SelectionCase{"Unset", "", TPrinterSelection{}},
                      SelectionCase{"None", "none", TPrinterSelection::None()},
                      SelectionCase{"NoneAnyCase", " NONE ", TPrinterSelection::None()},
                      SelectionCase{"Pdf", "pdf:600", TPrinterSelection::Pdf(600)},
                      SelectionCase{"PdfWithFile", "pdf:300:/tmp/out.pdf",
                                    TPrinterSelection::Pdf(300, "/tmp/out.pdf")},
                      SelectionCase{"FileWithColons", "pdf:72:/tmp/a:b.pdf",
                                    TPrinterSelection::Pdf(72, "/tmp/a:b.pdf")},
                      SelectionCase{"ZeroDpi", "pdf:0", std::nullopt},
                      SelectionCase{"NoDpi", "pdf:", std::nullopt},
                      SelectionCase{"TextDpi", "pdf:high", std::nullopt},
                      SelectionCase{"AbsurdDpi", "pdf:100000", std::nullopt},
                      SelectionCase{"Unknown", "laser", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrinterSelection, AnUnreadableVariableMeansNoPrinter) {
    const QByteArray previous = qgetenv(TPrinterSelection::kVariable);
    qputenv(TPrinterSelection::kVariable, "laser");
    EXPECT_EQ(TPrinterSelection::FromEnvironment(), TPrinterSelection::None());
    qputenv(TPrinterSelection::kVariable, "pdf:150");
    EXPECT_EQ(TPrinterSelection::FromEnvironment(), TPrinterSelection::Pdf(150));
    qputenv(TPrinterSelection::kVariable, previous);
}
}  // namespace
