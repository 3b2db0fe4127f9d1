#include "model/failure_reason.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "tests/unit/file_test_support.h"

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

const std::vector<std::string> READ_ERROR = {MESSAGE_READ_ERROR};
const std::vector<std::string> WRITE_ERROR = {MESSAGE_WRITE_ERROR};

// The packed offsets and the length of a Kesh file that the program writes.
std::vector<uint32_t> PackedOffsets(uint32_t v, uint32_t t) {
    return {0,
            12 * v,
            24 * v,
            24 * v + 56 * t,
            56 * v + 56 * t,
            68 * v + 56 * t,
            80 * v + 56 * t,
            92 * v + 56 * t,
            104 * v + 56 * t,
            116 * v + 56 * t,
            128 * v + 56 * t,
            132 * v + 56 * t,
            136 * v + 56 * t,
            140 * v + 56 * t};
}

Bytes KeshTable(const Bytes& file, int k, uint32_t size) {
    return Slice(file, KESH_HEADER_SIZE + HeaderOf<FceKeshHeader>(file).tableOffsets[k], size);
}

using KeshTest = FileCommandTest;

TEST_F(KeshTest, OpensEveryTableIntoItsArray) {
    CarShape shape = SmallCar();
    KeshFile file = MakeKesh(shape);
    ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1);
    EXPECT_TRUE(responder.messages.empty());
    const int arrays[] = {0, 1, 2, 6, 7, 8, 9, 11};
    const void* model[] = {carModel.vertices,          carModel.normals,          carModel.triangles,
                           carModel.undamagedVertices, carModel.undamagedNormals, carModel.damagedVertices,
                           carModel.damagedNormals,    carModel.movementFlags};
    for (size_t i = 0; i < std::size(arrays); ++i) {
        const Bytes& table = file.tables[arrays[i]];
        EXPECT_EQ(ArrayBytes(static_cast<const uint8_t*>(model[i]), table.size()), table) << arrays[i];
    }
    EXPECT_TRUE(AllZero(ArrayBytes(carModel.zeroBlock, 12 * 32)));
    // The header is the file's, offsets included.
    Bytes built = file.Build();
    EXPECT_EQ(0, std::memcmp(&carModel.header, built.data(), KESH_HEADER_SIZE));
    EXPECT_TRUE(StagingIsEmpty());
}

TEST_F(KeshTest, FindsTablesInAnyOrderWithGaps) {
    KeshFile file = MakeKesh(SmallCar());
    for (TableLayout layout :
         {TableLayout{{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 0},
          TableLayout{{11, 3, 8, 0, 13, 6, 1, 12, 9, 2, 4, 10, 7, 5}, 17}, TableLayout{{}, 999}}) {
        ASSERT_EQ(OpenKeshPath(Write(file.Build(layout)).c_str()), 1);
        EXPECT_EQ(ArrayBytes(carModel.triangles, 7), file.tables[2]);
        EXPECT_EQ(ArrayBytes(carModel.damagedNormals, 12), file.tables[9]);
        EXPECT_EQ(ArrayBytes(carModel.movementFlags, 12), file.tables[11]);
    }
    EXPECT_TRUE(responder.messages.empty());
}

TEST_F(KeshTest, SaveWritesPackedTablesZerosAndTheSameHeader) {
    KeshFile file = MakeKesh(SmallCar());
    Bytes original = file.Build(TableLayout{{5, 13, 2, 0, 1, 3, 4, 6, 7, 8, 9, 10, 11, 12}, 5});
    ASSERT_EQ(OpenKeshPath(Write(original, "in.fce").c_str()), 1);
    std::string out = dir.File("out.fce");
    ASSERT_EQ(SaveKeshPath(out.c_str()), 1);
    EXPECT_TRUE(responder.messages.empty());

    Bytes saved = ReadBytes(out);
    const uint32_t v = 12, t = 7;
    ASSERT_EQ(saved.size(), 8248u + 140 * v + 68 * t);
    FceKeshHeader before = HeaderOf<FceKeshHeader>(original), after = HeaderOf<FceKeshHeader>(saved);
    EXPECT_EQ(std::vector<uint32_t>(after.tableOffsets, after.tableOffsets + 14), PackedOffsets(v, t));
    // The model now holds the offsets it wrote.
    EXPECT_EQ(0, std::memcmp(carModel.header.tableOffsets, after.tableOffsets, sizeof after.tableOffsets));
    std::memcpy(before.tableOffsets, after.tableOffsets, sizeof before.tableOffsets);
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before)) << "the header travels whole";

    const uint32_t sizes[14] = {12 * v, 12 * v, 56 * t, 32 * v, 12 * v, 12 * v, 12 * v,
                                12 * v, 12 * v, 12 * v, 4 * v,  4 * v,  4 * v,  12 * t};
    for (int k : {0, 1, 2, 6, 7, 8, 9, 11}) {
        EXPECT_EQ(KeshTable(saved, k, sizes[k]), file.tables[k]) << k;
    }
    for (int k : {3, 4, 5, 10, 12, 13}) {
        Bytes table = KeshTable(saved, k, sizes[k]);
        EXPECT_EQ(table.size(), sizes[k]) << k;
        EXPECT_TRUE(AllZero(table)) << k;
    }
}

TEST_F(KeshTest, HundredVerticesAndHundredFiftyTriangles) {
    CarShape shape;
    shape.partVertexCounts = {60, 40};
    shape.partTriangleCounts = {100, 50};
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(shape).Build()).c_str()), 1);
    ASSERT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 1);
    Bytes saved = ReadBytes(dir.File("out.fce"));
    EXPECT_EQ(saved.size(), 32448u);
    EXPECT_EQ(HeaderOf<FceKeshHeader>(saved).tableOffsets[13], 22400u);
    Bytes last = Slice(saved, 8248 + 22400, 1800);
    EXPECT_EQ(last.size(), 1800u);
    EXPECT_TRUE(AllZero(last));
}

// Table 13 (12 bytes a triangle) outgrows zeroBlock (32 bytes a vertex) on cars with many
// more triangles than vertices, and on cars without vertices at all.
TEST_F(KeshTest, LastZeroTableLongerThanTheZeroBlock) {
    for (auto [vertices, triangles] : {std::pair{3u, 40u}, std::pair{0u, 5u}}) {
        CarShape shape;
        shape.partVertexCounts = {vertices};
        shape.partTriangleCounts = {triangles};
        ASSERT_EQ(OpenKeshPath(Write(MakeKesh(shape).Build()).c_str()), 1);
        ASSERT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 1);
        Bytes saved = ReadBytes(dir.File("out.fce"));
        ASSERT_EQ(saved.size(), 8248u + 140 * vertices + 68 * triangles);
        EXPECT_TRUE(AllZero(KeshTable(saved, 13, 12 * triangles)));
        EXPECT_EQ(HeaderOf<FceKeshHeader>(saved).tableOffsets[13], 140 * vertices + 56 * triangles);
    }
}

TEST_F(KeshTest, EmptyCarRoundTrip) {
    KeshFile file = MakeKesh(CarShape{});
    ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1);
    EXPECT_TRUE(CarModelIsLoaded());
    ASSERT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 1);
    EXPECT_EQ(ReadBytes(dir.File("out.fce")).size(), KESH_HEADER_SIZE);
    ASSERT_EQ(OpenKeshPath(dir.File("out.fce").c_str()), 1);
}

TEST_F(KeshTest, SavedFileReopensAsTheSameCar) {
    KeshFile file = MakeKesh(SmallCar());
    ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1);
    ASSERT_EQ(SaveKeshPath(dir.File("a.fce").c_str()), 1);
    ASSERT_EQ(OpenKeshPath(dir.File("a.fce").c_str()), 1);
    ASSERT_EQ(SaveKeshPath(dir.File("b.fce").c_str()), 1);
    EXPECT_EQ(ReadBytes(dir.File("a.fce")), ReadBytes(dir.File("b.fce")));
}

TEST_F(KeshTest, Verro3CarBecomesAKeshFile) {
    CarShape shape = SmallCar();
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(shape).Build()).c_str()), 1);
    ASSERT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 1);
    Bytes saved = ReadBytes(dir.File("out.fce"));
    FceKeshHeader header = HeaderOf<FceKeshHeader>(saved);
    EXPECT_EQ(header.version, KESH_VERSION);
    EXPECT_EQ(header.reservedWord, 0u);
    Bytes vertices = AsBytes(ShapeVertices(shape)), normals = AsBytes(ShapeNormals(shape));
    for (int k : {0, 6, 8}) {
        EXPECT_EQ(KeshTable(saved, k, 144), vertices) << k;
    }
    for (int k : {1, 7, 9}) {
        EXPECT_EQ(KeshTable(saved, k, 144), normals) << k;
    }
    EXPECT_EQ(KeshTable(saved, 2, 7 * 56), AsBytes(ShapeTriangles(shape)));
    EXPECT_EQ(KeshTable(saved, 11, 48), AsBytes(std::vector<uint32_t>(12, MovementFixed)));
}

// Each way an open can fail: the messages in order, the reason, and both records empty
// afterwards, also when a car was loaded before.
struct FailureCase {
    const char* name;
    std::function<Bytes()> contents; // empty function: the file does not exist
    std::vector<std::string> messages;
    const char* reason; // a part of the reason noted
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class KeshFailureTest : public KeshTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(KeshFailureTest, ReportsAndLeavesTheModelEmpty) {
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build(), "previous.fce").c_str()), 1);
    std::string path = dir.File("broken.fce");
    if (GetParam().contents) {
        WriteBytes(path, GetParam().contents());
    }
    EXPECT_EQ(OpenKeshPath(path.c_str()), 0);
    EXPECT_EQ(responder.messages, GetParam().messages);
    EXPECT_TRUE(ModelIsEmpty());
    EXPECT_TRUE(StagingIsEmpty());
    EXPECT_EQ(LiveZeroedBlocks(), 0);
    EXPECT_NE(std::string(LastFailureReason()).find(GetParam().reason), std::string::npos)
        << LastFailureReason();
    EXPECT_EQ(FileExists(path), static_cast<bool>(GetParam().contents));
}

Bytes ChangedKesh(std::function<void(Bytes&, FceKeshHeader&)> change) {
    Bytes bytes = MakeKesh(SmallCar()).Build();
    FceKeshHeader header = HeaderOf<FceKeshHeader>(bytes);
    change(bytes, header);
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, KeshFailureTest,
    ::testing::Values(
        FailureCase{"Missing", nullptr, READ_ERROR, "cannot be opened"},
        FailureCase{"HeaderOneShort", [] { return Bytes(KESH_HEADER_SIZE - 1, 0); }, READ_ERROR,
                    "the file is 8247 bytes, shorter than the 8248-byte Verro:Kesh header"},
        FailureCase{"SmallVerro3File", [] { return MakeVerro3(CarShape{}).Build(); }, READ_ERROR,
                    "shorter than the 8248-byte"},
        FailureCase{"Verro3File",
                    [] { return MakeVerro3(SmallCar()).Build(); },
                    {MESSAGE_NOT_KESH, MESSAGE_READ_ERROR},
                    "first word 0x00000000 is not the Verro:Kesh mark 0x00101014"},
        FailureCase{"TruncatedLastTable",
                    [] {
                        Bytes b = MakeKesh(SmallCar())
                                      .Build(TableLayout{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 11}, 0});
                        b.pop_back();
                        return b;
                    },
                    READ_ERROR, "table 11 (movement values): 48 bytes at file offset"},
        FailureCase{"TableBeyondEnd",
                    [] {
                        return ChangedKesh([](Bytes& b, FceKeshHeader& h) {
                            h.tableOffsets[8] = static_cast<uint32_t>(b.size());
                        });
                    },
                    READ_ERROR, "table 8 (damaged vertices)"},
        FailureCase{
            "OffsetPastFourGigabytes",
            [] { return ChangedKesh([](Bytes&, FceKeshHeader& h) { h.tableOffsets[6] = 0xFFFFFFF0; }); },
            READ_ERROR, "table 6 (undamaged vertices) starts at file offset 4294975528"}),
    [](const auto& info) { return std::string(info.param.name); });

// Table offsets are 32-bit: a table may start anywhere below 4 GiB, also past the 2 GiB
// that a signed position would reach. The file is sparse, so it costs no disk.
TEST_F(KeshTest, TableThreeGigabytesIntoTheFile) {
    KeshFile file = MakeKesh(SmallCar());
    Bytes bytes = file.Build();
    const uint32_t farOffset = 3'000'000'000u;
    FceKeshHeader header = HeaderOf<FceKeshHeader>(bytes);
    header.tableOffsets[8] = farOffset;
    std::memcpy(bytes.data(), &header, sizeof header);
    std::string path = Write(bytes);
    std::filesystem::resize_file(path, uint64_t{KESH_HEADER_SIZE} + farOffset + file.tables[8].size());
    {
        std::fstream stream(path, std::ios::in | std::ios::out | std::ios::binary);
        stream.seekp(std::streamoff{KESH_HEADER_SIZE} + farOffset);
        stream.write(reinterpret_cast<const char*>(file.tables[8].data()),
                     static_cast<std::streamsize>(file.tables[8].size()));
        ASSERT_TRUE(stream.good());
    }
    ASSERT_EQ(OpenKeshPath(path.c_str()), 1) << LastFailureReason();
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), file.tables[8]);
}

// A Kesh file whose unread tables lie anywhere, even outside the file, is still a car.
TEST_F(KeshTest, UnreadTablesAreNotChecked) {
    Bytes bytes = ChangedKesh([](Bytes&, FceKeshHeader& h) {
        h.tableOffsets[3] = 0xFFFFFFF0;
        h.tableOffsets[13] = 0x7FFFFFFF;
    });
    EXPECT_EQ(OpenKeshPath(Write(bytes).c_str()), 1);
}

// Headers that break what the rest of the program relies on are refused before anything
// is allocated for their tables, as the Verro3 reader refuses them.
struct RefusalCase {
    const char* name;
    std::function<void(FceKeshHeader&)> change;
    const char* reason;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class KeshRefusalTest : public KeshTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(KeshRefusalTest, RefusesWithoutAllocating) {
    Bytes bytes = ChangedKesh([](Bytes&, FceKeshHeader& h) { GetParam().change(h); });
    int64_t before = ZeroedBlocksHandedOut();
    EXPECT_EQ(OpenKeshPath(Write(bytes).c_str()), 0);
    EXPECT_EQ(ZeroedBlocksHandedOut(), before);
    EXPECT_EQ(responder.messages, READ_ERROR);
    EXPECT_TRUE(ModelIsEmpty());
    EXPECT_STREQ(LastFailureReason(), GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, KeshRefusalTest,
    ::testing::Values(
        RefusalCase{"SeventeenDummies", [](FceKeshHeader& h) { h.dummyCount = 17; },
                    "dummyCount 17 is above 16"},
        RefusalCase{"SixtyFiveParts", [](FceKeshHeader& h) { h.partCount = 65; }, "partCount 65 is above 64"},
        RefusalCase{"SeventeenColours", [](FceKeshHeader& h) { h.colourCount = 17; },
                    "colourCount 17 is above 16"},
        RefusalCase{"PartVerticesPastTable", [](FceKeshHeader& h) { h.partVertexCount[2] = 5; },
                    "part 2: vertices from 8, 5 of them, lie outside vertexCount 12"},
        RefusalCase{"PartTrianglesPastTable", [](FceKeshHeader& h) { h.partFirstTriangle[1] = 7; },
                    "part 1: triangles from 7, 1 of them, lie outside triangleCount 7"},
        RefusalCase{"VertexRangeWraps",
                    [](FceKeshHeader& h) {
                        h.partFirstVertex[0] = 0xFFFFFFFF;
                        h.partVertexCount[0] = 2;
                    },
                    "part 0: vertices from 4294967295, 2 of them, lie outside vertexCount 12"},
        RefusalCase{"FiftyMillionVerticesInASmallFile", [](FceKeshHeader& h) { h.vertexCount = 50'000'000; },
                    "table 0 (vertices): 600000000 bytes at file offset 8248 run past the end of the file "
                    "(10404 bytes)"},
        RefusalCase{"VertexTablesOverflow32Bits", [](FceKeshHeader& h) { h.vertexCount = 0x08000000; },
                    "vertexCount 134217728 is too large: its tables do not fit 32 bits"},
        RefusalCase{"TriangleTableOverflows32Bits", [](FceKeshHeader& h) { h.triangleCount = 0x05000000; },
                    "triangleCount 83886080 is too large: its table does not fit 32 bits"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeshTest, OpenDialogAsksAndRemembersTheFolder) {
    std::strcpy(lastDirectory, "start-folder");
    responder.Choose(Write(MakeKesh(SmallCar()).Build()));
    ASSERT_EQ(OpenKeshFile(), 1);
    ASSERT_EQ(responder.requests.size(), 1u);
    const RecordedRequest& request = responder.requests[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.filter, std::string("Verro:Kesh car meshes (*.fce)\0*.fce\0", 36));
    EXPECT_EQ(request.filterIndex, 1u);
    EXPECT_FALSE(request.hasDefaultExtension);
    EXPECT_EQ(request.flags, 0x00281804u);
    EXPECT_EQ(request.initialDirectory, "start-folder");
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
}

TEST_F(KeshTest, SaveDialogAsksAndRemembersTheFolder) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    std::strcpy(lastDirectory, "start-folder");
    TempDir other;
    responder.Choose(other.File("saved.fce"));
    ASSERT_EQ(SaveKeshFile(), 1);
    ASSERT_EQ(responder.requests.size(), 1u);
    const RecordedRequest& request = responder.requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filter, std::string("Verro:Kesh car meshes (*.fce)\0*.fce\0", 36));
    EXPECT_EQ(request.filterIndex, 1u);
    EXPECT_EQ(request.defaultExtension, "fce");
    EXPECT_EQ(request.flags, 0x00280006u);
    EXPECT_EQ(request.initialDirectory, "start-folder");
    EXPECT_EQ(std::string(lastDirectory), other.Folder());
    EXPECT_EQ(ReadBytes(other.File("saved.fce")).size(), 8248u + 140 * 12 + 68 * 7);
}

TEST_F(KeshTest, CancelledDialogsChangeNothing) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    FceKeshHeader before = carModel.header;
    Vec3* vertices = carModel.vertices;
    std::strcpy(lastDirectory, "kept");
    responder.Cancel();
    EXPECT_EQ(OpenKeshFile(), 0);
    responder.Cancel();
    EXPECT_EQ(SaveKeshFile(), 0);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_EQ(carModel.vertices, vertices);
    EXPECT_EQ(0, std::memcmp(&before, &carModel.header, sizeof before));
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(FolderEntries(dir.Folder()), std::vector<std::string>{"car.fce"});
}

TEST_F(KeshTest, FailedOpenStillMovesTheFolderAndEmptiesTheModel) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    std::strcpy(lastDirectory, "before");
    responder.Choose(dir.File("missing.fce"));
    EXPECT_EQ(OpenKeshFile(), 0);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
    EXPECT_EQ(responder.messages, READ_ERROR);
    EXPECT_TRUE(ModelIsEmpty());
}

TEST_F(KeshTest, SaveWithoutACarWritesNothing) {
    EXPECT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 0);
    EXPECT_EQ(responder.messages, WRITE_ERROR);
    EXPECT_TRUE(FolderEntries(dir.Folder()).empty());
}

TEST_F(KeshTest, KeshMarkIsTheFirstWord) {
    EXPECT_TRUE(HasKeshMark(Write(MakeKesh(SmallCar()).Build(), "k.fce").c_str()));
    EXPECT_FALSE(HasKeshMark(Write(MakeVerro3(SmallCar()).Build(), "v.fce").c_str()));
    EXPECT_FALSE(HasKeshMark(Write(Bytes{0x14, 0x10, 0x10}, "short.fce").c_str()));
    EXPECT_FALSE(HasKeshMark(dir.File("missing.fce").c_str()));
}

} // namespace
