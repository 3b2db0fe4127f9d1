// The car named on the program's command line, and the folder the file dialogs start in after.
#include "mainwin/startup_file.h"
#include "model/car_texture.h"
#include "model/last_directory.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <utility>

namespace {

TEST(StartupFileTest, TheFirstArgumentThatNamesAFileIsOpened) {
    const std::pair<const char*, const char*> cases[] = {
        {" \t ", ""},
        {"\"C:\\My Cars\\car one.fce\" second.fce", "C:\\My Cars\\car one.fce"},
        {"\"\" -x /y car.fce", "car.fce"},
        {"-car.fce second.fce", "-car.fce"},
        {"\"say \"\"hi\"\" now\"", "say \"hi\" now"},
        {"a\\\\\\\"b c", "a\\\"b"},
        {"\"C:\\Cars\\\\\" x", "C:\\Cars\\"},
        {"\tC:\\Cars\\  second.fce", "C:\\Cars\\"},
    };
    // The only file there is whose name looks like an option.
    auto exists = [](const char* path) { return std::strcmp(path, "-car.fce") == 0; };
    for (const auto& [commandLine, file] : cases) {
        EXPECT_EQ(StartupFile(commandLine, exists), file) << commandLine;
    }
}

// The dialogs start in the program's folder; a folder too long for lastDirectory leaves it as it was.
TEST(StartupFileTest, TheFolderTheDialogsStartIn) {
    SetLastDirectoryFromProgramPath("C:\\My Tools\\VerroFCEConverter.exe");
    EXPECT_STREQ(lastDirectory, "C:\\My Tools");
    std::string longest(PATH_BUFFER_SIZE - 2, 'a');
    SetLastDirectoryFromPath((longest + "/car.fce").c_str());
    SetLastDirectoryFromPath((longest + "a\\car.fce").c_str());
    EXPECT_EQ(lastDirectory, longest + "/");
}

// The car's own texture comes before the folder's shared one; a folder holds no texture.
TEST(StartupFileTest, TheTextureBesideACar) {
    TempDir dir;
    EXPECT_EQ(FindCarTexture(dir.File("beetle.fce")), "");
    std::filesystem::create_directory(dir.File("beetle00.tga"));
    EXPECT_EQ(FindCarTexture(dir.File("beetle.fce")), "");
    std::ofstream(dir.File("car00.tga")) << "x";
    EXPECT_EQ(FindCarTexture(dir.File("beetle.fce")), dir.File("car00.tga"));
    std::ofstream(dir.File("van00.tga")) << "x";
    EXPECT_EQ(FindCarTexture(dir.File("van.fce")), dir.File("van00.tga"));
}

} // namespace
