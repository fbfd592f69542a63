#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "registry/Registry.h"
#include "registry/RegistryException.h"
#include "registry/RegistryStore.h"

namespace {

const QByteArray kHeader = "Windows Registry Editor Version 5.00\n\n";

class RegistryStore : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("registry.reg"));
    }
    void Write(const QByteArray& bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Changes whenever the file is replaced, as a write through a temporary file does.
    ino_t Inode() const {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    }
    // The registry message of what `action` raised; empty when nothing was raised.
    static QString ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const ERegistryException& error) {
            return error.Message();
        }
        return {};
    }

    QTemporaryDir folder;
    QString path;
};

TEST_F(RegistryStore, CreatingAKeyStartsANewExport) {
    TRegistry registry(path);
    EXPECT_TRUE(registry.OpenKey(QStringLiteral("Software\\Mervane\\Vellox"), true));
    EXPECT_EQ(registry.CurrentPath(), QStringLiteral("Software\\Mervane\\Vellox"));
    EXPECT_EQ(Read(), kHeader + "[HKEY_CURRENT_USER\\Software\\Mervane\\Vellox]\n");
    EXPECT_TRUE(TRegistry(path).KeyExists(QStringLiteral("Software\\Mervane")));
}

TEST_F(RegistryStore, CreatingAKeyCreatesTheFolderOfTheStore) {
    path = folder.filePath(QStringLiteral("config/Quorva/registry.reg"));
    EXPECT_TRUE(TRegistry(path).OpenKey(QStringLiteral("Software\\Q"), true));
    EXPECT_TRUE(QFile::exists(path));
}

struct AppendCase {
    const char* name;
    QByteArray before;
    QByteArray added;
};

class KeyCreation : public RegistryStore, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(KeyCreation, AppendsASectionAndKeepsEveryOtherByte) {
    Write(GetParam().before);
    EXPECT_TRUE(TRegistry(path).OpenKey(QStringLiteral("\\Software\\New"), true));
    EXPECT_EQ(Read(), GetParam().before + GetParam().added);
}

const QByteArray kUserFile =
    "REGEDIT4\r\n\r\n; my settings, do not touch\r\n[HKEY_CURRENT_USER\\Software\\Q]\r\n"
    "\"A\" = \"x\"   \r\n  junk line kept as it is\r\n\"B\"=hex:01,\\\r\n  02\r\n";

INSTANTIATE_TEST_SUITE_P(Files, KeyCreation,
                         ::testing::Values(AppendCase{"WindowsLineEnds", kUserFile,
                                                      "\r\n[HKEY_CURRENT_USER\\Software\\New]\r\n"},
                                           AppendCase{"AfterABlankLine",
                                                      kHeader + "[HKEY_CURRENT_USER\\Q]\n\n",
                                                      "[HKEY_CURRENT_USER\\Software\\New]\n"},
                                           AppendCase{"NoLineEndAtTheEnd", kHeader + "; last",
                                                      "\n\n[HKEY_CURRENT_USER\\Software\\New]\n"},
                                           AppendCase{"HeaderOnly", "REGEDIT4",
                                                      "\n\n[HKEY_CURRENT_USER\\Software\\New]\n"},
                                           AppendCase{"EightBitText",
                                                      "REGEDIT4\n; Gr\xF6\xDF"
                                                      "e\n",
                                                      "\n[HKEY_CURRENT_USER\\Software\\New]\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryStore, Utf16FileGetsItsNewSectionInUtf16) {
    const QString text = QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Q]\r\n\"A\"=\"ä\"\r\n");
    const QByteArray before =
        "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(text));
    Write(before);
    EXPECT_TRUE(TRegistry(path).OpenKey(QStringLiteral("Software\\Neu"), true));
    const QByteArray after = Read();
    EXPECT_TRUE(after.startsWith(before));
    EXPECT_EQ(QString(QStringDecoder(QStringDecoder::Utf16LE)(after.mid(before.size()))),
              QStringLiteral("\r\n[HKEY_CURRENT_USER\\Software\\Neu]\r\n"));
}

TEST_F(RegistryStore, Utf16FileCutInACharacterLosesTheHalfCharacterOnly) {
    const QByteArray whole =
        "\xFF\xFE" +
        QByteArray(
            QStringEncoder(QStringEncoder::Utf16LE).encode(QStringLiteral("REGEDIT4\r\n; xy")));
    Write(whole.left(whole.size() - 1));
    TRegistry registry(path);
    EXPECT_TRUE(registry.OpenKey(QStringLiteral("Q"), true));
    EXPECT_EQ(QString(QStringDecoder(QStringDecoder::Utf16LE)(Read())),
              QStringLiteral("REGEDIT4\r\n; x\r\n\r\n[HKEY_CURRENT_USER\\Q]\r\n"));
    EXPECT_TRUE(registry.KeyExists(QStringLiteral("\\Q")));
}

TEST_F(RegistryStore, KeyNameTheFilesCharacterSetCannotHoldIsNotCreated) {
    const QByteArray before =
        "REGEDIT4\n; Gr\xF6\xDF"
        "e\n";
    Write(before);
    EXPECT_FALSE(TRegistry(path).OpenKey(QStringLiteral("Software\\表"), true));
    EXPECT_EQ(Read(), before);
}

TEST_F(RegistryStore, OpeningAnExistingKeyNeverWrites) {
    Write(kHeader + "[HKEY_CURRENT_USER\\Software\\Mervane\\Vellox\\Setup]\n\"A\"=\"1\"\n");
    const ino_t inode = Inode();
    const QByteArray before = Read();
    TRegistry registry(path);
    for (const char* key : {"Software\\Mervane\\Vellox", "\\SOFTWARE\\mervane", "Software\\",
                            "Software\\Mervane\\Vellox\\Setup"}) {
        EXPECT_TRUE(registry.OpenKey(QString::fromUtf8(key), true)) << key;
        registry.CloseKey();
    }
    EXPECT_TRUE(registry.OpenKey(QStringLiteral("Software\\Mervane\\Vellox\\Setup"), false));
    EXPECT_EQ(registry.ReadString(QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(Inode(), inode);
}

TEST_F(RegistryStore, ReadingNeverCreatesTheStore) {
    TRegistry registry(path);
    EXPECT_FALSE(registry.OpenKey(QStringLiteral("Software\\Q"), false));
    EXPECT_FALSE(registry.KeyExists(QStringLiteral("Software\\Q")));
    EXPECT_FALSE(registry.ValueExists(QStringLiteral("A")));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(RegistryStore, UnusableKeyNamesAreNeitherOpenedNorWritten) {
    TRegistry registry(path);
    for (const QString& key :
         {QStringLiteral("Software\\\\Q"), QStringLiteral("Software\nQ"),
          QStringLiteral("Software\\Q]\n[HKEY_LOCAL_MACHINE\\X"), QString(256, QLatin1Char('k'))}) {
        EXPECT_FALSE(registry.OpenKey(key, true)) << key.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(RegistryStore, StoreThatCannotBeWrittenLeavesTheKeyUnopened) {
    Write("not a folder");
    TRegistry registry(path + QStringLiteral("/registry.reg"));
    EXPECT_FALSE(registry.OpenKey(QStringLiteral("Software\\Q"), true));
    EXPECT_FALSE(registry.HasCurrentKey());
}

TEST_F(RegistryStore, FailedOpenKeepsTheOpenKey) {
    Write(kHeader + "[HKEY_CURRENT_USER\\Software\\Q]\n\"A\"=\"1\"\n");
    TRegistry registry(path);
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Q"), false));
    EXPECT_FALSE(registry.OpenKey(QStringLiteral("Missing"), false));
    EXPECT_EQ(registry.CurrentPath(), QStringLiteral("Software\\Q"));
    EXPECT_EQ(registry.ReadString(QStringLiteral("a")), QStringLiteral("1"));
}

TEST_F(RegistryStore, RelativeAndAbsolutePaths) {
    Write(kHeader +
          "[HKEY_CURRENT_USER\\Software\\Mervane\\Vellox\\Setup]\n"
          "[HKEY_CURRENT_USER\\Setup]\n");
    TRegistry registry(path);
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Mervane"), false));
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Vellox\\Setup"), false));
    EXPECT_EQ(registry.CurrentPath(), QStringLiteral("Software\\Mervane\\Vellox\\Setup"));
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("\\Setup"), false));
    EXPECT_EQ(registry.CurrentPath(), QStringLiteral("Setup"));
    EXPECT_TRUE(registry.KeyExists(QStringLiteral("\\Software\\Mervane\\Vellox")));
    EXPECT_FALSE(registry.KeyExists(QStringLiteral("Software")));
}

TEST_F(RegistryStore, RootKeysAreSeparate) {
    Write(kHeader + "[HKEY_CLASSES_ROOT\\.XLS]\n@=\"Excel.Sheet.8\"\n");
    TRegistry registry(path);
    EXPECT_FALSE(registry.KeyExists(QStringLiteral(".XLS")));
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(registry.OpenKey(QStringLiteral(".xls"), false));
    EXPECT_EQ(registry.ReadString(QString()), QStringLiteral("Excel.Sheet.8"));
    registry.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(registry.HasCurrentKey());
}

class RegistryValues : public RegistryStore {
  protected:
    void SetUp() override {
        RegistryStore::SetUp();
        Write(kHeader +
              "[HKEY_CURRENT_USER\\Q]\n"
              "\"Text\"=\"a \\\"b\\\" c:\\\\d\"\n"
              "\"Empty\"=\"\"\n"
              "\"Path\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n"
              "\"Count\"=dword:fffffffe\n"
              "\"Blob\"=hex:01,02\n"
              "\"Multi\"=hex(7):61,00,00,00,00,00\n"
              "\"ShortDword\"=hex(4):01,02\n");
        registry = std::make_unique<TRegistry>(path);
        ASSERT_TRUE(registry->OpenKey(QStringLiteral("Q"), false));
    }
    std::unique_ptr<TRegistry> registry;
};

TEST_F(RegistryValues, TypesAsTheRegistryNamesThem) {
    const std::pair<const char*, TRegDataType> expected[] = {
        {"Text", rdString},   {"Path", rdExpandString}, {"Count", rdInteger}, {"Blob", rdBinary},
        {"Multi", rdUnknown}, {"Missing", rdUnknown},   {"COUNT", rdInteger}};
    for (const auto& [name, type] : expected)
        EXPECT_EQ(registry->GetDataType(QString::fromUtf8(name)), type) << name;
    EXPECT_TRUE(registry->ValueExists(QStringLiteral("text")));
    EXPECT_FALSE(registry->ValueExists(QStringLiteral("Missing")));
}

TEST_F(RegistryValues, StringsReadWithoutExpansion) {
    EXPECT_EQ(registry->ReadString(QStringLiteral("TEXT")), QStringLiteral("a \"b\" c:\\d"));
    EXPECT_EQ(registry->ReadString(QStringLiteral("Empty")), QString());
    EXPECT_EQ(registry->ReadString(QStringLiteral("Path")), QStringLiteral("%HOME%"));
    EXPECT_EQ(registry->ReadString(QStringLiteral("Missing")), QString());
}

TEST_F(RegistryValues, WrongTypesAreRefusedByName) {
    for (const char* name : {"Count", "Blob", "Multi"}) {
        EXPECT_EQ(ErrorOf([&] { registry->ReadString(QString::fromUtf8(name)); }),
                  QStringLiteral("Invalid data type for '%1'").arg(QString::fromUtf8(name)));
    }
    EXPECT_EQ(ErrorOf([&] { registry->ReadInteger(QStringLiteral("Text")); }),
              QStringLiteral("Invalid data type for 'Text'"));
    EXPECT_EQ(ErrorOf([&] { registry->ReadInteger(QStringLiteral("ShortDword")); }),
              QStringLiteral("Invalid data type for 'ShortDword'"));
    EXPECT_EQ(ErrorOf([&] { registry->ReadInteger(QStringLiteral("Missing")); }),
              QStringLiteral("Failed to get data for 'Missing'"));
}

TEST_F(RegistryValues, DwordReadsAsASignedInteger) {
    EXPECT_EQ(registry->ReadInteger(QStringLiteral("count")), -2);
}

TEST_F(RegistryValues, NoValuesWithoutAnOpenKey) {
    registry->CloseKey();
    EXPECT_FALSE(registry->ValueExists(QStringLiteral("Text")));
    EXPECT_EQ(registry->ReadString(QStringLiteral("Text")), QString());
}

TEST_F(RegistryStore, HugeValuesReadWhole) {
    const QByteArray text(2 * 1024 * 1024, 'v');
    // A binary value as the registry exports it: 25 bytes to a line.
    QByteArray hex = "\"Blob\"=hex:";
    for (int line = 0; line < 40000; ++line)
        hex += "61,62,63,64,65,66,67,68,69,6a,6b,6c,6d,6e,6f,70,71,72,73,74,75,76,77,78,79,\\\n  ";
    hex += "7a\n";
    Write(kHeader + "[HKEY_CURRENT_USER\\Q]\n\"Big\"=\"" + text + "\"\n" + hex);
    TRegistry registry(path);
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Q"), false));
    EXPECT_EQ(registry.ReadString(QStringLiteral("Big")), QString::fromLatin1(text));
    EXPECT_EQ(registry.GetDataType(QStringLiteral("Blob")), rdBinary);
}

struct BadStoreCase {
    const char* name;
    std::function<void(const QString& path)> make;
    const char* reason;
};

class BadStores : public RegistryStore, public ::testing::WithParamInterface<BadStoreCase> {};

TEST_P(BadStores, AreRefusedWithTheFileNamedAndLeftAlone) {
    GetParam().make(path);
    const QFileInfo before(path);
    TRegistry registry(path);
    const QString error = ErrorOf([&] { registry.OpenKey(QStringLiteral("Software\\Q"), true); });
    EXPECT_TRUE(error.contains(QLatin1Char('\'') + path + QLatin1Char('\'')))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().reason))) << error.toStdString();
    EXPECT_EQ(QFileInfo(path).size(), before.size());
    EXPECT_FALSE(registry.HasCurrentKey());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadStores,
    ::testing::Values(BadStoreCase{"Binary",
                                   [](const QString& path) {
                                       QFile file(path);
                                       file.open(QIODevice::WriteOnly);
                                       file.write(
                                           QByteArray("\x7F"
                                                      "ELF\x02\x01\x01\0\0\0",
                                                      10));
                                   },
                                   "is not a registry file"},
                      BadStoreCase{"Folder", [](const QString& path) { QDir().mkpath(path); },
                                   "Not a regular file"},
                      BadStoreCase{"TooLarge",
                                   [](const QString& path) {
                                       QFile file(path);
                                       file.open(QIODevice::WriteOnly);
                                       file.write("REGEDIT4\n");
                                       file.resize(65 * 1024 * 1024);
                                   },
                                   "Larger than"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryStorePath, EnvironmentNamesTheStore) {
    qputenv("QUORVA_REGISTRY", "/tmp/elsewhere.reg");
    EXPECT_EQ(RegistryStorePath(), QStringLiteral("/tmp/elsewhere.reg"));
    EXPECT_EQ(TRegistry().StorePath(), QStringLiteral("/tmp/elsewhere.reg"));
    qunsetenv("QUORVA_REGISTRY");
    EXPECT_TRUE(RegistryStorePath().endsWith(QStringLiteral("/Quorva/registry.reg")));
}

}  // namespace
