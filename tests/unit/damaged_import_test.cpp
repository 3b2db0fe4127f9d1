#include "model/damaged_import.h"
#include "model/failure_reason.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "tests/unit/file_test_support.h"

namespace {

const std::vector<std::string> READ_ERROR = {MESSAGE_READ_ERROR};

// The car as it stands, to see that a failed import leaves all of it alone.
struct CarSnapshot {
    FceKeshHeader header;
    Bytes arrays[9];
    explicit CarSnapshot(uint32_t v, uint32_t t) : header(carModel.header) {
        arrays[0] = ArrayBytes(carModel.vertices, v);
        arrays[1] = ArrayBytes(carModel.normals, v);
        arrays[2] = ArrayBytes(carModel.triangles, t);
        arrays[3] = ArrayBytes(carModel.undamagedVertices, v);
        arrays[4] = ArrayBytes(carModel.undamagedNormals, v);
        arrays[5] = ArrayBytes(carModel.damagedVertices, v);
        arrays[6] = ArrayBytes(carModel.damagedNormals, v);
        arrays[7] = ArrayBytes(carModel.movementFlags, v);
        arrays[8] = ArrayBytes(carModel.zeroBlock, v * 32);
    }
    bool operator==(const CarSnapshot& other) const {
        if (std::memcmp(&header, &other.header, sizeof header) != 0) {
            return false;
        }
        for (int i = 0; i < 9; ++i) {
            if (arrays[i] != other.arrays[i]) {
                return false;
            }
        }
        return true;
    }
};

// A damaged variant of SmallCar: the same counts, other vertices and normals.
CarShape DamagedCar() {
    CarShape shape = SmallCar();
    shape.seed = 9;
    return shape;
}

class DamagedImportTest : public FileCommandTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build(), "normal.fce").c_str()), 1);
    }
    CarSnapshot Snapshot() const { return CarSnapshot(12, 7); }
};

TEST_F(DamagedImportTest, TakesOnlyTheDamagedVerticesAndNormals) {
    CarSnapshot before = Snapshot();
    EXPECT_EQ(ImportDamagedPath(Write(MakeVerro3(DamagedCar()).Build(), "damaged.fce").c_str()),
              DamagedImportResult::Imported);
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), AsBytes(ShapeVertices(DamagedCar())));
    EXPECT_EQ(ArrayBytes(carModel.damagedNormals, 12), AsBytes(ShapeNormals(DamagedCar())));
    CarSnapshot after = Snapshot();
    after.arrays[5] = before.arrays[5];
    after.arrays[6] = before.arrays[6];
    EXPECT_TRUE(after == before) << "header and every other array unchanged";
    EXPECT_TRUE(StagingIsEmpty(damagedFce3Mesh));
}

TEST_F(DamagedImportTest, OwnFileGivesTheNormalGeometry) {
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build(), "v3.fce").c_str()), 1);
    std::memset(carModel.damagedVertices, 0, 12 * 12);
    EXPECT_EQ(ImportDamagedPath(dir.File("v3.fce").c_str()), DamagedImportResult::Imported);
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), ArrayBytes(carModel.vertices, 12));
    EXPECT_EQ(ArrayBytes(carModel.damagedNormals, 12), ArrayBytes(carModel.normals, 12));
}

TEST_F(DamagedImportTest, OtherSplitOfTheSameTotalsIsPlacedByIndex) {
    CarShape split = DamagedCar();
    split.partVertexCounts = {2, 2, 8};
    split.partTriangleCounts = {1, 1, 1};
    Verro3File file = MakeVerro3(split);
    EXPECT_EQ(ImportDamagedPath(Write(file.Build(TableLayout{{5, 1, 3, 0, 2, 4}, 3}), "d.fce").c_str()),
              DamagedImportResult::Imported);
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), file.tables[0]);
    EXPECT_EQ(ArrayBytes(carModel.damagedNormals, 12), file.tables[1]);
}

TEST_F(DamagedImportTest, DifferentCountsChangeNothing) {
    CarSnapshot before = Snapshot();
    CarShape onePartMore = DamagedCar();
    onePartMore.partVertexCounts = {5, 3, 3, 1};
    onePartMore.partTriangleCounts = {4, 1, 1, 1};
    CarShape oneVertexMore = DamagedCar();
    oneVertexMore.partVertexCounts = {5, 3, 5};
    for (const CarShape& shape : {onePartMore, oneVertexMore}) {
        responder.messages.clear();
        EXPECT_EQ(ImportDamagedPath(Write(MakeVerro3(shape).Build(), "d.fce").c_str()),
                  DamagedImportResult::CountsDiffer);
        EXPECT_EQ(
            responder.messages,
            std::vector<std::string>{"Loaded FCE and FCE with damages must have equal following values:\r\n"
                                     "- number of objects\r\n- total number of vertices\r\n"});
        EXPECT_TRUE(Snapshot() == before);
    }
    EXPECT_STREQ(LastFailureReason(), "its partCount 3 and vertexCount 13 differ from the car's 3 and 12");
}

// A read failure is reported before the counts are compared.
TEST_F(DamagedImportTest, ReadFailuresComeBeforeTheMatchTest) {
    CarSnapshot before = Snapshot();
    CarShape other;
    other.partVertexCounts = {40};
    other.partTriangleCounts = {1};
    Bytes truncated = MakeVerro3(other).Build(TableLayout{{2, 3, 4, 5, 0, 1}, 0});
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(ImportDamagedPath(Write(truncated, "d.fce").c_str()), DamagedImportResult::ReadFailed);
    EXPECT_EQ(responder.messages, READ_ERROR);
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_STREQ(
        LastFailureReason(),
        "table 1 (normals): 480 bytes at file offset 10716 run past the end of the file (11195 bytes)");
}

struct ImportFailureCase {
    const char* name;
    std::function<Bytes()> contents; // empty function: the file does not exist
    std::vector<std::string> messages;
    const char* reason;
};

void PrintTo(const ImportFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class DamagedImportFailureTest : public DamagedImportTest,
                                 public ::testing::WithParamInterface<ImportFailureCase> {};

TEST_P(DamagedImportFailureTest, KeepsTheCarAndAllocatesNothing) {
    CarSnapshot before = Snapshot();
    std::string path = dir.File("d.fce");
    if (GetParam().contents) {
        WriteBytes(path, GetParam().contents());
    }
    int64_t handedOut = ZeroedBlocksHandedOut();
    EXPECT_EQ(ImportDamagedPath(path.c_str()), DamagedImportResult::ReadFailed);
    EXPECT_EQ(ZeroedBlocksHandedOut(), handedOut);
    EXPECT_EQ(responder.messages, GetParam().messages);
    EXPECT_STREQ(LastFailureReason(), GetParam().reason);
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_TRUE(StagingIsEmpty(damagedFce3Mesh));
    EXPECT_EQ(LiveZeroedBlocks(), 9);
}

Bytes DamagedWith(std::function<void(Fce3Header&)> change) {
    Bytes bytes = MakeVerro3(DamagedCar()).Build();
    Fce3Header header = HeaderOf<Fce3Header>(bytes);
    change(header);
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, DamagedImportFailureTest,
    ::testing::Values(
        ImportFailureCase{"Missing", nullptr, READ_ERROR, "cannot be opened for reading"},
        ImportFailureCase{"ShortHeader", [] { return Bytes(100, 0); }, READ_ERROR,
                          "the file is 100 bytes, shorter than the 7940-byte Verro3 header"},
        ImportFailureCase{"KeshFile",
                          [] { return MakeKesh(SmallCar()).Build(); },
                          {MESSAGE_IS_KESH, MESSAGE_READ_ERROR},
                          "its first word 0x00101014 marks a Verro:Kesh file, not a Verro3 file"},
        ImportFailureCase{
            "HugeVertexCountInASmallFile",
            [] { return DamagedWith([](Fce3Header& h) { h.vertexCount = 300'000'000; }); }, READ_ERROR,
            "table 0 (vertices): 3600000000 bytes at file offset 7940 run past the end of the file "
            "(9292 bytes)"},
        ImportFailureCase{"VertexTablesOverflow32Bits",
                          [] { return DamagedWith([](Fce3Header& h) { h.vertexCount = 0x20000000; }); },
                          READ_ERROR, "vertexCount 536870912 is too large: its tables do not fit 32 bits"},
        ImportFailureCase{
            "NormalsBeyondFourGigabytes",
            [] { return DamagedWith([](Fce3Header& h) { h.tableOffsets[1] = 0xFFFFFF00; }); }, READ_ERROR,
            "table 1 (normals) starts at file offset 4294974980, beyond the 4 GiB a file position "
            "can reach"}),
    [](const auto& info) { return std::string(info.param.name); });

// Only the counts and the two tables of the damaged file matter: limits that would make
// an open refuse it do not stop the import.
TEST_F(DamagedImportTest, OtherFieldsOfTheDamagedHeaderAreNotChecked) {
    Bytes bytes = DamagedWith([](Fce3Header& h) {
        h.colourCount = 99;
        h.dummyCount = 40;
        h.tableOffsets[2] = 0xFFFFFFFF;
    });
    EXPECT_EQ(ImportDamagedPath(Write(bytes, "d.fce").c_str()), DamagedImportResult::Imported);
}

TEST_F(DamagedImportTest, SecondImportReplacesTheFirst) {
    ASSERT_EQ(ImportDamagedPath(Write(MakeVerro3(DamagedCar()).Build(), "a.fce").c_str()),
              DamagedImportResult::Imported);
    CarShape third = DamagedCar();
    third.seed = 20;
    ASSERT_EQ(ImportDamagedPath(Write(MakeVerro3(third).Build(), "b.fce").c_str()),
              DamagedImportResult::Imported);
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), AsBytes(ShapeVertices(third)));
}

TEST_F(DamagedImportTest, DialogCommand) {
    std::strcpy(lastDirectory, "start-folder");
    TempDir other;
    WriteBytes(other.File("d.fce"), MakeVerro3(DamagedCar()).Build());
    responder.Choose(other.File("d.fce"));
    EXPECT_EQ(ImportDamagedFile(), 1);
    ASSERT_EQ(responder.requests.size(), 1u);
    const RecordedRequest& request = responder.requests[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.filter, std::string("Verro3 car meshes (*.fce)\0*.fce\0", 32));
    EXPECT_EQ(request.filterIndex, 1u);
    EXPECT_FALSE(request.hasDefaultExtension);
    EXPECT_EQ(request.flags, 0x00281804u);
    EXPECT_EQ(request.initialDirectory, "start-folder");
    EXPECT_EQ(std::string(lastDirectory), other.Folder());

    // Counts that differ still count as read; a file that is not read does not.
    CarShape bigger = DamagedCar();
    bigger.partVertexCounts = {50};
    bigger.partTriangleCounts = {1};
    WriteBytes(other.File("big.fce"), MakeVerro3(bigger).Build());
    responder.Choose(other.File("big.fce"));
    EXPECT_EQ(ImportDamagedFile(), 1);
    std::strcpy(lastDirectory, "before");
    responder.Choose(other.File("missing.fce"));
    EXPECT_EQ(ImportDamagedFile(), 0);
    EXPECT_EQ(std::string(lastDirectory), other.Folder()) << "the folder moves also when the import fails";
}

TEST_F(DamagedImportTest, CancelChangesNothing) {
    CarSnapshot before = Snapshot();
    std::strcpy(lastDirectory, "kept");
    responder.Cancel();
    EXPECT_EQ(ImportDamagedFile(), 0);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_TRUE(Snapshot() == before);
}

TEST_F(DamagedImportTest, WithoutACarNoDialogIsShown) {
    ReleaseFce3Mesh();
    ReleaseCarModel();
    std::strcpy(lastDirectory, "kept");
    EXPECT_EQ(ImportDamagedFile(), 0);
    EXPECT_TRUE(responder.requests.empty());
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST});
    EXPECT_EQ(ImportDamagedPath(Write(MakeVerro3(DamagedCar()).Build(), "d.fce").c_str()),
              DamagedImportResult::NoCar);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_TRUE(ModelIsEmpty());
}

} // namespace
