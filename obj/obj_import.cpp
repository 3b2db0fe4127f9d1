#include "obj/obj_import.h"

#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "model/half_sizes.h"
#include "model/kesh.h"
#include "model/open_either.h"
#include "model/verro3.h"
#include "obj/obj_conventions.h"
#include "obj/obj_library.h"
#include "platform/platform.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <istream>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

constexpr uint32_t NONE = UINT32_MAX;
constexpr size_t MAX_READ = 1 << 30;

struct Corner {
    uint32_t v, vt, vn; // NONE where the face gives none
};

struct ObjTriangle {
    Corner corners[3];
    uint32_t material; // NONE before any usemtl
};

// An object or group of the file, with every face given while it was the current one.
struct ObjObject {
    std::string name;
    std::vector<ObjTriangle> triangles;
    uint32_t firstVertex = NONE; // the v lines given while it was current, for a helper without faces
    uint32_t endVertex = 0;
};

// The file's text, lent to the library as a stream. The library reads numbers only roughly (a
// coordinate may come back a few units in the last place off), so the lines of numbers that it
// reports are read again here, exactly, from the text it has just taken.
class TextBuffer : public std::streambuf {
  public:
    TextBuffer(char* begin, char* end) { setg(begin, begin, end); }

    std::string_view LastLine() const {
        const char* end = gptr();
        if (end > eback() && end[-1] == '\n') {
            --end;
        }
        if (end > eback() && end[-1] == '\r') {
            --end;
        }
        const char* begin = end;
        while (begin > eback() && begin[-1] != '\n' && begin[-1] != '\r') {
            --begin;
        }
        return {begin, size_t(end - begin)};
    }

    size_t LastLineNumber() const {
        return size_t(std::count(static_cast<const char*>(eback()), LastLine().data(), '\n')) + 1;
    }
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// Up to most numbers after the line's keyword, read exactly; how many there were, or -1 when one
// of them is not a finite number.
int ReadNumbers(std::string_view line, double* numbers, int most) {
    size_t at = 0;
    auto skip = [&](bool blank) {
        while (at < line.size() && IsBlank(line[at]) == blank) {
            ++at;
        }
    };
    skip(true);
    skip(false); // the keyword
    int count = 0;
    for (skip(true); at < line.size() && count < most; skip(true)) {
        size_t begin = at;
        skip(false);
        std::string_view word = line.substr(begin, at - begin);
        if (word.size() > 1 && word[0] == '+' && word[1] != '-') {
            word.remove_prefix(1);
        }
        auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), numbers[count]);
        if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(numbers[count])) {
            return -1;
        }
        ++count;
    }
    return count;
}

// What the library reports, gathered.
struct ObjText {
    const TextBuffer* text = nullptr;
    std::vector<double> positions; // x, y, z as the file has them
    std::vector<float> normals;    // x, y, z as the file has them
    std::vector<float> uvs;        // U, V as the car has them
    std::vector<std::string> materials;
    std::unordered_map<std::string, uint32_t> materialIndexes;
    uint32_t material = NONE;
    std::vector<ObjObject> objects;
    std::unordered_map<std::string, uint32_t> objectIndexes;
    uint32_t current = NONE;
    std::string error;           // the first problem
    std::vector<Corner> corners; // of the face being read

    ObjObject& Current() {
        if (current == NONE) {
            Select("");
        }
        return objects[current];
    }
    void Select(const std::string& name) {
        auto [at, added] = objectIndexes.emplace(name, static_cast<uint32_t>(objects.size()));
        if (added) {
            objects.push_back({name, {}});
        }
        current = at->second;
    }
    void Fail(const std::string& problem) {
        if (error.empty()) {
            error = "object \"" + Current().name + "\", line " + std::to_string(text->LastLineNumber()) +
                    ": " + problem;
        }
    }
    // The numbers of the line just reported; false (and the reason noted) when they are wrong.
    bool Numbers(double* numbers, int least, int most) {
        int count = ReadNumbers(text->LastLine(), numbers, most);
        if (count < least) {
            Fail(count < 0 ? "a coordinate that is not a number" : "too few coordinates");
            return false;
        }
        std::fill(numbers + count, numbers + most, 0.0);
        return true;
    }
};

void OnVertex(void* data, double, double, double, double) {
    ObjText& obj = *static_cast<ObjText*>(data);
    double p[3];
    if (!obj.Numbers(p, 3, 3)) {
        std::fill(p, p + 3, 0.0);
    }
    auto index = static_cast<uint32_t>(obj.positions.size() / 3);
    ObjObject& object = obj.Current();
    if (object.firstVertex == NONE) {
        object.firstVertex = index;
    }
    object.endVertex = index + 1;
    obj.positions.insert(obj.positions.end(), p, p + 3);
}

void OnNormal(void* data, double, double, double) {
    ObjText& obj = *static_cast<ObjText*>(data);
    double n[3];
    if (!obj.Numbers(n, 3, 3)) {
        std::fill(n, n + 3, 0.0);
    }
    for (double c : n) {
        obj.normals.push_back(float(c));
        if (!std::isfinite(obj.normals.back())) {
            obj.Fail("a normal beyond what a car file holds");
        }
    }
}

void OnUv(void* data, double, double, double) {
    ObjText& obj = *static_cast<ObjText*>(data);
    double uv[2];
    if (!obj.Numbers(uv, 1, 2)) {
        std::fill(uv, uv + 2, 0.0);
    }
    // OBJ counts V up from the image's bottom, the car down from its top.
    obj.uvs.push_back(float(uv[0]));
    obj.uvs.push_back(float(1.0 - uv[1]));
    if (!std::isfinite(obj.uvs.end()[-2]) || !std::isfinite(obj.uvs.back())) {
        obj.Fail("a texture coordinate beyond what a car file holds");
    }
}

// An index of the file (from 1, or back from the last when negative) into a list of size
// entries; NONE for an index left out (0), false for one outside the list.
bool Resolve(int raw, size_t size, uint32_t* index) {
    int64_t at = raw > 0 ? int64_t{raw} - 1 : int64_t(size) + raw;
    *index = raw == 0 ? NONE : static_cast<uint32_t>(at);
    return raw == 0 || (at >= 0 && at < int64_t(size));
}

void OnFace(void* data, tinyobj::index_t* indices, int count) {
    ObjText& obj = *static_cast<ObjText*>(data);
    ObjObject& object = obj.Current();
    if (count < 3) {
        obj.Fail("a face with fewer than three corners");
        return;
    }
    std::vector<Corner>& corners = obj.corners;
    corners.resize(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        Corner& c = corners[size_t(k)];
        if (!Resolve(indices[k].vertex_index, obj.positions.size() / 3, &c.v) || c.v == NONE ||
            !Resolve(indices[k].texcoord_index, obj.uvs.size() / 2, &c.vt) ||
            !Resolve(indices[k].normal_index, obj.normals.size() / 3, &c.vn)) {
            obj.Fail("a face refers to a vertex, texture coordinate or normal that is not there");
            return;
        }
    }
    // A fan from the first corner keeps the order of the corners, and so the face's winding.
    for (size_t k = 1; k + 1 < corners.size(); ++k) {
        object.triangles.push_back({{corners[0], corners[k], corners[k + 1]}, obj.material});
    }
}

void OnMaterial(void* data, const char* name, int) {
    ObjText& obj = *static_cast<ObjText*>(data);
    std::string trimmed = Trimmed(name);
    auto [at, added] = obj.materialIndexes.emplace(trimmed, static_cast<uint32_t>(obj.materials.size()));
    if (added) {
        obj.materials.push_back(trimmed);
    }
    obj.material = at->second;
}

void OnGroup(void* data, const char** names, int count) {
    std::string name;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            name += ' ';
        }
        name += names[k];
    }
    static_cast<ObjText*>(data)->Select(Trimmed(name));
}

void OnObject(void* data, const char* name) {
    static_cast<ObjText*>(data)->Select(Trimmed(name));
}

// The material files are not read: the names in usemtl carry all a car takes from them. A
// missing one is only told.
class MaterialCheck : public tinyobj::MaterialReader {
  public:
    explicit MaterialCheck(std::filesystem::path folder) : folder_(std::move(folder)) {}
    bool operator()(const std::string& name, std::vector<tinyobj::material_t>*, std::map<std::string, int>*,
                    std::string*, std::string*) override {
        FileHandle file = OpenFileForReading((folder_ / Trimmed(name)).string().c_str());
        if (file) {
            CloseFileHandle(file);
        } else {
            missing.push_back(Trimmed(name));
        }
        return file != nullptr;
    }
    std::vector<std::string> missing;

  private:
    std::filesystem::path folder_;
};

bool ReadObjText(const char* path, ObjText& obj, std::vector<std::string>* warnings) {
    FileHandle file = OpenCarFile(path);
    if (!file) {
        return false;
    }
    uint64_t size = 0;
    std::unique_ptr<char[]> text;
    bool read = QueryFileSize(file, &size) && size < SIZE_MAX && (text.reset(new char[size]), true);
    for (uint64_t done = 0; read && done < size;) {
        auto part = static_cast<uint32_t>(std::min<uint64_t>(size - done, MAX_READ));
        read = ReadFileExactly(file, text.get() + done, part);
        done += part;
    }
    CloseFileHandle(file);
    if (!read) {
        NoteFailure("cannot be read");
        return false;
    }
    // Room for every line of each kind, counted first, so that the lists never grow by copying.
    size_t lines[3] = {};
    for (const char *at = text.get(), *end = at + size; at < end;) {
        while (at < end && IsBlank(*at)) {
            ++at;
        }
        if (end - at > 2 && at[0] == 'v') {
            ++lines[at[1] == 'n' ? 1 : at[1] == 't' ? 2 : 0];
        }
        const char* next = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
        at = next ? next + 1 : end;
    }
    obj.positions.reserve(3 * lines[0]);
    obj.normals.reserve(3 * lines[1]);
    obj.uvs.reserve(2 * lines[2]);

    TextBuffer buffer(text.get(), text.get() + size);
    std::istream stream(&buffer);
    obj.text = &buffer;
    tinyobj::callback_t callbacks;
    callbacks.vertex_cb = OnVertex;
    callbacks.normal_cb = OnNormal;
    callbacks.texcoord_cb = OnUv;
    callbacks.index_cb = OnFace;
    callbacks.usemtl_cb = OnMaterial;
    callbacks.group_cb = OnGroup;
    callbacks.object_cb = OnObject;
    MaterialCheck materials(std::filesystem::path(path).parent_path());
    tinyobj::LoadObjWithCallback(stream, callbacks, &obj, &materials, nullptr, nullptr);
    obj.text = nullptr;
    if (!obj.error.empty()) {
        NoteFailure("%s", obj.error.c_str());
        return false;
    }
    for (const std::string& name : materials.missing) {
        warnings->push_back("the material file " + name +
                            " is missing; the material names still give the flags and pages");
    }
    return true;
}

// What a base car gives: its header, movement values and triangles.
struct BaseCar {
    FceKeshHeader header{};
    std::vector<uint32_t> movement;
    std::vector<FceTriangle> triangles;

    // The base's part of that name, or NONE.
    uint32_t Part(const std::string& name) const {
        for (uint32_t p = 0; p < PartsInUse(header); ++p) {
            if (std::string(header.partNames[p], strnlen(header.partNames[p], NAME_SIZE)) == name) {
                return p;
            }
        }
        return NONE;
    }
};

// Reads the base car without disturbing the loaded one, and without a message shown.
bool ReadBase(const std::string& path, BaseCar& base) {
    CarModel kept = carModel;
    Fce3Mesh keptMesh = fce3Mesh;
    std::string keptPath = carFilePath;
    std::memset(&carModel, 0, sizeof carModel);
    std::memset(&fce3Mesh, 0, sizeof fce3Mesh);
    const PlatformResponder* shown = CurrentResponder();
    PlatformResponder silent{shown ? shown->answerFileDialog : nullptr, [](const char*) {}};
    InstallResponder(&silent);
    bool opened = OpenEitherLayoutPath(path.c_str()) == 1;
    InstallResponder(shown);
    std::string reason = LastFailureReason();
    try {
        if (opened) {
            base.header = carModel.header;
            base.movement.assign(carModel.movementFlags,
                                 carModel.movementFlags + carModel.header.vertexCount);
            base.triangles.assign(carModel.triangles, carModel.triangles + carModel.header.triangleCount);
        }
    } catch (const std::bad_alloc&) {
        opened = false;
        reason = "out of memory";
    }
    ReleaseFce3Mesh();
    ReleaseCarModel();
    carModel = kept;
    fce3Mesh = keptMesh;
    if (!keptPath.empty()) {
        NoteCarFileName(keptPath.c_str());
    }
    if (!opened) {
        ClearFailureReason();
        NoteFailure("the base car %s: %s", path.c_str(), reason.c_str());
    }
    return opened;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The name after a helper's prefix and its number: "DUMMY_03_HFLO" gives "HFLO".
std::string AfterNumber(const std::string& rest) {
    size_t digits = 0;
    while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) {
        ++digits;
    }
    return digits > 0 && digits < rest.size() && rest[digits] == '_' ? rest.substr(digits + 1) : rest;
}

std::string Quoted(const std::string& name) {
    return "object \"" + name + "\"";
}

struct Point {
    double x, y, z; // in the car's frame
};

class CarBuilder {
  public:
    CarBuilder(const ObjText& obj, const BaseCar* base, bool keepOrigin)
        : obj_(obj), base_(base), keepOrigin_(keepOrigin) {}
    ~CarBuilder() { Free(built_); }

    bool Build();
    // The car built; the builder no longer owns it.
    CarModel Take() {
        CarModel model = built_;
        built_ = {};
        return model;
    }

  private:
    struct Part {
        const ObjObject* object = nullptr;
        const ObjObject* damaged = nullptr;
        const ObjObject* position = nullptr;
        std::vector<const ObjObject*> animated;
        std::vector<uint64_t> keys, damagedKeys; // (v, vn) of each vertex, in their order
    };

    static void Free(CarModel& model) {
        for (void* array :
             {static_cast<void*>(model.vertices), static_cast<void*>(model.normals),
              static_cast<void*>(model.triangles), static_cast<void*>(model.undamagedVertices),
              static_cast<void*>(model.undamagedNormals), static_cast<void*>(model.damagedVertices),
              static_cast<void*>(model.damagedNormals), static_cast<void*>(model.movementFlags),
              static_cast<void*>(model.zeroBlock)}) {
            FreeZeroed(array);
        }
        model = {};
    }

    Point At(uint32_t v) const {
        const double* p = &obj_.positions[size_t{v} * 3];
        return {p[0], p[1], -p[2]};
    }
    std::vector<uint32_t> HelperPoints(const ObjObject& object) const;
    bool Centroid(const ObjObject& object, Point* centre) const;
    bool Classify();
    bool Sort(Part& part);
    bool Allocate();
    bool FillPart(uint32_t p, const Part& part);
    void FillMesh(const ObjObject& object, const std::vector<uint64_t>& keys, const Vec3& at, Vec3* vertices,
                  Vec3* normals) const;
    void FillHeader();

    const ObjText& obj_;
    const BaseCar* base_;
    bool keepOrigin_;
    std::vector<Part> parts_;
    std::vector<std::pair<std::string, Point>> dummies_;
    std::vector<TriangleLook> looks_;
    uint64_t vertexCount_ = 0, triangleCount_ = 0;
    CarModel built_{};
};

std::vector<uint32_t> CarBuilder::HelperPoints(const ObjObject& object) const {
    std::vector<uint32_t> points;
    for (const ObjTriangle& t : object.triangles) {
        for (const Corner& c : t.corners) {
            points.push_back(c.v);
        }
    }
    if (points.empty() && object.firstVertex != NONE) {
        for (uint32_t v = object.firstVertex; v < object.endVertex; ++v) {
            points.push_back(v);
        }
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

bool CarBuilder::Centroid(const ObjObject& object, Point* centre) const {
    std::vector<uint32_t> points = HelperPoints(object);
    if (points.empty()) {
        NoteFailure("%s: a helper without vertices", Quoted(object.name).c_str());
        return false;
    }
    Point sum{0, 0, 0};
    for (uint32_t v : points) {
        Point p = At(v);
        sum = {sum.x + p.x, sum.y + p.y, sum.z + p.z};
    }
    double n = double(points.size());
    *centre = {sum.x / n, sum.y / n, sum.z / n};
    if (!std::isfinite(float(centre->x)) || !std::isfinite(float(centre->y)) ||
        !std::isfinite(float(centre->z))) {
        NoteFailure("%s: its centre lies farther than a car file can hold", Quoted(object.name).c_str());
        return false;
    }
    return true;
}

bool CarBuilder::Classify() {
    std::unordered_map<std::string, size_t> partIndexes;
    for (const ObjObject& object : obj_.objects) {
        const std::string& name = object.name;
        bool helper = StartsWith(name, DAMAGE_PREFIX) || StartsWith(name, POSITION_PREFIX) ||
                      StartsWith(name, DUMMY_PREFIX) || StartsWith(name, ANIMATED_PREFIX);
        if (helper || object.triangles.empty()) {
            continue;
        }
        if (name.size() >= NAME_SIZE) {
            NoteFailure("%s: a part's name holds at most %u bytes", Quoted(name).c_str(), NAME_SIZE - 1);
            return false;
        }
        if (parts_.size() == MAX_PARTS) {
            NoteFailure("%s: a car holds at most %u parts", Quoted(name).c_str(), MAX_PARTS);
            return false;
        }
        partIndexes.emplace(name, parts_.size());
        parts_.emplace_back().object = &object;
    }
    if (parts_.empty()) {
        NoteFailure("no object has faces: there is no part to make a car of");
        return false;
    }
    for (const ObjObject& object : obj_.objects) {
        const std::string& name = object.name;
        auto part = [&](const char* prefix, std::string target) -> Part* {
            auto at = partIndexes.find(target);
            if (at == partIndexes.end()) {
                NoteFailure("%s: there is no part \"%s\" for this %s", Quoted(name).c_str(), target.c_str(),
                            prefix);
                return nullptr;
            }
            return &parts_[at->second];
        };
        if (StartsWith(name, DAMAGE_PREFIX)) {
            Part* p = part("damaged mesh", name.substr(std::strlen(DAMAGE_PREFIX)));
            if (!p) {
                return false;
            }
            p->damaged = &object;
        } else if (StartsWith(name, POSITION_PREFIX)) {
            Part* p = part("position", name.substr(std::strlen(POSITION_PREFIX)));
            if (!p) {
                return false;
            }
            p->position = &object;
        } else if (StartsWith(name, ANIMATED_PREFIX)) {
            Part* p = part("box of moving vertices", AfterNumber(name.substr(std::strlen(ANIMATED_PREFIX))));
            if (!p) {
                return false;
            }
            p->animated.push_back(&object);
        } else if (StartsWith(name, DUMMY_PREFIX)) {
            std::string dummy = AfterNumber(name.substr(std::strlen(DUMMY_PREFIX)));
            Point centre;
            if (dummy.size() >= NAME_SIZE) {
                NoteFailure("%s: a dummy's name holds at most %u bytes", Quoted(name).c_str(), NAME_SIZE - 1);
                return false;
            }
            if (dummies_.size() == MAX_DUMMIES) {
                NoteFailure("%s: a car holds at most %u dummies", Quoted(name).c_str(), MAX_DUMMIES);
                return false;
            }
            if (!Centroid(object, &centre)) {
                return false;
            }
            dummies_.emplace_back(dummy, centre);
        }
    }
    return true;
}

std::vector<uint64_t> VertexKeys(const ObjObject& object) {
    std::vector<uint64_t> keys;
    keys.reserve(object.triangles.size() * 3);
    for (const ObjTriangle& t : object.triangles) {
        for (const Corner& c : t.corners) {
            keys.push_back(uint64_t{c.v} << 32 | c.vn);
        }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// A part's vertices are those its faces use, in the file's order; one used with two normals
// becomes two, since the car keeps one normal per vertex.
bool CarBuilder::Sort(Part& part) {
    part.keys = VertexKeys(*part.object);
    if (part.damaged) {
        part.damagedKeys = VertexKeys(*part.damaged);
        if (part.damagedKeys.size() != part.keys.size()) {
            NoteFailure("%s: %zu vertices, where the part \"%s\" has %zu", Quoted(part.damaged->name).c_str(),
                        part.damagedKeys.size(), part.object->name.c_str(), part.keys.size());
            return false;
        }
    }
    vertexCount_ += part.keys.size();
    triangleCount_ += part.object->triangles.size();
    return true;
}

bool CarBuilder::Allocate() {
    FceKeshHeader& h = built_.header;
    uint32_t sizes[KESH_TABLE_COUNT];
    h.vertexCount = static_cast<uint32_t>(vertexCount_);
    h.triangleCount = static_cast<uint32_t>(triangleCount_);
    if (vertexCount_ > UINT32_MAX || triangleCount_ > UINT32_MAX || !KeshTableSizes(h, sizes)) {
        NoteFailure("%llu vertices and %llu triangles are more than a car file holds",
                    static_cast<unsigned long long>(vertexCount_),
                    static_cast<unsigned long long>(triangleCount_));
        return false;
    }
    const uint64_t v = vertexCount_;
    void** arrays[] = {reinterpret_cast<void**>(&built_.vertices),
                       reinterpret_cast<void**>(&built_.normals),
                       reinterpret_cast<void**>(&built_.undamagedVertices),
                       reinterpret_cast<void**>(&built_.undamagedNormals),
                       reinterpret_cast<void**>(&built_.damagedVertices),
                       reinterpret_cast<void**>(&built_.damagedNormals)};
    for (void** array : arrays) {
        *array = AllocateZeroed(v * sizeof(Vec3));
    }
    built_.triangles = static_cast<FceTriangle*>(AllocateZeroed(triangleCount_ * sizeof(FceTriangle)));
    built_.movementFlags = static_cast<uint32_t*>(AllocateZeroed(v * sizeof(uint32_t)));
    built_.zeroBlock = static_cast<uint8_t*>(AllocateZeroed(v * 32));
    if (!built_.vertices || !built_.normals || !built_.triangles || !built_.undamagedVertices ||
        !built_.undamagedNormals || !built_.damagedVertices || !built_.damagedNormals ||
        !built_.movementFlags || !built_.zeroBlock) {
        NoteFailure("out of memory for a car of %llu vertices", static_cast<unsigned long long>(v));
        return false;
    }
    return true;
}

void CarBuilder::FillMesh(const ObjObject& object, const std::vector<uint64_t>& keys, const Vec3& at,
                          Vec3* vertices, Vec3* normals) const {
    bool computed = false;
    for (size_t i = 0; i < keys.size(); ++i) {
        auto v = static_cast<uint32_t>(keys[i] >> 32), vn = static_cast<uint32_t>(keys[i]);
        Point p = At(v);
        vertices[i] = {float(p.x - at.x), float(p.y - at.y), float(p.z - at.z)};
        if (vn != NONE) {
            const float* n = &obj_.normals[size_t{vn} * 3];
            normals[i] = {n[0], n[1], -n[2]};
        }
        computed = computed || vn == NONE;
    }
    if (!computed) {
        return;
    }
    // Each face adds its normal, as long as twice its area, to its corners that lack one.
    std::vector<double> sums(keys.size() * 3, 0.0);
    for (const ObjTriangle& t : object.triangles) {
        Point a = At(t.corners[0].v), b = At(t.corners[1].v), c = At(t.corners[2].v);
        // The car's frame is left-handed: the turn that points out here is the other one.
        double e[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, f[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        double n[3] = {-(e[1] * f[2] - e[2] * f[1]), -(e[2] * f[0] - e[0] * f[2]),
                       -(e[0] * f[1] - e[1] * f[0])};
        for (const Corner& corner : t.corners) {
            if (corner.vn == NONE) {
                size_t i =
                    size_t(std::lower_bound(keys.begin(), keys.end(), uint64_t{corner.v} << 32 | NONE) -
                           keys.begin());
                for (int k = 0; k < 3; ++k) {
                    sums[i * 3 + size_t(k)] += n[k];
                }
            }
        }
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        if (static_cast<uint32_t>(keys[i]) == NONE) {
            const double* s = &sums[i * 3];
            double length = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
            normals[i] = length > 0 ? Vec3{float(s[0] / length), float(s[1] / length), float(s[2] / length)}
                                    : Vec3{0, 0, 0};
        }
    }
}

bool CarBuilder::FillPart(uint32_t p, const Part& part) {
    FceKeshHeader& h = built_.header;
    const std::string& name = part.object->name;
    const uint32_t first = h.partFirstVertex[p], count = h.partVertexCount[p];
    const uint32_t baseIndex = base_ ? base_->Part(name) : NONE;
    Point centre{0, 0, 0};
    if (part.position) {
        if (!Centroid(*part.position, &centre)) {
            return false;
        }
        h.partPositions[p] = {float(centre.x), float(centre.y), float(centre.z)};
    } else if (baseIndex != NONE) {
        h.partPositions[p] = base_->header.partPositions[baseIndex];
    } else if (!keepOrigin_) {
        uint32_t distinct = 0;
        for (size_t i = 0; i < part.keys.size(); ++i) {
            if (i == 0 || part.keys[i] >> 32 != part.keys[i - 1] >> 32) {
                Point at = At(static_cast<uint32_t>(part.keys[i] >> 32));
                centre = {centre.x + at.x, centre.y + at.y, centre.z + at.z};
                ++distinct;
            }
        }
        h.partPositions[p] = {float(centre.x / distinct), float(centre.y / distinct),
                              float(centre.z / distinct)};
    }
    const Vec3& at = h.partPositions[p];
    FillMesh(*part.object, part.keys, at, built_.vertices + first, built_.normals + first);
    if (part.damaged) {
        FillMesh(*part.damaged, part.damagedKeys, at, built_.damagedVertices + first,
                 built_.damagedNormals + first);
    } else {
        std::copy_n(built_.vertices + first, count, built_.damagedVertices + first);
        std::copy_n(built_.normals + first, count, built_.damagedNormals + first);
    }
    for (uint32_t i = first; i < first + count; ++i) {
        const Vec3* both[] = {&built_.vertices[i], &built_.damagedVertices[i]};
        for (const Vec3* v : both) {
            if (!std::isfinite(v->x) || !std::isfinite(v->y) || !std::isfinite(v->z)) {
                NoteFailure("%s: a vertex lies farther than a car file can hold", Quoted(name).c_str());
                return false;
            }
        }
    }

    // Moving vertices: inside a box, or as the base has them, or none.
    uint32_t* movement = built_.movementFlags + first;
    std::fill_n(movement, count, MovementFixed);
    if (!part.animated.empty()) {
        for (const ObjObject* box : part.animated) {
            Point low{INFINITY, INFINITY, INFINITY}, high{-INFINITY, -INFINITY, -INFINITY};
            for (uint32_t v : HelperPoints(*box)) {
                Point c = At(v);
                low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
                high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
            }
            for (uint32_t i = 0; i < count; ++i) {
                Point c = At(static_cast<uint32_t>(part.keys[i] >> 32));
                if (c.x >= low.x && c.x <= high.x && c.y >= low.y && c.y <= high.y && c.z >= low.z &&
                    c.z <= high.z) {
                    movement[i] = MovementMoving;
                }
            }
        }
    } else if (baseIndex != NONE && base_->header.partVertexCount[baseIndex] == count) {
        std::copy_n(base_->movement.begin() + base_->header.partFirstVertex[baseIndex], count, movement);
    }

    // The triangles, with the bytes real cars hold after the indexes, or the base's.
    const std::vector<ObjTriangle>& triangles = part.object->triangles;
    const FceTriangle* reserved =
        baseIndex != NONE && base_->header.partTriangleCount[baseIndex] == triangles.size()
            ? base_->triangles.data() + base_->header.partFirstTriangle[baseIndex]
            : nullptr;
    FceTriangle* out = built_.triangles + h.partFirstTriangle[p];
    for (size_t t = 0; t < triangles.size(); ++t) {
        const ObjTriangle& in = triangles[t];
        FceTriangle& triangle = out[t];
        TriangleLook look = in.material == NONE ? TriangleLook{} : looks_[in.material];
        triangle.texturePage = look.page;
        triangle.flags = look.flags;
        if (reserved) {
            std::memcpy(triangle.reserved, reserved[t].reserved, sizeof triangle.reserved);
        } else {
            for (size_t k = 0; k < sizeof triangle.reserved; k += 2) {
                triangle.reserved[k] = 0x00;
                triangle.reserved[k + 1] = 0xFF;
            }
        }
        for (int k = 0; k < 3; ++k) {
            const Corner& c = in.corners[k];
            triangle.vertexIndexes[k] = static_cast<uint32_t>(
                std::lower_bound(part.keys.begin(), part.keys.end(), uint64_t{c.v} << 32 | c.vn) -
                part.keys.begin());
            triangle.u[k] = c.vt == NONE ? 0.0f : obj_.uvs[size_t{c.vt} * 2];
            triangle.v[k] = c.vt == NONE ? 0.0f : obj_.uvs[size_t{c.vt} * 2 + 1];
        }
    }
    return true;
}

void CarBuilder::FillHeader() {
    FceKeshHeader& h = built_.header;
    h.version = KESH_VERSION;
    h.artCount = 1;
    if (base_) {
        const FceKeshHeader& b = base_->header;
        h.reservedWord = b.reservedWord;
        h.artCount = b.artCount;
        h.colourCount = b.colourCount;
        std::memcpy(h.primaryColours, b.primaryColours, sizeof h.primaryColours);
        std::memcpy(h.interiorColours, b.interiorColours, sizeof h.interiorColours);
        std::memcpy(h.secondaryColours, b.secondaryColours, sizeof h.secondaryColours);
        std::memcpy(h.driverHairColours, b.driverHairColours, sizeof h.driverHairColours);
        std::memcpy(h.reservedArea1, b.reservedArea1, sizeof h.reservedArea1);
        std::memcpy(h.reservedArea2, b.reservedArea2, sizeof h.reservedArea2);
        if (dummies_.empty()) {
            h.dummyCount = b.dummyCount;
            std::memcpy(h.dummyPositions, b.dummyPositions, sizeof h.dummyPositions);
            std::memcpy(h.dummyNames, b.dummyNames, sizeof h.dummyNames);
        }
    }
    if (!dummies_.empty()) {
        h.dummyCount = static_cast<uint32_t>(dummies_.size());
        for (size_t d = 0; d < dummies_.size(); ++d) {
            const auto& [name, at] = dummies_[d];
            h.dummyPositions[d] = {float(at.x), float(at.y), float(at.z)};
            std::memcpy(h.dummyNames[d], name.data(), name.size());
        }
    }
    h.partCount = static_cast<uint32_t>(parts_.size());
    uint32_t vertices = 0, triangles = 0;
    for (size_t p = 0; p < parts_.size(); ++p) {
        const Part& part = parts_[p];
        h.partFirstVertex[p] = vertices;
        h.partVertexCount[p] = static_cast<uint32_t>(part.keys.size());
        h.partFirstTriangle[p] = triangles;
        h.partTriangleCount[p] = static_cast<uint32_t>(part.object->triangles.size());
        std::memcpy(h.partNames[p], part.object->name.data(), part.object->name.size());
        vertices += h.partVertexCount[p];
        triangles += h.partTriangleCount[p];
    }
}

bool CarBuilder::Build() {
    if (!Classify()) {
        return false;
    }
    for (Part& part : parts_) {
        if (!Sort(part)) {
            return false;
        }
    }
    for (const std::string& name : obj_.materials) {
        looks_.push_back(ReadMaterialName(name));
    }
    if (!Allocate()) {
        return false;
    }
    FillHeader();
    for (uint32_t p = 0; p < parts_.size(); ++p) {
        if (!FillPart(p, parts_[p])) {
            return false;
        }
    }
    // The undamaged mesh is the normal one, as a Verro3 open makes it.
    size_t bytes = size_t{built_.header.vertexCount} * sizeof(Vec3);
    std::memcpy(built_.undamagedVertices, built_.vertices, bytes);
    std::memcpy(built_.undamagedNormals, built_.normals, bytes);
    // An edited car gets the box it now has, whatever the base had.
    StoreHalfSizes(built_.header, BodyHalfSizes(built_));
    return true;
}

bool BuildCar(const char* path, const ObjImportOptions& options, std::vector<std::string>* warnings) {
    ObjText obj;
    if (!ReadObjText(path, obj, warnings)) {
        return false;
    }
    BaseCar base;
    if (!options.base.empty() && !ReadBase(options.base, base)) {
        return false;
    }
    CarBuilder builder(obj, options.base.empty() ? nullptr : &base, options.keepOrigin);
    if (!builder.Build()) {
        return false;
    }
    ReleaseFce3Mesh();
    ReleaseCarModel();
    carModel = builder.Take();
    NoteCarFileName(path);
    return true;
}

} // namespace

int OpenObjPath(const char* path, const ObjImportOptions& options, std::vector<std::string>* warnings) {
    ClearFailureReason();
    std::vector<std::string> ignored;
    try {
        return BuildCar(path, options, warnings ? warnings : &ignored) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        NoteFailure("out of memory");
        return 0;
    }
}

bool IsObjPath(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".obj";
}
