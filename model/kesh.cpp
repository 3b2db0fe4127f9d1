#include "model/kesh.h"

#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "model/header_checks.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "platform/platform.h"

namespace {

struct KeshTable {
    const char* name;
    bool perTriangle; // one record per triangle, otherwise one per vertex
    uint32_t recordSize;
};

constexpr KeshTable KESH_TABLES[KESH_TABLE_COUNT] = {
    {"table 0 (vertices)", false, 12},
    {"table 1 (normals)", false, 12},
    {"table 2 (triangles)", true, 56},
    {"table 3 (unused)", false, 32},
    {"table 4 (unused)", false, 12},
    {"table 5 (unused)", false, 12},
    {"table 6 (undamaged vertices)", false, 12},
    {"table 7 (undamaged normals)", false, 12},
    {"table 8 (damaged vertices)", false, 12},
    {"table 9 (damaged normals)", false, 12},
    {"table 10 (unused)", false, 4},
    {"table 11 (movement values)", false, 4},
    {"table 12 (unused)", false, 4},
    {"table 13 (unused)", true, 12},
};

// The model arrays that the tables which are read go into, in the order they are read.
struct ModelTable {
    uint32_t k;
    void** array;
};

bool ReadKeshModel(FileHandle file) {
    FceKeshHeader& header = carModel.header;
    uint64_t fileSize = 0;
    if (!QueryFileSize(file, &fileSize)) {
        NoteFailure("the size of the file cannot be read");
        return false;
    }
    if (!ReadHeader(file, fileSize, &header, sizeof header, "Verro:Kesh")) {
        return false;
    }
    if (header.version != KESH_VERSION) {
        NoteFailure("its first word 0x%08X is not the Verro:Kesh mark 0x%08X", header.version, KESH_VERSION);
        ShowErrorMessage(MESSAGE_NOT_KESH);
        return false;
    }
    uint32_t sizes[KESH_TABLE_COUNT];
    if (!HeaderFitsModel(header) || !KeshTableSizes(header, sizes)) {
        return false;
    }
    const ModelTable tables[] = {
        {0, reinterpret_cast<void**>(&carModel.vertices)},
        {1, reinterpret_cast<void**>(&carModel.normals)},
        {2, reinterpret_cast<void**>(&carModel.triangles)},
        {6, reinterpret_cast<void**>(&carModel.undamagedVertices)},
        {7, reinterpret_cast<void**>(&carModel.undamagedNormals)},
        {8, reinterpret_cast<void**>(&carModel.damagedVertices)},
        {9, reinterpret_cast<void**>(&carModel.damagedNormals)},
        {11, reinterpret_cast<void**>(&carModel.movementFlags)},
    };
    auto place = [&](uint32_t k) {
        return TablePlace{KESH_TABLES[k].name, KESH_HEADER_SIZE, header.tableOffsets[k], sizes[k]};
    };
    // Every table is checked against the file before the first array is allocated.
    for (const ModelTable& table : tables) {
        if (!TableFitsFile(fileSize, place(table.k))) {
            return false;
        }
    }
    for (const ModelTable& table : tables) {
        if (!ReadTable(file, place(table.k), table.array)) {
            return false;
        }
    }
    carModel.zeroBlock = static_cast<uint8_t*>(AllocateZeroed(sizes[3]));
    if (!carModel.zeroBlock) {
        NoteFailure("out of memory for %u zero bytes", sizes[3]);
        return false;
    }
    return true;
}

// Tables are laid back to back behind the header's place, in index order; the header,
// which now holds their offsets, goes in last.
bool WriteKeshFile(const SaveFile& save) {
    FceKeshHeader& header = carModel.header;
    uint32_t sizes[KESH_TABLE_COUNT];
    if (!KeshTableSizes(header, sizes)) {
        return false;
    }
    // zeroBlock covers every zero table but the last, which is longer whenever there are
    // more than 8 triangles per 3 vertices.
    const void* zeros = carModel.zeroBlock;
    void* longZeros = nullptr;
    if (sizes[13] > sizes[3]) {
        longZeros = AllocateZeroed(sizes[13]);
        if (!longZeros) {
            NoteFailure("out of memory for %u zero bytes", sizes[13]);
            return false;
        }
    }
    const void* sources[KESH_TABLE_COUNT] = {
        carModel.vertices,
        carModel.normals,
        carModel.triangles,
        zeros,
        zeros,
        zeros,
        carModel.undamagedVertices,
        carModel.undamagedNormals,
        carModel.damagedVertices,
        carModel.damagedNormals,
        zeros,
        carModel.movementFlags,
        zeros,
        longZeros ? longZeros : zeros,
    };
    bool written = SeekFileTo(save.file, KESH_HEADER_SIZE);
    if (!written) {
        NoteFailure("cannot seek past the header's place");
    }
    for (uint32_t k = 0; written && k < KESH_TABLE_COUNT; ++k) {
        written = WriteTable(save, KESH_TABLES[k].name, KESH_HEADER_SIZE, sources[k], sizes[k],
                             &header.tableOffsets[k]);
    }
    FreeZeroed(longZeros);
    return written && WriteHeader(save, &header, sizeof header);
}

} // namespace

bool KeshTableSizes(const FceKeshHeader& header, uint32_t (&sizes)[KESH_TABLE_COUNT]) {
    for (uint32_t k = 0; k < KESH_TABLE_COUNT; ++k) {
        const KeshTable& table = KESH_TABLES[k];
        uint32_t count = table.perTriangle ? header.triangleCount : header.vertexCount;
        if (!TableBytes(count, table.recordSize, &sizes[k])) {
            NoteFailure("%s: %u records of %u bytes do not fit 32 bits", table.name, count, table.recordSize);
            return false;
        }
    }
    return true;
}

int OpenKeshPath(const char* path) {
    return LoadCar(path, ReadKeshModel);
}

int SaveKeshPath(const char* path) {
    return SaveCar(path, WriteKeshFile);
}

int SaveKeshFile() {
    FileDialogResult choice;
    return ChooseFileFromLastDirectory(true, KESH_FILTER, &choice) ? SaveKeshPath(choice.path) : 0;
}

bool HasKeshMark(const char* path) {
    FileHandle file = OpenFileForReading(path);
    if (!file) {
        return false;
    }
    uint32_t word = 0;
    bool marked = ReadFileExactly(file, &word, sizeof word) && word == KESH_VERSION;
    CloseFileHandle(file);
    return marked;
}
