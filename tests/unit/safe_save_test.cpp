// Saving never destroys what was there: whatever fails, the file at the target stays
// byte for byte, and nothing is left behind in its folder.
#include "model/failure_reason.h"
#include "model/kesh.h"
#include "model/messages.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

struct Writer {
    const char* name;
    int (*save)(const char* path);
};

void PrintTo(const Writer& c, std::ostream* out) {
    *out << c.name;
}

const Writer WRITERS[] = {
    {"Kesh", SaveKeshPath},
    {"Verro3", [](const char* path) { return SaveVerro3Path(path, VERRO3_NORMAL_FILE); }},
    {"Verro3Damaged", [](const char* path) { return SaveVerro3Path(path, VERRO3_DAMAGED_FILE); }},
};

class SafeSaveTest : public FileCommandTest, public ::testing::WithParamInterface<Writer> {
  protected:
    void SetUp() override {
        CarShape shape;
        shape.partVertexCounts = {1500, 500};
        shape.partTriangleCounts = {2000, 1000};
        ASSERT_EQ(OpenKeshPath(Write(MakeKesh(shape).Build(), "car.fce").c_str()), 1);
        target = Write(old, "target.fce");
    }
    // Saving failed: the usual message, the old file as it was, no file left over.
    void ExpectFailureLeftNoTrace(const char* reason) {
        EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_WRITE_ERROR});
        EXPECT_NE(std::string(LastFailureReason()).find(reason), std::string::npos) << LastFailureReason();
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "target.fce"}));
        EXPECT_TRUE(CarModelIsLoaded()) << "a failed save keeps the car";
    }
    Bytes old = Bytes(50000, 0x42);
    std::string target;
};

TEST_P(SafeSaveTest, SuccessReplacesTheFileAndLeavesNothingElse) {
    ASSERT_EQ(GetParam().save(target.c_str()), 1);
    EXPECT_NE(ReadBytes(target), old);
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "target.fce"}));
}

TEST_P(SafeSaveTest, FolderThatDoesNotExist) {
    std::string missing = dir.File("no-such-folder") + "/car.fce";
    EXPECT_EQ(GetParam().save(missing.c_str()), 0);
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_WRITE_ERROR});
    EXPECT_NE(std::string(LastFailureReason()).find("cannot create a new file in the folder of"),
              std::string::npos);
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "target.fce"}));
}

// The complete file cannot take the target's place: the target is a folder.
TEST_P(SafeSaveTest, TargetThatCannotBeReplaced) {
    std::filesystem::remove(target);
    std::filesystem::create_directory(target);
    WriteBytes(target + "/inside", old);
    EXPECT_EQ(GetParam().save(target.c_str()), 0);
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_WRITE_ERROR});
    EXPECT_NE(std::string(LastFailureReason()).find("the written file cannot replace"), std::string::npos)
        << LastFailureReason();
    EXPECT_EQ(ReadBytes(target + "/inside"), old);
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "target.fce"}));
}

#ifndef _WIN32
// A real failing write: the system refuses to let the file grow past 20000 bytes, so a
// table write stops short halfway through the file.
TEST_P(SafeSaveTest, WriteThatFailsHalfway) {
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 20000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = GetParam().save(target.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(result, 0);
    ExpectFailureLeftNoTrace("bytes at file offset");
}

TEST_P(SafeSaveTest, KeepsTheModeOfTheReplacedFile) {
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(GetParam().save(target.c_str()), 1);
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

// A link to the car stays a link; the file it points to gets the new car.
TEST_P(SafeSaveTest, SavingThroughALinkKeepsTheLink) {
    std::string link = dir.File("link.fce");
    std::filesystem::create_symlink(target, link);
    ASSERT_EQ(GetParam().save(link.c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(ReadBytes(target), old);
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "link.fce", "target.fce"}));
}
#endif

#ifdef _WIN32
// Windows does not let a read-only file be replaced; it stays as it was.
TEST_P(SafeSaveTest, ReadOnlyTargetStays) {
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    int result = GetParam().save(target.c_str());
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(result, 0);
    ExpectFailureLeftNoTrace("the written file cannot replace");
}
#endif

INSTANTIATE_TEST_SUITE_P(BothWriters, SafeSaveTest, ::testing::ValuesIn(WRITERS),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
