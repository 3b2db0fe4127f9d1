#include "obj/obj_export.h"

#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "obj/obj_conventions.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

namespace {

// Text is gathered and written once there is at least this much of it: little memory, few writes.
constexpr size_t BLOCK_SIZE = 1 << 20;
constexpr size_t LINE_ROOM = 1 << 10;
constexpr size_t MAX_WRITE = 1 << 30;
// Half the diagonal of the octahedron that stands for a dummy: small beside a car, and a power
// of two, so that its corners add up exactly to six times the dummy's position.
constexpr double DUMMY_SIZE = 0.0625;

class ObjWriter {
  public:
    ObjWriter(const SaveFile& save, ObjExportCounts& counts)
        : save_(save), counts_(counts), text_(new char[BLOCK_SIZE + LINE_ROOM]),
          spare_(new char[BLOCK_SIZE + LINE_ROOM]) {}
    ~ObjWriter() { Wait(); }
    ObjWriter(const ObjWriter&) = delete;
    ObjWriter& operator=(const ObjWriter&) = delete;

    ObjWriter& operator<<(std::string_view text) {
        if (size_ + text.size() > BLOCK_SIZE + LINE_ROOM) {
            Flush(true);
        }
        if (text.size() > BLOCK_SIZE + LINE_ROOM) {
            Write(text.data(), text.size()); // a comment of a strange length, straight through
        } else {
            std::memcpy(text_.get() + size_, text.data(), text.size());
            size_ += text.size();
        }
        return *this;
    }
    ObjWriter& operator<<(char c) {
        text_[size_++] = c;
        return *this;
    }
    ObjWriter& operator<<(uint64_t number) {
        size_ =
            size_t(std::to_chars(text_.get() + size_, text_.get() + size_ + 24, number).ptr - text_.get());
        return *this;
    }

    // The shortest text that reads back as the same double; a value that is not a number would
    // stop many readers, so it is written as 0.
    void Number(double value) {
        if (!std::isfinite(value)) {
            value = 0;
            ++counts_.replacedCoordinates;
        }
        text_[size_++] = ' ';
        size_ = size_t(std::to_chars(text_.get() + size_, text_.get() + size_ + 32, value).ptr - text_.get());
    }
    // A point or direction of the car, turned into the right-handed frame.
    void Line(const char* keyword, double x, double y, double z) {
        *this << std::string_view(keyword);
        Number(x);
        Number(y);
        Number(-z);
        text_[size_++] = '\n';
        Flush();
    }

    // Writes what was gathered once there is a block of it, or all of it when last is set. Every
    // line leaves room for the next one: each is shorter than LINE_ROOM.
    bool Flush(bool last = false) {
        if (size_ >= BLOCK_SIZE) {
            // The block is written while the next one is made: the numbers' text costs more
            // time than the writing, and the two then overlap.
            Wait();
            std::swap(text_, spare_);
            try {
                writing_ =
                    std::async(std::launch::async, [this, size = size_] { Write(spare_.get(), size); });
            } catch (const std::system_error&) {
                Write(spare_.get(), size_); // no thread to spare: written here
            }
            size_ = 0;
        }
        if (last) {
            Wait();
            Write(text_.get(), size_);
            size_ = 0;
        }
        return !failed_;
    }

  private:
    void Wait() {
        if (writing_.valid()) {
            writing_.get();
        }
    }

    void Write(const char* text, size_t size) {
        // The text of a strange name may pass what one write can take.
        for (size_t done = 0; done < size && !failed_;) {
            auto part = static_cast<uint32_t>(std::min<size_t>(size - done, MAX_WRITE));
            failed_ = !WriteFileExactly(save_.file, text + done, part);
            if (failed_) {
                NoteFailure("writing %u bytes of OBJ text failed", part);
            }
            done += part;
        }
    }

    const SaveFile& save_;
    ObjExportCounts& counts_;
    std::unique_ptr<char[]> text_, spare_; // being made, being written
    std::future<void> writing_;
    size_t size_ = 0;
    std::atomic<bool> failed_{false};
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

std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, '?');
    return text;
}

bool TriangleFits(const FceTriangle& triangle, uint32_t count) {
    return std::all_of(triangle.vertexIndexes, triangle.vertexIndexes + 3,
                       [&](uint32_t i) { return i < count; });
}

class CarWriter {
  public:
    explicit CarWriter(ObjWriter& out) : out_(out) {}

    // One object per part of the mesh, named with prefix before the part's name.
    bool Mesh(const Vec3* vertices, const Vec3* normals, const char* prefix, ObjExportCounts& counts) {
        const FceKeshHeader& h = carModel.header;
        for (uint32_t p = 0; p < PartsInUse(h); ++p) {
            TableRange vertexRange = PartVertices(h, p), triangles = PartTriangles(h, p);
            uint32_t count = vertexRange.Count();
            out_ << "o " << prefix << ObjName(h.partNames[p], "part", p) << "\n";
            const Vec3& at = h.partPositions[p];
            for (uint32_t v = vertexRange.begin; v < vertexRange.end; ++v) {
                const Vec3& c = vertices[v];
                out_.Line("v", double(at.x) + c.x, double(at.y) + c.y, double(at.z) + c.z);
            }
            for (uint32_t v = vertexRange.begin; v < vertexRange.end; ++v) {
                out_.Line("vn", normals[v].x, normals[v].y, normals[v].z);
            }
            uint64_t firstUv = uvs_;
            for (uint32_t t = triangles.begin; t < triangles.end; ++t) {
                const FceTriangle& triangle = carModel.triangles[t];
                if (!TriangleFits(triangle, count)) {
                    continue;
                }
                for (int k = 0; k < 3; ++k) {
                    // OBJ counts V up from the image's bottom, the car down from its top.
                    out_ << "vt";
                    out_.Number(triangle.u[k]);
                    out_.Number(1.0 - double(triangle.v[k]));
                    out_ << '\n';
                    out_.Flush();
                }
                uvs_ += 3;
            }
            uint64_t uv = firstUv;
            for (uint32_t t = triangles.begin; t < triangles.end; ++t) {
                const FceTriangle& triangle = carModel.triangles[t];
                if (!TriangleFits(triangle, count)) {
                    ++counts.skippedTriangles;
                    continue;
                }
                if (!started_ || triangle.flags != look_.flags || triangle.texturePage != look_.page) {
                    look_ = {triangle.flags, triangle.texturePage};
                    started_ = true;
                    out_ << "usemtl " << MaterialName(look_) << "\n";
                }
                out_ << "f";
                for (int k = 0; k < 3; ++k) {
                    uint64_t index = vertices_ + triangle.vertexIndexes[k] + 1;
                    out_ << ' ' << index << '/' << ++uv << '/' << index;
                }
                out_ << '\n';
                out_.Flush();
            }
            vertices_ += count;
            if (!out_.Flush()) {
                return false;
            }
        }
        return true;
    }

    // Each dummy as an octahedron whose centre is the dummy: editors keep objects, not points.
    void Dummies() {
        const FceKeshHeader& h = carModel.header;
        for (uint32_t d = 0; d < DummiesInUse(h); ++d) {
            char number[8];
            std::snprintf(number, sizeof number, "%02u_", d);
            out_ << "o " << DUMMY_PREFIX << number << ObjName(h.dummyNames[d], "dummy", d) << "\n";
            const Vec3& at = h.dummyPositions[d];
            for (int axis = 0; axis < 3; ++axis) {
                for (double side : {DUMMY_SIZE, -DUMMY_SIZE}) {
                    double p[3] = {at.x, at.y, at.z};
                    p[axis] += side;
                    out_.Line("v", p[0], p[1], p[2]);
                }
            }
            // Corner 2 * axis is on the + side of that axis; each face winds outward.
            for (int sx : {0, 1}) {
                for (int sy : {0, 1}) {
                    for (int sz : {0, 1}) {
                        uint64_t a = vertices_ + 1 + sx, b = vertices_ + 3 + sy, c = vertices_ + 5 + sz;
                        // In the right-handed frame z is negated: the + side of the car's z is -z.
                        bool outward = (sx + sy + (1 - sz)) % 2 == 0;
                        out_ << "f " << a << ' ' << (outward ? b : c) << ' ' << (outward ? c : b) << '\n';
                        out_.Flush();
                    }
                }
            }
            vertices_ += 6;
        }
    }

  private:
    ObjWriter& out_;
    uint64_t vertices_ = 0; // so far; faces count from 1 over the whole file
    uint64_t uvs_ = 0;
    TriangleLook look_;
    bool started_ = false;
};

bool SameMesh() {
    size_t bytes = size_t{carModel.header.vertexCount} * sizeof(Vec3);
    return std::memcmp(carModel.vertices, carModel.damagedVertices, bytes) == 0 &&
           std::memcmp(carModel.normals, carModel.damagedNormals, bytes) == 0;
}

bool WriteObj(const SaveFile& save, const std::string& materialFile, const ObjExportOptions& options,
              ObjExportCounts& counts) {
    ObjWriter out(save, counts);
    out << "# " << OneLine(options.source) << ", a " << options.layout << " file\n";
    out << "mtllib " << OneLine(materialFile) << "\n";
    CarWriter car(out);
    bool damaged = options.mesh == ObjMesh::Damaged;
    if (!car.Mesh(damaged ? carModel.damagedVertices : carModel.vertices,
                  damaged ? carModel.damagedNormals : carModel.normals, "", counts)) {
        return false;
    }
    if (options.mesh == ObjMesh::Both && !SameMesh()) {
        ObjExportCounts again; // the damaged parts skip the same triangles
        if (!car.Mesh(carModel.damagedVertices, carModel.damagedNormals, DAMAGE_PREFIX, again)) {
            return false;
        }
        counts.replacedCoordinates = again.replacedCoordinates;
    }
    car.Dummies();
    return out.Flush(true);
}

// Each (flags, page) of the triangles that the OBJ file holds, once.
std::vector<uint64_t> UsedLooks() {
    std::vector<uint64_t> looks;
    const FceKeshHeader& h = carModel.header;
    for (uint32_t p = 0; p < PartsInUse(h); ++p) {
        TableRange triangles = PartTriangles(h, p);
        for (uint32_t t = triangles.begin; t < triangles.end; ++t) {
            const FceTriangle& triangle = carModel.triangles[t];
            if (TriangleFits(triangle, PartVertices(h, p).Count())) {
                looks.push_back(uint64_t{triangle.texturePage} << 32 | triangle.flags);
            }
        }
    }
    std::sort(looks.begin(), looks.end());
    looks.erase(std::unique(looks.begin(), looks.end()), looks.end());
    return looks;
}

bool WriteMaterials(const SaveFile& save, const std::string& texture, ObjExportCounts& counts) {
    ObjWriter out(save, counts);
    std::string image = OneLine(std::filesystem::path(texture).filename().string());
    for (uint64_t look : UsedLooks()) {
        out << "newmtl " << MaterialName({static_cast<uint32_t>(look), static_cast<uint32_t>(look >> 32)})
            << "\nKd 1 1 1\n";
        if (!image.empty()) {
            out << "map_Kd " << image << "\n";
        }
        out << "\n";
    }
    return out.Flush(true);
}

} // namespace

std::string MaterialFilePath(const std::string& objPath) {
    return std::filesystem::path(objPath).replace_extension(".mtl").string();
}

int SaveObjPath(const char* path, const ObjExportOptions& options, ObjExportCounts* counts) {
    ObjExportCounts untold;
    counts = counts ? counts : &untold;
    *counts = {};
    std::string materialPath = MaterialFilePath(path);
    std::string materialFile = std::filesystem::path(materialPath).filename().string();
    FileIdentity identity;
    bool materialsWereThere = QueryFileIdentity(materialPath.c_str(), &identity);
    ObjExportCounts unused;
    // Memory for the text may run out; the save then fails as any other.
    auto guarded = [](const std::function<bool()>& write) {
        try {
            return write();
        } catch (const std::bad_alloc&) {
            NoteFailure("out of memory for the OBJ text");
            return false;
        }
    };
    if (!SaveCar(materialPath.c_str(), [&](const SaveFile& save) {
            return guarded([&] { return WriteMaterials(save, options.texture, unused); });
        })) {
        return 0;
    }
    if (!SaveCar(path, [&](const SaveFile& save) {
            return guarded([&] { return WriteObj(save, materialFile, options, *counts); });
        })) {
        // A material file that came only for this OBJ goes with it.
        if (!materialsWereThere) {
            RemoveFile(materialPath.c_str());
        }
        return 0;
    }
    return 1;
}
