#include "mainwin/name_edits.h"

#include <algorithm>
#include <cstring>

namespace {

// What the bytes 0x80 to 0x9F stand for in Windows-1252; the five it leaves undefined are
// read as the control characters of the same number, as Windows reads them.
constexpr char16_t WINDOWS_1252_HIGH[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& text, char16_t c) {
    if (c < 0x80) {
        text += char(c);
    } else if (c < 0x800) {
        text += char(0xC0 | (c >> 6));
        text += char(0x80 | (c & 0x3F));
    } else {
        text += char(0xE0 | (c >> 12));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
}

// The length of the UTF-8 character that starts at text[i], or 0 when none starts there.
size_t Utf8CharacterLength(std::string_view text, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char first = byte(i);
    if (first < 0x80) {
        return 1;
    }
    size_t length = first >= 0xC2 && first <= 0xDF   ? 2
                    : first >= 0xE0 && first <= 0xEF ? 3
                    : first >= 0xF0 && first <= 0xF4 ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (size_t k = i + 1; k < i + length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    unsigned char second = byte(i + 1);
    if ((first == 0xE0 && second < 0xA0) || (first == 0xED && second > 0x9F) ||
        (first == 0xF0 && second < 0x90) || (first == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

} // namespace

bool RenamePart(FceKeshHeader& header, uint32_t index, const char* text) {
    if (index >= PartsInUse(header)) {
        return false;
    }
    SetNameField(header.partNames[index], text);
    return true;
}

bool RenameDummy(FceKeshHeader& header, uint32_t index, const char* text) {
    if (index >= DummiesInUse(header)) {
        return false;
    }
    SetNameField(header.dummyNames[index], text);
    return true;
}

bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        size_t length = Utf8CharacterLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string ShownName(const char (&field)[NAME_SIZE], bool utf8CodePage) {
    char bytes[NAME_SIZE];
    NameFieldText(field, bytes);
    std::string_view name = bytes;
    if (!utf8CodePage || IsUtf8(name)) {
        return std::string(name);
    }
    std::string shown;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        AppendUtf8(shown, byte >= 0x80 && byte < 0xA0 ? WINDOWS_1252_HIGH[byte - 0x80] : char16_t(byte));
    }
    return shown;
}

size_t TypedNameLength(std::string_view text, bool utf8CodePage, bool (*isLeadByte)(unsigned char)) {
    size_t kept = 0;
    for (size_t i = 0; i < text.size() && i < NAME_SIZE - 1;) {
        size_t length = 1;
        if (utf8CodePage) {
            // Text that is not UTF-8 after all is cut by bytes.
            length = std::max<size_t>(Utf8CharacterLength(text, i), 1);
        } else if (isLeadByte && isLeadByte(static_cast<unsigned char>(text[i]))) {
            length = 2;
        }
        i += length;
        if (i <= NAME_SIZE - 1 && i <= text.size()) {
            kept = i;
        }
    }
    return kept;
}
