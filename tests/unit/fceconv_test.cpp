#include "cli/fceconv_main.h"
#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

#include <nlohmann/json.hpp>

#include <sstream>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class FceconvTest : public ::testing::Test {
  protected:
    void TearDown() override {
        ReleaseFce3Mesh();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), 0);
    }
    Outcome Fceconv(std::vector<std::string> arguments) {
        std::ostringstream out, err;
        int status = RunFceconv(arguments, out, err);
        return {status, out.str(), err.str()};
    }
    std::string Write(const Bytes& bytes, const std::string& name) {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    // The program's own steps, answered as a user would: open, import, save.
    Bytes AsTheProgramDoes(int (*open)(), const std::string& input, const std::string& damaged, int (*save)(),
                           uint32_t filterIndex, const std::string& output) {
        ScriptedResponder user;
        user.Choose(input);
        EXPECT_EQ(open(), 1);
        if (!damaged.empty()) {
            user.Choose(damaged);
            EXPECT_EQ(ImportDamagedFile(), 1);
        }
        user.Choose(output, filterIndex);
        EXPECT_EQ(save(), 1);
        EXPECT_TRUE(user.messages.empty());
        return ReadBytes(output);
    }
    TempDir dir;
};

TEST_F(FceconvTest, HelpAndVersion) {
    Outcome help = Fceconv({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: fceconv info [--json] FILE...\n", 0), 0u);
    EXPECT_NE(help.out.find("--default-part-names"), std::string::npos);
    EXPECT_EQ(help.err, "");
    Outcome version = Fceconv({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "fceconv 1.0.0\n");
}

TEST_F(FceconvTest, UsageErrorsExitWithTwoAndWriteNothing) {
    std::string car = Write(MakeVerro3(SmallCar()).Build(), "car.fce");
    std::string out = dir.File("out.fce");
    struct Case {
        std::vector<std::string> arguments;
        const char* problem;
    } cases[] = {
        {{}, "no command given"},
        {{"--bogus"}, "unknown command --bogus"},
        {{"info"}, "info: no FILE given"},
        {{"info", "--xml", car}, "info: unknown option --xml"},
        {{"convert", "-o", out, car}, "convert: --to is missing"},
        {{"convert", "--to", "verro4", "-o", out, car},
         "convert: --to must be kesh, verro3 or verro3-damaged, not verro4"},
        {{"convert", "--to"}, "convert: --to needs a value"},
        {{"convert", "--to", "kesh", "--to=verro3", "-o", out, car}, "convert: --to is given twice"},
        {{"convert", "--to", "kesh", car}, "convert: give either -o OUTPUT or -d DIRECTORY"},
        {{"convert", "--to", "kesh", "-o", out, "-d", dir.Folder(), car},
         "convert: give either -o OUTPUT or -d DIRECTORY"},
        {{"convert", "--to", "kesh", "-o", out}, "convert: no INPUT given"},
        {{"convert", "--to", "kesh", "-o", out, car, car}, "convert: -o takes a single INPUT"},
        {{"convert", "--to", "kesh", "--fast", "-o", out, car}, "convert: unknown option --fast"},
    };
    for (const Case& c : cases) {
        Outcome run = Fceconv(c.arguments);
        EXPECT_EQ(run.status, 2) << c.problem;
        EXPECT_EQ(run.err.rfind(std::string("fceconv: ") + c.problem, 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: fceconv"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(FolderEntries(dir.Folder()), std::vector<std::string>{"car.fce"});
}

TEST_F(FceconvTest, InfoPrintsLayoutCountsPartsAndDummies) {
    std::string verro3 = Write(MakeVerro3(SmallCar()).Build(), "a.fce");
    CarShape noDummies = SmallCar();
    noDummies.dummyNames.clear();
    std::string kesh = Write(MakeKesh(noDummies).Build(), "b.fce");
    Outcome run = Fceconv({"info", verro3, kesh});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{verro3 + ": verro3",
                                                        "Number of triangles=7",
                                                        "Number of vertices=12",
                                                        "Number of dummies=2",
                                                        "Number of parts=3",
                                                        "Number of colors=3",
                                                        "Parts:",
                                                        "  :HB (5 vertices, 4 triangles)",
                                                        "  :OD (3 vertices, 1 triangles)",
                                                        "  :LB (4 vertices, 2 triangles)",
                                                        "Dummies:",
                                                        "  HWYN5",
                                                        "  TRYO324",
                                                        "",
                                                        kesh + ": kesh",
                                                        "Number of triangles=7",
                                                        "Number of vertices=12",
                                                        "Number of dummies=0",
                                                        "Number of parts=3",
                                                        "Number of colors=3",
                                                        "Parts:",
                                                        "  :HB (5 vertices, 4 triangles)",
                                                        "  :OD (3 vertices, 1 triangles)",
                                                        "  :LB (4 vertices, 2 triangles)",
                                                        "Dummies:"}));
}

TEST_F(FceconvTest, InfoJsonShape) {
    std::string verro3 = Write(MakeVerro3(SmallCar()).Build(), "a.fce");
    std::string kesh = Write(MakeKesh(SmallCar()).Build(), "b.fce");
    std::string broken = Write(Bytes(10, 0), "broken.fce");
    Outcome run = Fceconv({"info", "--json", verro3, broken, kesh});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "fceconv: " + broken + ": the file is 10 bytes, shorter than the 7940-byte Verro3 header\n");
    nlohmann::json all = nlohmann::json::parse(run.out);
    ASSERT_TRUE(all.is_array());
    ASSERT_EQ(all.size(), 2u) << "a file that fails has no object";
    for (const auto& [car, file, layout] :
         {std::tuple{all[0], verro3, "verro3"}, std::tuple{all[1], kesh, "kesh"}}) {
        EXPECT_EQ(car["file"], file);
        EXPECT_EQ(car["layout"], layout);
        EXPECT_EQ(car["triangleCount"], 7);
        EXPECT_EQ(car["vertexCount"], 12);
        EXPECT_EQ(car["dummyCount"], 2);
        EXPECT_EQ(car["partCount"], 3);
        EXPECT_EQ(car["colourCount"], 3);
        EXPECT_EQ(car["partNames"], nlohmann::json({":HB", ":OD", ":LB"}));
        EXPECT_EQ(car["dummyNames"], nlohmann::json({"HWYN5", "TRYO324"}));
        ASSERT_EQ(car["parts"].size(), 3u);
        EXPECT_EQ(car["parts"][1], nlohmann::json({{"name", ":OD"},
                                                   {"firstVertex", 5},
                                                   {"vertexCount", 3},
                                                   {"firstTriangle", 4},
                                                   {"triangleCount", 1}}));
    }
    Outcome none = Fceconv({"info", "--json", broken});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(nlohmann::json::parse(none.out), nlohmann::json::array());
}

// Names are bytes from the file, not always UTF-8; the JSON stays valid.
TEST_F(FceconvTest, InfoJsonWithBytesThatAreNotUtf8) {
    Verro3File file = MakeVerro3(SmallCar());
    std::strcpy(file.header.partNames[0], "\xE9t\xE9");
    std::memset(file.header.dummyNames[1], 'x', NAME_SIZE); // no terminator in the field
    Outcome run = Fceconv({"info", "--json", Write(file.Build(), "a.fce")});
    EXPECT_EQ(run.status, 0);
    nlohmann::json car = nlohmann::json::parse(run.out)[0];
    EXPECT_EQ(car["partNames"][0], "\xEF\xBF\xBDt\xEF\xBF\xBD");
    EXPECT_EQ(car["dummyNames"][1], std::string(63, 'x'));
}

TEST_F(FceconvTest, ConvertWritesWhatTheProgramWrites) {
    CarShape shape = SmallCar();
    CarShape damagedShape = shape;
    damagedShape.seed = 5;
    std::string verro3 = Write(MakeVerro3(shape).Build(), "car.fce");
    std::string damaged = Write(MakeVerro3(damagedShape).Build(), "damaged.fce");
    std::string kesh = Write(MakeKesh(shape).Build(), "kesh.fce");
    TempDir programDir;
    struct Case {
        std::vector<std::string> options;
        int (*open)();
        std::string input;
        std::string damaged;
        int (*save)();
        uint32_t filterIndex;
    } cases[] = {
        {{"--to", "kesh"}, OpenVerro3File, verro3, "", SaveKeshFile, 1},
        {{"--to", "kesh", "--damaged", damaged}, OpenVerro3File, verro3, damaged, SaveKeshFile, 1},
        {{"--to=verro3"}, OpenKeshFile, kesh, "", SaveVerro3File, 1},
        {{"--to", "verro3-damaged"}, OpenKeshFile, kesh, "", SaveVerro3File, 2},
        {{"--to", "verro3-damaged", "--damaged", damaged}, OpenKeshFile, kesh, damaged, SaveVerro3File, 2},
        {{"--to", "verro3"}, OpenVerro3File, verro3, "", SaveVerro3File, 1},
        {{"--to", "kesh"}, OpenKeshFile, kesh, "", SaveKeshFile, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string name = "out" + std::to_string(n++) + ".fce";
        std::vector<std::string> arguments = {"convert"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.insert(arguments.end(), {"-o", dir.File(name), c.input});
        Outcome run = Fceconv(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.input + " -> " + dir.File(name) + "\n");
        Bytes expected =
            AsTheProgramDoes(c.open, c.input, c.damaged, c.save, c.filterIndex, programDir.File(name));
        EXPECT_EQ(ReadBytes(dir.File(name)), expected) << name;
    }
}

TEST_F(FceconvTest, DefaultPartNamesNameTheFirstTwelveParts) {
    CarShape shape;
    for (int p = 0; p < 14; ++p) {
        shape.partVertexCounts.push_back(3);
        shape.partTriangleCounts.push_back(1);
        shape.partNames.push_back("part " + std::to_string(p) + " with a long name to be cleared");
    }
    std::string input = Write(MakeVerro3(shape).Build(), "car.fce");
    ASSERT_EQ(
        Fceconv({"convert", "--to", "kesh", "--default-part-names", "-o", dir.File("out.fce"), input}).status,
        0);
    FceKeshHeader header = HeaderOf<FceKeshHeader>(ReadBytes(dir.File("out.fce")));
    const char* codes[] = {":HB",   ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":MB",
                           ":MLFW", ":MRFW", ":MLRW", ":MRRW", ":LB",   ":TB"};
    for (int p = 0; p < 12; ++p) {
        EXPECT_STREQ(header.partNames[p], codes[p]);
        EXPECT_TRUE(AllZero(
            ArrayBytes(header.partNames[p] + std::strlen(codes[p]), NAME_SIZE - std::strlen(codes[p]))));
    }
    EXPECT_EQ(std::string(header.partNames[12]), shape.partNames[12]);
    EXPECT_EQ(std::string(header.partNames[13]), shape.partNames[13]);
}

TEST_F(FceconvTest, DamagedFileThatDoesNotFitWritesNothing) {
    std::string input = Write(MakeVerro3(SmallCar()).Build(), "car.fce");
    CarShape other = SmallCar();
    other.partVertexCounts = {5, 3, 5};
    std::string mismatch = Write(MakeVerro3(other).Build(), "mismatch.fce");
    std::string kesh = Write(MakeKesh(SmallCar()).Build(), "kesh.fce");
    std::string out = dir.File("out.fce");
    struct Case {
        std::string damaged;
        std::string reason;
    } cases[] = {
        {mismatch, "its partCount 3 and vertexCount 13 differ from the car's 3 and 12"},
        {kesh, "its first word 0x00101014 marks a Verro:Kesh file, not a Verro3 file"},
        {dir.File("missing.fce"), "cannot be opened for reading"},
    };
    for (const Case& c : cases) {
        Outcome run = Fceconv({"convert", "--to", "kesh", "--damaged", c.damaged, "-o", out, input});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "fceconv: " + input + ": damaged file " + c.damaged + ": " + c.reason + "\n");
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(FileExists(out));
    }
}

TEST_F(FceconvTest, RefusesToOverwriteWithoutForce) {
    std::string input = Write(MakeVerro3(SmallCar()).Build(), "car.fce");
    std::string out = Write(Bytes{1, 2, 3}, "out.fce");
    Outcome run = Fceconv({"convert", "--to", "kesh", "-o", out, input});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "fceconv: " + input + ": " + out + " exists; --force replaces it\n");
    EXPECT_EQ(ReadBytes(out), (Bytes{1, 2, 3}));
    EXPECT_EQ(Fceconv({"convert", "--force", "--to", "kesh", "-o", out, input}).status, 0);
    EXPECT_EQ(ReadBytes(out).size(), 8248u + 140 * 12 + 68 * 7);
}

TEST_F(FceconvTest, NeverOverwritesAnInputEvenWithForce) {
    std::string input = Write(MakeVerro3(SmallCar()).Build(), "car.fce");
    std::string damaged = Write(MakeVerro3(SmallCar()).Build(), "damaged.fce");
    Bytes before = ReadBytes(input);
    TempDir other;
    struct Case {
        std::vector<std::string> arguments;
        std::string file;   // the input that fails
        std::string output; // the output it would have overwritten
    } cases[] = {
        {{"-o", input, input}, input, input},
        {{"-o", dir.Folder() + "." + "/car.fce", input}, input, dir.Folder() + "./car.fce"},
        {{"-d", dir.Folder(), input}, input, dir.File("car.fce")},
        {{"--damaged", damaged, "-o", damaged, input}, input, damaged},
        // The first input's output is the second input.
        {{"-d", dir.Folder(), other.File("car.fce"), input}, other.File("car.fce"), dir.File("car.fce")},
    };
    WriteBytes(other.File("car.fce"), before);
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"convert", "--force", "--to", "verro3"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("fceconv: " + c.file + ": " + c.output + " is an input file"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(ReadBytes(input), before);
        EXPECT_EQ(ReadBytes(damaged), before);
    }
}

TEST_F(FceconvTest, BatchGoesOnPastABadFile) {
    TempDir in, out;
    WriteBytes(in.File("a.fce"), MakeVerro3(SmallCar()).Build());
    Bytes broken = MakeVerro3(SmallCar()).Build();
    reinterpret_cast<Fce3Header*>(broken.data())->partCount = 70;
    WriteBytes(in.File("b.fce"), broken);
    WriteBytes(in.File("c.fce"), MakeKesh(SmallCar()).Build());
    Outcome run = Fceconv({"convert", "--to", "kesh", "-d", out.Folder(), in.File("a.fce"), in.File("b.fce"),
                           in.File("c.fce"), in.File("missing.fce")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err), (std::vector<std::string>{
                                  "fceconv: " + in.File("b.fce") + ": partCount 70 is above 64",
                                  "fceconv: " + in.File("missing.fce") + ": cannot be opened for reading"}));
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{in.File("a.fce") + " -> " + out.File("a.fce"),
                                                        in.File("c.fce") + " -> " + out.File("c.fce")}));
    EXPECT_EQ(FolderEntries(out.Folder()), (std::vector<std::string>{"a.fce", "c.fce"}));
    EXPECT_EQ(HeaderOf<FceKeshHeader>(ReadBytes(out.File("c.fce"))).reservedWord, 0x12345678u);
}

// Two inputs of the same name would land on the same output; the second is refused, also
// with --force, rather than replacing what this run wrote.
TEST_F(FceconvTest, TwoInputsOfTheSameNameInOneDirectory) {
    TempDir first, second, out;
    WriteBytes(first.File("car.fce"), MakeVerro3(SmallCar()).Build());
    WriteBytes(second.File("car.fce"), MakeKesh(SmallCar()).Build());
    Outcome run = Fceconv({"convert", "--force", "--to", "verro3", "-d", out.Folder(), first.File("car.fce"),
                           second.File("car.fce")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "fceconv: " + second.File("car.fce") + ": " + out.File("car.fce") +
                           " was already written by this run from another input\n");
}

TEST_F(FceconvTest, WriteFailureNamesTheOutput) {
    std::string input = Write(MakeVerro3(SmallCar()).Build(), "car.fce");
    std::string out = dir.File("missing-folder") + "/out.fce";
    Outcome run = Fceconv({"convert", "--to", "kesh", "-o", out, input});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "fceconv: " + input + ": cannot write " + out +
                           ": cannot create a new file in the folder of " + out + "\n");
}

TEST_F(FceconvTest, OptionsAfterInputsAndTheEndOfOptions) {
    std::string input = Write(MakeVerro3(SmallCar()).Build(), "-car.fce");
    Outcome run = Fceconv({"convert", "-o", dir.File("out.fce"), "--to", "kesh", "--", input});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(FileExists(dir.File("out.fce")));
}

} // namespace
