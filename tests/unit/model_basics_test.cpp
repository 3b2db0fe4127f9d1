#include "model/info_text.h"
#include "model/last_directory.h"
#include "model/verro3.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ReleaseCarModelTest, EmptyModelStaysEmptyAndFreesNothing) {
    ReleaseCarModel();
    int64_t live = LiveZeroedBlocks();
    ReleaseCarModel();
    EXPECT_EQ(LiveZeroedBlocks(), live);
    EXPECT_EQ(carModel.vertices, nullptr);
    EXPECT_EQ(carModel.header.partCount, 0u);
}

TEST(ReleaseCarModelTest, LoadedModelFreesAllNineArraysAndClearsTheHeader) {
    TempDir dir;
    CarShape shape;
    shape.partVertexCounts = {4};
    shape.partTriangleCounts = {2};
    shape.dummyNames = {"HWYN5"};
    shape.colourCount = 2;
    WriteBytes(dir.File("a.fce"), MakeVerro3(shape).Build());
    ASSERT_EQ(OpenVerro3Path(dir.File("a.fce").c_str()), 1);
    // Nine model arrays and the three staging arrays.
    EXPECT_EQ(LiveZeroedBlocks(), 12);
    ReleaseCarModel();
    EXPECT_EQ(LiveZeroedBlocks(), 3);
    ReleaseFce3Mesh();
    EXPECT_EQ(LiveZeroedBlocks(), 0);
    static const FceKeshHeader zero{};
    EXPECT_EQ(0, std::memcmp(&carModel.header, &zero, sizeof zero));
    EXPECT_STREQ(carModel.header.partNames[0], "");
    EXPECT_STREQ(carModel.header.dummyNames[0], "");
    for (void* array : {(void*)carModel.vertices, (void*)carModel.normals, (void*)carModel.triangles,
                        (void*)carModel.undamagedVertices, (void*)carModel.undamagedNormals,
                        (void*)carModel.damagedVertices, (void*)carModel.damagedNormals,
                        (void*)carModel.movementFlags, (void*)carModel.zeroBlock}) {
        EXPECT_EQ(array, nullptr);
    }
}

TEST(NameFieldTextTest, CutsAFullFieldTo63Characters) {
    char field[NAME_SIZE];
    std::memset(field, 'x', sizeof field);
    char text[NAME_SIZE];
    NameFieldText(field, text);
    EXPECT_EQ(std::strlen(text), 63u);
    std::strcpy(field, ":OD");
    NameFieldText(field, text);
    EXPECT_STREQ(text, ":OD");
}

TEST(LastDirectoryTest, ChosenFileGivesItsFolderWithTheSeparator) {
    FileDialogResult choice{};
    std::strcpy(choice.path, "C:\\cars\\a.fce");
    choice.fileOffset = 8;
    std::memset(lastDirectory, 'z', sizeof lastDirectory);
    SetLastDirectoryFromChoice(choice);
    EXPECT_STREQ(lastDirectory, "C:\\cars\\");
    for (size_t i = 8; i < sizeof lastDirectory; ++i) {
        ASSERT_EQ(lastDirectory[i], 0) << i;
    }
}

TEST(LastDirectoryTest, ProgramPathRule) {
    struct Case {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\tools\\VerroFCEConverter.exe", "C:\\tools"},
        {"C:\\VerroFCEConverter.exe\\VerroFCEConverter.exe", "C:"},               // the first occurrence
        {"C:\\tools\\verrofceconverter.exe", "C:\\tools\\verrofceconverter.exe"}, // case-sensitive
        {"C:\\tools\\Converter.exe", "C:\\tools\\Converter.exe"},
        {"D:\\VerroFCEConverter.exe.bak\\x.exe", "D:"},
    };
    for (const Case& c : cases) {
        SetLastDirectoryFromProgramPath(c.path);
        EXPECT_STREQ(lastDirectory, c.folder) << c.path;
    }
}

TEST(InfoTextTest, FiveCountsEachEndedByCarriageReturnLineFeed) {
    FceKeshHeader header{};
    header.triangleCount = 150;
    header.vertexCount = 100;
    header.dummyCount = 0;
    header.partCount = 12;
    header.colourCount = 16;
    char text[256];
    int length = FormatInfoText(header, text, sizeof text);
    EXPECT_STREQ(text, "Number of triangles=150\r\nNumber of vertices=100\r\nNumber of dummies=0\r\n"
                       "Number of parts=12\r\nNumber of colors=16\r\n");
    EXPECT_EQ(length, static_cast<int>(std::strlen(text)));
}

} // namespace
