#include "cli/fceconv_main.h"
#include "mainwin/name_edits.h"
#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <sstream>

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Fceconv(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    int status = RunFceconv(arguments, out, err);
    return {status, out.str(), err.str()};
}

using FceconvTest = FileCommandTest;

TEST_F(FceconvTest, HelpVersionAndNoCommand) {
    const Outcome help = Fceconv({"--help"}), none = Fceconv({}), unknown = Fceconv({"--bogus"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("fceconv convert --to"), std::string::npos);
    EXPECT_EQ(Fceconv({"--version"}).out, "fceconv " VERRO_VERSION "\n");
    EXPECT_EQ(none.status + unknown.status, 4);
    EXPECT_EQ(none.err.rfind("fceconv: no command given\n", 0), 0u);
    EXPECT_EQ(unknown.err.rfind("fceconv: unknown command --bogus\n", 0), 0u);
}

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

    nlohmann::json all = nlohmann::json::parse(Fceconv({"info", "--json", verro3, broken, kesh}).out);
    ASSERT_EQ(all.size(), 2u) << "a file that fails has no object";
    EXPECT_EQ(all[0]["dummyNames"], nlohmann::json({"\xEF\xBF\xBDt\xEF\xBF\xBD", std::string(63, 'x')}));
    EXPECT_EQ(all[1]["file"], kesh);
    EXPECT_EQ(all[1]["layout"], "kesh");
    EXPECT_EQ(all[1]["parts"][1], nlohmann::json::parse(R"({"name": ":OD", "firstVertex": 5, "vertexCount": 3,
        "firstTriangle": 4, "triangleCount": 1})"));
}

// The bytes written are those the program writes when the user takes the same steps: open,
// "Import damaged...", "Set default", save.
TEST_F(FceconvTest, ConvertWritesWhatTheProgramWrites) {
    const std::string verro3 = Write(MakeVerro3(SmallCar()).Build(), "car.fce"),
                      damaged = Write(MakeVerro3(SmallCar(5)).Build(), "damaged.fce"),
                      kesh = Write(MakeKesh(SmallCar()).Build(), "kesh.fce");
    for (auto [to, input, withDamaged] :
         {std::tuple{"kesh", verro3, true}, {"verro3", kesh, false}, {"verro3-damaged", kesh, true}}) {
        const std::string output = dir.File(std::string("out-") + to + ".fce"),
                          expected = dir.File("expected.fce");
        std::vector<std::string> arguments = {"convert", "--to", to,   "--default-part-names",
                                              "-o",      output, input};
        if (withDamaged) {
            arguments.insert(arguments.begin() + 1, {"--damaged", damaged});
        }
        Outcome run = Fceconv(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, input + " -> " + output + "\n");

        ScriptedResponder user; // fceconv took the place of the fixture's
        user.Choose(input);
        ASSERT_EQ(input == kesh ? OpenKeshFile() : OpenVerro3File(), 1);
        if (withDamaged) {
            user.Choose(damaged);
            ASSERT_EQ(ImportDamagedFile(), 1);
        }
        ApplyDefaultPartNames(carModel.header);
        user.Choose(expected, std::string(to) == "verro3-damaged" ? 2 : 1);
        ASSERT_EQ(std::string(to) == "kesh" ? SaveKeshFile() : SaveVerro3File(), 1);
        EXPECT_EQ(ReadBytes(output), ReadBytes(expected)) << to;
    }
}

// Every name the program writes is cut to 63 characters, so that the field ends in a NUL.
TEST(NameFieldTest, LongNamesAreCutTo63) {
    FceKeshHeader header{};
    header.partCount = 1;
    ASSERT_TRUE(RenamePart(header, 0, std::string(70, 'n').c_str()));
    EXPECT_EQ(std::string(header.partNames[0], NAME_SIZE), std::string(63, 'n') + std::string(1, '\0'));
}

// A file that fails says why and makes the status 1, and the others go on; options may follow
// the inputs.
TEST_F(FceconvTest, FailuresSayWhyAndTheBatchGoesOn) {
    const std::string input = Write(MakeVerro3(SmallCar()).Build());
    Bytes broken = MakeVerro3(SmallCar()).Build();
    reinterpret_cast<Fce3Header*>(broken.data())->partCount = 2;
    const std::string mismatch = Write(broken, "m.fce"), existing = Write(Bytes{1}, "old.fce");
    Outcome run =
        Fceconv({"convert", "--to", "kesh", "--damaged", mismatch, "-o", dir.File("out.fce"), input});
    EXPECT_EQ(run.err, "fceconv: " + input + ": damaged file " + mismatch +
                           ": its partCount 2 and vertexCount 12 differ from the car's 3 and 12\n");
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "m.fce", "old.fce"}));

    reinterpret_cast<Fce3Header*>(broken.data())->partCount = 70;
    const std::string bad = Write(broken, "bad.fce"), missing = dir.File("missing.fce");
    TempDir out;
    run = Fceconv({"convert", input, "--to", "kesh", bad, "-d", out.Folder(), missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "fceconv: " + bad + ": partCount 70 is above 64\nfceconv: " + missing +
                           ": cannot be opened for reading\n");
    EXPECT_EQ(run.out, input + " -> " + out.File("car.fce") + "\n");
    EXPECT_TRUE(HasKeshMark(out.File("car.fce").c_str()));
}

} // namespace
