#include "model/failure_reason.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "tests/unit/file_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

const std::vector<std::string> READ_ERROR = {MESSAGE_READ_ERROR};

using Verro3OpenTest = FileCommandTest;

template <class T> bool Equal(const T* array, const std::vector<T>& expected) {
    return std::memcmp(array, expected.data(), expected.size() * sizeof(T)) == 0;
}

TEST_F(Verro3OpenTest, ConvertsEveryFieldIntoTheModel) {
    CarShape shape = SmallCar();
    shape.colourCount = 0; // all sixteen colour entries are converted whatever the count says
    Verro3File file = MakeVerro3(shape);
    file.header.version = 0x77;
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        file.header.primaryColours[i] = {300 + i, i, 255, 0x1FF}; // only the low byte survives
        file.header.secondaryColours[i] = {100 + i, 256, 7, 200};
    }
    file.header.dummyPositions[15] = {1.5f, 2.5f, 3.5f}; // slots beyond the counts travel too
    file.header.partFirstVertex[63] = 77;
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    EXPECT_TRUE(responder.messages.empty());

    // The two headers share these runs of fields, at other offsets.
    const auto* verro3 = reinterpret_cast<const uint8_t*>(&file.header);
    const auto* kesh = reinterpret_cast<const uint8_t*>(&carModel.header);
    EXPECT_EQ(0, std::memcmp(verro3 + 4, kesh + 8, 12)) << "triangle, vertex and art counts";
    EXPECT_EQ(0, std::memcmp(verro3 + 40, kesh + 76, 2008)) << "aux values to colourCount";
    EXPECT_EQ(0, std::memcmp(verro3 + 2564, kesh + 2600, 5120)) << "dummy and part names";
    const FceKeshHeader& h = carModel.header;
    EXPECT_EQ(h.version, KESH_VERSION);
    EXPECT_EQ(h.reservedWord, 0u);
    static const FceKeshHeader zero{};
    EXPECT_EQ(0, std::memcmp(h.tableOffsets, zero.tableOffsets, sizeof zero.tableOffsets));
    EXPECT_EQ(0, std::memcmp(h.reservedArea1, zero.reservedArea1, sizeof zero.reservedArea1));
    EXPECT_EQ(0, std::memcmp(h.reservedArea2, zero.reservedArea2, sizeof zero.reservedArea2));
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        const uint8_t primary[4] = {uint8_t(44 + i), uint8_t(i), 255, 255};
        const uint8_t secondary[4] = {uint8_t(100 + i), 0, 7, 200};
        EXPECT_EQ(0, std::memcmp(&h.primaryColours[i], primary, 4)) << i;
        EXPECT_EQ(0, std::memcmp(&h.interiorColours[i], primary, 4)) << i;
        EXPECT_EQ(0, std::memcmp(&h.secondaryColours[i], secondary, 4)) << i;
        EXPECT_EQ(0, std::memcmp(&h.driverHairColours[i], secondary, 4)) << i;
    }

    for (const Vec3* array : {carModel.vertices, carModel.undamagedVertices, carModel.damagedVertices}) {
        EXPECT_TRUE(Equal(array, ShapeVertices(shape)));
    }
    for (const Vec3* array : {carModel.normals, carModel.undamagedNormals, carModel.damagedNormals}) {
        EXPECT_TRUE(Equal(array, ShapeNormals(shape)));
    }
    EXPECT_TRUE(Equal(carModel.triangles, ShapeTriangles(shape)));
    EXPECT_TRUE(Equal(carModel.movementFlags, std::vector<uint32_t>(12, MovementFixed)));
    EXPECT_TRUE(Equal(carModel.zeroBlock, std::vector<uint8_t>(12 * 32, 0)));
    EXPECT_TRUE(Equal(fce3Mesh.vertices, ShapeVertices(shape))) << "the staging record keeps the file";
}

TEST_F(Verro3OpenTest, ReadsTablesByTheirOffsetsAlone) {
    Verro3File file = MakeVerro3(SmallCar());
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    const FceKeshHeader first = carModel.header;
    // Other orders and gaps, and whatever the second count, the unused tables and the tail hold.
    file.header.secondaryColourCount = 9;
    std::memset(file.header.reservedTail, 0x77, sizeof file.header.reservedTail);
    for (int k = 3; k < 6; ++k) {
        std::fill(file.tables[k].begin(), file.tables[k].end(), uint8_t(0x3C));
    }
    for (const TableLayout& layout :
         {TableLayout{{5, 4, 3, 2, 1, 0}, 0}, TableLayout{{2, 0, 3, 1, 5, 4}, 13}}) {
        ASSERT_EQ(OpenVerro3Path(Write(file.Build(layout)).c_str()), 1);
        EXPECT_EQ(0, std::memcmp(&first, &carModel.header, sizeof first));
        EXPECT_TRUE(Equal(carModel.vertices, ShapeVertices(SmallCar())));
        EXPECT_TRUE(Equal(carModel.normals, ShapeNormals(SmallCar())));
        EXPECT_TRUE(Equal(carModel.triangles, ShapeTriangles(SmallCar())));
    }
    // An empty car still has real arrays, which is how a loaded car is told.
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(CarShape{}).Build()).c_str()), 1);
    EXPECT_NE(carModel.damagedVertices, nullptr);
    EXPECT_NE(carModel.zeroBlock, nullptr);
    EXPECT_TRUE(responder.messages.empty());
}

Bytes WithHeader(std::function<void(Fce3Header&)> change, const TableLayout& layout = {}) {
    Bytes bytes = MakeVerro3(SmallCar()).Build(layout);
    change(*reinterpret_cast<Fce3Header*>(bytes.data()));
    return bytes;
}

// Every way an open fails: its messages in order, and both records empty afterwards, also
// when a car was loaded before. Headers the model cannot hold are refused before anything
// is allocated for their tables.
TEST_F(Verro3OpenTest, FailuresReportAndLeaveBothRecordsEmpty) {
    struct Case {
        const char* name;
        std::function<Bytes()> contents; // none: the file does not exist
        std::vector<std::string> messages = READ_ERROR;
        bool allocates = true;
    };
    auto refused = [](const char* name, std::function<void(Fce3Header&)> change) {
        return Case{name, [change] { return WithHeader(change); }, READ_ERROR, false};
    };
    const Case cases[] = {
        {"missing", nullptr},
        {"100 bytes", [] { return Bytes(100, 1); }},
        {"header one short", [] { return Bytes(VERRO3_HEADER_SIZE - 1, 0); }},
        {"Kesh mark",
         [] { return WithHeader([](Fce3Header& h) { h.version = KESH_VERSION; }); },
         {MESSAGE_IS_KESH, MESSAGE_READ_ERROR}},
        {"last table one short",
         [] {
             Bytes b = MakeVerro3(SmallCar()).Build(TableLayout{{3, 4, 5, 0, 1, 2}, 0});
             b.pop_back();
             return b;
         },
         READ_ERROR, false},
        refused("table runs past the end", [](Fce3Header& h) { h.tableOffsets[1] = 1300; }), // of 1352 bytes
        refused("offset past 4 GiB", [](Fce3Header& h) { h.tableOffsets[0] = 0xFFFFFFF0; }),
        refused("17 dummies", [](Fce3Header& h) { h.dummyCount = 17; }),
        refused("65 parts", [](Fce3Header& h) { h.partCount = 65; }),
        refused("17 colours", [](Fce3Header& h) { h.colourCount = 17; }),
        refused("part vertices past the table", [](Fce3Header& h) { h.partVertexCount[2] = 5; }),
        refused("part triangles past the table", [](Fce3Header& h) { h.partFirstTriangle[1] = 7; }),
        refused("vertex range wraps",
                [](Fce3Header& h) {
                    h.partFirstVertex[0] = 0xFFFFFFFF;
                    h.partVertexCount[0] = 2;
                }),
        refused("triangle range wraps",
                [](Fce3Header& h) {
                    h.partFirstTriangle[0] = 0xFFFFFFF0;
                    h.partTriangleCount[0] = 0x20;
                }),
        refused("50 million vertices in a small file", [](Fce3Header& h) { h.vertexCount = 50'000'000; }),
        refused("vertex tables overflow 32 bits", [](Fce3Header& h) { h.vertexCount = 0x08000000; }),
        refused("triangle table overflows 32 bits", [](Fce3Header& h) { h.triangleCount = 0x05000000; }),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build(), "previous.fce").c_str()), 1);
        std::string path = dir.File("broken.fce");
        std::filesystem::remove(path);
        if (c.contents) {
            WriteBytes(path, c.contents());
        }
        responder.messages.clear();
        int64_t handedOut = ZeroedBlocksHandedOut();
        EXPECT_EQ(OpenVerro3Path(path.c_str()), 0);
        EXPECT_EQ(responder.messages, c.messages);
        EXPECT_STRNE(LastFailureReason(), "");
        EXPECT_TRUE(ModelIsEmpty());
        EXPECT_TRUE(StagingIsEmpty());
        EXPECT_EQ(LiveZeroedBlocks(), 0);
        if (!c.allocates) {
            EXPECT_EQ(ZeroedBlocksHandedOut(), handedOut);
        }
        // Trying to read a file never creates it.
        EXPECT_EQ(FileExists(path), static_cast<bool>(c.contents));
    }
    // Slots beyond partCount are carried, not checked.
    EXPECT_EQ(OpenVerro3Path(Write(WithHeader([](Fce3Header& h) {
                                 h.partFirstVertex[40] = 0xFFFFFFFF;
                                 h.partVertexCount[40] = 0xFFFFFFFF;
                             })).c_str()),
              1);
}

TEST_F(Verro3OpenTest, DialogCommandAsksRemembersTheFolderAndCancelChangesNothing) {
    std::strcpy(lastDirectory, "start-folder");
    responder.Choose(Write(MakeVerro3(SmallCar()).Build()));
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

    const FceKeshHeader before = carModel.header;
    Vec3* vertices = carModel.vertices;
    std::strcpy(lastDirectory, "kept");
    responder.Cancel();
    EXPECT_EQ(OpenVerro3File(), 0);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_EQ(carModel.vertices, vertices);
    EXPECT_EQ(0, std::memcmp(&before, &carModel.header, sizeof before));
    EXPECT_EQ(fce3Mesh.header.vertexCount, 12u);
    EXPECT_TRUE(responder.messages.empty());

    // A file that then fails to open still moves the folder.
    responder.Choose(dir.File("sub-missing.fce"));
    std::strcpy(lastDirectory, "before");
    EXPECT_EQ(OpenVerro3File(), 0);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
    EXPECT_EQ(responder.messages, READ_ERROR);
}

} // namespace
