// The names by which OBJ files carry what a car has and OBJ has not: triangle flags and texture
// pages in material names, and helper objects for the damaged mesh, part positions, dummies and
// moving vertices. The export writes them and the import reads them, also from files made by
// other tools.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char DAMAGE_PREFIX[] = "DAMAGE_";
inline constexpr char POSITION_PREFIX[] = "POSITION_";
inline constexpr char DUMMY_PREFIX[] = "DUMMY_";
inline constexpr char ANIMATED_PREFIX[] = "ANIMATED_";

struct TriangleLook {
    uint32_t flags = 0;
    uint32_t page = 0;
};

// "0x0AE" for flags 0xAE on page 0; "0x0AE_T2_" on page 2.
std::string MaterialName(TriangleLook look);

// The flags of a name "0x..." and of the tags in it (_FMAT_, _FHIC_, ...), combined, and the
// page of a tag _T<i>_; flags 0 on page 0 for any other name.
TriangleLook ReadMaterialName(std::string_view name);
