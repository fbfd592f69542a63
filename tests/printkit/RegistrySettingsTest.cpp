#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <functional>

#include "DdePause.h"
#include "KitFixture.h"
#include "registry/RegistryException.h"

namespace {

const QString kSetupSection =
    QStringLiteral("[HKEY_CURRENT_USER\\Software\\Mervane\\Vellox\\Setup]\n");

// A kit reading its settings from a store of the test's own, on the fallback printer.
class RegistrySettings : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        storePath = folder.filePath(QStringLiteral("registry.reg"));
        qputenv("QUORVA_REGISTRY", storePath.toUtf8());
        CreateKit("none");
        kit->SetUseRegistry(true);
        DdePause = 0;
    }
    void TearDown() override {
        qunsetenv("QUORVA_REGISTRY");
        KitTest::TearDown();
    }

    // Value lines under the settings key; "%." stands for the locale's decimal separator.
    void WriteSetup(const QString& values, const QString& section = kSetupSection) const {
        QFile file(storePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((QStringLiteral("Windows Registry Editor Version 5.00\n\n") + section +
                    QString(values).replace(QStringLiteral("%."), QLocale::system().decimalPoint()))
                       .toUtf8());
    }
    QString StoreText() const {
        QFile file(storePath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // The message of what loading raised; empty when it did not.
    QString LoadError() {
        try {
            kit->LoadSettings();
        } catch (const Exception& error) {
            return error.Message();
        }
        return {};
    }
    std::vector<int> Selectors() const {
        return {kit->HLeft(), kit->HCenter(), kit->HRight(),
                kit->FLeft(), kit->FCenter(), kit->FRight()};
    }

    QTemporaryDir folder;
    QString storePath;
};

void ExpectFont(const QFont& font, const char* family, int size, bool bold, bool underline) {
    EXPECT_EQ(font.family(), QString::fromUtf8(family));
    EXPECT_EQ(font.pointSize(), size);
    EXPECT_EQ(font.bold(), bold);
    EXPECT_EQ(font.underline(), underline);
    EXPECT_FALSE(font.italic() || font.strikeOut());
}

TEST_F(RegistrySettings, OffOnlyGivesTheSelectorsTheirDefaults) {
    kit->SetUseRegistry(false);
    kit->SetZoomPercent(80);
    kit->LoadSettings();
    EXPECT_EQ(Selectors(), (std::vector<int>{0, 4, 0, 1, 4, 2}));
    EXPECT_EQ(kit->ZoomPercent(), 80);
    EXPECT_TRUE(kit->HeaderText().isEmpty());
    EXPECT_FALSE(QFile::exists(storePath));
}

TEST_F(RegistrySettings, EmptyStoreCreatesTheKeyAndAppliesEveryDefault) {
    kit->SetPrintTitle(QString());
    kit->SetMeasureUnit(muInches);
    kit->SetWordWrap(true);
    kit->SetPrintToFile(true);
    DdePause = 9;
    kit->LoadSettings();

    EXPECT_TRUE(
        StoreText().contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Mervane\\Vellox]")));
    EXPECT_EQ(kit->PrintTitle(), QStringLiteral("List printout"));
    EXPECT_EQ(kit->HeaderText(), QStringLiteral("Define -Header- text under \"Settings\""));
    EXPECT_EQ(kit->FooterText(), QStringLiteral("Define Footer text under \"Settings\""));
    ExpectFont(kit->HeaderFont(), "Arial", 10, true, false);
    ExpectFont(kit->Font(), "Arial", 9, false, false);
    ExpectFont(kit->FooterFont(), "Arial", 8, false, false);
    EXPECT_TRUE(kit->TableGrid() && kit->FitPrintToPage() && kit->PrintWYSIWYG());
    EXPECT_EQ(kit->Orientation(), poPortrait);
    EXPECT_EQ(kit->MeasureUnit(), muMillimeters);
    for (long double margin :
         {kit->MarginTop(), kit->MarginBottom(), kit->MarginLeft(), kit->MarginRight()}) {
        EXPECT_EQ(margin, 25);
    }
    EXPECT_EQ(kit->ZoomPercent(), 35);
    EXPECT_EQ(kit->PageBorders(), (TPageBorders{pbTop, pbBottom}));
    EXPECT_EQ(Selectors(), (std::vector<int>{0, 4, 0, 1, 4, 2}));
    EXPECT_FALSE(kit->WordWrap());
    EXPECT_EQ(kit->WSFileName(), QStringLiteral("Vellox.TXT"));
    EXPECT_EQ(DdePause, 0);
    EXPECT_FALSE(kit->PrintToFile());
}

struct ValueCase {
    const char* name;
    const char* values;
    std::function<void(const TCustomVellox&)> expect;
};

class StoredValues : public RegistrySettings, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(StoredValues, Apply) {
    WriteSetup(QString::fromUtf8(GetParam().values));
    kit->LoadSettings();
    GetParam().expect(*kit);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredValues,
    ::testing::Values(
        ValueCase{"PageBorders5IsLeftAndRight", "\"PageBorders\"=\"5\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.PageBorders(), (TPageBorders{pbLeft, pbRight}));
                  }},
        ValueCase{"PageBordersIgnoreOtherBits", "\"PageBorders\"=\"22\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.PageBorders(), (TPageBorders{pbTop, pbRight}));
                  }},
        ValueCase{"PageBorders16IsNone", "\"PageBorders\"=\"16\"\n",
                  [](const TCustomVellox& kit) { EXPECT_TRUE(kit.PageBorders().IsEmpty()); }},
        ValueCase{"HFStyle2IsUnderlined", "\"HFStyle\"=\"2\"\n",
                  [](const TCustomVellox& kit) {
                      ExpectFont(kit.HeaderFont(), "Arial", 10, false, true);
                  }},
        ValueCase{"StyleCodes3AndOther",
                  "\"BFStyle\"=\"3\"\n\"FFStyle\"=\"4\"\n\"HFStyle\"=\"0\"\n",
                  [](const TCustomVellox& kit) {
                      ExpectFont(kit.Font(), "Arial", 9, true, true);
                      ExpectFont(kit.FooterFont(), "Arial", 8, false, false);
                      ExpectFont(kit.HeaderFont(), "Arial", 10, false, false);
                  }},
        ValueCase{"FontNamesAndSizes",
                  "\"HFName\"=\"Courier New\"\n\"HFSize\"=\" 14 \"\n\"BFName\"=\"Liberation "
                  "Serif\"\n\"BFSize\"=\"11\"\n\"FFName\"=\"DejaVu Sans\"\n\"FFSize\"=\"+7\"\n",
                  [](const TCustomVellox& kit) {
                      ExpectFont(kit.HeaderFont(), "Courier New", 14, true, false);
                      ExpectFont(kit.Font(), "Liberation Serif", 11, false, false);
                      ExpectFont(kit.FooterFont(), "DejaVu Sans", 7, false, false);
                  }},
        ValueCase{"SizesThatAreNoIntegerOrNoFontSizeGiveTheDefault",
                  "\"HFSize\"=\"abc\"\n\"BFSize\"=\"0\"\n\"FFSize\"=\"99999999999\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.HeaderFont().pointSize(), 10);
                      EXPECT_EQ(kit.Font().pointSize(), 9);
                      EXPECT_EQ(kit.FooterFont().pointSize(), 8);
                  }},
        ValueCase{"PrintToFile2IsOff", "\"PrintToFile\"=\"2\"\n",
                  [](const TCustomVellox& kit) { EXPECT_FALSE(kit.PrintToFile()); }},
        ValueCase{"PrintToFile1IsOn", "\"PrintToFile\"=\"1\"\n",
                  [](const TCustomVellox& kit) { EXPECT_TRUE(kit.PrintToFile()); }},
        ValueCase{"InchesWithATopMarginOfOne",
                  "\"MeasureUnit\"=\"1\"\n\"MarginTop\"=\"1\"\n\"MarginLeft\"=\"1%.5\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.MeasureUnit(), muInches);
                      EXPECT_EQ(kit.MarginTop(), 1);
                      EXPECT_EQ(kit.MarginLeft(), 1.5L);
                      EXPECT_EQ(kit.TopMarginPixels(), 300 - 75);
                      // "25" read in inches is beyond the paper and clamped to it.
                      EXPECT_EQ(kit.MarginBottom(), 11 - 0.25L);
                  }},
        ValueCase{"BooleansAreAnyNonZeroInteger",
                  "\"TableGrids\"=\"0\"\n\"FitPrintToPage\"=\"-1\"\n\"PrintWYSIWYG\"=\"no\"\n"
                  "\"WordWrap\"=\"7\"\n\"MeasureUnit\"=\"x\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_FALSE(kit.TableGrid());
                      EXPECT_TRUE(kit.FitPrintToPage());
                      EXPECT_TRUE(kit.PrintWYSIWYG());
                      EXPECT_TRUE(kit.WordWrap());
                      EXPECT_EQ(kit.MeasureUnit(), muMillimeters);
                  }},
        ValueCase{"ZoomAndSelectors",
                  "\"ZoomProcent\"=\"80\"\n\"HLeft\"=\"3\"\n\"HCenter\"=\"2\"\n\"HRight\"=\"1\"\n"
                  "\"FLeft\"=\"0\"\n\"FCenter\"=\"9\"\n\"FRight\"=\"x\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.ZoomPercent(), 80);
                      EXPECT_EQ(std::vector<int>({kit.HLeft(), kit.HCenter(), kit.HRight(),
                                                  kit.FLeft(), kit.FCenter(), kit.FRight()}),
                                (std::vector<int>{3, 2, 1, 0, 9, 2}));
                  }},
        ValueCase{"FileNameLosesItsBlanks", "\"WSFileName\"=\"  /tmp/out.txt \"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.WSFileName(), QStringLiteral("/tmp/out.txt"));
                  }},
        ValueCase{"ExpandableStringsCountAsText",
                  "\"HFName\"=hex(2):43,00,6f,00,75,00,72,00,69,00,65,00,72,00,00,00\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.HeaderFont().family(), QStringLiteral("Courier"));
                  }},
        ValueCase{"NamesIgnoreLetterCase", "\"pageborders\"=\"1\"\n\"ZOOMPROCENT\"=\"50\"\n",
                  [](const TCustomVellox& kit) {
                      EXPECT_EQ(kit.PageBorders(), (TPageBorders{pbLeft}));
                      EXPECT_EQ(kit.ZoomPercent(), 50);
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

struct PauseCase {
    const char* name;
    const char* text;
    int pause;
};

class DdePauses : public RegistrySettings, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(DdePauses, AreStoredAs16BitValues) {
    WriteSetup(QStringLiteral("\"DDEPause\"=\"%1\"\n").arg(QString::fromUtf8(GetParam().text)));
    kit->LoadSettings();
    EXPECT_EQ(DdePause, GetParam().pause);
}

INSTANTIATE_TEST_SUITE_P(Texts, DdePauses,
                         ::testing::Values(PauseCase{"Plain", "120", 120},
                                           PauseCase{"Largest", "65535", 65535},
                                           PauseCase{"AboveTheRangeIsTheLargest", "70000", 65535},
                                           PauseCase{"NegativeIsNone", "-1", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Values after the margins, set apart from their defaults and from the stored values.
void SetLaterValues(TCustomVellox& kit) {
    kit.SetZoomPercent(61);
    kit.SetPageBorders({});
    kit.SetHLeft(3);
    kit.SetFRight(3);
    kit.SetWordWrap(false);
    kit.SetWSFileName(QStringLiteral("before.txt"));
    kit.SetPrintToFile(false);
    DdePause = 5;
}

void ExpectLaterValuesKept(const TCustomVellox& kit) {
    EXPECT_EQ(kit.ZoomPercent(), 61);
    EXPECT_TRUE(kit.PageBorders().IsEmpty());
    EXPECT_EQ(kit.HLeft(), 3);
    EXPECT_EQ(kit.FRight(), 3);
    EXPECT_FALSE(kit.WordWrap());
    EXPECT_EQ(kit.WSFileName(), QStringLiteral("before.txt"));
    EXPECT_FALSE(kit.PrintToFile());
    EXPECT_EQ(DdePause, 5);
}

const char* const kLaterValues =
    "\"ZoomProcent\"=\"90\"\n\"PageBorders\"=\"15\"\n\"HLeft\"=\"1\"\n\"FRight\"=\"1\"\n"
    "\"WordWrap\"=\"1\"\n\"WSFileName\"=\"after.txt\"\n\"DDEPause\"=\"7\"\n"
    "\"PrintToFile\"=\"1\"\n";

TEST_F(RegistrySettings, MarginThatIsNoNumberStopsAfterTheOtherThree) {
    WriteSetup(QStringLiteral("\"MarginBottom\"=\"30\"\n\"MarginLeft\"=\"31\"\n"
                              "\"MarginRight\"=\"32\"\n\"MarginTop\"=\"2,5cm\"\n") +
               QString::fromUtf8(kLaterValues));
    kit->SetMarginTop(40);
    SetLaterValues(*kit);
    EXPECT_EQ(LoadError(), QStringLiteral("'2,5cm' is not a valid floating point value"));
    EXPECT_EQ(kit->MarginBottom(), 30);
    EXPECT_EQ(kit->MarginLeft(), 31);
    EXPECT_EQ(kit->MarginRight(), 32);
    EXPECT_EQ(kit->MarginTop(), 40);
    ExpectLaterValuesKept(*kit);
}

TEST_F(RegistrySettings, EmptyMarginIsNoNumber) {
    WriteSetup(QStringLiteral("\"MarginLeft\"=\"\"\n"));
    EXPECT_EQ(LoadError(), QStringLiteral("'' is not a valid floating point value"));
}

TEST_F(RegistrySettings, ValueOfANonStringTypeStopsTheLoad) {
    WriteSetup(QStringLiteral("\"HFName\"=\"Courier New\"\n\"HFSize\"=dword:0000000c\n"
                              "\"HFStyle\"=\"2\"\n\"BFName\"=\"DejaVu Sans\"\n") +
               QString::fromUtf8(kLaterValues));
    SetLaterValues(*kit);
    EXPECT_EQ(LoadError(), QStringLiteral("Invalid data type for 'HFSize'"));
    ExpectFont(kit->HeaderFont(), "Courier New", 9, false, false);
    EXPECT_EQ(kit->Font().family(), QStringLiteral("Arial"));
    ExpectLaterValuesKept(*kit);
}

TEST_F(RegistrySettings, DdePauseThatIsNoIntegerStopsBeforePrintToFile) {
    WriteSetup(
        QStringLiteral("\"WSFileName\"=\"after.txt\"\n\"DDEPause\"=\"1.5\"\n"
                       "\"PrintToFile\"=\"1\"\n"));
    DdePause = 5;
    EXPECT_EQ(LoadError(), QStringLiteral("'1.5' is not a valid integer value"));
    EXPECT_EQ(kit->WSFileName(), QStringLiteral("after.txt"));
    EXPECT_EQ(DdePause, 5);
    EXPECT_FALSE(kit->PrintToFile());
}

TEST_F(RegistrySettings, TextsSetByTheApplicationAreKept) {
    WriteSetup(
        QStringLiteral("\"Title\"=\"Stored title\"\n\"Header\"=\"Stored header\"\n"
                       "\"Footer\"=\"Stored footer\"\n"));
    kit->SetPrintTitle(QStringLiteral("Orders"));
    kit->SetHeaderText(QStringLiteral("Mine"));
    kit->LoadSettings();
    EXPECT_EQ(kit->PrintTitle(), QStringLiteral("Orders"));
    EXPECT_EQ(kit->HeaderText(), QStringLiteral("Mine"));
    EXPECT_EQ(kit->FooterText(), QStringLiteral("Stored footer"));

    kit->SetPrintTitle(QString());
    kit->LoadSettings();
    EXPECT_EQ(kit->PrintTitle(), QStringLiteral("Stored title"));
}

TEST_F(RegistrySettings, EveryRunReadsTheStoreAfresh) {
    WriteSetup(QStringLiteral("\"ZoomProcent\"=\"50\"\n"));
    kit->LoadSettings();
    EXPECT_EQ(kit->ZoomPercent(), 50);
    WriteSetup(QStringLiteral("\"ZoomProcent\"=\"70\"\n"));
    kit->LoadSettings();
    EXPECT_EQ(kit->ZoomPercent(), 70);
    WriteSetup(QString());
    kit->LoadSettings();
    EXPECT_EQ(kit->ZoomPercent(), 35);
}

TEST_F(RegistrySettings, EmptyKeyNameBecomesTheDefaultKey) {
    WriteSetup(QStringLiteral("\"ZoomProcent\"=\"50\"\n"));
    kit->SetRegistryKey(QString());
    kit->LoadSettings();
    EXPECT_EQ(kit->RegistryKey(), QStringLiteral("Software\\Mervane\\Vellox"));
    EXPECT_EQ(kit->ZoomPercent(), 50);
}

TEST_F(RegistrySettings, OtherKeyWithALeadingBackslash) {
    WriteSetup(QStringLiteral("\"ZoomProcent\"=\"50\"\n"),
               QStringLiteral("[HKEY_CURRENT_USER\\Software\\Acme\\Setup]\n"));
    kit->SetRegistryKey(QStringLiteral("\\Software\\Acme"));
    kit->LoadSettings();
    EXPECT_EQ(kit->ZoomPercent(), 50);
}

TEST_F(RegistrySettings, ValuesOutsideSetupAreNotRead) {
    WriteSetup(QStringLiteral("\"ZoomProcent\"=\"50\"\n\"HFSize\"=dword:00000001\n"),
               QStringLiteral("[HKEY_CURRENT_USER\\Software\\Mervane\\Vellox]\n"));
    kit->SetZoomPercent(80);
    kit->LoadSettings();
    EXPECT_EQ(kit->ZoomPercent(), 35);
}

TEST_F(RegistrySettings, StoreThatCannotBeWrittenGivesTheDefaults) {
    WriteSetup(QString());
    qputenv("QUORVA_REGISTRY", (storePath + QStringLiteral("/registry.reg")).toUtf8());
    kit->SetZoomPercent(80);
    kit->LoadSettings();
    EXPECT_EQ(kit->ZoomPercent(), 35);
}

TEST_F(RegistrySettings, DamagedStoreStopsTheLoadBeforeAnyValue) {
    QFile file(storePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\0\0\x01\x02garbage", 11));
    file.close();
    kit->SetZoomPercent(80);
    EXPECT_TRUE(LoadError().contains(QStringLiteral("is not a registry file")));
    EXPECT_EQ(kit->ZoomPercent(), 80);
    EXPECT_EQ(kit->HeaderText(), QString());
}

}  // namespace
