#include "model/kesh.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

namespace {

class Verro3SaveTest : public FileCommandTest {
  protected:
    Bytes Save(uint32_t fileType) {
        EXPECT_EQ(SaveVerro3Path(dir.File("out.fce").c_str(), fileType), 1) << LastFailureReason();
        return ReadBytes(dir.File("out.fce"));
    }
};

Verro3File WithZeroTables(Verro3File file) {
    for (int k = 3; k < 6; ++k) {
        file.tables[k].assign(file.tables[k].size(), 0);
    }
    return file;
}

// A Kesh car saved as Verro3 is the Verro3 file of the same car: primary and secondary
// colours widened (not the interior or hair ones), none beyond colourCount, every slot of
// the fixed tables, the geometry of the file type and zeros in tables 3 to 5. Any filter
// index but the first is the damaged type. The model stays as it was.
TEST_F(Verro3SaveTest, KeshCarBecomesTheVerro3FileOfTheSameCar) {
    for (uint32_t colours : {2u, 0u}) {
        CarShape shape = SmallCar();
        shape.colourCount = colours;
        KeshFile kesh = MakeKesh(shape);
        Verro3File expected = WithZeroTables(MakeVerro3(shape));
        kesh.header.primaryColours[0] = {200, 0, 255, 129};
        expected.header.primaryColours[0] = colours ? Fce3Colour{200, 0, 255, 129} : Fce3Colour{};
        kesh.header.primaryColours[5] = kesh.header.secondaryColours[15] = {9, 9, 9, 9};
        for (uint32_t i = 0; i < colours; ++i) {
            const FceColour& s = kesh.header.secondaryColours[i];
            expected.header.secondaryColours[i] = {s.hue, s.saturation, s.value, s.transparency};
        }
        kesh.header.partFirstVertex[50] = expected.header.partFirstVertex[50] = 1234;
        kesh.header.dummyPositions[12] = expected.header.dummyPositions[12] = {1, 2, 3};
        std::strcpy(kesh.header.partNames[63], "last slot");
        std::strcpy(expected.header.partNames[63], "last slot");
        ASSERT_EQ(OpenKeshPath(Write(kesh.Build()).c_str()), 1);
        FceKeshHeader before = carModel.header;
        for (uint32_t fileType : {1u, 2u, 7u}) {
            expected.tables[0] = kesh.tables[fileType == 1 ? 0 : 8];
            expected.tables[1] = kesh.tables[fileType == 1 ? 1 : 9];
            Bytes saved = Save(fileType);
            EXPECT_EQ(saved.size(), 7940u + 80 * 12 + 56 * 7);
            EXPECT_EQ(saved, expected.Build()) << colours << " colours, file type " << fileType;
        }
        EXPECT_EQ(0, std::memcmp(&before, &carModel.header, sizeof before));
    }
    EXPECT_TRUE(responder.messages.empty());
}

// A Verro3 file opened and saved again, directly or through a Kesh file, as either file
// type, comes back apart from the documented fields: version 0, both colour counts equal,
// colours cut to 8 bits and cleared beyond colourCount, zeros in reservedTail and in tables
// 3 to 5, the tables packed.
TEST_F(Verro3SaveTest, Verro3ComesBackThroughKeshApartFromTheDocumentedFields) {
    Verro3File file = MakeVerro3(SmallCar());
    file.header.version = 0x1234;
    file.header.secondaryColourCount = 9;
    file.header.primaryColours[0].hue = 300;
    file.header.primaryColours[10] = {5, 5, 5, 5};
    std::memset(file.header.reservedTail, 0x5A, sizeof file.header.reservedTail);
    Verro3File expected = WithZeroTables(file);
    expected.header.version = 0;
    expected.header.secondaryColourCount = 3;
    expected.header.primaryColours[0].hue = 44;
    expected.header.primaryColours[10] = {};
    std::memset(expected.header.reservedTail, 0, sizeof expected.header.reservedTail);

    ASSERT_EQ(OpenVerro3Path(Write(file.Build({{2, 1, 0, 5, 4, 3}, 8})).c_str()), 1);
    for (bool throughKesh : {false, true}) {
        if (throughKesh) {
            ASSERT_EQ(SaveKeshPath(dir.File("kesh.fce").c_str()), 1);
            ASSERT_EQ(OpenKeshPath(dir.File("kesh.fce").c_str()), 1);
        }
        for (uint32_t fileType : {VERRO3_NORMAL_FILE, VERRO3_DAMAGED_FILE}) {
            EXPECT_EQ(Save(fileType), expected.Build())
                << "through Kesh: " << throughKesh << ", type " << fileType;
        }
    }
}

// The colours editor keeps colourCount at most 16 and the readers refuse more; should a
// larger count reach the writer anyway, it writes no more entries than the tables hold.
TEST_F(Verro3SaveTest, ColourCountAboveSixteenStaysInsideTheTables) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    carModel.header.colourCount = 200;
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        carModel.header.secondaryColours[i] = {uint8_t(i), 1, 2, 3};
    }
    Fce3Header h = HeaderOf<Fce3Header>(Save(VERRO3_NORMAL_FILE));
    EXPECT_EQ(h.secondaryColours[15].hue, 15u);
    EXPECT_STREQ(h.dummyNames[0], "HWYN5") << "the names behind the colour tables are untouched";
}

} // namespace
