#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "tests/unit/file_test_support.h"

#include <cstring>
#include <functional>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

using CarFilesTest = FileCommandTest;
using Messages = std::vector<std::string>;
const Messages READ_ERROR = {MESSAGE_READ_ERROR};

// The nine arrays of the loaded car of vertexCount v and triangleCount t.
std::vector<Bytes> ModelArrays(size_t v, size_t t) {
    return {AsBytes(carModel.vertices, v),         AsBytes(carModel.normals, v),
            AsBytes(carModel.triangles, t),        AsBytes(carModel.undamagedVertices, v),
            AsBytes(carModel.undamagedNormals, v), AsBytes(carModel.damagedVertices, v),
            AsBytes(carModel.damagedNormals, v),   AsBytes(carModel.movementFlags, v),
            AsBytes(carModel.zeroBlock, v * 32)};
}

// Random cars, tables shuffled with gaps. Verro3 comes back, directly and through Kesh, but for
// what the model drops (version, second colour count, colours past the count or above 8 bits,
// reserved tail, unused tables); Kesh comes back packed in index order, zeros in unkept tables.
TEST_F(CarFilesTest, EveryCarSurvivesTheRoundTripsItsLayoutAllows) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        const CarShape shape = RandomShape(seed);
        Verro3File file = MakeVerro3(shape), back = file.WithZeros({3, 4, 5});
        file.header.version = seed;
        file.header.secondaryColourCount = seed * 7;
        std::memset(file.header.reservedTail, int(seed), sizeof file.header.reservedTail);
        for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
            file.header.primaryColours[i].hue += 256 * seed + i;
            file.header.secondaryColours[i].value += i;
            if (i < shape.colourCount) {
                back.header.primaryColours[i].hue = uint8_t(file.header.primaryColours[i].hue);
                back.header.secondaryColours[i].value = uint8_t(file.header.secondaryColours[i].value);
            }
        }
        ASSERT_EQ(OpenVerro3Path(Write(file.Build(ShuffledLayout(6, seed))).c_str()), 1)
            << LastFailureReason();
        const FceKeshHeader& h = carModel.header;
        EXPECT_EQ(AsBytes(h.interiorColours, 16), AsBytes(h.primaryColours, 16));
        EXPECT_EQ(AsBytes(h.driverHairColours, 16), AsBytes(h.secondaryColours, 16));
        EXPECT_EQ(h.secondaryColours[15].value, uint8_t(file.header.secondaryColours[15].value));
        const size_t v = h.vertexCount;
        const Bytes* t = file.tables;
        EXPECT_EQ(ModelArrays(v, h.triangleCount),
                  (std::vector<Bytes>{t[0], t[1], t[2], t[0], t[1], t[0], t[1],
                                      AsBytes(std::vector<uint32_t>(v, MovementFixed)), Bytes(v * 32, 0)}));
        for (int pass = 0; pass < 4; ++pass) {
            if (pass == 2) {
                ASSERT_EQ(SaveKeshPath(dir.File("kesh.fce").c_str()), 1);
                ASSERT_EQ(OpenKeshPath(dir.File("kesh.fce").c_str()), 1);
            }
            ASSERT_EQ(SaveVerro3Path(dir.File("back.fce").c_str(), 1 + pass % 2), 1);
            EXPECT_EQ(ReadBytes(dir.File("back.fce")), back.Build()) << pass;
        }

        const KeshFile kesh = MakeKesh(shape);
        const Bytes bytes = kesh.Build(ShuffledLayout(KESH_TABLE_COUNT, seed));
        ASSERT_EQ(OpenKeshPath(Write(bytes).c_str()), 1) << LastFailureReason();
        EXPECT_EQ(AsBytes(&h, 1), Bytes(bytes.begin(), bytes.begin() + KESH_HEADER_SIZE));
        t = kesh.tables;
        EXPECT_EQ(ModelArrays(v, h.triangleCount),
                  (std::vector<Bytes>{t[0], t[1], t[2], t[6], t[7], t[8], t[9], t[11], Bytes(v * 32, 0)}));
        ASSERT_EQ(SaveKeshPath(dir.File("out.fce").c_str()), 1);
        EXPECT_EQ(ReadBytes(dir.File("out.fce")), kesh.WithZeros({3, 4, 5, 10, 12, 13}).Build());
        Verro3File verro3 = MakeVerro3(shape).WithZeros({3, 4, 5});
        for (uint32_t i = 0; i < shape.colourCount; ++i) {
            const FceColour& s = kesh.header.secondaryColours[i];
            verro3.header.secondaryColours[i] = {s.hue, s.saturation, s.value, s.transparency};
        }
        for (uint32_t fileType : {1u, 2u, 7u}) {
            verro3.tables[0] = t[fileType == VERRO3_NORMAL_FILE ? 0 : 8];
            verro3.tables[1] = t[fileType == VERRO3_NORMAL_FILE ? 1 : 9];
            ASSERT_EQ(SaveVerro3Path(dir.File("out.fce").c_str(), fileType), 1);
            EXPECT_EQ(ReadBytes(dir.File("out.fce")), verro3.Build()) << "file type " << fileType;
        }
    }
}

// Refused before anything is allocated: an open empties the model, an import keeps the car.
TEST_F(CarFilesTest, AFileCutShortAnywhereIsRefused) {
    auto import = [](const char* path) {
        return ImportDamagedPath(path) == DamagedImportResult::Imported ? 1 : 0;
    };
    const struct {
        Bytes file; // a table that is read comes last, so that every cut reaches one
        int (*read)(const char*);
        bool keepsCar;
    } readers[] = {
        {MakeVerro3(SmallCar()).Build({{3, 4, 5, 0, 1, 2}, 0}), OpenVerro3Path, false},
        {MakeKesh(SmallCar()).Build({{3, 4, 5, 10, 12, 13, 0, 1, 2, 6, 7, 8, 9, 11}, 0}), OpenKeshPath,
         false},
        {MakeVerro3(SmallCar(2)).Build({{2, 3, 4, 5, 0, 1}, 0}), import, true},
    };
    const std::string previous = Write(MakeKesh(SmallCar()).Build(), "previous.fce"),
                      path = dir.File("cut.fce");
    for (const auto& reader : readers) {
        for (size_t cut = 0; cut <= reader.file.size(); cut += cut + 41 < reader.file.size() ? 41 : 1) {
            SCOPED_TRACE(cut);
            ASSERT_EQ(OpenKeshPath(previous.c_str()), 1);
            const Bytes car = AsBytes(&carModel.header, 1);
            std::filesystem::remove(path);
            if (cut < reader.file.size()) {
                WriteBytes(path, Bytes(reader.file.begin(), reader.file.begin() + cut));
            }
            responder.messages.clear();
            const int64_t handedOut = ZeroedBlocksHandedOut();
            EXPECT_EQ(reader.read(path.c_str()), 0);
            EXPECT_EQ(ZeroedBlocksHandedOut(), handedOut);
            EXPECT_EQ(responder.messages, READ_ERROR);
            EXPECT_STRNE(LastFailureReason(), "");
            EXPECT_TRUE(reader.keepsCar ? AsBytes(&carModel.header, 1) == car
                                        : ModelIsEmpty() && StagingIsEmpty());
            EXPECT_EQ(FolderEntries(dir.Folder()).size(), cut < reader.file.size() ? 2u : 1u);
        }
    }
}

// Fields beyond the counts and tables that are not read do not matter.
TEST_F(CarFilesTest, HeadersAreCheckedBeforeTheyAreTrusted) {
    auto verro3 = [](std::function<void(Fce3Header&)> change) {
        Bytes bytes = MakeVerro3(SmallCar()).Build();
        change(*reinterpret_cast<Fce3Header*>(bytes.data()));
        return std::pair{bytes, &OpenVerro3Path};
    };
    auto kesh = [](std::function<void(FceKeshHeader&)> change) {
        Bytes bytes = MakeKesh(SmallCar()).Build();
        change(*reinterpret_cast<FceKeshHeader*>(bytes.data()));
        return std::pair{bytes, &OpenKeshPath};
    };
    std::string text;
    while (text.size() < 8000) {
        text += "# Voiture \xC3\xA9t\xC3\xA9 de course, faite \xC3\xA0 la main\r\nv 1 2 3\n";
    }
    const struct {
        std::pair<Bytes, int (*)(const char*)> file;
        const char* reason; // empty: the file opens
        Messages messages = READ_ERROR;
    } cases[] = {
        {verro3([](auto& h) { h.version = KESH_VERSION; }),
         "its first word 0x00101014 marks a Verro:Kesh file, not a Verro3 file",
         {MESSAGE_IS_KESH, MESSAGE_READ_ERROR}},
        {kesh([](auto& h) { h.version = 0; }),
         "its first word 0x00000000 is not the Verro:Kesh mark 0x00101014",
         {MESSAGE_NOT_KESH, MESSAGE_READ_ERROR}},
        {verro3([](auto& h) { h.dummyCount = 17; }), "dummyCount 17 is above 16"},
        {{Bytes(text.begin(), text.end()), &OpenVerro3Path},
         "not a car in either layout: the file is text, beginning \"# Voiture ??t?? de course, faite ?? la "
         "m\""},
        {verro3([](auto& h) { h.version = 0x00101015, h.dummyCount = 29752; }),
         "not a car in either layout: its first word 0x00101015 marks a newer layout that this program does "
         "not read"},
        {verro3([](auto& h) { h.version = 0x00101015; }), ""},
        {verro3([](auto& h) { h.partFirstVertex[0] = 0xFFFFFFFF, h.partVertexCount[0] = 2; }),
         "part 0: vertices from 4294967295, 2 of them, lie outside vertexCount 12"},
        {kesh([](auto& h) { h.partFirstTriangle[2] = 6; }),
         "part 2: triangles from 6, 2 of them, lie outside triangleCount 7"},
        {verro3([](auto& h) { h.vertexCount = 0x08000000; }),
         "vertexCount 134217728 is too large: its tables do not fit 32 bits"},
        {verro3([](auto& h) { h.tableOffsets[1] = 1300; }),
         "table 1 (normals): 144 bytes at file offset 9240 run past the end of the file (9292 bytes)"},
        {kesh([](auto& h) { h.tableOffsets[6] = 0xFFFFFFF0; }),
         "table 6 (undamaged vertices) starts at file offset 4294975528, beyond the 4 GiB a file position "
         "can reach"},
        {verro3([](auto& h) { h.partFirstVertex[40] = h.partVertexCount[40] = 0xFFFFFFFF; }), ""},
        {kesh([](auto& h) { h.tableOffsets[3] = 0xFFFFFFF0, h.tableOffsets[13] = 0x7FFFFFFF; }), ""},
    };
    for (const auto& c : cases) {
        responder.messages.clear();
        const int64_t handedOut = ZeroedBlocksHandedOut();
        const bool opens = c.reason[0] == '\0';
        EXPECT_EQ(c.file.second(Write(c.file.first).c_str()), opens ? 1 : 0) << c.reason;
        EXPECT_STREQ(LastFailureReason(), c.reason);
        EXPECT_EQ(responder.messages, opens ? Messages{} : c.messages) << c.reason;
        EXPECT_EQ(ZeroedBlocksHandedOut() == handedOut, !opens) << c.reason;
    }
}

// Only the damaged vertices and normals, by index: the split of parts and fields an open would
// refuse do not matter; counts that differ are told.
TEST_F(CarFilesTest, ImportTakesOnlyTheDamagedGeometry) {
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
    CarShape split = SmallCar(9);
    split.partVertexCounts = {2, 2, 8};
    Verro3File damaged = MakeVerro3(split);
    Bytes bytes = damaged.Build({{5, 1, 3, 0, 2, 4}, 3});
    reinterpret_cast<Fce3Header*>(bytes.data())->colourCount = 99;
    reinterpret_cast<Fce3Header*>(bytes.data())->tableOffsets[2] = 0xFFFFFFFF;
    std::vector<Bytes> expected = ModelArrays(12, 7);
    expected[5] = damaged.tables[0];
    expected[6] = damaged.tables[1];
    const Bytes header = AsBytes(&carModel.header, 1);
    EXPECT_EQ(ImportDamagedPath(Write(bytes, "d.fce").c_str()), DamagedImportResult::Imported);
    EXPECT_TRUE(ModelArrays(12, 7) == expected && AsBytes(&carModel.header, 1) == header);

    split.partVertexCounts = {5, 3, 3, 1};
    split.partTriangleCounts = {1, 1, 1, 1};
    EXPECT_EQ(ImportDamagedPath(Write(MakeVerro3(split).Build(), "d.fce").c_str()),
              DamagedImportResult::CountsDiffer);
    EXPECT_STREQ(LastFailureReason(), "its partCount 4 and vertexCount 12 differ from the car's 3 and 12");
    EXPECT_TRUE(ModelArrays(12, 7) == expected && StagingIsEmpty(damagedFce3Mesh));
    Bytes huge = MakeVerro3(split).Build();
    reinterpret_cast<Fce3Header*>(huge.data())->vertexCount = 0x20000000;
    EXPECT_EQ(ImportDamagedPath(Write(huge, "huge.fce").c_str()), DamagedImportResult::ReadFailed);
    EXPECT_STREQ(LastFailureReason(), "vertexCount 536870912 is too large: its tables do not fit 32 bits");
    // The command counts a file that was read as done, counts or not.
    responder.Choose(dir.File("d.fce"));
    EXPECT_EQ(ImportDamagedFile(), 1);
    EXPECT_EQ(responder.messages,
              (Messages{MESSAGE_DAMAGED_MISMATCH, MESSAGE_READ_ERROR, MESSAGE_DAMAGED_MISMATCH}));
}

// A save through a link keeps the link and the mode of the file behind it; a failed one says why.
TEST_F(CarFilesTest, SavingNeverDestroysTheFileItReplaces) {
    const std::string target = Write(Bytes(100, 0x42), "target.fce");
    ASSERT_EQ(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()), 1);
#ifdef _WIN32
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SaveKeshPath(target.c_str()), 0);
    EXPECT_STREQ(LastFailureReason(), ("the written file cannot replace " + target).c_str());
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    std::filesystem::create_symlink(target, dir.File("link.fce"));
    ASSERT_EQ(SaveKeshPath(dir.File("link.fce").c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.fce")));
    EXPECT_TRUE(HasKeshMark(target.c_str())) << "the file behind the link has the car";
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    std::filesystem::remove(dir.File("link.fce"));
    WriteBytes(target, Bytes(100, 0x42));
#endif
    // The new file's name is never longer than the target's: a path the system takes for one it
    // takes for the other.
    for (size_t length : {1, 2, 30}) {
        std::set<std::string> names;
        for (uint32_t attempt = 0; attempt < 36; ++attempt) {
            const std::string name = TemporaryName(length, 99, attempt);
            EXPECT_LE(name.size(), length);
            names.insert(name);
        }
        EXPECT_EQ(names.size(), 36u);
    }
    const std::string nowhere = dir.File("none") + "/car.fce";
    EXPECT_EQ(SaveKeshPath(nowhere.c_str()), 0);
    EXPECT_STREQ(LastFailureReason(), ("cannot create a new file in the folder of " + nowhere).c_str());
    ReleaseCarModel();
    EXPECT_EQ(SaveVerro3Path(target.c_str(), VERRO3_DAMAGED_FILE), 0);
    EXPECT_STREQ(LastFailureReason(), "no car is loaded");
    EXPECT_EQ(ReadBytes(target), Bytes(100, 0x42));
    EXPECT_EQ(FolderEntries(dir.Folder()), (Messages{"car.fce", "target.fce"}));
    EXPECT_EQ(responder.messages, Messages(responder.messages.size(), MESSAGE_WRITE_ERROR));
}

// Whichever system call fails, a command does all its work or fails with one message blaming the
// system, leaking nothing, leaving the car (or, for an open, an empty model) and the old file.
TEST_F(CarFilesTest, AnySystemCallMayFail) {
    const std::string kesh = Write(MakeKesh(SmallCar()).Build(), "k.fce"), target = dir.File("t.fce");
    const std::string verro3 = Write(MakeVerro3(SmallCar()).Build(), "v.fce"),
                      damaged = Write(MakeVerro3(SmallCar(3)).Build(), "d.fce");
    auto car = [] {
        Bytes all = AsBytes(&carModel.header, 1);
        for (const Bytes& array : ModelArrays(carModel.header.vertexCount, carModel.header.triangleCount)) {
            all.insert(all.end(), array.begin(), array.end());
        }
        return all;
    };
    enum Kind { OPEN, IMPORT, SAVE };
    const std::pair<Kind, std::function<int()>> commands[] = {
        {OPEN, [&] { return OpenVerro3Path(verro3.c_str()); }},
        {OPEN, [&] { return OpenKeshPath(kesh.c_str()); }},
        {IMPORT, [&] { return int(ImportDamagedPath(damaged.c_str()) == DamagedImportResult::Imported); }},
        {SAVE, [&] { return SaveKeshPath(target.c_str()); }},
        {SAVE, [&] { return SaveVerro3Path(target.c_str(), VERRO3_DAMAGED_FILE); }},
    };
    for (const auto& [kind, run] : commands) {
        Bytes done;
        bool failed = true;
        for (int64_t n = -1; failed; ++n) {
            ReleaseFce3Mesh();
            ReleaseCarModel();
            ASSERT_EQ(kind == OPEN ? 1 : OpenKeshPath(kesh.c_str()), 1);
            WriteBytes(target, Bytes(5, 'x'));
            const Bytes before = car();
            const int64_t live = LiveZeroedBlocks();
            responder.messages.clear();
            FailSystemCallAfter(n);
            const int result = run();
            failed = n < 0 || PlantedFailureHappened();
            EXPECT_TRUE(failed || n > 0) << "the first call fails";
            FailSystemCallAfter(-1);
            const Bytes after = kind == SAVE ? ReadBytes(target) : car();
            SCOPED_TRACE(n);
            EXPECT_EQ(FolderEntries(dir.Folder()), (Messages{"d.fce", "k.fce", "t.fce", "v.fce"}));
            if (n < 0 || (result == 1 && kind != SAVE)) {
                EXPECT_EQ(result, 1);
                done = n < 0 ? after : done;
                EXPECT_EQ(after, done);
            } else if (failed) {
                EXPECT_EQ(result, 0);
                EXPECT_EQ(responder.messages.size(), 1u);
                const std::string reason = LastFailureReason();
                EXPECT_TRUE(reason.find("cannot") != reason.npos || reason.find("failed") != reason.npos ||
                            reason.find("out of memory") != reason.npos)
                    << reason;
                EXPECT_TRUE(kind == OPEN ? ModelIsEmpty() && StagingIsEmpty()
                                         : after == (kind == SAVE ? Bytes(5, 'x') : before));
                EXPECT_EQ(LiveZeroedBlocks(), kind == OPEN ? 0 : live);
            }
        }
    }
}

} // namespace
