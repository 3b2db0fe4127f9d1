#include "obj/obj_conventions.h"

#include <charconv>
#include <cstdio>

std::string MaterialName(TriangleLook look) {
    char text[40];
    if (look.page == 0) {
        std::snprintf(text, sizeof text, "0x%03X", static_cast<unsigned>(look.flags));
    } else {
        std::snprintf(text, sizeof text, "0x%03X_T%u_", static_cast<unsigned>(look.flags),
                      static_cast<unsigned>(look.page));
    }
    return text;
}

TriangleLook ReadMaterialName(std::string_view name) {
    static constexpr struct {
        const char* tag;
        uint32_t flag;
    } TAGS[] = {{"_FDEF_", 0},     {"_FMAT_", 0x1},   {"_FHIC_", 0x2},  {"_FNOC_", 0x4},  {"_FSET_", 0x8},
                {"_FUN1_", 0x10},  {"_FALW_", 0x20},  {"_FFRW_", 0x40}, {"_FLEW_", 0x80}, {"_FBAW_", 0x100},
                {"_FRIW_", 0x200}, {"_FBRW_", 0x400}, {"_FUN2_", 0x800}};
    TriangleLook look;
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        std::from_chars(name.data() + 2, name.data() + name.size(), look.flags, 16);
    }
    for (const auto& [tag, flag] : TAGS) {
        if (name.find(tag) != std::string_view::npos) {
            look.flags |= flag;
        }
    }
    // _T<i>_: the last such tag counts, as a later word overrides an earlier one.
    for (size_t at = name.find("_T"); at != std::string_view::npos; at = name.find("_T", at + 1)) {
        uint32_t page = 0;
        const char* end = name.data() + name.size();
        auto [next, error] = std::from_chars(name.data() + at + 2, end, page);
        if (error == std::errc() && next != end && *next == '_') {
            look.page = page;
        }
    }
    return look;
}
