#include "cli/fceconv_main.h"
#include "tests/unit/file_test_support.h"

#include <nlohmann/json.hpp>

#include <array>
#include <fstream>
#include <sstream>

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Fceconv(const std::vector<std::string>& arguments, Terminals terminals = {}) {
    std::ostringstream out, err;
    int status = RunFceconv(arguments, out, err, terminals);
    return {status, out.str(), err.str()};
}

// What a 3D program takes from an OBJ file: objects by name, positions, normals and faces.
struct Obj {
    std::vector<std::string> objects;
    std::vector<std::array<float, 3>> positions, normals;
    std::vector<std::array<int, 3>> faces;
    bool operator==(const Obj&) const = default;
};

Obj ReadObj(const std::string& path) {
    Obj obj;
    std::ifstream file(path);
    std::string line, keyword, corner;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        words >> keyword;
        if (keyword == "o") {
            words >> obj.objects.emplace_back();
        } else if (keyword == "v" || keyword == "vn") {
            auto& p = (keyword == "v" ? obj.positions : obj.normals).emplace_back();
            words >> p[0] >> p[1] >> p[2];
        } else if (keyword == "f") {
            for (int& index : obj.faces.emplace_back()) {
                words >> corner;
                index = std::stoi(corner);
            }
        }
    }
    return obj;
}

class FceconvCommandsTest : public FileCommandTest {
  protected:
    std::string Car(const std::string& name) { return Write(MakeKesh(SmallCar()).Build(), name); }
};

// Outputs are told from inputs by what they are, not how they are spelled.
TEST_F(FceconvCommandsTest, OutputRulesAndFailures) {
    std::string car = Car("car.fce"), damaged = Write(MakeVerro3(SmallCar()).Build(), "damaged.fce");
    std::string existing = Write(Bytes{1}, "old.fce");
    TempDir other, out;
    WriteBytes(other.File("car.fce"), MakeKesh(SmallCar(2)).Build());
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"convert", "--to", "kesh", "--force", "-o", dir.Folder() + "./car.fce", car},
         car + ": " + dir.Folder() + "./car.fce is an input file; fceconv never writes over one"},
        {{"convert", "--to", "kesh", "--force", "--damaged", damaged, "-o", damaged, car},
         car + ": " + damaged + " is an input file; fceconv never writes over one"},
        {{"convert", "--to", "kesh", "-d", out.Folder(), car, other.File("car.fce")},
         other.File("car.fce") + ": " + out.File("car.fce") +
             " was already written by this run from another input"},
        {{"export", "--obj", "-o", existing, car}, car + ": " + existing + " exists; --force replaces it"},
        {{"export", "--obj", "--force", "-o", existing, car}, ""},
    };
    for (const auto& [arguments, refusal] : cases) {
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, refusal.empty() ? 0 : 1) << refusal;
        EXPECT_EQ(run.err, refusal.empty() ? "" : "fceconv: " + refusal + "\n");
    }
    EXPECT_EQ(ReadBytes(existing)[0], '#');
}

// On a terminal a batch shows one line that it rewrites in place and wipes at the end and
// before anything else is printed on that terminal; failures keep their own lines.
TEST_F(FceconvCommandsTest, ProgressOnlyOnATerminal) {
    TempDir out;
    std::string gone = dir.File("a.fce"), failure = "fceconv: " + gone + ": cannot be opened for reading\n";
    std::vector<std::string> arguments = {"convert",    "--to",        "verro3", "-d",
                                          out.Folder(), Car("bb.fce"), gone};
    auto wipe = [](size_t length) { return "\r" + std::string(length, ' ') + "\r"; };
    EXPECT_EQ(Fceconv(arguments, {.out = true, .err = true}).err,
              "\r[1/2] bb.fce" + wipe(12) + "\r[2/2] a.fce" + wipe(11) + failure);
    arguments.insert(arguments.begin() + 1, "--force");
    EXPECT_EQ(Fceconv(arguments, {.err = true}).err, "\r[1/2] bb.fce\r[2/2] a.fce " + wipe(11) + failure);
    EXPECT_EQ(Fceconv({"check", "-q", dir.File("bb.fce"), gone}, {.err = true}).err, "");
    EXPECT_EQ(Fceconv({"check", dir.File("bb.fce")}, {.err = true}).err, "")
        << "a single file shows no progress";
}

// A Verro3 car's second and damaged geometry are copies of its one mesh, so a fault in it is
// told once; a Kesh car's damaged mesh is its own.
TEST_F(FceconvCommandsTest, CheckStatusAndJson) {
    std::string clean = Car("clean.fce"), broken = Write(Bytes(10, 0), "broken.fce");
    KeshFile kesh = MakeKesh(SmallCar());
    std::fill(kesh.tables[8].begin(), kesh.tables[8].end(), 0);
    std::string warned = Write(kesh.Build(), "warned.fce");
    Verro3File verro3 = MakeVerro3(SmallCar());
    std::fill_n(verro3.tables[0].begin(), 4, 0xFF); // vertex 0: x is not a number
    std::string faulty = Write(verro3.Build(), "faulty.fce");
    Outcome run = Fceconv({"check", clean, warned, faulty, broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(responder.messages.empty()) << "no message of the file code reaches a window";
    EXPECT_EQ(Fceconv({"check", clean, warned}).status, 0);
    const std::string reason = "the file is 10 bytes, shorter than the 7940-byte Verro3 header";
    EXPECT_EQ(run.out,
              warned + ": warning: every damaged vertex is (0, 0, 0): the damaged car was never imported\n" +
                  faulty +
                  ": error: part 0 \":HB\": vertex 0 has a coordinate that is not a number "
                  "or infinite (1 of the part's vertices)\n" +
                  broken + ": error: " + reason + "\n4 files checked: 2 with errors, 1 with warnings only\n");
    nlohmann::json unreadable = {{"kind", "unreadable"}, {"severity", "error"}, {"part", nullptr},
                                 {"dummy", nullptr},     {"table", nullptr},    {"index", nullptr},
                                 {"message", reason}};
    EXPECT_EQ(
        nlohmann::json::parse(Fceconv({"check", "--json", clean, broken}).out),
        nlohmann::json::array({{{"file", clean}, {"layout", "kesh"}, {"problems", nlohmann::json::array()}},
                               {{"file", broken}, {"layout", nullptr}, {"problems", {unreadable}}}}));
}

TEST_F(FceconvCommandsTest, UsageErrorsOfEachCommand) {
    std::string car = Car("car.fce");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"check", "--fast", car}, "check: The following argument was not expected: --fast"},
        {{"export", "--obj", "-o", "x.obj", car, "--mesh"},
         "export: --mesh: 1 required MESH:{normal,damaged} missing"},
        {{"export", "--obj", car}, "export: give either -o OUTPUT or -d DIRECTORY"},
    };
    for (const auto& [arguments, problem] : cases) {
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, 2) << problem;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "fceconv: " + problem);
        EXPECT_NE(run.err.find("\nusage: fceconv info"), std::string::npos);
    }
    EXPECT_NE(Fceconv({"export", "--help"}).out.find("Usage: fceconv export [OPTIONS] INPUT..."),
              std::string::npos);
}

// Each part is an object at part position + vertex, its faces counted over the whole file, the
// large one written in several blocks; a triangle outside its part is left out and told.
TEST_F(FceconvCommandsTest, ExportReadsBackAsTheCarPlacesIt) {
    CarShape shape = SmallCar();
    shape.partVertexCounts[1] = 30000;
    shape.partTriangleCounts[1] = 20000;
    KeshFile car = MakeKesh(shape);
    const FceKeshHeader& h = car.header;
    const uint32_t bad = h.partFirstTriangle[2];
    std::strcpy(car.header.partNames[0], "high body\xE9");
    std::memset(car.header.partNames[1], 0, NAME_SIZE);
    auto* triangles = reinterpret_cast<FceTriangle*>(car.tables[2].data());
    triangles[bad].vertexIndexes[2] = 4; // part 2 has 4 vertices
    std::string input = Write(car.Build());
    for (std::string mesh : {"normal", "damaged"}) {
        Outcome run = Fceconv({"export", "--obj", "--mesh", mesh, "-o", dir.File(mesh), input});
        EXPECT_EQ(run.err,
                  "fceconv: " + input + ": triangles skipped for a vertex index outside their part: 1\n");
        const auto* vertices = reinterpret_cast<const Vec3*>(car.tables[mesh == "normal" ? 0 : 8].data());
        const auto* normalsIn = reinterpret_cast<const Vec3*>(car.tables[mesh == "normal" ? 1 : 9].data());
        Obj expected{{"high_body_", "part1", ":LB", "dummy_HWYN5", "dummy_TRYO324"}, {}, {}, {}};
        for (uint32_t p = 0; p < h.partCount; ++p) {
            const Vec3& at = h.partPositions[p];
            for (uint32_t v = h.partFirstVertex[p]; v < h.partFirstVertex[p] + h.partVertexCount[p]; ++v) {
                expected.positions.push_back(
                    {at.x + vertices[v].x, at.y + vertices[v].y, at.z + vertices[v].z});
                expected.normals.push_back({normalsIn[v].x, normalsIn[v].y, normalsIn[v].z});
            }
            for (uint32_t t = h.partFirstTriangle[p]; t < h.partFirstTriangle[p] + h.partTriangleCount[p];
                 ++t) {
                const uint32_t* i = triangles[t].vertexIndexes;
                int first = int(h.partFirstVertex[p]) + 1; // the parts lie back to back, as in the file
                if (t != bad) {
                    expected.faces.push_back({first + int(i[0]), first + int(i[1]), first + int(i[2])});
                }
            }
        }
        for (const Vec3& dummy : {h.dummyPositions[0], h.dummyPositions[1]}) {
            expected.positions.push_back({dummy.x, dummy.y, dummy.z});
        }
        EXPECT_EQ(ReadObj(dir.File(mesh)), expected) << mesh;
    }
    // Whichever system call fails on the way, the export writes the whole file or nothing.
    const std::string output = dir.File("x.obj");
    for (int64_t n = 0;; ++n) {
        std::filesystem::remove(output);
        FailSystemCallAfter(n); // the failure, once it happens, is the only one
        Outcome run = Fceconv({"export", "--obj", "-o", output, input});
        if (!PlantedFailureHappened()) {
            break;
        }
        EXPECT_EQ(std::filesystem::exists(output) ? ReadBytes(output) : Bytes{},
                  run.status == 0 ? ReadBytes(dir.File("normal")) : Bytes{})
            << n;
        EXPECT_EQ(run.out.empty(), run.status != 0) << n;
    }
    FailSystemCallAfter(-1);
}

} // namespace
