#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The fixed part of a version resource, laid out as Windows lays it out so that files built
// for either system carry the same numbers.
struct TFixedFileInfo {
    std::uint32_t dwSignature;  // 0xFEEF04BD
    std::uint32_t dwStrucVersion;
    std::uint32_t dwFileVersionMS;
    std::uint32_t dwFileVersionLS;
    std::uint32_t dwProductVersionMS;
    std::uint32_t dwProductVersionLS;
    std::uint32_t dwFileFlagsMask;
    std::uint32_t dwFileFlags;
    std::uint32_t dwFileOS;
    std::uint32_t dwFileType;
    std::uint32_t dwFileSubtype;
    std::uint32_t dwFileDateMS;
    std::uint32_t dwFileDateLS;
};

inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
// The ELF section of a program file that holds its version resource.
inline constexpr char kVersionSectionName[] = ".quorva_version";

#define QUORVA_VERSION_RESOURCE_4(major, minor, patch, build)                  \
    extern "C" __attribute__((used, section(".quorva_version"), aligned(4)))   \
    const TFixedFileInfo quorva_version_resource = {kFixedFileInfoSignature,   \
                                                    0x00010000,                \
                                                    ((major) << 16) | (minor), \
                                                    ((patch) << 16) | (build), \
                                                    ((major) << 16) | (minor), \
                                                    ((patch) << 16) | (build), \
                                                    0x3F,                      \
                                                    0,                         \
                                                    0x40004,                   \
                                                    1,                         \
                                                    0,                         \
                                                    0,                         \
                                                    0}

// Size of the version resource of a program file; 0 when it has none or cannot be read.
std::uint32_t GetFileVersionInfoSize(const QString& fileName);
// Reads the version resource into `block`; false when it has none.
bool GetFileVersionInfo(const QString& fileName, QByteArray& block);
// The fixed file information of a block read by GetFileVersionInfo, or null.
const TFixedFileInfo* VerQueryFixedFileInfo(const QByteArray& block);

// Embeds the version resource in the program file; takes "major, minor, patch, build".
#define QUORVA_VERSION_RESOURCE(...) QUORVA_VERSION_RESOURCE_4(__VA_ARGS__)
