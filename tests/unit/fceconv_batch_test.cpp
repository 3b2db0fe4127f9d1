#include "cli/fceconv_main.h"
#include "tests/unit/file_test_support.h"

#include <nlohmann/json.hpp>

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

class FceconvBatchTest : public FileCommandTest {
  protected:
    std::string Car(const std::string& name) { return Write(MakeKesh(SmallCar()).Build(), name); }
};

// Outputs are told from inputs by what they are, not how they are spelled. A refused or
// failed file says why and writes nothing.
TEST_F(FceconvBatchTest, OutputRulesAndFailures) {
    std::string car = Car("car.fce"), damaged = Write(MakeVerro3(SmallCar()).Build(), "damaged.fce");
    std::string existing = Write(Bytes{1}, "old.fce"), noFolder = dir.File("none/x.obj");
    TempDir other, out;
    WriteBytes(other.File("car.fce"), MakeKesh(SmallCar(2)).Build());
    // The reason of each refusal; none when the output is written.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"convert", "--to", "kesh", "--force", "-o", dir.Folder() + "./car.fce", car},
         car + ": " + dir.Folder() + "./car.fce is an input file; fceconv never writes over one"},
        {{"convert", "--to", "kesh", "--force", "--damaged", damaged, "-o", damaged, car},
         car + ": " + damaged + " is an input file; fceconv never writes over one"},
        {{"convert", "--to", "kesh", "-d", out.Folder(), car, other.File("car.fce")},
         other.File("car.fce") + ": " + out.File("car.fce") +
             " was already written by this run from another input"},
        {{"export", "--obj", "-o", existing, car}, car + ": " + existing + " exists; --force replaces it"},
        {{"export", "--obj", "-d", out.Folder(), dir.File("no.fce")},
         dir.File("no.fce") + ": cannot be opened for reading"},
        {{"export", "--obj", "-o", noFolder, car},
         car + ": cannot write " + noFolder + ": cannot create a new file in the folder of " + noFolder},
        {{"export", "--obj", "--force", "-o", existing, car}, ""},
    };
    for (const auto& [arguments, refusal] : cases) {
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, refusal.empty() ? 0 : 1) << refusal;
        EXPECT_EQ(run.err, refusal.empty() ? "" : "fceconv: " + refusal + "\n");
        if (!refusal.empty()) {
            EXPECT_EQ(run.out.find(refusal.substr(0, refusal.find(": ")) + " -> "), std::string::npos);
        }
    }
    EXPECT_EQ(ReadBytes(car), MakeKesh(SmallCar()).Build());
    EXPECT_EQ(ReadBytes(existing)[0], '#');
    ASSERT_EQ(Fceconv({"convert", "--to", "kesh", "-o", dir.File("alone.fce"), car}).status, 0);
    EXPECT_EQ(ReadBytes(out.File("car.fce")), ReadBytes(dir.File("alone.fce"))) << "the first output stays";
}

// On a terminal a batch shows one line that it rewrites in place and wipes at the end and
// before anything else is printed on that terminal; failures keep their own lines.
TEST_F(FceconvBatchTest, ProgressOnlyOnATerminal) {
    TempDir out;
    std::string missing = dir.File("bb.fce"),
                failure = "fceconv: " + missing + ": cannot be opened for reading\n";
    std::vector<std::string> arguments = {"convert", "--to",       "verro3",     "--force",
                                          "-d",      out.Folder(), Car("a.fce"), missing};
    auto wipe = [](size_t length) { return "\r" + std::string(length, ' ') + "\r"; };
    EXPECT_EQ(Fceconv(arguments, {.out = true, .err = true}).err,
              "\r[1/2] a.fce" + wipe(11) + "\r[2/2] bb.fce" + wipe(12) + failure);
    EXPECT_EQ(Fceconv(arguments, {.err = true}).err, "\r[1/2] a.fce\r[2/2] bb.fce" + wipe(12) + failure);
    EXPECT_EQ(Fceconv(arguments, {.out = true}).err, failure);
    arguments.push_back("--quiet");
    EXPECT_EQ(Fceconv(arguments, {.err = true}).err, failure);
    EXPECT_EQ(Fceconv({"check", Car("bb.fce"), dir.File("a.fce")}, {.err = true}).err,
              "\r[1/2] bb.fce\r[2/2] a.fce " + wipe(11));
    EXPECT_EQ(Fceconv({"check", "-q", dir.File("a.fce"), dir.File("bb.fce")}, {.err = true}).err, "");
    EXPECT_EQ(Fceconv({"check", dir.File("a.fce")}, {.err = true}).err, "")
        << "a single file shows no progress";
}

TEST_F(FceconvBatchTest, CheckStatusAndJson) {
    std::string clean = Car("clean.fce"), broken = Write(Bytes(10, 0), "broken.fce");
    KeshFile file = MakeKesh(SmallCar());
    file.header.colourCount = 0;
    std::string warned = Write(file.Build(), "warned.fce");
    Outcome run = Fceconv({"check", clean, warned, broken});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(responder.messages.empty()) << "no message of the file code reaches a window";
    EXPECT_EQ(Fceconv({"check", clean, warned}).status, 0);
    const std::string reason = "the file is 10 bytes, shorter than the 7940-byte Verro3 header";
    EXPECT_EQ(run.out, warned + ": warning: colourCount is 0: the car has no colour to be painted in\n" +
                           broken + ": error: " + reason +
                           "\n3 files checked: 1 with errors, 1 with warnings only\n");
    nlohmann::json unreadable = {{"kind", "unreadable"}, {"severity", "error"}, {"part", nullptr},
                                 {"dummy", nullptr},     {"table", nullptr},    {"index", nullptr},
                                 {"message", reason}};
    EXPECT_EQ(
        nlohmann::json::parse(Fceconv({"check", "--json", clean, broken}).out),
        nlohmann::json::array({{{"file", clean}, {"layout", "kesh"}, {"problems", nlohmann::json::array()}},
                               {{"file", broken}, {"layout", nullptr}, {"problems", {unreadable}}}}));
}

TEST_F(FceconvBatchTest, UsageErrorsOfEachCommand) {
    std::string car = Car("car.fce");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"check", "--fast", car}, "check: The following argument was not expected: --fast"},
        {{"convert", "--to", "kesh", "-o", car, "--damaged"}, "convert: --damaged: 1 required FILE missing"},
        {{"export", "--obj", "-o", "x.obj", car, "--mesh"},
         "export: --mesh: 1 required MESH:{normal,damaged} missing"},
        {{"export", "-o", "x.obj", car}, "export: --obj is required"},
        {{"export", "--obj", car}, "export: give either -o OUTPUT or -d DIRECTORY"},
    };
    for (const auto& [arguments, problem] : cases) {
        Outcome run = Fceconv(arguments);
        EXPECT_EQ(run.status, 2) << problem;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "fceconv: " + problem);
        EXPECT_NE(run.err.find("\nusage: fceconv info"), std::string::npos);
    }
    for (const char* command : {"info", "convert", "check", "export"}) {
        Outcome help = Fceconv({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find(std::string("Usage: fceconv ") + command + " [OPTIONS]"), std::string::npos);
    }
}

} // namespace
