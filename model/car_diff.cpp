#include "model/car_diff.h"

#include "model/failure_reason.h"
#include "model/half_sizes.h"
#include "model/part_names.h"
#include "model/report_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool Same(const Vec3& a, const Vec3& b) {
    return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
}

// The shortest text that reads back as the same float.
std::string Number(float value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string Point(const Vec3& v) {
    // Appended, not added to a literal: one compiler warns wrongly of an overlap in that.
    std::string text = "(";
    return text.append(Number(v.x))
        .append(", ")
        .append(Number(v.y))
        .append(", ")
        .append(Number(v.z))
        .append(")");
}

std::string NameOf(const char (&field)[NAME_SIZE]) {
    return std::string(field, strnlen(field, NAME_SIZE));
}

// A vertex table and whether its entries are positions, which the part's position moves.
struct VertexTable {
    Vec3* CarModel::*array;
    bool positions;
    const char* kind;
    const char* what;
};

constexpr VertexTable VERTEX_TABLES[] = {
    {&CarModel::vertices, true, "vertices-moved", "vertices moved"},
    {&CarModel::normals, false, "normals-differ", "normals differ"},
    {&CarModel::undamagedVertices, true, "undamaged-vertices-moved", "undamaged vertices moved"},
    {&CarModel::undamagedNormals, false, "undamaged-normals-differ", "undamaged normals differ"},
    {&CarModel::damagedVertices, true, "damaged-vertices-moved", "damaged vertices moved"},
    {&CarModel::damagedNormals, false, "damaged-normals-differ", "damaged normals differ"},
};

struct ColourTable {
    FceColour (FceKeshHeader::*entries)[MAX_COLOURS];
    const char* kind;
    const char* what;
};

constexpr ColourTable COLOUR_TABLES[] = {
    {&FceKeshHeader::primaryColours, "primary-colours", "primary colours"},
    {&FceKeshHeader::interiorColours, "interior-colours", "interior colours"},
    {&FceKeshHeader::secondaryColours, "secondary-colours", "secondary colours"},
    {&FceKeshHeader::driverHairColours, "driver-hair-colours", "driver hair colours"},
};

class Differ {
  public:
    Differ(const CarModel& a, const CarModel& b) : a_(a), b_(b), ha_(a.header), hb_(b.header) {}

    std::vector<CarDifference> Run() {
        Parts();
        Dummies();
        Colours();
        Header();
        return std::move(found_);
    }

  private:
    void Add(const char* kind, std::optional<std::string> part, std::string message,
             std::optional<uint32_t> count = {}, std::optional<double> largest = {}) {
        found_.push_back({kind, std::move(part), count, largest, std::move(message)});
    }

    // "part \":HB\"", and which of its name when there are several.
    static std::string Label(const char (&field)[NAME_SIZE], uint32_t occurrence) {
        std::string label = std::string("part ") + QuotedName(field);
        return occurrence == 0 ? label : label + Format(" (number %u of that name)", occurrence + 1);
    }

    void Parts() {
        std::map<std::string, std::vector<uint32_t>> partsOfB;
        for (uint32_t p = 0; p < PartsInUse(hb_); ++p) {
            partsOfB[NameOf(hb_.partNames[p])].push_back(p);
        }
        std::map<std::string, uint32_t> taken;
        uint32_t lastMatch = 0;
        bool reordered = false;
        for (uint32_t p = 0; p < PartsInUse(ha_); ++p) {
            std::string name = NameOf(ha_.partNames[p]);
            uint32_t occurrence = taken[name]++;
            const std::vector<uint32_t>& candidates = partsOfB[name];
            if (occurrence >= candidates.size()) {
                OnlyIn("part-only-in-a", "A", ha_, p, occurrence);
                continue;
            }
            uint32_t q = candidates[occurrence];
            reordered = reordered || q < lastMatch;
            lastMatch = q;
            Part(p, q, Label(ha_.partNames[p], occurrence));
        }
        std::map<std::string, uint32_t> seen;
        for (uint32_t q = 0; q < PartsInUse(hb_); ++q) {
            std::string name = NameOf(hb_.partNames[q]);
            uint32_t occurrence = seen[name]++;
            if (occurrence >= taken[name]) {
                OnlyIn("part-only-in-b", "B", hb_, q, occurrence);
            }
        }
        if (reordered) {
            Add("parts-reordered", {}, "the parts that both cars have are in another order in B");
        }
    }

    void OnlyIn(const char* kind, const char* side, const FceKeshHeader& h, uint32_t p, uint32_t occurrence) {
        Add(kind, NameOf(h.partNames[p]),
            Label(h.partNames[p], occurrence) + " is only in " + side + " (" +
                Many(PartVertices(h, p).Count(), "vertex", "vertices") + ", " +
                Many(PartTriangles(h, p).Count(), "triangle", "triangles") + ")");
    }

    void Part(uint32_t p, uint32_t q, const std::string& label) {
        const std::string name = NameOf(ha_.partNames[p]);
        const Vec3 &at = ha_.partPositions[p], &bt = hb_.partPositions[q];
        if (!Same(at, bt)) {
            Add("part-position", name, label + ": position " + Point(at) + " in A, " + Point(bt) + " in B");
        }
        TableRange va = PartVertices(ha_, p), vb = PartVertices(hb_, q);
        if (va.Count() != vb.Count()) {
            Add("vertex-count", name, label + Format(": %u vertices in A, %u in B", va.Count(), vb.Count()));
        } else {
            for (const VertexTable& table : VERTEX_TABLES) {
                Vertices(table, at, bt, va, vb, name, label);
            }
            uint32_t moving = 0;
            for (uint32_t i = 0; i < va.Count(); ++i) {
                moving += a_.movementFlags[va.begin + i] != b_.movementFlags[vb.begin + i] ? 1 : 0;
            }
            if (moving > 0) {
                Add("movement-values", name,
                    label + Format(": the movement values of %u of %u vertices differ", moving, va.Count()),
                    moving);
            }
        }
        TableRange ta = PartTriangles(ha_, p), tb = PartTriangles(hb_, q);
        if (ta.Count() != tb.Count()) {
            Add("triangle-count", name,
                label + Format(": %u triangles in A, %u in B", ta.Count(), tb.Count()));
            return;
        }
        uint32_t corners = 0, uv = 0, flags = 0, pages = 0, reserved = 0;
        for (uint32_t i = 0; i < ta.Count(); ++i) {
            const FceTriangle &s = a_.triangles[ta.begin + i], &t = b_.triangles[tb.begin + i];
            corners += std::equal(s.vertexIndexes, s.vertexIndexes + 3, t.vertexIndexes) ? 0 : 1;
            bool sameUv = true;
            for (int k = 0; k < 3; ++k) {
                sameUv = sameUv && Same(s.u[k], t.u[k]) && Same(s.v[k], t.v[k]);
            }
            uv += sameUv ? 0 : 1;
            flags += s.flags != t.flags ? 1 : 0;
            pages += s.texturePage != t.texturePage ? 1 : 0;
            reserved += std::memcmp(s.reserved, t.reserved, sizeof s.reserved) != 0 ? 1 : 0;
        }
        const struct {
            const char* kind;
            const char* what;
            uint32_t count;
        } triangleFields[] = {
            {"triangle-corners", "the corners (vertex indexes)", corners},
            {"uv-differ", "U/V", uv},
            {"flags-differ", "the flags", flags},
            {"pages-differ", "the texture pages", pages},
            {"triangle-reserved", "the 12 reserved bytes", reserved},
        };
        for (const auto& field : triangleFields) {
            if (field.count > 0) {
                Add(field.kind, name,
                    label + Format(": %s differ in %u of %u triangles", field.what, field.count, ta.Count()),
                    field.count);
            }
        }
    }

    // Positions are compared where the car places them; normals as they are stored.
    void Vertices(const VertexTable& table, const Vec3& at, const Vec3& bt, TableRange va, TableRange vb,
                  const std::string& name, const std::string& label) {
        const Vec3* sa = a_.*table.array;
        const Vec3* sb = b_.*table.array;
        uint32_t differ = 0;
        double largest = 0;
        for (uint32_t i = 0; i < va.Count(); ++i) {
            const Vec3 &u = sa[va.begin + i], &v = sb[vb.begin + i];
            double d[3] = {double(u.x) - v.x, double(u.y) - v.y, double(u.z) - v.z};
            bool same = Same(u, v);
            if (table.positions) {
                double pu[3] = {double(at.x) + u.x, double(at.y) + u.y, double(at.z) + u.z};
                double pv[3] = {double(bt.x) + v.x, double(bt.y) + v.y, double(bt.z) + v.z};
                same = true;
                for (int k = 0; k < 3; ++k) {
                    d[k] = pu[k] - pv[k];
                    same = same && Same(pu[k], pv[k]);
                }
            }
            if (!same) {
                ++differ;
                double distance = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                largest = std::isnan(distance) ? INFINITY : std::max(largest, distance);
            }
        }
        if (differ > 0) {
            Add(table.kind, name,
                label +
                    Format(": %s: %u of %u, the largest by %.6g", table.what, differ, va.Count(), largest),
                differ, largest);
        }
    }

    void Dummies() {
        uint32_t da = DummiesInUse(ha_), db = DummiesInUse(hb_);
        for (uint32_t d = 0; d < std::max(da, db); ++d) {
            if (d >= db || d >= da) {
                const FceKeshHeader& h = d < da ? ha_ : hb_;
                Add(d < da ? "dummy-only-in-a" : "dummy-only-in-b", {},
                    Format("dummy %u ", d) + QuotedName(h.dummyNames[d]) + " is only in " +
                        (d < da ? "A" : "B"));
                continue;
            }
            if (NameOf(ha_.dummyNames[d]) != NameOf(hb_.dummyNames[d])) {
                Add("dummy-name", {},
                    Format("dummy %u: named ", d) + QuotedName(ha_.dummyNames[d]) + " in A, " +
                        QuotedName(hb_.dummyNames[d]) + " in B");
            }
            if (!Same(ha_.dummyPositions[d], hb_.dummyPositions[d])) {
                Add("dummy-position", {},
                    Format("dummy %u ", d) + QuotedName(ha_.dummyNames[d]) + ": position " +
                        Point(ha_.dummyPositions[d]) + " in A, " + Point(hb_.dummyPositions[d]) + " in B");
            }
        }
    }

    void Colours() {
        if (ha_.colourCount != hb_.colourCount) {
            Add("colour-count", {}, Format("colourCount %u in A, %u in B", ha_.colourCount, hb_.colourCount));
        }
        uint32_t shared = std::min({ha_.colourCount, hb_.colourCount, MAX_COLOURS});
        for (const ColourTable& table : COLOUR_TABLES) {
            const FceColour* ea = ha_.*table.entries;
            const FceColour* eb = hb_.*table.entries;
            uint32_t differ = 0;
            for (uint32_t i = 0; i < shared; ++i) {
                differ += std::memcmp(&ea[i], &eb[i], sizeof(FceColour)) != 0 ? 1 : 0;
            }
            if (differ > 0) {
                Add(table.kind, {}, Format("%s: %u of %u entries differ", table.what, differ, shared),
                    differ);
            }
        }
    }

    void Header() {
        if (ha_.reservedWord != hb_.reservedWord) {
            Add("reserved-word", {},
                Format("reservedWord 0x%08X in A, 0x%08X in B", ha_.reservedWord, hb_.reservedWord));
        }
        if (ha_.artCount != hb_.artCount) {
            Add("art-count", {}, Format("artCount %u in A, %u in B", ha_.artCount, hb_.artCount));
        }
        HalfSizes sa = StoredHalfSizes(ha_), sb = StoredHalfSizes(hb_);
        if (!Same(Vec3{sa.x, sa.y, sa.z}, Vec3{sb.x, sb.y, sb.z})) {
            Add("half-sizes", {},
                std::string("half-sizes (auxValues) ") + Point({sa.x, sa.y, sa.z}) + " in A, " +
                    Point({sb.x, sb.y, sb.z}) + " in B");
        }
        Bytes("reserved-area-1", "reservedArea1", ha_.reservedArea1, hb_.reservedArea1,
              sizeof ha_.reservedArea1);
        Bytes("reserved-area-2", "reservedArea2", ha_.reservedArea2, hb_.reservedArea2,
              sizeof ha_.reservedArea2);
    }

    void Bytes(const char* kind, const char* what, const uint8_t* a, const uint8_t* b, uint32_t size) {
        uint32_t differ = 0;
        for (uint32_t i = 0; i < size; ++i) {
            differ += a[i] != b[i] ? 1 : 0;
        }
        if (differ > 0) {
            Add(kind, {}, Format("%s: %u of %u bytes differ", what, differ, size), differ);
        }
    }

    const CarModel& a_;
    const CarModel& b_;
    const FceKeshHeader& ha_;
    const FceKeshHeader& hb_;
    std::vector<CarDifference> found_;
};

} // namespace

std::vector<CarDifference> DiffCars(const CarModel& a, const CarModel& b) {
    return Differ(a, b).Run();
}
