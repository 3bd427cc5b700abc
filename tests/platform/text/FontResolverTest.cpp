#include "platform/text/FontResolver.h"
#include "platform/text/FontNameTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace vexel::text;

TEST(FontResolver, TakesOnlyFontsThatAnswerToTheName) {
    const Font system = resolveFont(std::nullopt, 30);
    ASSERT_FALSE(system.family.empty());
    EXPECT_EQ(system.pointSize, 30);

    struct Case {
        std::string name;
        std::string family;
    };
    const Case cases[] = {
        // Family names, letter case aside.
        {"DejaVu Serif", "DejaVu Serif"},
        {"dejavu serif", "DejaVu Serif"},
        {"DEJAVU SANS MONO", "DejaVu Sans Mono"},
        // A name inside the PostScript name of the font picked for it.
        {"DejaVuSerif", "DejaVu Serif"},
        // Substitutes and nothing.
        {"No Such Font Anywhere", system.family},
        {"DejaVu Serif Nonexistent", system.family},
        {"", system.family},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resolveFont(c.name, 30), (Font{c.family, 30})) << c.name;
    }
    EXPECT_EQ(resolveFont("DejaVu Serif", 7.5).pointSize, 7.5);
}

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xff));
}

struct Record {
    std::uint16_t platform;
    std::uint16_t nameId;
    Bytes text;
};

// A "name" table of format 0 holding the records' texts one after another.
Bytes nameTable(const std::vector<Record>& records) {
    Bytes table;
    put16(table, 0);
    put16(table, static_cast<std::uint16_t>(records.size()));
    put16(table, static_cast<std::uint16_t>(6 + 12 * records.size()));
    Bytes strings;
    for (const Record& record : records) {
        put16(table, record.platform);
        put16(table, 0);
        put16(table, 0);
        put16(table, record.nameId);
        put16(table, static_cast<std::uint16_t>(record.text.size()));
        put16(table, static_cast<std::uint16_t>(strings.size()));
        strings.insert(strings.end(), record.text.begin(), record.text.end());
    }
    table.insert(table.end(), strings.begin(), strings.end());
    return table;
}

Bytes utf16(const std::u16string& text) {
    Bytes bytes;
    for (char16_t c : text) {
        put16(bytes, c);
    }
    return bytes;
}

Bytes ascii(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::optional<std::string> parse(const Bytes& table) {
    return postScriptName(std::as_bytes(std::span(table)));
}

} // namespace

TEST(FontNameTable, FindsAnAsciiPostScriptNameAndSurvivesBadTables) {
    EXPECT_EQ(parse(nameTable({{3, 1, utf16(u"Family")}, {3, 6, utf16(u"Family-Bold")}})),
              "Family-Bold");
    EXPECT_EQ(parse(nameTable({{1, 6, ascii("MacName")}})), "MacName");
    // Not ASCII, or of the obsolete platform: the next record counts.
    EXPECT_EQ(parse(nameTable(
                  {{3, 6, utf16(u"Caf\u00e9")}, {2, 6, ascii("Iso")}, {0, 6, utf16(u"Plain")}})),
              "Plain");
    EXPECT_EQ(parse(nameTable({{3, 6, utf16(u"Has Space")}})), std::nullopt);
    EXPECT_EQ(parse(nameTable({{3, 6, {0x00, 0x41, 0x00}}})), std::nullopt);
    EXPECT_EQ(parse(nameTable({})), std::nullopt);

    Bytes truncated = nameTable({{3, 6, utf16(u"Cut")}});
    truncated.resize(truncated.size() - 2);
    EXPECT_EQ(parse(truncated), std::nullopt);
    Bytes missingRecords = nameTable({{3, 6, utf16(u"Cut")}});
    missingRecords.resize(10);
    EXPECT_EQ(parse(missingRecords), std::nullopt);
    EXPECT_EQ(parse(Bytes{0, 0, 0}), std::nullopt);
}
