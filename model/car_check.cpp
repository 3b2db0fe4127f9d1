#include "model/car_check.h"

#include "model/failure_reason.h"
#include "model/half_sizes.h"
#include "model/part_names.h"
#include "model/report_text.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// No car is kilometres wide; a coordinate beyond this is a unit or byte-order mix-up.
constexpr float COORDINATE_LIMIT = 1e6f;

// "vertex 8 belongs", "vertices 8 to 10 belong", for a table of vertices or triangles.
std::string SpanBelongs(const char* table, uint32_t begin, uint32_t end) {
    if (end - begin == 1) {
        return Format("%s %u belongs", std::strcmp(table, "vertices") == 0 ? "vertex" : "triangle", begin);
    }
    return Format("%s %u to %u belong", table, begin, end - 1);
}

class Checker {
  public:
    Checker(const CarModel& car, CarLayout layout)
        : car_(car), h_(car.header), layout_(layout), parts_(PartsInUse(h_)), dummies_(DummiesInUse(h_)) {}

    std::vector<CarProblem> Run() {
        CheckNames();
        CheckPositions();
        CheckRanges("vertices", h_.partFirstVertex, h_.partVertexCount, h_.vertexCount);
        CheckRanges("triangles", h_.partFirstTriangle, h_.partTriangleCount, h_.triangleCount);
        for (uint32_t p = 0; p < parts_; ++p) {
            CheckPart(p);
        }
        if (layout_ == CarLayout::Kesh) {
            CheckDamagedMesh();
        }
        if (std::string danger = HalfSizesDanger(StoredHalfSizes(h_)); !danger.empty()) {
            Add("half-sizes-small", Severity::Warning, {}, {}, "half-sizes", {}, danger);
        }
        if (h_.colourCount == 0) {
            Add("colour-count-zero", Severity::Warning, {}, {}, "colours", {},
                "colourCount is 0: the car has no colour to be painted in");
        }
        return std::move(problems_);
    }

  private:
    void Add(const char* kind, Severity severity, std::optional<uint32_t> part, std::optional<uint32_t> dummy,
             const char* table, std::optional<uint32_t> index, std::string message) {
        problems_.push_back({kind, severity, part, dummy, table, index, std::move(message)});
    }

    std::string Part(uint32_t p) const { return Format("part %u ", p) + QuotedName(h_.partNames[p]); }

    void CheckName(const char (&field)[NAME_SIZE], const char* table, std::optional<uint32_t> part,
                   std::optional<uint32_t> dummy, const std::string& what) {
        size_t length = strnlen(field, NAME_SIZE);
        uint32_t index = part ? *part : *dummy;
        if (length == NAME_SIZE) {
            Add("name-fills-field", Severity::Error, part, dummy, table, index,
                what + ": the name fills all 64 bytes and has no terminator, so the game reads on "
                       "into the next field");
        } else if (length == 0) {
            Add("name-empty", Severity::Warning, part, dummy, table, index, what + ": the name is empty");
        } else if (std::any_of(field, field + length, [](char c) { return c < 0x20 || c >= 0x7F; })) {
            Add("name-not-printable", Severity::Warning, part, dummy, table, index,
                what + ": the name has bytes other than printable ASCII");
        }
    }

    void CheckNames() {
        std::map<std::string, uint32_t> firstPartOfName;
        std::optional<uint32_t> firstDriver;
        for (uint32_t p = 0; p < parts_; ++p) {
            CheckName(h_.partNames[p], "part names", p, {}, Part(p));
            std::string name(h_.partNames[p], strnlen(h_.partNames[p], NAME_SIZE));
            bool driver = NameIs(h_.partNames[p], DRIVER_PART_NAME);
            if (driver && firstDriver) {
                Add("driver-parts", Severity::Warning, p, {}, "part names", p,
                    Format("part %u is a second part named \"%s\" (the first is part %u): the driver "
                           "movements need exactly one",
                           p, DRIVER_PART_NAME, *firstDriver));
            } else if (driver) {
                firstDriver = p;
            } else if (!name.empty() && !firstPartOfName.emplace(name, p).second) {
                Add("name-duplicate", Severity::Warning, p, {}, "part names", p,
                    Part(p) + Format(": the same name as part %u", firstPartOfName[name]));
            }
        }
        for (uint32_t d = 0; d < dummies_; ++d) {
            CheckName(h_.dummyNames[d], "dummy names", {}, d,
                      Format("dummy %u ", d) + QuotedName(h_.dummyNames[d]));
        }
    }

    // 0: fine, 1: beyond the limit, 2: not a number or infinite.
    static int Badness(const Vec3& v) {
        int worst = 0;
        for (float c : {v.x, v.y, v.z}) {
            worst = std::max(worst, !std::isfinite(c) ? 2 : std::fabs(c) > COORDINATE_LIMIT ? 1 : 0);
        }
        return worst;
    }

    void CheckPosition(const Vec3& position, const char* table, std::optional<uint32_t> part,
                       std::optional<uint32_t> dummy, const std::string& what) {
        int badness = Badness(position);
        uint32_t index = part ? *part : *dummy;
        if (badness == 2) {
            Add("position-not-finite", Severity::Error, part, dummy, table, index,
                what + ": its position has a coordinate that is not a number or infinite");
        } else if (badness == 1) {
            Add("position-too-large", Severity::Warning, part, dummy, table, index,
                what + ": its position has a coordinate beyond 1e6");
        }
    }

    void CheckPositions() {
        for (uint32_t p = 0; p < parts_; ++p) {
            CheckPosition(h_.partPositions[p], "part positions", p, {}, Part(p));
        }
        for (uint32_t d = 0; d < dummies_; ++d) {
            CheckPosition(h_.dummyPositions[d], "dummy positions", {}, d,
                          Format("dummy %u ", d) + QuotedName(h_.dummyNames[d]));
        }
    }

    // Every entry of the table should belong to exactly one part.
    void CheckRanges(const char* table, const uint32_t* first, const uint32_t* count, uint32_t total) {
        std::vector<std::pair<TableRange, uint32_t>> ranges;
        for (uint32_t p = 0; p < parts_; ++p) {
            TableRange range = ClipRange(first[p], count[p], total);
            if (range.end > range.begin) {
                ranges.push_back({range, p});
            }
        }
        // By start, and in part order where two parts start together.
        std::stable_sort(ranges.begin(), ranges.end(),
                         [](const auto& a, const auto& b) { return a.first.begin < b.first.begin; });
        uint32_t reach = 0;
        uint32_t reachPart = 0;
        for (const auto& [range, p] : ranges) {
            if (range.begin > reach) {
                Hole(table, reach, range.begin);
            } else if (range.begin < reach) {
                Add("ranges-overlap", Severity::Error, p, {}, table, range.begin,
                    SpanBelongs(table, range.begin, std::min(reach, range.end)) +
                        Format(" to both part %u and part %u", reachPart, p));
            }
            if (range.end > reach) {
                reach = range.end;
                reachPart = p;
            }
        }
        if (total > reach) {
            Hole(table, reach, total);
        }
    }

    void Hole(const char* table, uint32_t begin, uint32_t end) {
        Add("range-hole", Severity::Warning, {}, {}, table, begin,
            SpanBelongs(table, begin, end) + " to no part; nothing draws them");
    }

    void CheckPart(uint32_t p) {
        if (h_.partTriangleCount[p] == 0) {
            bool empty = h_.partVertexCount[p] == 0;
            Add(empty ? "part-empty" : "part-without-triangles", Severity::Warning, p, {}, nullptr, {},
                Part(p) + (empty ? ": the part has neither vertices nor triangles"
                                 : ": the part has vertices but no triangles"));
        }
        CheckTriangles(p);
        CheckCoordinates(p, "vertices", "vertex", car_.vertices);
        CheckCoordinates(p, "normals", "normal of vertex", car_.normals);
        if (layout_ == CarLayout::Kesh) {
            CheckCoordinates(p, "undamaged vertices", "undamaged vertex", car_.undamagedVertices);
            CheckCoordinates(p, "undamaged normals", "undamaged normal of vertex", car_.undamagedNormals);
            CheckCoordinates(p, "damaged vertices", "damaged vertex", car_.damagedVertices);
            CheckCoordinates(p, "damaged normals", "damaged normal of vertex", car_.damagedNormals);
            CheckMovementValues(p);
        }
    }

    void CheckTriangles(uint32_t p) {
        TableRange triangles = PartTriangles(h_, p);
        uint32_t vertexCount = h_.partVertexCount[p];
        uint32_t bad = 0, first = 0, firstIndex = 0;
        for (uint32_t t = triangles.begin; t < triangles.end; ++t) {
            const uint32_t* indexes = car_.triangles[t].vertexIndexes;
            const uint32_t* outside =
                std::find_if(indexes, indexes + 3, [&](uint32_t i) { return i >= vertexCount; });
            if (outside != indexes + 3 && bad++ == 0) {
                first = t;
                firstIndex = *outside;
            }
        }
        if (bad > 0) {
            Add("vertex-index-outside-part", Severity::Error, p, {}, "triangles", first,
                Part(p) +
                    Format(": triangle %u uses vertex %u of a part of %u vertices (in all, ", first,
                           firstIndex, vertexCount) +
                    Many(bad, "triangle", "triangles") + " of the part)");
        }
    }

    void CheckCoordinates(uint32_t p, const char* table, const char* entry, const Vec3* vertices) {
        TableRange range = PartVertices(h_, p);
        uint32_t count[3] = {}, first[3] = {};
        for (uint32_t v = range.begin; v < range.end; ++v) {
            int badness = Badness(vertices[v]);
            if (badness > 0 && count[badness]++ == 0) {
                first[badness] = v;
            }
        }
        if (count[2] > 0) {
            Add("coordinate-not-finite", Severity::Error, p, {}, table, first[2],
                Part(p) +
                    Format(": %s %u has a coordinate that is not a number or infinite (%u of the part's %s)",
                           entry, first[2], count[2], table));
        }
        if (count[1] > 0) {
            Add("coordinate-too-large", Severity::Warning, p, {}, table, first[1],
                Part(p) + Format(": %s %u has a coordinate beyond 1e6 (%u of the part's %s)", entry, first[1],
                                 count[1], table));
        }
    }

    void CheckMovementValues(uint32_t p) {
        TableRange range = PartVertices(h_, p);
        uint32_t bad = 0, first = 0;
        for (uint32_t v = range.begin; v < range.end; ++v) {
            uint32_t value = car_.movementFlags[v];
            if (value != MovementFixed && value != MovementMoving && bad++ == 0) {
                first = v;
            }
        }
        if (bad > 0) {
            Add("movement-value", Severity::Warning, p, {}, "movement values", first,
                Part(p) +
                    Format(": vertex %u has the movement value %u, neither 0 (moving) nor 4 (fixed) (", first,
                           car_.movementFlags[first]) +
                    Many(bad, "vertex", "vertices") + " of the part)");
        }
    }

    void CheckDamagedMesh() {
        const Vec3* damaged = car_.damagedVertices;
        bool allZero = std::all_of(damaged, damaged + h_.vertexCount,
                                   [](const Vec3& v) { return v.x == 0 && v.y == 0 && v.z == 0; });
        if (h_.vertexCount > 0 && allZero) {
            Add("damaged-mesh-zero", Severity::Warning, {}, {}, "damaged vertices", {},
                "every damaged vertex is (0, 0, 0): the damaged car was never imported");
        }
    }

    const CarModel& car_;
    const FceKeshHeader& h_;
    CarLayout layout_;
    uint32_t parts_;
    uint32_t dummies_;
    std::vector<CarProblem> problems_;
};

} // namespace

std::vector<CarProblem> CheckCar(const CarModel& car, CarLayout layout) {
    return Checker(car, layout).Run();
}

const char* SeverityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}
