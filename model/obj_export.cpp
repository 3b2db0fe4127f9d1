#include "model/obj_export.h"

#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/file_tables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// Text is gathered part by part and written once there is at least this much of it, so that a
// car needs little more memory than its largest part's text, and few writes.
constexpr size_t BLOCK_SIZE = 1 << 20;
constexpr size_t MAX_WRITE = 1 << 30;

class ObjWriter {
  public:
    ObjWriter(const SaveFile& save, ObjExportCounts& counts) : save_(save), counts_(counts) {}

    ObjWriter& operator<<(const char* text) {
        text_ += text;
        return *this;
    }
    ObjWriter& operator<<(const std::string& text) {
        text_ += text;
        return *this;
    }
    ObjWriter& operator<<(uint64_t number) {
        char digits[24];
        text_.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
        return *this;
    }

    // A coordinate in the shortest form that reads back as the same float; one that is not a
    // number would stop many readers, so it is written as 0.
    void Coordinate(float value) {
        if (!std::isfinite(value)) {
            value = 0;
            ++counts_.replacedCoordinates;
        }
        char digits[32];
        text_ += ' ';
        text_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    }
    void Line(const char* keyword, const Vec3& v) {
        text_ += keyword;
        Coordinate(v.x);
        Coordinate(v.y);
        Coordinate(v.z);
        text_ += '\n';
    }

    // Writes what was gathered once there is a block of it, or all of it when last is set.
    bool Flush(bool last = false) {
        if (text_.size() < BLOCK_SIZE && !last) {
            return true;
        }
        // The text of one huge part may pass what one write can take.
        for (size_t done = 0; done < text_.size();) {
            auto size = static_cast<uint32_t>(std::min<size_t>(text_.size() - done, MAX_WRITE));
            if (!WriteFileExactly(save_.file, text_.data() + done, size)) {
                NoteFailure("writing %u bytes of OBJ text failed", size);
                return false;
            }
            done += size;
        }
        text_.clear();
        return true;
    }

  private:
    const SaveFile& save_;
    ObjExportCounts& counts_;
    std::string text_;
};

// OBJ names end at white space; bytes that are not printable ASCII would not survive either.
std::string ObjName(const char (&field)[NAME_SIZE], const char* prefix, uint32_t index) {
    std::string name(field, strnlen(field, NAME_SIZE));
    if (name.empty()) {
        return prefix + std::to_string(index);
    }
    for (char& c : name) {
        if (c <= 0x20 || c >= 0x7F) {
            c = '_';
        }
    }
    return name;
}

bool WriteObj(const SaveFile& save, ObjMesh mesh, const char* source, const char* layout,
              ObjExportCounts& counts) {
    const FceKeshHeader& h = carModel.header;
    const Vec3* vertices = mesh == ObjMesh::Normal ? carModel.vertices : carModel.damagedVertices;
    const Vec3* normals = mesh == ObjMesh::Normal ? carModel.normals : carModel.damagedNormals;
    ObjWriter out(save, counts);
    std::string from = source;
    std::replace_if(
        from.begin(), from.end(), [](char c) { return c == '\r' || c == '\n'; }, '?');
    out << "# " << from << ", a " << layout << " file: the "
        << (mesh == ObjMesh::Normal ? "normal" : "damaged") << " mesh\n";
    uint64_t written = 0; // vertices so far; faces count from 1 over the whole file
    for (uint32_t p = 0; p < PartsInUse(h); ++p) {
        TableRange vertexRange = PartVertices(h, p), triangles = PartTriangles(h, p);
        uint32_t first = vertexRange.begin, count = vertexRange.Count();
        out << "o " << ObjName(h.partNames[p], "part", p) << "\n";
        const Vec3& at = h.partPositions[p];
        for (uint32_t v = first; v < first + count; ++v) {
            out.Line("v", {at.x + vertices[v].x, at.y + vertices[v].y, at.z + vertices[v].z});
        }
        for (uint32_t v = first; v < first + count; ++v) {
            out.Line("vn", normals[v]);
        }
        for (uint32_t t = triangles.begin; t < triangles.end; ++t) {
            const uint32_t* indexes = carModel.triangles[t].vertexIndexes;
            if (std::any_of(indexes, indexes + 3, [&](uint32_t i) { return i >= count; })) {
                ++counts.skippedTriangles;
                continue;
            }
            out << "f";
            for (int k = 0; k < 3; ++k) {
                uint64_t index = written + indexes[k] + 1;
                out << " " << index << "//" << index;
            }
            out << "\n";
        }
        written += count;
        if (!out.Flush()) {
            return false;
        }
    }
    for (uint32_t d = 0; d < DummiesInUse(h); ++d) {
        out << "o dummy_" << ObjName(h.dummyNames[d], "", d) << "\n";
        out.Line("v", h.dummyPositions[d]);
        out << "p " << ++written << "\n";
    }
    return out.Flush(true);
}

} // namespace

int SaveObjPath(const char* path, ObjMesh mesh, const char* source, const char* layout,
                ObjExportCounts* counts) {
    *counts = {};
    return SaveCar(path, [&](const SaveFile& save) { return WriteObj(save, mesh, source, layout, *counts); });
}
