#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include "registry/RegDocument.h"
#include "registry/RegFileParser.h"
#include "registry/RegKeyPath.h"
#include "registry/RegistryException.h"

namespace {

// A value as "type:data": strings with their terminator shown as \0, DWORDs in decimal,
// anything else as hex bytes.
QString Describe(const TRegValue& value) {
    QString text = QStringDecoder(QStringDecoder::Utf16LE)(value.data);
    text.replace(QChar(0), QStringLiteral("\\0"));
    switch (value.type) {
        case REG_SZ:
            return QStringLiteral("sz:") + text;
        case REG_EXPAND_SZ:
            return QStringLiteral("expand:") + text;
        case REG_DWORD:
            return value.data.size() == 4 ? QStringLiteral("dword:%1")
                                                .arg(qFromLittleEndian<quint32>(value.data.data()))
                                          : QStringLiteral("dword?");
        default:
            return QStringLiteral("hex(%1):%2")
                .arg(value.type)
                .arg(QString::fromLatin1(value.data.toHex(',')));
    }
}

// Keys as "KEY: name=type:data, ..." in key order, for compact expectations.
QStringList Summary(const TRegContents& contents) {
    QStringList lines;
    for (const TRegKeyEntry& key : contents.keys) {
        QStringList values;
        for (const TRegNamedValue& value : key.values)
            values << (value.name.isEmpty() ? QStringLiteral("@") : value.name) + QLatin1Char('=') +
                          Describe(value.value);
        lines << SectionName(key.root, key.path) + QStringLiteral(": ") +
                     values.join(QStringLiteral(", "));
    }
    return lines;
}

const QString kV5 = QStringLiteral("Windows Registry Editor Version 5.00\n\n");
const QString kV4 = QStringLiteral("REGEDIT4\n\n");

struct ParseCase {
    const char* name;
    QString text;
    QStringList keys;
};

class RegParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RegParsing, ReadsWhatTheFileSets) {
    EXPECT_EQ(Summary(ParseRegText(GetParam().text)), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegParsing,
    ::testing::Values(
        ParseCase{"StringDwordAndDefault",
                  kV5 + "[HKEY_CURRENT_USER\\Software\\Q]\n\"Title\"=\"My list\"\n"
                        "\"Size\"=dword:0000000a\n@=\"main\"\n",
                  {"HKEY_CURRENT_USER\\Software\\Q: @=sz:main\\0, Size=dword:10, "
                   "Title=sz:My list\\0"}},
        ParseCase{"Regedit4Header",
                  kV4 + "[HKEY_CURRENT_USER\\Q]\n\"A\"=\"1\"\n",
                  {"HKEY_CURRENT_USER\\Q: A=sz:1\\0"}},
        ParseCase{"EscapedBackslashesAndQuotes",
                  kV5 + "[HKCU\\Q]\n\"Pa\\\"th\"=\"C:\\\\Temp\\\\ \\\"x\\\"\"\n",
                  {"HKEY_CURRENT_USER\\Q: Pa\"th=sz:C:\\Temp\\ \"x\"\\0"}},
        ParseCase{"OtherBackslashStandsForItself",
                  kV5 + "[HKCU\\Q]\n\"A\"=\"x\\ny\"\n",
                  {"HKEY_CURRENT_USER\\Q: A=sz:x\\ny\\0"}},
        ParseCase{"DwordLimits",
                  kV5 + "[HKCU\\Q]\n\"Max\"=dword:FFFFFFFF\n\"Short\"=dword:7\n"
                        "\"Long\"=dword:123456789\n\"Bad\"=dword:xyz\n\"None\"=dword:\n",
                  {"HKEY_CURRENT_USER\\Q: Max=dword:4294967295, Short=dword:7"}},
        ParseCase{"ExpandableStringIsUtf16InVersion5",
                  kV5 + "[HKCU\\Q]\n\"P\"=hex(2):25,00,50,00,25,00,00,00\n",
                  {"HKEY_CURRENT_USER\\Q: P=expand:%P%\\0"}},
        ParseCase{"ExpandableStringIs8BitInRegedit4",
                  kV4 + "[HKCU\\Q]\n\"P\"=hex(2):25,50,25,c3,a9,00\n",
                  {"HKEY_CURRENT_USER\\Q: P=expand:%P%é\\0"}},
        ParseCase{
            "ContinuationLinesJoin",
            kV5 + "[HKCU\\Q]\r\n\"B\"=hex:01,02,\\\r\n  03,04\r\n\"C\"=hex(b):01,00,\\\n"
                  "  00,00,00,00,00,00\n",
            {"HKEY_CURRENT_USER\\Q: B=hex(3):01,02,03,04, C=hex(11):01,00,00,00,00,00,00,00"}},
        ParseCase{"LineEndingInTwoBackslashesGoesOnToTheNextLineOnly",
                  kV5 + "[HKCU\\Q]\n\"A\"=\"C:\\\\\n\n[HKCU\\R]\n\"B\"=\"2\"\n",
                  {"HKEY_CURRENT_USER\\Q: ", "HKEY_CURRENT_USER\\R: B=sz:2\\0"}},
        ParseCase{"ValueCutOffByTheEndIsLeftOut",
                  kV5 + "[HKCU\\Q]\n\"A\"=\"1\"\n\"B\"=hex:01,02,\\",
                  {"HKEY_CURRENT_USER\\Q: A=sz:1\\0"}},
        ParseCase{"CommentsBlanksAndSpacing",
                  kV5 + "; settings\n\n  [HKCU\\Q]  \n  ; note \\\n\"A\" = dword:1 ; one\n"
                        "\"B\"=hex: ; none\n",
                  {"HKEY_CURRENT_USER\\Q: A=dword:1, B=hex(3):"}},
        ParseCase{"DeletionsAreNotApplied",
                  kV5 + "[HKCU\\Q]\n\"A\"=\"1\"\n\"A\"=-\n[-HKCU\\Q]\n\"B\"=\"2\"\n"
                        "[-HKCU\\Gone]\n",
                  {"HKEY_CURRENT_USER\\Q: A=sz:1\\0"}},
        ParseCase{"RepeatedSectionsMergeAndLaterValuesWin",
                  kV5 + "[HKCU\\Software\\Q]\n\"A\"=\"1\"\n[hkey_current_user\\SOFTWARE\\q]\n"
                        "\"a\"=\"2\"\n\"B\"=\"3\"\n",
                  {"HKEY_CURRENT_USER\\Software\\Q: a=sz:2\\0, B=sz:3\\0"}},
        ParseCase{"BrokenLinesCostTheirValueOnly",
                  kV5 + "\"Early\"=\"x\"\n[HKCU\\Q]\n\"Open\"=\"no end\n\"NoEquals\"\"x\"\n"
                        "junk\n\"Hex\"=hex:1,2g\n\"Hex3\"=hex:100\n\"T\"=\"x\" y\n"
                        "\"Type\"=hex(zz):00\n\"Ok\"=\"yes\"\n",
                  {"HKEY_CURRENT_USER\\Q: Ok=sz:yes\\0"}},
        ParseCase{"SectionsThatNameNoKeyLoseTheirValues",
                  kV5 + "[HKEY_NOWHERE\\Q]\n\"A\"=\"1\"\n[HKCU\\Q\n\"B\"=\"2\"\n"
                        "[HKCU\\a\\\\b]\n\"C\"=\"3\"\n[HKCU\\R]\n\"D\"=\"4\"\n",
                  {"HKEY_CURRENT_USER\\R: D=sz:4\\0"}},
        ParseCase{"KeyNameMayEndInABlank",
                  kV5 + "[HKCU\\Q ]\n\"A\"=\"1\"\n[ HKCU \\R]\n",
                  {"HKEY_CURRENT_USER\\Q : A=sz:1\\0", "HKEY_CURRENT_USER\\R: "}},
        ParseCase{"RootsAndEmptyKeys",
                  kV5 + "[HKEY_CLASSES_ROOT\\.xls]\n@=\"Excel.Sheet.8\"\n[HKEY_CURRENT_USER]\n"
                        "[HKLM\\Software\\Q\\]\n",
                  {"HKEY_CLASSES_ROOT\\.xls: @=sz:Excel.Sheet.8\\0",
                   "HKEY_CURRENT_USER: ", "HKEY_LOCAL_MACHINE\\Software\\Q: "}},
        ParseCase{"NotAnExport", "[HKCU\\Q]\n\"A\"=\"1\"\n", {}}, ParseCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegFormat, IsToldByTheFirstLine) {
    EXPECT_EQ(ParseRegText(kV4).format, TRegFormat::Regedit4);
    EXPECT_EQ(ParseRegText(QStringLiteral("  windows registry editor version 5.00 \r\n")).format,
              TRegFormat::Version5);
    EXPECT_EQ(ParseRegText(QStringLiteral("\nREGEDIT4\n")).format, TRegFormat::None);
    EXPECT_EQ(ParseRegText(QStringLiteral("Windows Registry Editor Version 5")).format,
              TRegFormat::None);
}

QByteArray Utf16(const QString& text, QStringEncoder::Encoding encoding, const char* bom) {
    return QByteArray(bom) + QByteArray(QStringEncoder(encoding).encode(text));
}

struct EncodingCase {
    const char* name;
    QByteArray bytes;
};

const QString kExport = QStringLiteral(
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Q]\r\n"
    "\"Name\"=\"Größe € 表\"\r\n");

class RegEncodings : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(RegEncodings, ReadTheSameValue) {
    const TRegDocument document = TRegDocument::FromBytes(GetParam().bytes, QStringLiteral("t"));
    const TRegKeyEntry* key = document.FindKey(HKEY_CURRENT_USER, QStringLiteral("q"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Describe(key->values.value(QStringLiteral("name")).value),
              QStringLiteral("sz:Größe € 表\\0"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegEncodings,
    ::testing::Values(EncodingCase{"Utf16LittleEndianWithBom",
                                   Utf16(kExport, QStringEncoder::Utf16LE, "\xFF\xFE")},
                      EncodingCase{"Utf16BigEndianWithBom",
                                   Utf16(kExport, QStringEncoder::Utf16BE, "\xFE\xFF")},
                      EncodingCase{"Utf16WithoutBom", Utf16(kExport, QStringEncoder::Utf16LE, "")},
                      EncodingCase{"Utf8WithBom", "\xEF\xBB\xBF" + kExport.toUtf8()},
                      EncodingCase{"Utf8", kExport.toUtf8()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegEncodings, EightBitTextThatIsNotUtf8IsReadByteForByte) {
    const TRegDocument document = TRegDocument::FromBytes(
        "REGEDIT4\n[HKEY_CURRENT_USER\\Q]\n\"Name\"=\"Gr\xF6\xDF"
        "e\"\n",
        QStringLiteral("t"));
    const TRegKeyEntry* key = document.FindKey(HKEY_CURRENT_USER, QStringLiteral("Q"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Describe(key->values.value(QStringLiteral("name")).value),
              QStringLiteral("sz:Größe\\0"));
}

TEST(RegEncodings, Utf16CutInTheMiddleOfACharacterKeepsTheValuesBeforeIt) {
    const QByteArray whole =
        Utf16(kExport + "\"More\"=\"x\"\r\n", QStringEncoder::Utf16LE, "\xFF\xFE");
    const TRegDocument document =
        TRegDocument::FromBytes(whole.left(whole.size() - 7), QStringLiteral("t"));
    const TRegKeyEntry* key = document.FindKey(HKEY_CURRENT_USER, QStringLiteral("Q"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.keys(), QStringList{QStringLiteral("name")});
}

struct DamagedCase {
    const char* name;
    QByteArray bytes;
};

class RegDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(RegDamaged, IsRefusedWithTheFileNamed) {
    try {
        TRegDocument::FromBytes(GetParam().bytes, QStringLiteral("/home/u/registry.reg"));
        FAIL() << "no error";
    } catch (const ERegistryException& error) {
        EXPECT_TRUE(error.Message().startsWith(
            QStringLiteral("'/home/u/registry.reg' is not a registry file")))
            << error.Message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegDamaged,
    ::testing::Values(DamagedCase{"Binary", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)},
                      DamagedCase{"ZeroBytes", QByteArray(64, '\0')},
                      DamagedCase{"HeaderCutShort", "Windows Registry Ed"},
                      DamagedCase{"IniFile", "[Shop]\nDriver=SQLITE\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegDocument, BlankFileIsAnEmptyStore) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray(" \r\n\n"), QByteArray("\xFF\xFE")}) {
        const TRegDocument document = TRegDocument::FromBytes(bytes, QStringLiteral("t"));
        EXPECT_TRUE(document.Contents().keys.isEmpty());
        EXPECT_FALSE(document.KeyExists(HKEY_CURRENT_USER, QStringLiteral("Software")));
    }
}

// Whatever the file ends with and whatever the key is called, a key added to the file is
// there when it is read again; else creating a key would report success and append the same
// section on every start.
TEST(RegDocument, AddedKeyIsFoundWhenReadAgain) {
    for (const char* ending : {"\"A\"=\"1\"", "\"A\"=\"C:\\\\", "\"A\"=\"C:\\\\\n",
                               "\"B\"=hex:01,\\", "\"B\"=hex:01,\\\n", "; note \\"}) {
        const TRegDocument document =
            TRegDocument::FromBytes((kV5 + "[HKCU\\Q]\n" + ending).toUtf8(), QStringLiteral("t"));
        for (const char* name : {"New", "New ", " New\\Sub\u3000"}) {
            const QString path = QString::fromUtf8(name);
            const TRegDocument reread = TRegDocument::FromBytes(
                document.WithKeyAdded(HKEY_CURRENT_USER, path), QStringLiteral("t"));
            EXPECT_TRUE(reread.FindKey(HKEY_CURRENT_USER, path)) << ending << " + " << name;
            EXPECT_TRUE(reread.FindKey(HKEY_CURRENT_USER, QStringLiteral("Q"))) << ending;
        }
    }
}

TEST(RegDocument, KeysAboveASectionExistAndNeighboursDoNot) {
    const TRegDocument document = TRegDocument::FromBytes(
        (kV5 + "[HKCU\\Software\\Mervane\\Vellox\\Setup]\n[HKCU\\Software\\Other]\n").toUtf8(),
        QStringLiteral("t"));
    const auto exists = [&](const char* path) {
        return document.KeyExists(HKEY_CURRENT_USER, QString::fromUtf8(path));
    };
    EXPECT_TRUE(exists("Software\\Mervane\\Vellox\\Setup"));
    EXPECT_TRUE(exists("software\\MERVANE\\vellox"));
    EXPECT_TRUE(exists("Software"));
    EXPECT_TRUE(exists(""));
    EXPECT_FALSE(exists("Software\\Merv"));
    EXPECT_FALSE(exists("Software\\Mervane\\Vellox\\Setup\\More"));
    EXPECT_FALSE(document.KeyExists(HKEY_LOCAL_MACHINE, QStringLiteral("Software")));
}

}  // namespace
