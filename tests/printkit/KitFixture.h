#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>

#include "CustomVellox.h"
#include "core/Exception.h"
#include "print/Printer.h"
#include "support/PdfTools.h"
#include "support/ScriptedSeamFixture.h"

// Chooses the process-wide printer as a user does, through QUORVA_PRINTER.
inline void SelectPrinter(const QByteArray& variable) {
    qputenv(TPrinterSelection::kVariable, variable);
    Printer().Select(TPrinterSelection::FromEnvironment());
}

// A kit on a chosen printer, with a scripted modal seam. The progress window stays off unless
// a test turns it on.
class KitTest : public ScriptedSeamTest {
  protected:
    void CreateKit(const QByteArray& printer) {
        SelectPrinter(printer);
        kit = std::make_unique<TCustomVellox>();
        kit->SetShowProgress(false);
    }
    void TearDown() override {
        kit.reset();
        SelectPrinter("none");
        ScriptedSeamTest::TearDown();
    }

    std::unique_ptr<TCustomVellox> kit;
};

// A kit whose printer prints into `pdf`, in a folder of its own, read back with the poppler
// tools; skips where they are missing.
class PdfKitTest : public KitTest {
  protected:
    void SetUpPdf(int dpi) {
        if (const QString missing = pdftools::Missing(); !missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        ASSERT_TRUE(folder.isValid());
        pdf = folder.filePath(QStringLiteral("printed.pdf"));
        CreateKit(QByteArray("pdf:") + QByteArray::number(dpi) + ':' + pdf.toUtf8());
    }

    QTemporaryDir folder;
    QString pdf;
};

// The printers composition is checked on: the fallback of a machine without a printer
// (300 dpi A4) and a 600 dpi PDF printer with an unprintable edge.
struct PrinterCase {
    const char* name;
    const char* variable;  // the value of QUORVA_PRINTER
};

inline const PrinterCase kPrinters[] = {{"Fallback300", "none"}, {"Pdf600", "pdf:600"}};

inline std::string PrinterCaseName(const ::testing::TestParamInfo<PrinterCase>& info) {
    return info.param.name;
}
