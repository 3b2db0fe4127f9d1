#include "cli/fceconv_main.h"
#include "model/half_sizes.h"
#include "model/kesh.h"
#include "obj/obj_library.h"
#include "tests/unit/file_test_support.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using json = nlohmann::json;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Fceconv(const std::vector<std::string>& arguments, Terminals terminals = {}) {
    std::ostringstream out, err;
    int status = RunFceconv(arguments, out, err, terminals);
    return {status, out.str(), err.str()};
}

using FceconvTest = FileCommandTest;

// A file that fails is reported and left out; the others are shown in text or in JSON. Names
// are bytes from the file, not always UTF-8 nor terminated: the JSON stays valid.
TEST_F(FceconvTest, InfoInTextAndJson) {
    Verro3File file = MakeVerro3(SmallCar());
    std::strcpy(file.header.dummyNames[0], "\xE9t\xE9");
    std::memset(file.header.dummyNames[1], 'x', NAME_SIZE);
    const std::string verro3 = Write(file.Build(), "a.fce"), broken = Write(Bytes(3, 0), "broken.fce"),
                      kesh = Write(MakeKesh(SmallCar()).Build(), "b.fce");
    Outcome run = Fceconv({"info", verro3, broken, kesh});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "fceconv: " + broken + ": the file is 3 bytes, shorter than the 7940-byte Verro3 header\n");
    const std::string counts =
        "Number of triangles=7\nNumber of vertices=12\nNumber of dummies=2\nNumber of parts=3\n"
        "Number of colors=3\nParts:\n  :HB (5 vertices, 4 triangles)\n"
        "  :OD (3 vertices, 1 triangles)\n  :LB (4 vertices, 2 triangles)\nDummies:\n";
    EXPECT_EQ(run.out, verro3 + ": verro3\n" + counts + "  \xE9t\xE9\n  " + std::string(63, 'x') + "\n\n" +
                           kesh + ": kesh\n" + counts + "  HWYN5\n  TRYO324\n");

    json all = json::parse(Fceconv({"info", "--json", verro3, broken, kesh}).out);
    ASSERT_EQ(all.size(), 2u) << "a file that fails has no object";
    EXPECT_EQ(all[0]["dummyNames"], json({"\xEF\xBF\xBDt\xEF\xBF\xBD", std::string(63, 'x')}));

    // A folder, and a pipe that no program writes to, are refused at once.
    std::vector<std::string> notFiles = {dir.Folder()};
#ifndef _WIN32
    notFiles.push_back(dir.File("pipe.fce"));
    ASSERT_EQ(mkfifo(notFiles.back().c_str(), 0600), 0);
#endif
    auto refused = std::async(std::launch::async, [&] {
        return Fceconv({"info", notFiles[0], notFiles.back()});
    });
    if (refused.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
#ifndef _WIN32
        close(open(notFiles.back().c_str(), O_WRONLY | O_NONBLOCK)); // lets the reader go
#endif
        FAIL() << "fceconv waits for a writer to the pipe";
    }
    run = refused.get();
    EXPECT_EQ(run.err, "fceconv: " + notFiles[0] +
                           ": is a folder, a pipe or a device, not a file\nfceconv: " + notFiles.back() +
                           ": is a folder, a pipe or a device, not a file\n");
}

// A usage error shows the usage. A file that fails says why and makes the status 1, and the others
// go on; inputs are known by identity, and options may follow them.
TEST_F(FceconvTest, UsageErrorsFailuresAndOutputRules) {
    std::string car = Write(MakeKesh(SmallCar()).Build()), damaged = Write(Bytes{1}, "damaged.fce");
    Bytes broken = MakeVerro3(SmallCar()).Build();
    reinterpret_cast<Fce3Header*>(broken.data())->partCount = 2;
    const std::string mismatch = Write(broken, "m.fce");
    reinterpret_cast<Fce3Header*>(broken.data())->partCount = 70;
    const std::string bad = Write(broken, "bad.fce");
    TempDir other, out, named;
    WriteBytes(other.File("car.fce"), MakeKesh(SmallCar(2)).Build());
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given"},
        {{"--bogus"}, "unknown command --bogus"},
        {{"export", "--obj", car}, "export: give either -o OUTPUT or -d DIRECTORY"},
        {{"convert", "--to", "kesh", "--force", "-o", dir.Folder() + "./car.fce", car},
         car + ": " + dir.Folder() + "./car.fce is an input file; fceconv never writes over one"},
        {{"convert", "--to", "kesh", "--force", "--damaged", damaged, "-o", damaged, car},
         car + ": " + damaged + " is an input file; fceconv never writes over one"},
        {{"convert", "--to", "kesh", "-d", out.Folder(), car, other.File("car.fce")},
         other.File("car.fce") + ": " + out.File("car.fce") +
             " was already written by this run from another input"},
        {{"convert", "--to", "kesh", "--damaged", mismatch, "-o", dir.File("out.fce"), car},
         car + ": damaged file " + mismatch +
             ": its partCount 2 and vertexCount 12 differ from the car's 3 and 12"},
        {{"convert", bad, "--to", "kesh", car, "-d", named.Folder(), "--default-part-names"},
         bad + ": partCount 70 is above 64"},
        {{"export", "--obj", "-o", out.File("x.obj"), car}, car + ": " + out.File("x.mtl") + " exists; --force replaces it"},
        {{"import", "--to", "kesh", "-o", out.File("x.fce"), other.File("empty.fce")},
         other.File("empty.fce") + ": no object has faces: there is no part to make a car of"},
    };
    std::ofstream(other.File("empty.fce")) << "o a\nv 0 0 0\n";
    std::ofstream(out.File("x.mtl")) << "newmtl mine\n";
    for (const auto& [arguments, problem] : cases) {
        Outcome run = Fceconv(arguments);
        const bool usage = problem.find(".fce: ") == std::string::npos;
        EXPECT_EQ(run.status, usage ? 2 : 1) << problem;
        EXPECT_EQ(run.err.substr(0, run.err.find("usage: ")), "fceconv: " + problem + "\n");
        EXPECT_EQ(run.err.find("\nusage: fceconv info") != std::string::npos, usage) << problem;
        EXPECT_EQ(run.out.find(problem.substr(0, problem.find(": ")) + " -> "), std::string::npos) << problem;
    }
    EXPECT_EQ(FolderEntries(dir.Folder()),
              (std::vector<std::string>{"bad.fce", "car.fce", "damaged.fce", "m.fce"}));
    const Bytes written = ReadBytes(named.File("car.fce"));
    EXPECT_STREQ(reinterpret_cast<const FceKeshHeader*>(written.data())->partNames[1], ":HLFW");
    EXPECT_EQ(Fceconv({"export", "--obj", "--force", "-o", other.File("car.fce"), car}).status, 0);
    EXPECT_EQ(ReadBytes(other.File("car.fce"))[0], '#');
    EXPECT_EQ(Fceconv({"--version"}).out, "fceconv " VERRO_VERSION "\n");
}

// On a terminal a batch rewrites one line in place and wipes it before anything else is printed. A
// Verro3 save tells what the layout left out of a Kesh car, and nothing for a car from Verro3; an
// output folder that is not there is told once.
TEST_F(FceconvTest, WhatABatchPrints) {
    TempDir out;
    std::string car = Write(MakeKesh(SmallCar()).Build(), "bb.fce"), gone = dir.File("a.fce");
    std::string failure = "fceconv: " + gone + ": cannot be opened for reading\n";
    std::string note = "fceconv: " + car +
                       ": the Verro3 layout does not hold the interior colours, the driver hair colours, the "
                       "moving vertices, the undamaged mesh and the damaged mesh; they are left out\n";
    std::vector<std::string> arguments = {"convert", "--to", "verro3", "-d", out.Folder(), car, gone};
    auto wipe = [](size_t length) { return "\r" + std::string(length, ' ') + "\r"; };
    EXPECT_EQ(Fceconv(arguments, {.out = true, .err = true}).err,
              "\r[1/2] bb.fce" + wipe(12) + note + "\r[2/2] a.fce" + wipe(11) + failure);
    EXPECT_EQ(Fceconv({"check", car, gone}, {.err = true}).err, "\r[1/2] bb.fce\r[2/2] a.fce " + wipe(11));
    EXPECT_EQ(Fceconv({"check", car}, {.err = true}).err, "") << "a single file shows no progress";
    Outcome run = Fceconv({"convert", "--to", "verro3-damaged", "--force", "-o", car, out.File("bb.fce")});
    EXPECT_EQ(run.status + run.err.size(), 0u) << run.err;
    run = Fceconv({"convert", "--to", "kesh", "-d", dir.File("none"), car, gone});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "fceconv: the folder " + dir.File("none") + " does not exist\n");
}

// Parts :HB (vertices 0-4, triangles 0-3), :OD (5-7, 4), "L B" (8-11, 5-6), "L B" (12-13), :OD,
// dummies "" and TRYO324: each fault is in a place of its own and is found there, once.
TEST_F(FceconvTest, CheckTellsEachFaultAndFailsOnErrors) {
    KeshFile f =
        MakeKesh({{5, 3, 4, 2, 0}, {4, 1, 2, 0, 0}, {":HB", ":OD", "L B", "L B", ":OD"}, {"", "TRYO324"}});
    std::memset(f.header.partNames[0], 'x', NAME_SIZE);
    f.header.dummyNames[1][1] = '\t';
    f.header.partPositions[0].y = INFINITY;
    f.header.dummyPositions[0].x = 1.5e6f;
    f.header.dummyPositions[2].x = 1.5e6f; // there is no dummy 2
    f.header.partVertexCount[1] = 4;
    f.header.partTriangleCount[2] = 1;
    reinterpret_cast<FceTriangle*>(f.tables[2].data())[1].vertexIndexes[0] = 5;
    reinterpret_cast<Vec3*>(f.tables[6].data())[2].y = -2e6f;
    std::fill(f.tables[8].begin(), f.tables[8].end(), 0);
    reinterpret_cast<Vec3*>(f.tables[9].data())[10].z = -INFINITY;
    reinterpret_cast<uint32_t*>(f.tables[11].data())[9] = 7;
    const json report = json::parse(Fceconv({"check", "--json", Write(f.Build())}).out);
    std::vector<std::string> found;
    for (const json& problem : report[0]["problems"]) {
        std::string line;
        for (const char* key : {"kind", "severity", "part", "dummy", "table", "index"}) {
            const json& value = problem[key];
            line += (line.empty() ? "" : " ") + (value.is_string() ? value.get<std::string>() : value.dump());
        }
        found.push_back(line);
    }
    EXPECT_EQ(found, (std::vector<std::string>{
                         "name-fills-field error 0 null part names 0",
                         "name-duplicate warning 3 null part names 3",
                         "driver-parts warning 4 null part names 4",
                         "name-empty warning null 0 dummy names 0",
                         "name-not-printable warning null 1 dummy names 1",
                         "position-not-finite error 0 null part positions 0",
                         "position-too-large warning null 0 dummy positions 0",
                         "ranges-overlap error 2 null vertices 8",
                         "range-hole warning null null triangles 6",
                         "vertex-index-outside-part error 0 null triangles 1",
                         "coordinate-too-large warning 0 null undamaged vertices 2",
                         "coordinate-not-finite error 2 null damaged normals 10",
                         "movement-value warning 2 null movement values 9",
                         "part-without-triangles warning 3 null null null",
                         "part-empty warning 4 null null null",
                         "damaged-mesh-zero warning null null damaged vertices null",
                         "half-sizes-small warning null null half-sizes null",
                         "colour-count-zero warning null null colours null",
                     }));
    // A Verro3 car's second and damaged geometry are copies of its one mesh: a fault is told once.
    KeshFile small = MakeKesh(SmallCar());
    Verro3File verro3 = MakeVerro3(SmallCar());
    const uint32_t safe[] = {0x3F800000, 0, 0x3E000000}; // half-sizes 1, 0 and 0.125: just safe
    std::copy(safe, safe + 3, small.header.auxValues), std::copy(safe, safe + 3, verro3.header.auxValues);
    std::string clean = Write(small.Build()), broken = Write(Bytes(10, 0), "broken.fce");
    reinterpret_cast<Vec3*>(verro3.tables[0].data())[0].x = 2e6f;
    std::string warned = Write(verro3.Build(), "warned.fce");
    Outcome run = Fceconv({"check", clean, warned, broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(responder.messages.empty()) << "no message of the file code reaches a window";
    EXPECT_EQ(Fceconv({"check", clean, warned}).status, 0);
    const std::string reason = "the file is 10 bytes, shorter than the 7940-byte Verro3 header";
    const std::string warning =
        "warning: part 0 \":HB\": vertex 0 has a coordinate beyond 1e6 (1 of the part's vertices)";
    EXPECT_EQ(run.out, warned + ": " + warning + "\n" + broken + ": error: " + reason +
                           "\n3 files checked: 1 with errors, 1 with warnings only\n");
    json unreadable = {{"kind", "unreadable"}, {"severity", "error"}, {"part", nullptr},  {"dummy", nullptr},
                       {"table", nullptr},     {"index", nullptr},    {"message", reason}};
    json all = json::parse(Fceconv({"check", "--json", clean, broken}).out);
    EXPECT_EQ(all[1], json({{"file", broken}, {"layout", nullptr}, {"problems", {unreadable}}}));
}

// The body's box where the car places it: the part ":HB", else every part; nothing, no box.
// Then each limit of the danger just crossed, and just kept; NaN is never safe.
TEST_F(FceconvTest, HalfSizesFromTheBodyAndTheirDanger) {
    KeshFile car = MakeKesh(SmallCar());
    const HalfSizes body{0.25f, -0.0625f, 0.25f}, all{1.6875f, -0.0625f, 1.6875f}, none{0, 0, 0};
    for (const HalfSizes& expected : {body, all, none}) {
        ASSERT_EQ(OpenKeshPath(Write(car.Build()).c_str()), 1);
        const HalfSizes h = BodyHalfSizes(carModel);
        EXPECT_EQ(std::vector<float>({h.x, h.y, h.z}),
                  std::vector<float>({expected.x, expected.y, expected.z}));
        std::strcpy(car.header.partNames[0], ":HBX");
        car.header.partCount = expected.x == body.x ? 3 : 0;
    }
    const struct {
        HalfSizes h;
        std::string danger;
    } cases[] = {
        {{0.001f, 0, 100}, ""},
        {{1, 0, 0.000999f}, "the half-sizes (x 1, y 0, z 0.000999) are below 0.001 across or along the car"},
        {{NAN, 1, 1}, "the half-sizes (x nan, y 1, z 1) are below 0.001 across or along the car"},
        {{0.25f, 0, 0.399f}, "the half-sizes (x 0.25, y 0, z 0.399) give a box under 0.1 (x times z)"},
        {{0.25f, 0, 0.4f}, ""},
        {{1, -0.0001f, 1}, "the half-sizes (x 1, y -0.0001, z 1) have y below 0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HalfSizesDanger(c.h), c.danger.empty() ? "" : c.danger + ": the game may crash");
    }
}

// A triangle outside its part is left out and told; whichever system call fails on the way, the
// export writes both files whole or neither.
TEST_F(FceconvTest, ExportWritesAllOrNothing) {
    KeshFile car = MakeKesh({{5, 30000, 4}, {4, 20000, 2}, {"high body", "", ":LB"}, {"HWYN5"}});
    auto* triangles = reinterpret_cast<FceTriangle*>(car.tables[2].data());
    triangles[car.header.partFirstTriangle[2]].vertexIndexes[2] = 4; // part 2 (":LB") has 4 vertices
    std::string input = Write(car.Build());
    std::filesystem::create_directory(dir.File("whole"));
    Outcome run = Fceconv({"export", "--obj", "-o", dir.File("whole/x.obj"), input});
    EXPECT_EQ(run.err,
              "fceconv: " + input + ": triangles skipped for a vertex index outside their part: 1\n");
    tinyobj::ObjReader reader; // the text passes several blocks: each block in its place
    ASSERT_TRUE(reader.ParseFromFile(dir.File("whole/x.obj")));
    EXPECT_EQ(reader.GetShapes()[0].name, "high_body");
    EXPECT_EQ(reader.GetAttrib().vertices.size(), 3u * (2 * 30009 + 6)); // both meshes, 1 dummy
    for (int64_t n = 0; n == 0 || PlantedFailureHappened(); ++n) {
        std::filesystem::remove(dir.File("x.obj"));
        std::filesystem::remove(dir.File("x.mtl"));
        FailSystemCallAfter(n); // the failure, once it happens, is the only one
        run = Fceconv({"export", "--obj", "-o", dir.File("x.obj"), input});
        for (std::string name : {"x.obj", "x.mtl"}) {
            Bytes written = std::filesystem::exists(dir.File(name)) ? ReadBytes(dir.File(name)) : Bytes{};
            EXPECT_EQ(written, run.status == 0 ? ReadBytes(dir.File("whole/" + name)) : Bytes{}) << n << name;
        }
    }
    FailSystemCallAfter(-1);
}

// Each row changes one thing in a copy of the car and names the lines that tell it, no more.
// Vertices count where the car places them: a part whose origin moved and whose vertices moved
// back differs only in its position. A NaN on both sides is no difference.
TEST_F(FceconvTest, DiffTellsEachDifferenceOnce) {
    KeshFile base = MakeKesh(SmallCar());
    reinterpret_cast<Vec3*>(base.tables[9].data())[0].x = NAN;
    const std::string a = Write(base.Build(), "a.fce");
    auto vertex = [](KeshFile& f, int table, size_t i) -> Vec3& {
        return reinterpret_cast<Vec3*>(f.tables[table].data())[i];
    };
    auto triangle = [](KeshFile& f, size_t i) -> FceTriangle& {
        return reinterpret_cast<FceTriangle*>(f.tables[2].data())[i];
    };
    const struct {
        std::function<void(KeshFile&)> change;
        std::string lines;
    } cases[] = {
        {[](KeshFile&) {}, ""},
        {[](KeshFile& f) { std::strcpy(f.header.partNames[1], ":OX"); },
         "part \":OD\" is only in A (3 vertices, 1 triangle)\npart \":OX\" is only in B (3 vertices, 1 "
         "triangle)\n"},
        {[](KeshFile& f) { std::strcpy(f.header.partNames[2], ":HB"); },
         "part \":LB\" is only in A (4 vertices, 2 triangles)\n"
         "part \":HB\" (number 2 of that name) is only in B (4 vertices, 2 triangles)\n"},
        {[&](KeshFile& f) {
             f.header.partPositions[2].x += 0.5f;
             for (int table : {0, 6, 8}) {
                 for (size_t i = 8; i < 12; ++i) {
                     vertex(f, table, i).x -= 0.5f;
                 }
             }
         },
         "part \":LB\": position (2, 1, -2) in A, (2.5, 1, -2) in B\n"},
        {[](KeshFile& f) { f.header.partVertexCount[2] = 3; }, "part \":LB\": 4 vertices in A, 3 in B\n"},
        {[](KeshFile& f) { f.header.partTriangleCount[2] = 1; }, "part \":LB\": 2 triangles in A, 1 in B\n"},
        {[&](KeshFile& f) {
             vertex(f, 0, 8).x += 0.75f, vertex(f, 0, 9).x += 0.75f, vertex(f, 0, 9).y += 1;
             vertex(f, 1, 0).x = 0.5f;
         },
         "part \":HB\": normals differ: 1 of 5, the largest by 0.5\n"
         "part \":LB\": vertices moved: 2 of 4, the largest by 1.25\n"},
        {[&](KeshFile& f) {
             for (int table : {6, 7, 8, 9}) {
                 vertex(f, table, 5).z = 3;
             }
         },
         "part \":OD\": undamaged vertices moved: 1 of 3, the largest by 3.65625\n"
         "part \":OD\": undamaged normals differ: 1 of 3, the largest by 2.0625\n"
         "part \":OD\": damaged vertices moved: 1 of 3, the largest by 3.65625\n"
         "part \":OD\": damaged normals differ: 1 of 3, the largest by 2.0625\n"},
        {[](KeshFile& f) { reinterpret_cast<uint32_t*>(f.tables[11].data())[6] ^= 4; },
         "part \":OD\": the movement values of 1 of 3 vertices differ\n"},
        {[&](KeshFile& f) {
             triangle(f, 0).vertexIndexes[0] = 4, triangle(f, 1).v[2] = 42, triangle(f, 4).flags ^= 0x20;
             triangle(f, 5).texturePage = 7, triangle(f, 6).reserved[11] ^= 1;
         },
         "part \":HB\": the corners (vertex indexes) differ in 1 of 4 triangles\n"
         "part \":HB\": U/V differ in 1 of 4 triangles\n"
         "part \":OD\": the flags differ in 1 of 1 triangles\n"
         "part \":LB\": the texture pages differ in 1 of 2 triangles\n"
         "part \":LB\": the 12 reserved bytes differ in 1 of 2 triangles\n"},
        {[](KeshFile& f) {
             std::strcpy(f.header.dummyNames[1], "TRYO325"), f.header.dummyPositions[0].z = -1;
             f.header.dummyCount = 3, std::strcpy(f.header.dummyNames[2], "X");
         },
         "dummy 0 \"HWYN5\": position (0.5, 1, 0) in A, (0.5, 1, -1) in B\n"
         "dummy 1: named \"TRYO324\" in A, \"TRYO325\" in B\ndummy 2 \"X\" is only in B\n"},
        {[](KeshFile& f) { f.header.colourCount = 2, f.header.secondaryColours[0].hue ^= 1; },
         "colourCount 3 in A, 2 in B\nsecondary colours: 1 of 2 entries differ\n"},
        {[](KeshFile& f) {
             f.header.reservedWord = 0, f.header.artCount = 1, f.header.auxValues[1] = 0x3F000000;
             f.header.reservedArea2[527] = 0;
         },
         "reservedWord 0x12345678 in A, 0x00000000 in B\nartCount 3 in A, 1 in B\n"
         "half-sizes (auxValues) (1, -6.2598534e+18, 1e-44) in A, (1, 0.5, 1e-44) in B\n"
         "reservedArea2: 1 of 528 bytes differ\n"},
    };
    for (const auto& c : cases) {
        KeshFile changed = base;
        c.change(changed);
        const std::string b = Write(changed.Build(), "b.fce");
        Outcome run = Fceconv({"diff", a, b});
        EXPECT_EQ(run.out, c.lines);
        EXPECT_EQ(run.status, c.lines.empty() ? 0 : 1) << c.lines;
        const json report = json::parse(Fceconv({"diff", "--json", a, b}).out);
        std::string messages;
        for (const json& difference : report["differences"]) {
            messages += difference["message"].get<std::string>() + "\n";
        }
        EXPECT_EQ(messages, c.lines);
        EXPECT_EQ(report["same"], c.lines.empty());
    }
    // One difference in full; an unreadable file ends the run with status 2 and its reason.
    KeshFile changed = base;
    vertex(changed, 0, 9).x += 0.25f;
    const json report = json::parse(Fceconv({"diff", "--json", a, Write(changed.Build(), "b.fce")}).out);
    EXPECT_FALSE(CarModelIsLoaded()) << "both cars are released";
    EXPECT_EQ(report["differences"][0],
              json({{"kind", "vertices-moved"},
                    {"part", ":LB"},
                    {"count", 1},
                    {"largest", 0.25},
                    {"message", "part \":LB\": vertices moved: 1 of 4, the largest by 0.25"}}));
    Outcome broken = Fceconv({"diff", a, Write(Bytes(10, 0), "broken.fce")});
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.err, "fceconv: " + dir.File("broken.fce") +
                              ": the file is 10 bytes, shorter than the 7940-byte Verro3 header\n");
    EXPECT_EQ(Fceconv({"diff", dir.File("none.fce"), a}).status, 2);
}

} // namespace
