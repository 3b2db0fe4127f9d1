#include "model/failure_reason.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

namespace {

Bytes Verro3Table(const Bytes& file, int k, uint32_t size) {
    return Slice(file, VERRO3_HEADER_SIZE + HeaderOf<Fce3Header>(file).tableOffsets[k], size);
}

class Verro3SaveTest : public FileCommandTest {
  protected:
    Bytes Save(uint32_t fileType = VERRO3_NORMAL_FILE, const std::string& name = "out.fce") {
        EXPECT_EQ(SaveVerro3Path(dir.File(name).c_str(), fileType), 1);
        return ReadBytes(dir.File(name));
    }
};

TEST_F(Verro3SaveTest, SizeOffsetsAndVersion) {
    CarShape shape;
    shape.partVertexCounts = {60, 40};
    shape.partTriangleCounts = {100, 50};
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(shape).Build()).c_str()), 1);
    Bytes saved = Save();
    const uint32_t v = 100, t = 150;
    EXPECT_EQ(saved.size(), 7940u + 80 * v + 56 * t);
    Fce3Header header = HeaderOf<Fce3Header>(saved);
    EXPECT_EQ(header.version, 0u);
    EXPECT_EQ(std::vector<uint32_t>(header.tableOffsets, header.tableOffsets + 6),
              (std::vector<uint32_t>{0, 12 * v, 24 * v, 24 * v + 56 * t, 56 * v + 56 * t, 68 * v + 56 * t}));
    EXPECT_TRUE(responder.messages.empty());
}

TEST_F(Verro3SaveTest, HeaderFromTheModel) {
    CarShape shape = SmallCar();
    shape.colourCount = 2;
    KeshFile file = MakeKesh(shape);
    file.header.primaryColours[0] = {200, 0, 255, 1};
    file.header.primaryColours[5] = {9, 9, 9, 9}; // beyond colourCount: not written
    file.header.secondaryColours[15] = {7, 7, 7, 7};
    file.header.partFirstVertex[50] = 1234; // unused slots travel whole
    file.header.dummyPositions[12] = {1, 2, 3};
    std::strcpy(file.header.partNames[63], "last slot");
    ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1);
    Bytes saved = Save();
    Fce3Header h = HeaderOf<Fce3Header>(saved);
    const FceKeshHeader& m = file.header;
    EXPECT_EQ(h.triangleCount, m.triangleCount);
    EXPECT_EQ(h.vertexCount, m.vertexCount);
    EXPECT_EQ(h.artCount, m.artCount);
    EXPECT_EQ(0, std::memcmp(h.auxValues, m.auxValues, sizeof h.auxValues));
    EXPECT_EQ(h.dummyCount, 2u);
    EXPECT_EQ(h.partCount, 3u);
    EXPECT_EQ(0, std::memcmp(h.dummyPositions, m.dummyPositions, sizeof h.dummyPositions));
    EXPECT_EQ(0, std::memcmp(h.partPositions, m.partPositions, sizeof h.partPositions));
    EXPECT_EQ(0, std::memcmp(h.partFirstVertex, m.partFirstVertex, sizeof h.partFirstVertex));
    EXPECT_EQ(0, std::memcmp(h.partVertexCount, m.partVertexCount, sizeof h.partVertexCount));
    EXPECT_EQ(0, std::memcmp(h.partFirstTriangle, m.partFirstTriangle, sizeof h.partFirstTriangle));
    EXPECT_EQ(0, std::memcmp(h.partTriangleCount, m.partTriangleCount, sizeof h.partTriangleCount));
    EXPECT_EQ(0, std::memcmp(h.dummyNames, m.dummyNames, sizeof h.dummyNames));
    EXPECT_EQ(0, std::memcmp(h.partNames, m.partNames, sizeof h.partNames));
    EXPECT_EQ(h.colourCount, 2u);
    EXPECT_EQ(h.secondaryColourCount, 2u);
    // Widened component by component, zero-extended; nothing beyond colourCount.
    EXPECT_EQ((std::vector<uint32_t>{h.primaryColours[0].hue, h.primaryColours[0].saturation,
                                     h.primaryColours[0].value, h.primaryColours[0].transparency}),
              (std::vector<uint32_t>{200, 0, 255, 1}));
    EXPECT_EQ(h.secondaryColours[1].transparency, m.secondaryColours[1].transparency);
    for (uint32_t i = 2; i < MAX_COLOURS; ++i) {
        EXPECT_EQ(h.primaryColours[i].hue | h.primaryColours[i].transparency | h.secondaryColours[i].value,
                  0u)
            << i;
    }
    EXPECT_TRUE(AllZero(ArrayBytes(h.reservedTail, sizeof h.reservedTail)));
}

TEST_F(Verro3SaveTest, WithoutColoursBothTablesAndCountsAreZero) {
    CarShape shape = SmallCar();
    shape.colourCount = 0;
    KeshFile file = MakeKesh(shape);
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        file.header.primaryColours[i] = file.header.secondaryColours[i] = {1, 2, 3, 4};
    }
    ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1);
    Fce3Header h = HeaderOf<Fce3Header>(Save());
    EXPECT_EQ(h.colourCount | h.secondaryColourCount, 0u);
    EXPECT_TRUE(AllZero(ArrayBytes(h.primaryColours, MAX_COLOURS)));
    EXPECT_TRUE(AllZero(ArrayBytes(h.secondaryColours, MAX_COLOURS)));
}

// The colours editor keeps colourCount at most 16 and the readers refuse more; should a
// larger count reach the writer anyway, it writes no more entries than the tables hold.
TEST_F(Verro3SaveTest, ColourCountAboveSixteenStaysInsideTheTables) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    carModel.header.colourCount = 200;
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        carModel.header.secondaryColours[i] = {uint8_t(i), 1, 2, 3};
    }
    Fce3Header h = HeaderOf<Fce3Header>(Save());
    EXPECT_EQ(h.secondaryColours[15].hue, 15u);
    EXPECT_EQ(h.dummyNames[0][0], 'H') << "the names behind the colour tables are untouched";
}

TEST_F(Verro3SaveTest, TablesOfBothFileTypes) {
    CarShape shape = SmallCar();
    KeshFile file = MakeKesh(shape);
    ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1);
    Bytes normal = Save(VERRO3_NORMAL_FILE, "normal.fce");
    Bytes damaged = Save(VERRO3_DAMAGED_FILE, "damaged.fce");
    EXPECT_EQ(Verro3Table(normal, 0, 144), file.tables[0]);
    EXPECT_EQ(Verro3Table(normal, 1, 144), file.tables[1]);
    EXPECT_EQ(Verro3Table(damaged, 0, 144), file.tables[8]);
    EXPECT_EQ(Verro3Table(damaged, 1, 144), file.tables[9]);
    ASSERT_NE(file.tables[0], file.tables[8]);
    for (const Bytes& saved : {normal, damaged}) {
        EXPECT_EQ(Verro3Table(saved, 2, 7 * 56), file.tables[2]);
        Bytes zeros = Slice(saved, VERRO3_HEADER_SIZE + 24 * 12 + 7 * 56, 56 * 12);
        EXPECT_EQ(zeros.size(), 56u * 12);
        EXPECT_TRUE(AllZero(zeros));
    }
    // Everything but tables 0 and 1 is the same for both types; any filter index other
    // than the first is the damaged type.
    EXPECT_EQ(Slice(normal, 0, VERRO3_HEADER_SIZE), Slice(damaged, 0, VERRO3_HEADER_SIZE));
    EXPECT_EQ(Slice(normal, VERRO3_HEADER_SIZE + 288, normal.size() - VERRO3_HEADER_SIZE - 288),
              Slice(damaged, VERRO3_HEADER_SIZE + 288, damaged.size() - VERRO3_HEADER_SIZE - 288));
    EXPECT_EQ(Save(7, "seven.fce"), damaged);
}

TEST_F(Verro3SaveTest, OpenAndSaveGivesBackTheFileApartFromTheDocumentedFields) {
    CarShape shape = SmallCar();
    Verro3File file = MakeVerro3(shape);
    Bytes plain = file.Build();
    ASSERT_EQ(OpenVerro3Path(Write(plain, "in.fce").c_str()), 1);
    Bytes saved = Save();
    // Only the unused tables differ: the builder fills them, the writer writes zeros.
    ASSERT_EQ(saved.size(), plain.size());
    for (int k = 3; k < 6; ++k) {
        std::fill(file.tables[k].begin(), file.tables[k].end(), uint8_t(0));
    }
    EXPECT_EQ(saved, file.Build());

    file.header.version = 0x1234;
    file.header.secondaryColourCount = 9;
    file.header.primaryColours[0].hue = 300;
    file.header.primaryColours[10] = {5, 5, 5, 5};
    std::memset(file.header.reservedTail, 0x5A, sizeof file.header.reservedTail);
    ASSERT_EQ(OpenVerro3Path(Write(file.Build(TableLayout{{2, 1, 0, 5, 4, 3}, 8}), "in.fce").c_str()), 1);
    Bytes again = Save();
    Fce3Header expected = file.header;
    expected.version = 0;
    expected.secondaryColourCount = expected.colourCount;
    expected.primaryColours[0].hue = 44;
    expected.primaryColours[10] = {};
    std::memset(expected.reservedTail, 0, sizeof expected.reservedTail);
    Fce3Header actual = HeaderOf<Fce3Header>(again);
    std::memcpy(expected.tableOffsets, actual.tableOffsets, sizeof expected.tableOffsets);
    EXPECT_EQ(0, std::memcmp(&expected, &actual, sizeof actual));
    EXPECT_EQ(Slice(again, VERRO3_HEADER_SIZE, again.size() - VERRO3_HEADER_SIZE),
              Slice(saved, VERRO3_HEADER_SIZE, saved.size() - VERRO3_HEADER_SIZE));
}

TEST_F(Verro3SaveTest, Verro3ToKeshToVerro3IsTheOriginalFile) {
    Verro3File file = MakeVerro3(SmallCar());
    for (int k = 3; k < 6; ++k) {
        std::fill(file.tables[k].begin(), file.tables[k].end(), uint8_t(0));
    }
    Bytes original = file.Build();
    ASSERT_EQ(OpenVerro3Path(Write(original, "in.fce").c_str()), 1);
    ASSERT_EQ(SaveKeshPath(dir.File("kesh.fce").c_str()), 1);
    ASSERT_EQ(OpenKeshPath(dir.File("kesh.fce").c_str()), 1);
    EXPECT_EQ(Save(), original);
    EXPECT_EQ(Save(VERRO3_DAMAGED_FILE, "damaged.fce"), original);
}

TEST_F(Verro3SaveTest, ReopenedCarMirrorsColoursAndFixesEveryVertex) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    FceKeshHeader kesh = carModel.header;
    Save();
    ASSERT_EQ(OpenVerro3Path(dir.File("out.fce").c_str()), 1);
    const FceKeshHeader& h = carModel.header;
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        EXPECT_EQ(0, std::memcmp(&h.interiorColours[i], &h.primaryColours[i], 4)) << i;
        EXPECT_EQ(0, std::memcmp(&h.driverHairColours[i], &h.secondaryColours[i], 4)) << i;
    }
    EXPECT_EQ(0, std::memcmp(h.primaryColours, kesh.primaryColours, 3 * 4));
    EXPECT_NE(0, std::memcmp(h.interiorColours, kesh.interiorColours, 3 * 4));
    EXPECT_EQ(ArrayBytes(carModel.movementFlags, 12), AsBytes(std::vector<uint32_t>(12, MovementFixed)));
}

TEST_F(Verro3SaveTest, SavingChangesNothingInTheModel) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    FceKeshHeader header = carModel.header;
    Bytes vertices = ArrayBytes(carModel.vertices, 12), damaged = ArrayBytes(carModel.damagedVertices, 12);
    Save(VERRO3_NORMAL_FILE, "a.fce");
    Save(VERRO3_DAMAGED_FILE, "b.fce");
    EXPECT_EQ(0, std::memcmp(&header, &carModel.header, sizeof header));
    EXPECT_EQ(ArrayBytes(carModel.vertices, 12), vertices);
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), damaged);
}

TEST_F(Verro3SaveTest, LongerOldFileLeavesNoTrace) {
    Write(Bytes(100000, 0x77), "out.fce");
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    EXPECT_EQ(Save().size(), 7940u + 80 * 12 + 56 * 7);
}

TEST_F(Verro3SaveTest, SaveDialogOffersBothFileTypes) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    std::strcpy(lastDirectory, "start-folder");
    TempDir other;
    responder.Choose(other.File("damaged.fce"), 2);
    ASSERT_EQ(SaveVerro3File(), 1);
    ASSERT_EQ(responder.requests.size(), 1u);
    const RecordedRequest& request = responder.requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filter, std::string("Verro3 car meshes (*.fce)\0*.fce\0"
                                          "Verro3 car damaged meshes (*.fce)\0*.fce\0",
                                          72));
    EXPECT_EQ(request.filterIndex, 1u);
    EXPECT_EQ(request.defaultExtension, "fce");
    EXPECT_EQ(request.flags, 0x00280006u);
    EXPECT_EQ(request.initialDirectory, "start-folder");
    EXPECT_EQ(std::string(lastDirectory), other.Folder());
    Bytes saved = ReadBytes(other.File("damaged.fce"));
    EXPECT_EQ(Verro3Table(saved, 0, 144), ArrayBytes(carModel.damagedVertices, 12));

    responder.Choose(other.File("normal.fce"), 1);
    ASSERT_EQ(SaveVerro3File(), 1);
    EXPECT_EQ(Verro3Table(ReadBytes(other.File("normal.fce")), 0, 144), ArrayBytes(carModel.vertices, 12));
}

TEST_F(Verro3SaveTest, CancelChangesNothingNotEvenTheFolder) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    std::strcpy(lastDirectory, "kept");
    responder.Cancel();
    EXPECT_EQ(SaveVerro3File(), 0);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(FolderEntries(dir.Folder()), std::vector<std::string>{"car.fce"});
}

TEST_F(Verro3SaveTest, SaveWithoutACarWritesNothing) {
    EXPECT_EQ(SaveVerro3Path(dir.File("out.fce").c_str(), VERRO3_NORMAL_FILE), 0);
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_WRITE_ERROR});
    EXPECT_STREQ(LastFailureReason(), "no car is loaded");
    EXPECT_TRUE(FolderEntries(dir.Folder()).empty());
}

} // namespace
