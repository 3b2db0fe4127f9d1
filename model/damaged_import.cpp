#include "model/damaged_import.h"

#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "model/header_checks.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "platform/platform.h"

#include <cstring>

namespace {

bool CarIsLoaded() {
    return carModel.damagedVertices && carModel.damagedNormals;
}

// Reads the header and tables 0 and 1 of the open file into damagedFce3Mesh; *vertexBytes is
// the size of each. Both tables are checked against the file size before anything is allocated.
bool ReadDamagedMesh(FileHandle file, uint32_t* vertexBytes) {
    Fce3Header& header = damagedFce3Mesh.header;
    uint64_t fileSize = 0;
    if (!ReadVerro3Header(file, &header, &fileSize)) {
        return false;
    }
    if (!TableBytes(header.vertexCount, sizeof(Vec3), vertexBytes)) {
        NoteFailure("vertexCount %u is too large: its tables do not fit 32 bits", header.vertexCount);
        return false;
    }
    const TablePlace vertices{"table 0 (vertices)", VERRO3_HEADER_SIZE, header.tableOffsets[0], *vertexBytes};
    const TablePlace normals{"table 1 (normals)", VERRO3_HEADER_SIZE, header.tableOffsets[1], *vertexBytes};
    return TableFitsFile(fileSize, vertices) && TableFitsFile(fileSize, normals) &&
           ReadTable(file, vertices, reinterpret_cast<void**>(&damagedFce3Mesh.vertices)) &&
           ReadTable(file, normals, reinterpret_cast<void**>(&damagedFce3Mesh.normals));
}

} // namespace

DamagedImportResult ImportDamagedPath(const char* path) {
    ClearFailureReason();
    if (!CarIsLoaded()) {
        NoteFailure("no car is loaded to take the damaged vertices");
        ShowErrorMessage(MESSAGE_LOAD_NORMAL_FIRST);
        return DamagedImportResult::NoCar;
    }
    EmptyFce3Mesh(damagedFce3Mesh);
    FileHandle file = OpenCarFile(path);
    DamagedImportResult result = DamagedImportResult::ReadFailed;
    uint32_t bytes = 0;
    if (file && ReadDamagedMesh(file, &bytes)) {
        const Fce3Header& damaged = damagedFce3Mesh.header;
        const FceKeshHeader& car = carModel.header;
        // Vertices are placed by index, so only the totals have to agree.
        if (damaged.partCount == car.partCount && damaged.vertexCount == car.vertexCount) {
            if (bytes != 0) {
                std::memcpy(carModel.damagedVertices, damagedFce3Mesh.vertices, bytes);
                std::memcpy(carModel.damagedNormals, damagedFce3Mesh.normals, bytes);
            }
            result = DamagedImportResult::Imported;
        } else {
            NoteFailure("its partCount %u and vertexCount %u differ from the car's %u and %u",
                        damaged.partCount, damaged.vertexCount, car.partCount, car.vertexCount);
            ShowErrorMessage(MESSAGE_DAMAGED_MISMATCH);
            result = DamagedImportResult::CountsDiffer;
        }
    }
    EmptyFce3Mesh(damagedFce3Mesh);
    if (result == DamagedImportResult::ReadFailed) {
        ShowErrorMessage(MESSAGE_READ_ERROR);
    }
    if (file) {
        CloseFileHandle(file);
    }
    return result;
}

int ImportDamagedFile() {
    if (!CarIsLoaded()) {
        ShowErrorMessage(MESSAGE_LOAD_NORMAL_FIRST);
        return 0;
    }
    FileDialogResult choice;
    if (!ChooseFileFromLastDirectory(false, VERRO3_OPEN_FILTER, &choice)) {
        return 0;
    }
    DamagedImportResult result = ImportDamagedPath(choice.path);
    return result == DamagedImportResult::Imported || result == DamagedImportResult::CountsDiffer ? 1 : 0;
}
