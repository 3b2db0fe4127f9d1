#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "tests/unit/file_test_support.h"

#include <optional>

namespace {

const char MISMATCH[] = "Loaded FCE and FCE with damages must have equal following values:\r\n"
                        "- number of objects\r\n- total number of vertices\r\n";

// The whole car: the header and every array of SmallCar's counts.
std::vector<Bytes> CarBytes() {
    const uint32_t v = 12;
    return {ArrayBytes(&carModel.header, 1),           ArrayBytes(carModel.vertices, v),
            ArrayBytes(carModel.normals, v),           ArrayBytes(carModel.triangles, 7),
            ArrayBytes(carModel.undamagedVertices, v), ArrayBytes(carModel.undamagedNormals, v),
            ArrayBytes(carModel.damagedVertices, v),   ArrayBytes(carModel.damagedNormals, v),
            ArrayBytes(carModel.movementFlags, v),     ArrayBytes(carModel.zeroBlock, v * 32)};
}

// A damaged variant of SmallCar: the same counts, other vertices and normals.
CarShape DamagedCar(std::vector<uint32_t> partVertexCounts = {5, 3, 4}) {
    CarShape shape = SmallCar(9);
    shape.partVertexCounts = std::move(partVertexCounts);
    shape.partTriangleCounts.resize(shape.partVertexCounts.size(), 1);
    return shape;
}

class DamagedImportTest : public FileCommandTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build(), "normal.fce").c_str()), 1);
    }
};

// Vertices are placed by index: another split of the same totals, tables in another order,
// and fields that would make an open refuse the file do not matter.
TEST_F(DamagedImportTest, TakesOnlyTheDamagedVerticesAndNormals) {
    std::vector<Bytes> before = CarBytes();
    Verro3File file = MakeVerro3(DamagedCar({2, 2, 8}));
    file.header.colourCount = 99;
    file.header.dummyCount = 40;
    std::string path = Write(WithHeader<Fce3Header>(file.Build({{5, 1, 3, 0, 2, 4}, 3}),
                                                    [](Fce3Header& h) { h.tableOffsets[2] = 0xFFFFFFFF; }),
                             "damaged.fce");
    EXPECT_EQ(ImportDamagedPath(path.c_str()), DamagedImportResult::Imported) << LastFailureReason();
    EXPECT_TRUE(responder.messages.empty());
    std::vector<Bytes> after = CarBytes();
    EXPECT_EQ(after[6], file.tables[0]);
    EXPECT_EQ(after[7], file.tables[1]);
    after[6] = before[6];
    after[7] = before[7];
    EXPECT_TRUE(after == before) << "the header and every other array stay";
    EXPECT_TRUE(StagingIsEmpty(damagedFce3Mesh));
}

// Each way an import fails: its messages and reason, the car and the staging record
// untouched, and nothing allocated for a file that is not read. A read failure is reported
// before the counts are compared.
TEST_F(DamagedImportTest, FailuresKeepTheCar) {
    Bytes truncated = MakeVerro3(DamagedCar({40})).Build({{2, 3, 4, 5, 0, 1}, 0});
    truncated.pop_back();
    auto with = [](auto change) {
        return std::optional(WithHeader<Fce3Header>(MakeVerro3(DamagedCar()).Build(), change));
    };
    const std::vector<std::string> mismatch = {MISMATCH}, readError = {MESSAGE_READ_ERROR},
                                   keshError = {MESSAGE_IS_KESH, MESSAGE_READ_ERROR};
    const struct {
        const char* reason;
        std::optional<Bytes> contents; // none: the file does not exist
        const std::vector<std::string>& messages;
    } cases[] = {
        {"its partCount 4 and vertexCount 12 differ from the car's 3 and 12",
         MakeVerro3(DamagedCar({5, 3, 3, 1})).Build(), mismatch},
        {"its partCount 3 and vertexCount 13 differ from the car's 3 and 12",
         MakeVerro3(DamagedCar({5, 3, 5})).Build(), mismatch},
        {"table 1 (normals): 480 bytes at file offset 10884 run past the end of the file (11363 bytes)",
         truncated, readError},
        {"cannot be opened for reading", std::nullopt, readError},
        {"the file is 100 bytes, shorter than the 7940-byte Verro3 header", Bytes(100, 0), readError},
        {"its first word 0x00101014 marks a Verro:Kesh file, not a Verro3 file", MakeKesh(SmallCar()).Build(),
         keshError},
        {"table 0 (vertices): 3600000000 bytes at file offset 7940 run past the end of the file (9292 bytes)",
         with([](auto& h) { h.vertexCount = 300'000'000; }), readError},
        {"vertexCount 536870912 is too large: its tables do not fit 32 bits",
         with([](auto& h) { h.vertexCount = 0x20000000; }), readError},
        {"table 1 (normals) starts at file offset 4294974980, beyond the 4 GiB a file position can reach",
         with([](auto& h) { h.tableOffsets[1] = 0xFFFFFF00; }), readError},
    };
    std::vector<Bytes> before = CarBytes();
    for (const auto& c : cases) {
        std::string path = dir.File("d.fce");
        std::filesystem::remove(path);
        if (c.contents) {
            WriteBytes(path, *c.contents);
        }
        responder.messages.clear();
        int64_t handedOut = ZeroedBlocksHandedOut();
        bool read = &c.messages == &mismatch; // its two tables, and only those, were allocated and read
        EXPECT_EQ(ImportDamagedPath(path.c_str()),
                  read ? DamagedImportResult::CountsDiffer : DamagedImportResult::ReadFailed);
        EXPECT_EQ(ZeroedBlocksHandedOut() - handedOut, read ? 2 : 0) << c.reason;
        EXPECT_EQ(responder.messages, c.messages) << c.reason;
        EXPECT_STREQ(LastFailureReason(), c.reason);
        EXPECT_TRUE(CarBytes() == before && StagingIsEmpty(damagedFce3Mesh)) << c.reason;
        EXPECT_EQ(LiveZeroedBlocks(), 9);
    }
}

// The command counts a file whose tables were read as done, also when its counts differ;
// the folder moves as soon as a file is chosen. Without a car nothing is read.
TEST_F(DamagedImportTest, DialogCommandResultsAndNoCar) {
    responder.Choose(Write(MakeVerro3(DamagedCar({50})).Build(), "other.fce"));
    EXPECT_EQ(ImportDamagedFile(), 1);
    std::strcpy(lastDirectory, "before");
    responder.Choose(dir.File("missing.fce"));
    EXPECT_EQ(ImportDamagedFile(), 0);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
    ReleaseCarModel();
    EXPECT_EQ(ImportDamagedPath(dir.File("other.fce").c_str()), DamagedImportResult::NoCar);
    EXPECT_TRUE(ModelIsEmpty());
    EXPECT_EQ(responder.messages,
              (std::vector<std::string>{MISMATCH, MESSAGE_READ_ERROR, MESSAGE_LOAD_NORMAL_FIRST}));
}

} // namespace
