#include "version/VersionResource.h"

#include <elf.h>

#include <QFile>
#include <cstring>

namespace {

struct SectionSpan {
    quint64 offset = 0;
    quint64 size = 0;
};

template <typename Ehdr, typename Shdr>
SectionSpan FindSection(QFile& file) {
    Ehdr header;
    if (!file.seek(0) ||
        file.read(reinterpret_cast<char*>(&header), sizeof header) != sizeof header)
        return {};
    if (header.e_shentsize != sizeof(Shdr) || header.e_shstrndx >= header.e_shnum)
        return {};
    auto readSection = [&](quint64 index, Shdr& section) {
        return file.seek(header.e_shoff + index * sizeof(Shdr)) &&
               file.read(reinterpret_cast<char*>(&section), sizeof section) == sizeof section;
    };
    Shdr names;
    if (!readSection(header.e_shstrndx, names) || names.sh_size > (1u << 24))
        return {};
    if (!file.seek(names.sh_offset))
        return {};
    const QByteArray table = file.read(names.sh_size);
    for (quint64 i = 0; i < header.e_shnum; ++i) {
        Shdr section;
        if (!readSection(i, section))
            return {};
        if (section.sh_name >= quint64(table.size()))
            continue;
        if (std::strcmp(table.constData() + section.sh_name, kVersionSectionName) == 0 &&
            section.sh_type != SHT_NOBITS)
            return {section.sh_offset, section.sh_size};
    }
    return {};
}

SectionSpan FindVersionSection(QFile& file) {
    unsigned char ident[EI_NIDENT];
    if (file.read(reinterpret_cast<char*>(ident), EI_NIDENT) != EI_NIDENT)
        return {};
    if (std::memcmp(ident, ELFMAG, SELFMAG) != 0 || ident[EI_DATA] != ELFDATA2LSB)
        return {};
    if (ident[EI_CLASS] == ELFCLASS64)
        return FindSection<Elf64_Ehdr, Elf64_Shdr>(file);
    if (ident[EI_CLASS] == ELFCLASS32)
        return FindSection<Elf32_Ehdr, Elf32_Shdr>(file);
    return {};
}

}  // namespace

std::uint32_t GetFileVersionInfoSize(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const SectionSpan span = FindVersionSection(file);
    return span.size >= sizeof(TFixedFileInfo) && span.size < 65536 ? std::uint32_t(span.size) : 0;
}

bool GetFileVersionInfo(const QString& fileName, QByteArray& block) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const SectionSpan span = FindVersionSection(file);
    if (span.size < sizeof(TFixedFileInfo) || span.size >= 65536 || !file.seek(span.offset))
        return false;
    const QByteArray data = file.read(span.size);
    if (data.size() != qsizetype(span.size))
        return false;
    std::memcpy(block.data(), data.constData(), std::min<qsizetype>(block.size(), data.size()));
    return true;
}

const TFixedFileInfo* VerQueryFixedFileInfo(const QByteArray& block) {
    if (block.size() < qsizetype(sizeof(TFixedFileInfo)))
        return nullptr;
    const auto* info = reinterpret_cast<const TFixedFileInfo*>(block.constData());
    return info->dwSignature == kFixedFileInfoSignature ? info : nullptr;
}
