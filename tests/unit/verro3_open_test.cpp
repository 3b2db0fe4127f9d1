#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "tests/support/fce_builder.h"
#include "tests/support/model_state.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class Verro3OpenTest : public ::testing::Test {
  protected:
    void TearDown() override {
        ReleaseFce3Mesh();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), 0);
    }
    std::string Write(const Bytes& bytes, const std::string& name = "car.fce") {
        std::string path = dir.File(name);
        WriteBytes(path, bytes);
        return path;
    }
    TempDir dir;
    ScriptedResponder responder;
};

TEST_F(Verro3OpenTest, ConvertsEveryFieldIntoTheModel) {
    CarShape shape = SmallCar();
    Verro3File file = MakeVerro3(shape);
    file.header.version = 0x77;              // whatever it held, the model is marked Kesh
    file.header.primaryColours[0].hue = 300; // only the low byte survives
    file.header.primaryColours[0].value = 255;
    file.header.secondaryColours[15].transparency = 0x1FF;
    file.header.primaryColours[12] = {9, 8, 7, 6}; // beyond colourCount, still converted
    file.header.dummyPositions[15] = {1.5f, 2.5f, 3.5f};
    file.header.partFirstVertex[63] = 77; // unused slots travel whatever partCount says
    std::memset(file.header.reservedTail, 0x5A, sizeof file.header.reservedTail);
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    EXPECT_TRUE(responder.messages.empty());

    const FceKeshHeader& h = carModel.header;
    EXPECT_EQ(h.version, KESH_VERSION);
    EXPECT_EQ(h.reservedWord, 0u);
    EXPECT_EQ(h.vertexCount, 12u);
    EXPECT_EQ(h.triangleCount, 7u);
    EXPECT_EQ(h.artCount, file.header.artCount);
    EXPECT_EQ(0, std::memcmp(h.auxValues, file.header.auxValues, sizeof h.auxValues));
    EXPECT_EQ(h.dummyCount, 2u);
    EXPECT_EQ(h.partCount, 3u);
    EXPECT_EQ(h.colourCount, 3u);
    EXPECT_EQ(0, std::memcmp(h.dummyPositions, file.header.dummyPositions, sizeof h.dummyPositions));
    EXPECT_EQ(0, std::memcmp(h.partPositions, file.header.partPositions, sizeof h.partPositions));
    EXPECT_EQ(0, std::memcmp(h.partFirstVertex, file.header.partFirstVertex, sizeof h.partFirstVertex));
    EXPECT_EQ(0, std::memcmp(h.partVertexCount, file.header.partVertexCount, sizeof h.partVertexCount));
    EXPECT_EQ(0, std::memcmp(h.partFirstTriangle, file.header.partFirstTriangle, sizeof h.partFirstTriangle));
    EXPECT_EQ(0, std::memcmp(h.partTriangleCount, file.header.partTriangleCount, sizeof h.partTriangleCount));
    EXPECT_EQ(0, std::memcmp(h.dummyNames, file.header.dummyNames, sizeof h.dummyNames));
    EXPECT_EQ(0, std::memcmp(h.partNames, file.header.partNames, sizeof h.partNames));
    for (uint8_t b : h.reservedArea1) {
        ASSERT_EQ(b, 0);
    }
    for (uint8_t b : h.reservedArea2) {
        ASSERT_EQ(b, 0);
    }
    for (uint32_t t : h.tableOffsets) {
        ASSERT_EQ(t, 0u);
    }

    EXPECT_EQ(h.primaryColours[0].hue, 44);
    EXPECT_EQ(h.primaryColours[0].value, 255);
    EXPECT_EQ(h.secondaryColours[15].transparency, 0xFF);
    EXPECT_EQ(h.primaryColours[12].hue, 9);
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        const Fce3Colour& p = file.header.primaryColours[i];
        const Fce3Colour& s = file.header.secondaryColours[i];
        EXPECT_EQ(h.primaryColours[i].saturation, static_cast<uint8_t>(p.saturation)) << i;
        EXPECT_EQ(h.secondaryColours[i].hue, static_cast<uint8_t>(s.hue)) << i;
        EXPECT_EQ(0, std::memcmp(&h.interiorColours[i], &h.primaryColours[i], 4)) << i;
        EXPECT_EQ(0, std::memcmp(&h.driverHairColours[i], &h.secondaryColours[i], 4)) << i;
    }

    Bytes vertices = AsBytes(ShapeVertices(shape));
    Bytes normals = AsBytes(ShapeNormals(shape));
    Bytes triangles = AsBytes(ShapeTriangles(shape));
    for (const Vec3* array : {carModel.vertices, carModel.undamagedVertices, carModel.damagedVertices}) {
        EXPECT_EQ(0, std::memcmp(array, vertices.data(), vertices.size()));
    }
    for (const Vec3* array : {carModel.normals, carModel.undamagedNormals, carModel.damagedNormals}) {
        EXPECT_EQ(0, std::memcmp(array, normals.data(), normals.size()));
    }
    EXPECT_EQ(0, std::memcmp(carModel.triangles, triangles.data(), triangles.size()));
    for (uint32_t i = 0; i < 12; ++i) {
        EXPECT_EQ(carModel.movementFlags[i], uint32_t{MovementFixed});
    }
    for (uint32_t i = 0; i < 12 * 32; ++i) {
        ASSERT_EQ(carModel.zeroBlock[i], 0);
    }
    // fce3Mesh keeps the file's header and tables after the conversion.
    EXPECT_EQ(fce3Mesh.header.vertexCount, 12u);
    EXPECT_EQ(0, std::memcmp(fce3Mesh.vertices, vertices.data(), vertices.size()));
}

TEST_F(Verro3OpenTest, FindsTablesInAnyOrderWithGaps) {
    CarShape shape = SmallCar();
    Verro3File file = MakeVerro3(shape);
    Bytes reference = file.Build();
    ASSERT_EQ(OpenVerro3Path(Write(reference).c_str()), 1);
    Bytes expected(reinterpret_cast<uint8_t*>(carModel.vertices),
                   reinterpret_cast<uint8_t*>(carModel.vertices) + 12 * 12);
    Bytes expectedTriangles(reinterpret_cast<uint8_t*>(carModel.triangles),
                            reinterpret_cast<uint8_t*>(carModel.triangles) + 7 * 56);
    for (TableLayout layout :
         {TableLayout{{5, 4, 3, 2, 1, 0}, 0}, TableLayout{{2, 0, 3, 1, 5, 4}, 13}, TableLayout{{}, 1000}}) {
        ASSERT_EQ(OpenVerro3Path(Write(file.Build(layout)).c_str()), 1);
        EXPECT_EQ(0, std::memcmp(carModel.vertices, expected.data(), expected.size()));
        EXPECT_EQ(0, std::memcmp(carModel.triangles, expectedTriangles.data(), expectedTriangles.size()));
    }
    EXPECT_TRUE(responder.messages.empty());
}

TEST_F(Verro3OpenTest, IgnoresSecondCountUnusedTablesAndTail) {
    Verro3File file = MakeVerro3(SmallCar());
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    FceKeshHeader first = carModel.header;
    file.header.secondaryColourCount = 9;
    std::memset(file.header.reservedTail, 0x77, sizeof file.header.reservedTail);
    for (int k = 3; k < 6; ++k) {
        std::fill(file.tables[k].begin(), file.tables[k].end(), uint8_t(0x3C));
    }
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    EXPECT_EQ(0, std::memcmp(&first, &carModel.header, sizeof first));
}

TEST_F(Verro3OpenTest, ColoursAreMirroredAlsoWithoutColourCount) {
    CarShape shape = SmallCar();
    shape.colourCount = 0;
    Verro3File file = MakeVerro3(shape);
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        file.header.primaryColours[i] = {i, i + 1, i + 2, i + 3};
        file.header.secondaryColours[i] = {i + 100, 200, 250, 255 - i};
    }
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        EXPECT_EQ(carModel.header.interiorColours[i].transparency, i + 3);
        EXPECT_EQ(carModel.header.driverHairColours[i].hue, i + 100);
        EXPECT_EQ(carModel.header.driverHairColours[i].transparency, 255 - i);
    }
}

TEST_F(Verro3OpenTest, EmptyCarLoadsWithRealArrays) {
    CarShape shape; // no parts, no vertices, no dummies
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(shape).Build()).c_str()), 1);
    EXPECT_EQ(carModel.header.version, KESH_VERSION);
    EXPECT_NE(carModel.damagedVertices, nullptr);
    EXPECT_NE(carModel.zeroBlock, nullptr);
}

// Each way an open can fail: the messages in order, and both records empty afterwards,
// also when a car was loaded before.
struct FailureCase {
    const char* name;
    std::function<Bytes()> contents; // empty function: the file does not exist
    std::vector<std::string> messages;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class Verro3FailureTest : public Verro3OpenTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Verro3FailureTest, ReportsAndLeavesBothRecordsEmpty) {
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build(), "previous.fce").c_str()), 1);
    std::string path = dir.File("broken.fce");
    if (GetParam().contents) {
        WriteBytes(path, GetParam().contents());
    }
    EXPECT_EQ(OpenVerro3Path(path.c_str()), 0);
    EXPECT_EQ(responder.messages, GetParam().messages);
    EXPECT_TRUE(ModelIsEmpty());
    EXPECT_TRUE(StagingIsEmpty());
    EXPECT_EQ(LiveZeroedBlocks(), 0);
    // A file that does not exist is never created by trying to read it.
    EXPECT_EQ(FileExists(path), static_cast<bool>(GetParam().contents));
}

Verro3File Changed(std::function<void(Verro3File&)> change) {
    Verro3File file = MakeVerro3(SmallCar());
    change(file);
    return file;
}

const std::vector<std::string> READ_ERROR = {MESSAGE_READ_ERROR};

INSTANTIATE_TEST_SUITE_P(
    EveryRow, Verro3FailureTest,
    ::testing::Values(
        FailureCase{"Missing", nullptr, READ_ERROR},
        FailureCase{"HundredBytes", [] { return Bytes(100, 1); }, READ_ERROR},
        FailureCase{"HeaderOneShort", [] { return Bytes(VERRO3_HEADER_SIZE - 1, 0); }, READ_ERROR},
        FailureCase{"KeshMark",
                    [] { return Changed([](Verro3File& f) { f.header.version = KESH_VERSION; }).Build(); },
                    {MESSAGE_IS_KESH, MESSAGE_READ_ERROR}},
        FailureCase{"TruncatedTable",
                    [] {
                        Bytes b = MakeVerro3(SmallCar()).Build(TableLayout{{3, 4, 5, 0, 1, 2}, 0});
                        b.pop_back();
                        return b;
                    },
                    READ_ERROR},
        FailureCase{"TableBeyondEnd",
                    [] {
                        Bytes b = MakeVerro3(SmallCar()).Build();
                        auto* h = reinterpret_cast<Fce3Header*>(b.data());
                        h->tableOffsets[1] = static_cast<uint32_t>(b.size());
                        return b;
                    },
                    READ_ERROR},
        FailureCase{"OffsetPastFourGigabytes",
                    [] {
                        Bytes b = MakeVerro3(SmallCar()).Build();
                        reinterpret_cast<Fce3Header*>(b.data())->tableOffsets[0] = 0xFFFFFFF0;
                        return b;
                    },
                    READ_ERROR}),
    [](const auto& info) { return std::string(info.param.name); });

// Headers that break what the rest of the program relies on are refused before anything
// is allocated for their tables.
struct RefusalCase {
    const char* name;
    std::function<void(Fce3Header&)> change;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class Verro3RefusalTest : public Verro3OpenTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Verro3RefusalTest, RefusesWithoutAllocating) {
    Bytes bytes = MakeVerro3(SmallCar()).Build();
    Fce3Header header;
    std::memcpy(&header, bytes.data(), sizeof header);
    GetParam().change(header);
    std::memcpy(bytes.data(), &header, sizeof header);
    int64_t before = ZeroedBlocksHandedOut();
    EXPECT_EQ(OpenVerro3Path(Write(bytes).c_str()), 0);
    EXPECT_EQ(ZeroedBlocksHandedOut(), before);
    EXPECT_EQ(responder.messages, READ_ERROR);
    EXPECT_TRUE(ModelIsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Limits, Verro3RefusalTest,
    ::testing::Values(
        RefusalCase{"SeventeenDummies", [](Fce3Header& h) { h.dummyCount = 17; }},
        RefusalCase{"SixtyFiveParts", [](Fce3Header& h) { h.partCount = 65; }},
        RefusalCase{"SeventeenColours", [](Fce3Header& h) { h.colourCount = 17; }},
        RefusalCase{"PartVerticesPastTable", [](Fce3Header& h) { h.partVertexCount[2] = 5; }},
        RefusalCase{"PartTrianglesPastTable", [](Fce3Header& h) { h.partFirstTriangle[1] = 7; }},
        RefusalCase{"VertexRangeWraps",
                    [](Fce3Header& h) {
                        h.partFirstVertex[0] = 0xFFFFFFFF;
                        h.partVertexCount[0] = 2;
                    }},
        RefusalCase{"TriangleRangeWraps",
                    [](Fce3Header& h) {
                        h.partFirstTriangle[0] = 0xFFFFFFF0;
                        h.partTriangleCount[0] = 0x20;
                    }},
        RefusalCase{"FiftyMillionVerticesInASmallFile", [](Fce3Header& h) { h.vertexCount = 50'000'000; }},
        RefusalCase{"VertexTablesOverflow32Bits", [](Fce3Header& h) { h.vertexCount = 0x08000000; }},
        RefusalCase{"TriangleTableOverflows32Bits", [](Fce3Header& h) { h.triangleCount = 0x05000000; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Verro3OpenTest, UnusedPartSlotsAreNotChecked) {
    Verro3File file = MakeVerro3(SmallCar());
    file.header.partFirstVertex[40] = 0xFFFFFFFF; // beyond partCount: carried, not refused
    file.header.partVertexCount[40] = 0xFFFFFFFF;
    EXPECT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
}

TEST_F(Verro3OpenTest, DialogCommandAsksAndRemembersTheFolder) {
    std::strcpy(lastDirectory, "start-folder");
    std::string path = Write(MakeVerro3(SmallCar()).Build());
    responder.Choose(path);
    ASSERT_EQ(OpenVerro3File(), 1);
    ASSERT_EQ(responder.requests.size(), 1u);
    const RecordedRequest& request = responder.requests[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.filter, std::string("Verro3 car meshes (*.fce)\0*.fce\0", 32));
    EXPECT_EQ(request.filterIndex, 1u);
    EXPECT_FALSE(request.hasDefaultExtension);
    EXPECT_EQ(request.flags, 0x00281804u);
    EXPECT_EQ(request.initialDirectory, "start-folder");
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
}

TEST_F(Verro3OpenTest, CancelChangesNothing) {
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build()).c_str()), 1);
    FceKeshHeader before = carModel.header;
    Vec3* vertices = carModel.vertices;
    std::strcpy(lastDirectory, "kept");
    responder.Cancel();
    EXPECT_EQ(OpenVerro3File(), 0);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_EQ(carModel.vertices, vertices);
    EXPECT_EQ(0, std::memcmp(&before, &carModel.header, sizeof before));
    EXPECT_EQ(fce3Mesh.header.vertexCount, 12u);
    EXPECT_TRUE(responder.messages.empty());
}

TEST_F(Verro3OpenTest, FailedOpenStillMovesTheFolder) {
    std::strcpy(lastDirectory, "before");
    responder.Choose(dir.File("missing.fce"));
    EXPECT_EQ(OpenVerro3File(), 0);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
    EXPECT_EQ(responder.messages, READ_ERROR);
}

} // namespace
