#include <gtest/gtest.h>

#include "Version.h"

TEST(Version, ProgramFileCarriesItsFileVersion) {
    EXPECT_EQ(GetFileVersionString(QStringLiteral(QUORVA_PROGRAM_FILE)), QStringLiteral("0.5.5.0"));
}

TEST(Version, FilesWithoutVersionResourceGiveEmptyText) {
    EXPECT_EQ(GetFileVersionString(QStringLiteral("/bin/sh")), QString());
    EXPECT_EQ(GetFileVersionString(QStringLiteral(QUORVA_SOURCE_DIR "/CMakeLists.txt")), QString());
    EXPECT_EQ(GetFileVersionString(QStringLiteral("/no/such/file")), QString());
}
