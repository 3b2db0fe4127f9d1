// How names are shown and typed where the program's code page is UTF-8 and where it is not.
#include "mainwin/name_edits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Shown(const std::string& bytes, bool utf8) {
    char field[NAME_SIZE] = {};
    std::memcpy(field, bytes.data(), std::min<size_t>(bytes.size(), NAME_SIZE));
    return ShownName(field, utf8);
}

TEST(NameTextTest, OldNamesShowAsWindows1252AndTypedNamesKeepWholeCharacters) {
    EXPECT_EQ(Shown("Caf\xE9", true), "Caf\xC3\xA9");
    EXPECT_EQ(Shown("\x80\x81\x9F\xA0", true), "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0");
    EXPECT_EQ(Shown("Caf\xE9", false), "Caf\xE9") << "the system's code page reads it";
    EXPECT_EQ(Shown("Caf\xC3\xA9 \xF0\x9F\x9A\x97", true), "Caf\xC3\xA9 \xF0\x9F\x9A\x97");
    EXPECT_EQ(Shown(std::string(62, 'A') + "\xE9" + "Z", true), std::string(62, 'A') + "\xC3\xA9")
        << "a name that fills its field is shown as the car reads it, cut to 63 bytes";
    for (const char* broken : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xC3(", "\xFF"}) {
        EXPECT_FALSE(IsUtf8(broken)) << broken;
    }

    auto lead = [](unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; };
    const std::string a62(62, 'a');
    EXPECT_EQ(TypedNameLength(a62 + "\xC3\xA9", true, nullptr), 62u);
    EXPECT_EQ(TypedNameLength(a62 + "b\xC3\xA9", true, nullptr), 63u);
    EXPECT_EQ(TypedNameLength(a62 + "\xE9\xE9", true, nullptr), 63u) << "not UTF-8 after all: by bytes";
    EXPECT_EQ(TypedNameLength(a62 + "\x82\xA0", false, lead), 62u);
    EXPECT_EQ(TypedNameLength(a62 + "\xE9\xE9", false, lead), 63u);
    EXPECT_EQ(TypedNameLength("\x82\xA0\x82", false, lead), 2u);
}

} // namespace
