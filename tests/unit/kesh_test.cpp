#include "model/kesh.h"
#include "tests/unit/file_test_support.h"

#include <fstream>
#include <optional>

namespace {

using KeshTest = FileCommandTest;

TEST_F(KeshTest, ReadsEachTableWhereverItLies) {
    KeshFile file = MakeKesh(SmallCar());
    std::vector<Bytes> files = {file.Build(), file.Build({{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 0}),
                                file.Build({{11, 3, 8, 0, 13, 6, 1, 12, 9, 2, 4, 10, 7, 5}, 17})};
    // Tables that are not read are not looked for, even outside the file.
    files.push_back(WithHeader<FceKeshHeader>(file.Build(), [](FceKeshHeader& h) {
        h.tableOffsets[3] = 0xFFFFFFF0;
        h.tableOffsets[13] = 0x7FFFFFFF;
    }));
    ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build(), "v3.fce").c_str()), 1);
    for (const Bytes& bytes : files) {
        ASSERT_EQ(OpenKeshPath(Write(bytes).c_str()), 1) << LastFailureReason();
        EXPECT_TRUE(StagingIsEmpty());
        EXPECT_EQ(0, std::memcmp(&carModel.header, bytes.data(), KESH_HEADER_SIZE));
        const std::pair<int, const void*> arrays[] = {
            {0, carModel.vertices},          {1, carModel.normals},          {2, carModel.triangles},
            {6, carModel.undamagedVertices}, {7, carModel.undamagedNormals}, {8, carModel.damagedVertices},
            {9, carModel.damagedNormals},    {11, carModel.movementFlags}};
        for (auto [k, array] : arrays) {
            EXPECT_EQ(ArrayBytes(static_cast<const uint8_t*>(array), file.tables[k].size()), file.tables[k])
                << k;
        }
        EXPECT_EQ(ArrayBytes(carModel.zeroBlock, 12 * 32), Bytes(12 * 32, 0));
    }
    EXPECT_TRUE(responder.messages.empty());
}

// Whatever the layout read, the save packs the tables in index order behind the header,
// with zeros in the unread ones, and keeps the rest of the header.
TEST_F(KeshTest, SavePacksTablesWithZerosAndKeepsTheHeader) {
    struct Case {
        CarShape shape;
        size_t size;
    } cases[] = {
        {SmallCar(), 10404},
        {CarShape{{60, 40}, {100, 50}, {}, {}}, 32448},
        // Table 13 (12 bytes a triangle) is longer than zeroBlock (32 bytes a vertex).
        {CarShape{{3}, {40}, {}, {}}, 11388},
        {CarShape{{0}, {5}, {}, {}}, 8588},
        {CarShape{}, 8248},
    };
    for (const Case& c : cases) {
        KeshFile file = MakeKesh(c.shape);
        ASSERT_EQ(
            OpenKeshPath(Write(file.Build({{5, 13, 2, 0, 1, 3, 4, 6, 7, 8, 9, 10, 11, 12}, 5})).c_str()), 1);
        ASSERT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 1);
        Bytes saved = ReadBytes(dir.File("out.fce"));
        for (int k : {3, 4, 5, 10, 12, 13}) {
            file.tables[k].assign(file.tables[k].size(), 0);
        }
        EXPECT_EQ(saved.size(), c.size);
        EXPECT_EQ(saved, file.Build()) << c.size;
        EXPECT_EQ(0, std::memcmp(saved.data(), &carModel.header, KESH_HEADER_SIZE))
            << "the model keeps the offsets";
    }
    EXPECT_TRUE(responder.messages.empty());
}

// Each way an open fails: its messages in order and its reason; both records empty, also
// when a car was loaded before, and nothing allocated for a file that is refused.
TEST_F(KeshTest, FailuresReportAndLeaveTheModelEmpty) {
    Bytes kesh = MakeKesh(SmallCar()).Build();
    auto with = [&](auto change) { return std::optional(WithHeader<FceKeshHeader>(kesh, change)); };
    const struct {
        const char* reason;
        std::optional<Bytes> contents; // none: the file does not exist
        std::vector<std::string> messages = {MESSAGE_READ_ERROR};
    } cases[] = {
        {"cannot be opened for reading", std::nullopt},
        {"the file is 8247 bytes, shorter than the 8248-byte Verro:Kesh header", Bytes(8247, 0)},
        {"its first word 0x00000000 is not the Verro:Kesh mark 0x00101014",
         MakeVerro3(SmallCar()).Build(),
         {MESSAGE_NOT_KESH, MESSAGE_READ_ERROR}},
        {"table 11 (movement values): 48 bytes at file offset 10357 run past the end of the file (10404 "
         "bytes)",
         with([](auto& h) { h.tableOffsets[11] = 10404 - 8248 - 47; })},
        {"table 6 (undamaged vertices) starts at file offset 4294975528, beyond the 4 GiB a file position "
         "can reach",
         with([](auto& h) { h.tableOffsets[6] = 0xFFFFFFF0; })},
        {"colourCount 17 is above 16", with([](auto& h) { h.colourCount = 17; })},
        {"part 0: vertices from 4294967295, 2 of them, lie outside vertexCount 12", with([](auto& h) {
             h.partFirstVertex[0] = 0xFFFFFFFF;
             h.partVertexCount[0] = 2;
         })},
        {"table 0 (vertices): 600000000 bytes at file offset 8248 run past the end of the file (10404 bytes)",
         with([](auto& h) { h.vertexCount = 50'000'000; })},
        {"vertexCount 134217728 is too large: its tables do not fit 32 bits",
         with([](auto& h) { h.vertexCount = 0x08000000; })},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(OpenVerro3Path(Write(MakeVerro3(SmallCar()).Build(), "previous.fce").c_str()), 1);
        std::string path = dir.File("broken.fce");
        std::filesystem::remove(path);
        if (c.contents) {
            WriteBytes(path, *c.contents);
        }
        responder.messages.clear();
        int64_t handedOut = ZeroedBlocksHandedOut();
        EXPECT_EQ(OpenKeshPath(path.c_str()), 0);
        EXPECT_EQ(ZeroedBlocksHandedOut(), handedOut) << c.reason;
        EXPECT_EQ(responder.messages, c.messages) << c.reason;
        EXPECT_TRUE(ModelIsEmpty() && StagingIsEmpty()) << c.reason;
        EXPECT_STREQ(LastFailureReason(), c.reason);
        EXPECT_EQ(FileExists(path), c.contents.has_value()) << "a failed open creates no file";
    }
}

// Table offsets are 32-bit: a table may start anywhere below 4 GiB, also past the 2 GiB
// that a signed position reaches. The file is sparse, so it costs no disk.
TEST_F(KeshTest, TableThreeGigabytesIntoTheFile) {
    KeshFile file = MakeKesh(SmallCar());
    const uint32_t far = 3'000'000'000u;
    std::string path =
        Write(WithHeader<FceKeshHeader>(file.Build(), [&](auto& h) { h.tableOffsets[8] = far; }));
    std::filesystem::resize_file(path, uint64_t{KESH_HEADER_SIZE} + far + file.tables[8].size());
    {
        std::fstream stream(path, std::ios::in | std::ios::out | std::ios::binary);
        stream.seekp(std::streamoff{KESH_HEADER_SIZE} + far);
        stream.write(reinterpret_cast<const char*>(file.tables[8].data()),
                     static_cast<std::streamsize>(file.tables[8].size()));
        ASSERT_TRUE(stream.good());
    }
    ASSERT_EQ(OpenKeshPath(path.c_str()), 1) << LastFailureReason();
    EXPECT_EQ(ArrayBytes(carModel.damagedVertices, 12), file.tables[8]);
}

} // namespace
