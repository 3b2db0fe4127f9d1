// The car named on the program's command line, and the folder that the file dialogs start
// in after a car came without one.
#include "mainwin/startup_file.h"
#include "model/last_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The only file there is whose name looks like an option.
bool Exists(const char* path) {
    return std::strcmp(path, "-car.fce") == 0;
}

TEST(StartupFileTest, TheFirstArgumentThatNamesAFileIsOpened) {
    struct Case {
        const char* commandLine;
        const char* file;
    };
    const Case cases[] = {
        {" \t ", ""},
        {"\tcar.fce  second.fce", "car.fce"},
        {"\"C:\\My Cars\\car one.fce\" second.fce", "C:\\My Cars\\car one.fce"},
        {"\"\" -x /y car.fce", "car.fce"},
        {"-car.fce second.fce", "-car.fce"},
        {"\"say \"\"hi\"\" now\"", "say \"hi\" now"},
        {"a\\\\\\\"b c", "a\\\"b"},
        {"\"C:\\Cars\\\\\" x", "C:\\Cars\\"},
        {"C:\\Cars\\ x", "C:\\Cars\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartupFile(c.commandLine, Exists), c.file) << c.commandLine;
    }
}

TEST(StartupFileTest, AFolderTooLongForLastDirectoryLeavesItAsItWas) {
    std::string longest(PATH_BUFFER_SIZE - 2, 'a');
    SetLastDirectoryFromPath((longest + "/car.fce").c_str());
    EXPECT_EQ(lastDirectory, longest + "/");
    SetLastDirectoryFromPath((longest + "a\\car.fce").c_str());
    EXPECT_EQ(lastDirectory, longest + "/");
}

} // namespace
