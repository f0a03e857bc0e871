#include "platform/ProgramSections.h"

#include <QFile>

#include <elf.h>

#include <cstddef>
#include <cstring>

namespace qz::platform {

namespace {

// Section data beyond this is not a version record or anything like it;
// the cap keeps a hostile file from asking for gigabytes.
constexpr quint64 MaxSectionSize = 16 * 1024 * 1024;
constexpr quint64 MaxSectionCount = 65535;

// Reads exactly `size` bytes at `offset`, or gives an empty array.
QByteArray ReadAt(QFile& file, quint64 offset, quint64 size) {
    if (size == 0 || size > MaxSectionSize || offset > quint64(file.size()) ||
        size > quint64(file.size()) - offset || !file.seek(qint64(offset)))
        return {};
    QByteArray bytes = file.read(qint64(size));
    return quint64(bytes.size()) == size ? bytes : QByteArray();
}

// Fixed-size integers of the file, in its own byte order.
class TElfFields {
public:
    TElfFields(const QByteArray& bytes, bool bigEndian) : FBytes(bytes), FBigEndian(bigEndian) {}

    [[nodiscard]] quint64 At(qsizetype offset, int width) const {
        quint64 value = 0;
        for (int i = 0; i < width; ++i) {
            const quint8 byte = quint8(FBytes[offset + (FBigEndian ? i : width - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    const QByteArray& FBytes;
    bool FBigEndian;
};

// Where the fields of the file header and of a section header lie, for
// the two classes of ELF file.
struct TElfLayout {
    int HeaderSize;
    int AddressWidth; // width of offsets and sizes
    qsizetype ShOff, ShEntSize, ShNum, ShStrNdx;
    int SectionHeaderSize;
    qsizetype SecName, SecType, SecOffset, SecSize, SecLink;
};
template <typename Ehdr, typename Shdr>
constexpr TElfLayout LayoutOf(int addressWidth) {
    return {sizeof(Ehdr),
            addressWidth,
            offsetof(Ehdr, e_shoff),
            offsetof(Ehdr, e_shentsize),
            offsetof(Ehdr, e_shnum),
            offsetof(Ehdr, e_shstrndx),
            sizeof(Shdr),
            offsetof(Shdr, sh_name),
            offsetof(Shdr, sh_type),
            offsetof(Shdr, sh_offset),
            offsetof(Shdr, sh_size),
            offsetof(Shdr, sh_link)};
}
constexpr TElfLayout Elf32Layout = LayoutOf<Elf32_Ehdr, Elf32_Shdr>(4);
constexpr TElfLayout Elf64Layout = LayoutOf<Elf64_Ehdr, Elf64_Shdr>(8);

struct TSection {
    quint64 Name = 0;
    quint64 Type = 0;
    quint64 Offset = 0;
    quint64 Size = 0;
    quint64 Link = 0;
};

} // namespace

QByteArray ReadProgramSection(const QString& path, const QByteArray& name) {
    QFile file(path);
    if (name.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray ident = ReadAt(file, 0, EI_NIDENT);
    if (ident.size() != EI_NIDENT || std::memcmp(ident.constData(), ELFMAG, SELFMAG) != 0)
        return {};
    const quint8 elfClass = quint8(ident[EI_CLASS]);
    const quint8 byteOrder = quint8(ident[EI_DATA]);
    if ((elfClass != ELFCLASS32 && elfClass != ELFCLASS64) ||
        (byteOrder != ELFDATA2LSB && byteOrder != ELFDATA2MSB))
        return {};
    const TElfLayout& layout = elfClass == ELFCLASS64 ? Elf64Layout : Elf32Layout;
    const bool bigEndian = byteOrder == ELFDATA2MSB;

    const QByteArray header = ReadAt(file, 0, layout.HeaderSize);
    if (header.isEmpty())
        return {};
    const TElfFields h(header, bigEndian);
    const quint64 shOff = h.At(layout.ShOff, layout.AddressWidth);
    const quint64 shEntSize = h.At(layout.ShEntSize, 2);
    quint64 shNum = h.At(layout.ShNum, 2);
    quint64 shStrNdx = h.At(layout.ShStrNdx, 2);
    if (shOff == 0 || shEntSize < quint64(layout.SectionHeaderSize))
        return {};

    auto sectionAt = [&](quint64 index, TSection& out) {
        const QByteArray bytes = ReadAt(file, shOff + index * shEntSize, layout.SectionHeaderSize);
        if (bytes.isEmpty())
            return false;
        const TElfFields s(bytes, bigEndian);
        out.Name = s.At(layout.SecName, 4);
        out.Type = s.At(layout.SecType, 4);
        out.Offset = s.At(layout.SecOffset, layout.AddressWidth);
        out.Size = s.At(layout.SecSize, layout.AddressWidth);
        out.Link = s.At(layout.SecLink, 4);
        return true;
    };

    // Files with very many sections keep the true count and the index of
    // the name table in the first section header.
    TSection first;
    if (!sectionAt(0, first))
        return {};
    if (shNum == 0)
        shNum = first.Size;
    if (shStrNdx == SHN_XINDEX)
        shStrNdx = first.Link;
    if (shNum == 0 || shNum > MaxSectionCount || shStrNdx >= shNum)
        return {};

    TSection names;
    if (!sectionAt(shStrNdx, names) || names.Type != SHT_STRTAB)
        return {};
    const QByteArray nameTable = ReadAt(file, names.Offset, names.Size);
    if (nameTable.isEmpty())
        return {};

    for (quint64 i = 1; i < shNum; ++i) {
        TSection section;
        if (!sectionAt(i, section))
            return {};
        if (section.Name >= quint64(nameTable.size()))
            continue;
        const char* sectionName = nameTable.constData() + section.Name;
        const qsizetype room = nameTable.size() - qsizetype(section.Name);
        if (qsizetype(qstrnlen(sectionName, size_t(room))) == room || name != sectionName)
            continue; // a name without its closing 0 is no name
        if (section.Type == SHT_NOBITS)
            return {};
        return ReadAt(file, section.Offset, section.Size);
    }
    return {};
}

} // namespace qz::platform
