#include "cli/fceconv_main.h"
#include "mainwin/name_edits.h"
#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

#include <nlohmann/json.hpp>

#include <map>
#include <sstream>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Every file of a folder with its bytes, to see that a run wrote nothing.
std::map<std::string, Bytes> FolderContents(const TempDir& dir) {
    std::map<std::string, Bytes> files;
    for (const std::string& name : FolderEntries(dir.Folder())) {
        files[name] = ReadBytes(dir.File(name));
    }
    return files;
}

class FceconvTest : public FileCommandTest {
  protected:
    Outcome Fceconv(std::vector<std::string> arguments) {
        std::ostringstream out, err;
        int status = RunFceconv(arguments, out, err);
        return {status, out.str(), err.str()};
    }
};

TEST_F(FceconvTest, HelpVersionAndUsageErrors) {
    Outcome help = Fceconv({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: fceconv info [--json] FILE...\n", 0), 0u);
    EXPECT_EQ(Fceconv({"--version"}).out, "fceconv 1.0.0\n");

    std::string car = Write(MakeVerro3(SmallCar()).Build());
    std::string out = dir.File("out.fce");
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no command given"},
        {{"--bogus"}, "unknown command --bogus"},
        {{"info"}, "info: FILE is required"},
        {{"info", "--xml", car}, "info: The following argument was not expected: --xml"},
        {{"convert", "-o", out, car}, "convert: --to is required"},
        {{"convert", "--to", "x", "-o", out, car}, "convert: --to: x not in {kesh,verro3,verro3-damaged}"},
        {{"convert", "--to"}, "convert: --to: 1 required"},
        {{"convert", "--to", "kesh", "--to=verro3", "-o", out, car},
         "convert: --to: At Most 1 required but received 2"},
        {{"convert", "--to", "kesh", car}, "convert: give either -o OUTPUT or -d DIRECTORY"},
        {{"convert", "--to", "kesh", "-o", out, "-d", "d", car}, "convert: -o excludes -d"},
        {{"convert", "--to", "kesh", "-o", out}, "convert: INPUT is required"},
        {{"convert", "--to", "kesh", "-o", out, car, car}, "convert: -o takes a single INPUT"},
        {{"convert", "--to", "kesh", "--fast", "-o", out, car},
         "convert: The following argument was not expected: --fast"},
    };
    for (const auto& [arguments, problem] : cases) {
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, 2) << problem;
        EXPECT_EQ(run.err.rfind(std::string("fceconv: ") + problem, 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: fceconv"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(FolderEntries(dir.Folder()), std::vector<std::string>{"car.fce"});
}

// A file that fails is reported and left out; the others are shown in text or in JSON.
TEST_F(FceconvTest, InfoInTextAndJson) {
    Verro3File file = MakeVerro3(SmallCar());
    // Names are bytes from the file, not always UTF-8 nor terminated; the JSON stays valid.
    std::strcpy(file.header.dummyNames[0], "\xE9t\xE9");
    std::memset(file.header.dummyNames[1], 'x', NAME_SIZE);
    std::string verro3 = Write(file.Build(), "a.fce");
    std::string broken = Write(Bytes(3, 0), "broken.fce"); // too short even for a layout mark
    std::string kesh = Write(MakeKesh(SmallCar()).Build(), "b.fce");
    const std::string failure =
        "fceconv: " + broken + ": the file is 3 bytes, shorter than the 7940-byte Verro3 header\n";
    Outcome run = Fceconv({"info", verro3, broken, kesh});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, failure);
    const std::string counts =
        "Number of triangles=7\nNumber of vertices=12\nNumber of dummies=2\nNumber of parts=3\n"
        "Number of colors=3\nParts:\n  :HB (5 vertices, 4 triangles)\n"
        "  :OD (3 vertices, 1 triangles)\n  :LB (4 vertices, 2 triangles)\nDummies:\n";
    EXPECT_EQ(run.out, verro3 + ": verro3\n" + counts + "  \xE9t\xE9\n  " + std::string(63, 'x') + "\n\n" +
                           kesh + ": kesh\n" + counts + "  HWYN5\n  TRYO324\n");

    run = Fceconv({"info", "--json", verro3, broken, kesh});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, failure);
    nlohmann::json all = nlohmann::json::parse(run.out), expected = nlohmann::json::parse(R"({
        "layout": "kesh", "triangleCount": 7, "vertexCount": 12, "dummyCount": 2, "partCount": 3,
        "colourCount": 3, "partNames": [":HB", ":OD", ":LB"], "dummyNames": ["HWYN5", "TRYO324"], "parts": [
            {"name": ":HB", "firstVertex": 0, "vertexCount": 5, "firstTriangle": 0, "triangleCount": 4},
            {"name": ":OD", "firstVertex": 5, "vertexCount": 3, "firstTriangle": 4, "triangleCount": 1},
            {"name": ":LB", "firstVertex": 8, "vertexCount": 4, "firstTriangle": 5, "triangleCount": 2}]})");
    ASSERT_EQ(all.size(), 2u) << "a file that fails has no object";
    expected["file"] = kesh;
    EXPECT_EQ(all[1], expected);
    expected["file"] = verro3;
    expected["layout"] = "verro3";
    expected["dummyNames"] = {"\xEF\xBF\xBDt\xEF\xBF\xBD", std::string(63, 'x')};
    EXPECT_EQ(all[0], expected);
    EXPECT_EQ(nlohmann::json::parse(Fceconv({"info", "--json", broken}).out), nlohmann::json::array());
}

// The bytes written are those the program writes when the user takes the same steps.
TEST_F(FceconvTest, ConvertWritesWhatTheProgramWrites) {
    std::string verro3 = Write(MakeVerro3(SmallCar()).Build(), "car.fce");
    std::string damaged = Write(MakeVerro3(SmallCar(5)).Build(), "damaged.fce");
    std::string kesh = Write(MakeKesh(SmallCar()).Build(), "kesh.fce");
    TempDir programDir;
    const struct {
        std::string to, input, damaged;
        bool defaultNames;
    } cases[] = {{"kesh", verro3, "", false},
                 {"kesh", verro3, damaged, false},
                 {"verro3", kesh, "", true},
                 {"verro3-damaged", kesh, damaged, false},
                 {"verro3", verro3, "", true}};
    int n = 0;
    for (const auto& c : cases) {
        std::string name = "out" + std::to_string(n++) + ".fce";
        std::vector<std::string> arguments = {"convert", "--to", c.to, "-o", dir.File(name), c.input};
        if (!c.damaged.empty()) {
            arguments.insert(arguments.begin() + 1, {"--damaged", c.damaged});
        }
        if (c.defaultNames) {
            arguments.insert(arguments.begin() + 1, "--default-part-names");
        }
        Outcome run = Fceconv(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.input + " -> " + dir.File(name) + "\n");

        ScriptedResponder user;
        user.Choose(c.input);
        ASSERT_EQ(c.input == kesh ? OpenKeshFile() : OpenVerro3File(), 1);
        if (!c.damaged.empty()) {
            user.Choose(c.damaged);
            ASSERT_EQ(ImportDamagedFile(), 1);
        }
        if (c.defaultNames) {
            ApplyDefaultPartNames(carModel.header); // what "Set default" does to the car
        }
        user.Choose(programDir.File(name), c.to == "verro3-damaged" ? 2 : 1);
        ASSERT_EQ(c.to == "kesh" ? SaveKeshFile() : SaveVerro3File(), 1);
        EXPECT_TRUE(user.messages.empty());
        EXPECT_EQ(ReadBytes(dir.File(name)), ReadBytes(programDir.File(name))) << name;
    }
    EXPECT_STREQ(HeaderOf<Fce3Header>(ReadBytes(dir.File("out2.fce"))).partNames[1], ":HLFW");
}

// A file that fails says why, makes the status 1 and writes nothing. Not even --force writes
// over an input, however its name is spelled, nor over what this run wrote from another input.
TEST_F(FceconvTest, FailuresWriteNothingAndSayWhy) {
    std::string input = Write(MakeVerro3(SmallCar()).Build());
    auto twoParts = [](auto& h) { h.partCount = 2; };
    std::string mismatch = Write(WithHeader<Fce3Header>(MakeVerro3(SmallCar()).Build(), twoParts), "m.fce");
    std::string kesh = Write(MakeKesh(SmallCar()).Build(), "kesh.fce");
    std::string out = dir.File("out.fce"), none = dir.File("none.fce"), existing = Write(Bytes{1}, "old.fce");
    std::string noFolder = dir.File("none") + "/out.fce";
    TempDir other, outDir;
    WriteBytes(other.File("car.fce"), MakeKesh(SmallCar(2)).Build());
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--damaged", mismatch, "-o", out, input},
         input + ": damaged file " + mismatch +
             ": its partCount 2 and vertexCount 12 differ from the car's 3 and 12"},
        {{"--damaged", kesh, "-o", out, input},
         input + ": damaged file " + kesh +
             ": its first word 0x00101014 marks a Verro:Kesh file, not a Verro3 file"},
        {{"--damaged", none, "-o", out, input},
         input + ": damaged file " + none + ": cannot be opened for reading"},
        {{"-o", existing, input}, input + ": " + existing + " exists; --force replaces it"},
        {{"-o", noFolder, input},
         input + ": cannot write " + noFolder + ": cannot create a new file in the folder of " + noFolder},
        {{"--force", "-o", input, input}, input + ": " + input + " is an input file"},
        {{"--force", "-o", dir.Folder() + "./car.fce", input},
         input + ": " + dir.Folder() + "./car.fce is an input"},
        {{"--force", "-d", dir.Folder(), input}, input + ": " + input + " is an input file"},
        {{"--force", "--damaged", kesh, "-o", kesh, input}, input + ": " + kesh + " is an input file"},
        // The first input's output is the second input.
        {{"--force", "-d", dir.Folder(), other.File("car.fce"), input},
         other.File("car.fce") + ": " + input + " is"},
        {{"--force", "-d", outDir.Folder(), input, other.File("car.fce")},
         other.File("car.fce") + ": " + outDir.File("car.fce") +
             " was already written by this run from another"},
    };
    auto before = FolderContents(dir);
    for (const auto& [options, reason] : cases) {
        std::vector<std::string> arguments = {"convert", "--to", "kesh"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("fceconv: " + reason), std::string::npos) << run.err;
        EXPECT_TRUE(FolderContents(dir) == before) << reason;
    }
    ASSERT_EQ(Fceconv({"convert", "--to", "kesh", "-o", outDir.File("alone.fce"), input}).status, 0);
    EXPECT_EQ(ReadBytes(outDir.File("car.fce")), ReadBytes(outDir.File("alone.fce"))) << "the first stays";
    EXPECT_EQ(Fceconv({"convert", "--force", "--to", "kesh", "-o", existing, input}).status, 0);
    EXPECT_EQ(ReadBytes(existing), ReadBytes(outDir.File("alone.fce")));
}

TEST_F(FceconvTest, BatchGoesOnPastABadFile) {
    TempDir in, out;
    WriteBytes(in.File("a.fce"), MakeVerro3(SmallCar()).Build());
    WriteBytes(in.File("b.fce"),
               WithHeader<Fce3Header>(MakeVerro3(SmallCar()).Build(), [](auto& h) { h.partCount = 70; }));
    WriteBytes(in.File("c.fce"), MakeKesh(SmallCar()).Build());
    // Options may follow the inputs.
    Outcome run = Fceconv({"convert", in.File("a.fce"), "--to", "kesh", in.File("b.fce"), in.File("c.fce"),
                           "-d", out.Folder(), in.File("missing.fce")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "fceconv: " + in.File("b.fce") + ": partCount 70 is above 64\nfceconv: " +
                           in.File("missing.fce") + ": cannot be opened for reading\n");
    EXPECT_EQ(FolderEntries(out.Folder()), (std::vector<std::string>{"a.fce", "c.fce"}));
    EXPECT_EQ(run.out, in.File("a.fce") + " -> " + out.File("a.fce") + "\n" + in.File("c.fce") + " -> " +
                           out.File("c.fce") + "\n");
}

} // namespace
