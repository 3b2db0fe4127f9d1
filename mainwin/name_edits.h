// The renames that the main window applies to the car model, and how a name is shown and
// typed. "Set default" and the driver part check are the car's own rules, shared with fceconv.
#pragma once

#include "model/car_model.h"
#include "model/part_names.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char MESSAGE_DRIVER_PART[] =
    "Part :OD  (Driver) not found or there is more than one part :OD";

// Renames part (dummy) index. False, with nothing written, when the car has no such part
// (dummy).
bool RenamePart(FceKeshHeader& header, uint32_t index, const char* text);
bool RenameDummy(FceKeshHeader& header, uint32_t index, const char* text);

bool IsUtf8(std::string_view text);

// A name as the lists and name fields show it. Where the program's code page is UTF-8, a name
// that is not valid UTF-8 comes from an older car written in a single-byte code page: it is
// shown as Windows-1252 reads it ("Caf\xE9" as "Café"). Only the display changes; the name
// keeps its bytes until the user types another.
std::string ShownName(const char (&field)[NAME_SIZE], bool utf8CodePage);

// How many bytes of a typed name a name field takes: at most 63, never half a character. In a
// double-byte code page isLeadByte tells the first byte of a character of two.
size_t TypedNameLength(std::string_view text, bool utf8CodePage, bool (*isLeadByte)(unsigned char));
