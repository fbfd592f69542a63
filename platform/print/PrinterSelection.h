#pragma once

#include <QString>
#include <optional>

// The device behind the process-wide printer. The environment variable QUORVA_PRINTER chooses
// it for tests and headless use: "none" (no printer), "pdf:<dpi>[:<file>]" (PDF output at that
// resolution); unset or empty means the system's default printer, or none when there is none.
struct TPrinterSelection {
    enum TKind { skSystem, skNone, skPdf };

    TKind kind = skSystem;
    int dpi = 0;       // skPdf only
    QString fileName;  // skPdf only; empty writes to a file in the temporary folder

    static constexpr const char* kVariable = "QUORVA_PRINTER";

    static TPrinterSelection None() { return {skNone, 0, {}}; }
    static TPrinterSelection Pdf(int dpi, const QString& fileName = {}) {
        return {skPdf, dpi, fileName};
    }
    // Nothing for a text that names no device.
    static std::optional<TPrinterSelection> Parse(const QString& text);
    // An unreadable value selects no printer and says so on the debug output.
    static TPrinterSelection FromEnvironment();

    bool operator==(const TPrinterSelection&) const = default;
};
