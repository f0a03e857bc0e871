// Sections of ELF files: found by name in both classes and byte orders,
// and nothing at all from files that are cut short, malformed or lack it.
#include "platform/ProgramSections.h"

#include "common/TestHelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <elf.h>

#include <cstring>
#include <vector>

using namespace qz::platform;

namespace {

struct TMiniSection {
    QByteArray name;
    quint32 type;
    QByteArray data;
};

// A minimal ELF file: header, section data, the name table, the section
// headers (a null one first, the name table last). Every width of the
// layout is written in the chosen class and byte order.
QByteArray MiniElf(bool is64, bool bigEndian, const std::vector<TMiniSection>& sections,
                   bool countInFirstHeader = false) {
    QByteArray out;
    auto put = [&](qsizetype at, quint64 value, int width) {
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (bigEndian ? width - 1 - i : i);
            out[at + i] = char((value >> shift) & 0xFF);
        }
    };
    const int headerSize = is64 ? sizeof(Elf64_Ehdr) : sizeof(Elf32_Ehdr);
    const int shdrSize = is64 ? sizeof(Elf64_Shdr) : sizeof(Elf32_Shdr);
    const int word = is64 ? 8 : 4;
    out.resize(headerSize);
    std::memcpy(out.data(), ELFMAG, SELFMAG);
    out[EI_CLASS] = char(is64 ? ELFCLASS64 : ELFCLASS32);
    out[EI_DATA] = char(bigEndian ? ELFDATA2MSB : ELFDATA2LSB);
    out[EI_VERSION] = char(EV_CURRENT);

    QByteArray names(1, '\0');
    std::vector<std::pair<quint64, quint64>> placed; // offset, name index
    for (const TMiniSection& s : sections) {
        placed.emplace_back(out.size(), names.size());
        out += s.data;
        names += s.name + '\0';
    }
    const quint64 namesAt = out.size();
    const quint64 namesName = names.size();
    names += QByteArray(".shstrtab") + '\0';
    out += names;

    const quint64 shoff = out.size();
    const quint64 count = sections.size() + 2;
    out += QByteArray(qsizetype(count * shdrSize), '\0');
    auto header = [&](quint64 index, quint64 name, quint32 type, quint64 offset, quint64 size) {
        const qsizetype at = qsizetype(shoff + index * shdrSize);
        put(at, name, 4);
        put(at + 4, type, 4);
        put(at + (is64 ? 24 : 16), offset, word);
        put(at + (is64 ? 32 : 20), size, word);
    };
    for (size_t i = 0; i < sections.size(); ++i)
        header(i + 1, placed[i].second, sections[i].type, placed[i].first, sections[i].data.size());
    header(count - 1, namesName, SHT_STRTAB, namesAt, names.size());

    put(is64 ? 40 : 32, shoff, word);
    put(is64 ? 58 : 46, shdrSize, 2);
    if (countInFirstHeader)
        header(0, 0, SHT_NULL, 0, count); // more sections than the header's field holds
    put(is64 ? 60 : 48, countInFirstHeader ? 0 : count, 2);
    put(is64 ? 62 : 50, count - 1, 2);
    return out;
}

QString Written(const QTemporaryDir& dir, const QByteArray& bytes) {
    static int n = 0;
    const QString path = dir.filePath(QStringLiteral("file%1").arg(++n));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const QByteArray Record("record bytes\0more", 17);
const std::vector<TMiniSection> WithRecord = {{".text", SHT_PROGBITS, "code"},
                                              {".stakko_version", SHT_PROGBITS, Record}};

struct SectionRow : NamedRow {
    QByteArray file;
    QByteArray expected;
};

class ProgramSectionRows : public ::testing::TestWithParam<SectionRow> {};

TEST_P(ProgramSectionRows, ReadsTheNamedSectionOrNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(ReadProgramSection(Written(dir, GetParam().file), ".stakko_version"),
              GetParam().expected);
}

QByteArray Cut(QByteArray bytes, qsizetype size) {
    bytes.truncate(size);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProgramSectionRows,
    ::testing::Values(
        SectionRow{{"elf64_little"}, MiniElf(true, false, WithRecord), Record},
        SectionRow{{"elf64_big"}, MiniElf(true, true, WithRecord), Record},
        SectionRow{{"elf32_little"}, MiniElf(false, false, WithRecord), Record},
        SectionRow{{"elf32_big"}, MiniElf(false, true, WithRecord), Record},
        SectionRow{{"count_in_first_header"}, MiniElf(true, false, WithRecord, true), Record},
        SectionRow{{"no_such_section"},
                   MiniElf(true, false, {{".stakko_versions", SHT_PROGBITS, Record}}),
                   {}},
        SectionRow{{"section_without_bytes"},
                   MiniElf(true, false, {{".stakko_version", SHT_NOBITS, Record}}),
                   {}},
        SectionRow{
            {"cut_in_the_section_headers"},
            Cut(MiniElf(true, false, WithRecord), MiniElf(true, false, WithRecord).size() - 10),
            {}},
        SectionRow{{"cut_in_the_header"}, Cut(MiniElf(true, false, WithRecord), 30), {}},
        SectionRow{{"no_elf"}, QByteArray("#!/bin/sh\necho .stakko_version\n"), {}},
        SectionRow{{"empty_file"}, QByteArray(), {}}),
    RowName());

TEST(ProgramSections, FindsTheCompilersNoteInThisProgram) {
    const QByteArray comment =
        ReadProgramSection(QCoreApplication::applicationFilePath(), ".comment");
    EXPECT_TRUE(comment.contains("GCC") || comment.contains("clang")) << comment.toStdString();
    EXPECT_TRUE(ReadProgramSection(QStringLiteral("/nonexistent/program"), ".comment").isEmpty());
}

} // namespace
