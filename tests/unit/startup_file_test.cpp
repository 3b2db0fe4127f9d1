// The car named on the program's command line, and the folder that the file dialogs start
// in after a car came without one.
#include "mainwin/startup_file.h"
#include "model/last_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The only files there are, to tell options from names of files.
bool Exists(const char* path) {
    return std::strcmp(path, "-car.fce") == 0 || std::strcmp(path, "/cars/a.fce") == 0;
}

TEST(StartupFileTest, TheFirstArgumentThatNamesAFileIsOpened) {
    struct Case {
        const char* commandLine;
        const char* file;
    };
    const Case cases[] = {
        {"", ""},
        {" \t ", ""},
        {"car.fce", "car.fce"},
        {"\tcar.fce  second.fce", "car.fce"},
        {"\"C:\\My Cars\\car one.fce\" second.fce", "C:\\My Cars\\car one.fce"},
        {"C:\\My\" \"Cars\\car.fce", "C:\\My Cars\\car.fce"},
        {"\"unclosed name", "unclosed name"},
        {"\"\" car.fce", "car.fce"},
        {"-x /y car.fce", "car.fce"},
        {"-car.fce second.fce", "-car.fce"},
        {"/cars/a.fce", "/cars/a.fce"},
        {"-x /y", ""},
        {"\"say \"\"hi\"\" now\"", "say \"hi\" now"},
        {"a\\\\\\\"b c", "a\\\"b"},
        {"\"C:\\Cars\\\\\" x", "C:\\Cars\\"},
        {"C:\\Cars\\ x", "C:\\Cars\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartupFile(c.commandLine, Exists), c.file) << c.commandLine;
    }
}

TEST(StartupFileTest, TheFilesFolderBecomesLastDirectoryWhenItFits) {
    std::string longest(PATH_BUFFER_SIZE - 2, 'a');
    struct Case {
        std::string path;
        std::string folder;
    };
    const Case cases[] = {
        {"C:\\Cars\\car.fce", "C:\\Cars\\"},
        {"Z:/tmp/cars/car.fce", "Z:/tmp/cars/"},
        {"car.fce", ""},
        {longest + "\\car.fce", longest + "\\"},
        {"C:\\Cars\\car.fce", "C:\\Cars\\"},
        {longest + "a\\car.fce", "C:\\Cars\\"},
    };
    for (const Case& c : cases) {
        SetLastDirectoryFromPath(c.path.c_str());
        EXPECT_EQ(lastDirectory, c.folder) << c.path;
    }
}

} // namespace
