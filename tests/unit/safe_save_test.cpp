// Saving never destroys what was there: whatever fails, the file at the target stays
// byte for byte, and nothing is left behind in its folder.
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

#include <functional>

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

class SafeSaveTest : public FileCommandTest, public ::testing::WithParamInterface<Writer> {
  protected:
    void SetUp() override {
        CarShape shape;
        shape.partVertexCounts = {1500, 500};
        shape.partTriangleCounts = {2000, 1000};
        ASSERT_EQ(OpenKeshPath(Write(MakeKesh(shape).Build()).c_str()), 1);
        WriteBytes(target, old);
    }
    int Save(const std::string& path) { return GetParam().save(path.c_str()); }
    // Longer than anything saved, so that a save in place would leave a trace of it.
    const Bytes old = Bytes(600000, 0x42);
    const std::string target = dir.File("target.fce");
};

TEST_P(SafeSaveTest, SuccessReplacesTheWholeFileAndLeavesNothingElse) {
    ASSERT_EQ(Save(dir.File("fresh.fce")), 1);
    ASSERT_EQ(Save(target), 1);
    EXPECT_EQ(ReadBytes(target), ReadBytes(dir.File("fresh.fce")));
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "fresh.fce", "target.fce"}));
}

TEST_P(SafeSaveTest, FailuresLeaveTheOldFile) {
    std::filesystem::create_directory(dir.File("folder.fce"));
    const std::pair<const char*, std::function<int()>> cases[] = {
        {"cannot create a new file in the folder of", [&] { return Save(dir.File("none") + "/a.fce"); }},
        {"the written file cannot replace", [&] { return Save(dir.File("folder.fce")); }},
#ifdef _WIN32
        {"the written file cannot replace", // Windows does not replace a read-only file
         [&] {
             SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
             int result = Save(target);
             SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
             return result;
         }},
#else
        {"bytes at file offset", // a real write that stops short: the file may not grow past 20000 bytes
         [&] {
             rlimit saved;
             getrlimit(RLIMIT_FSIZE, &saved);
             rlimit small{20000, saved.rlim_max};
             auto handler = std::signal(SIGXFSZ, SIG_IGN);
             setrlimit(RLIMIT_FSIZE, &small);
             int result = Save(target);
             setrlimit(RLIMIT_FSIZE, &saved);
             std::signal(SIGXFSZ, handler);
             return result;
         }},
#endif
        {"no car is loaded",
         [&] {
             ReleaseCarModel();
             return Save(target);
         }},
    };
    for (const auto& [reason, save] : cases) {
        responder.messages.clear();
        EXPECT_EQ(save(), 0) << reason;
        EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_WRITE_ERROR});
        EXPECT_NE(std::string(LastFailureReason()).find(reason), std::string::npos) << LastFailureReason();
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_EQ(FolderEntries(dir.Folder()),
                  (std::vector<std::string>{"car.fce", "folder.fce", "target.fce"}));
    }
}

#ifndef _WIN32
// Saved through a link, the link stays and the file it points to gets the car, keeping its mode.
TEST_P(SafeSaveTest, LinkAndModeOfTheReplacedFileStay) {
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    std::filesystem::create_symlink(target, dir.File("link.fce"));
    ASSERT_EQ(Save(dir.File("link.fce")), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.fce")));
    EXPECT_NE(ReadBytes(target), old);
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderEntries(dir.Folder()), (std::vector<std::string>{"car.fce", "link.fce", "target.fce"}));
}
#endif

INSTANTIATE_TEST_SUITE_P(BothWriters, SafeSaveTest,
                         ::testing::Values(Writer{"Kesh", SaveKeshPath},
                                           Writer{"Verro3",
                                                  [](const char* path) {
                                                      return SaveVerro3Path(path, VERRO3_DAMAGED_FILE);
                                                  }}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
