#include "model/verro3_save.h"

#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "model/header_checks.h"
#include "model/last_directory.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char VERRO3_SAVE_FILTER[] = "Verro3 car meshes (*.fce)\0*.fce\0"
                                      "Verro3 car damaged meshes (*.fce)\0*.fce\0";

Fce3Colour WidenColour(const FceColour& colour) {
    return {colour.hue, colour.saturation, colour.value, colour.transparency};
}

bool WriteVerro3File(const SaveFile& save, bool damaged) {
    const FceKeshHeader& model = carModel.header;
    Fce3Header header;
    BuildVerro3Header(model, &header);
    uint32_t vertexBytes = 0, triangleBytes = 0, zeroBytes = 0;
    if (!TableBytes(model.vertexCount, 32, &zeroBytes) || !TableBytes(model.vertexCount, 12, &vertexBytes) ||
        !TableBytes(model.triangleCount, 56, &triangleBytes)) {
        NoteFailure("the car's counts are too large for 32-bit tables");
        return false;
    }
    struct Table {
        const char* name;
        const void* source;
        uint32_t size;
    };
    const Table tables[VERRO3_TABLE_COUNT] = {
        {"table 0 (vertices)", damaged ? carModel.damagedVertices : carModel.vertices, vertexBytes},
        {"table 1 (normals)", damaged ? carModel.damagedNormals : carModel.normals, vertexBytes},
        {"table 2 (triangles)", carModel.triangles, triangleBytes},
        {"table 3 (unused)", carModel.zeroBlock, zeroBytes},
        {"table 4 (unused)", carModel.zeroBlock, vertexBytes},
        {"table 5 (unused)", carModel.zeroBlock, vertexBytes},
    };
    if (!SeekFileTo(save.file, VERRO3_HEADER_SIZE)) {
        NoteFailure("cannot seek past the header's place");
        return false;
    }
    for (uint32_t k = 0; k < VERRO3_TABLE_COUNT; ++k) {
        if (!WriteTable(save, tables[k].name, VERRO3_HEADER_SIZE, tables[k].source, tables[k].size,
                        &header.tableOffsets[k])) {
            return false;
        }
    }
    return WriteHeader(save, &header, sizeof header);
}

} // namespace

void BuildVerro3Header(const FceKeshHeader& model, Fce3Header* header) {
    std::memset(header, 0, sizeof *header);
    header->version = 0;
    header->triangleCount = model.triangleCount;
    header->vertexCount = model.vertexCount;
    header->artCount = model.artCount;
    std::memcpy(header->auxValues, model.auxValues, sizeof header->auxValues);
    header->dummyCount = model.dummyCount;
    std::memcpy(header->dummyPositions, model.dummyPositions, sizeof header->dummyPositions);
    header->partCount = model.partCount;
    std::memcpy(header->partPositions, model.partPositions, sizeof header->partPositions);
    std::memcpy(header->partFirstVertex, model.partFirstVertex, sizeof header->partFirstVertex);
    std::memcpy(header->partVertexCount, model.partVertexCount, sizeof header->partVertexCount);
    std::memcpy(header->partFirstTriangle, model.partFirstTriangle, sizeof header->partFirstTriangle);
    std::memcpy(header->partTriangleCount, model.partTriangleCount, sizeof header->partTriangleCount);
    header->colourCount = model.colourCount;
    header->secondaryColourCount = model.colourCount;
    // Never more entries than the tables hold, whatever the count says.
    uint32_t colours = std::min(model.colourCount, MAX_COLOURS);
    for (uint32_t i = 0; i < colours; ++i) {
        header->primaryColours[i] = WidenColour(model.primaryColours[i]);
        header->secondaryColours[i] = WidenColour(model.secondaryColours[i]);
    }
    std::memcpy(header->dummyNames, model.dummyNames, sizeof header->dummyNames);
    std::memcpy(header->partNames, model.partNames, sizeof header->partNames);
}

std::vector<const char*> Verro3Losses(const CarModel& car, uint32_t fileType) {
    const FceKeshHeader& h = car.header;
    uint32_t v = h.vertexCount;
    uint32_t colours = std::min(h.colourCount, MAX_COLOURS);
    auto same = [](const void* a, const void* b, size_t bytes) { return std::memcmp(a, b, bytes) == 0; };
    // A Verro3 file holds one mesh; an open copies it into the others. The undamaged mesh comes
    // back only as a copy of the normal one.
    auto normal = [&](const Vec3* vertices, const Vec3* normals) {
        return same(vertices, car.vertices, v * sizeof(Vec3)) && same(normals, car.normals, v * sizeof(Vec3));
    };
    std::vector<const char*> losses;
    if (!same(h.interiorColours, h.primaryColours, colours * sizeof(FceColour))) {
        losses.push_back("the interior colours");
    }
    if (!same(h.driverHairColours, h.secondaryColours, colours * sizeof(FceColour))) {
        losses.push_back("the driver hair colours");
    }
    if (!std::all_of(car.movementFlags, car.movementFlags + v,
                     [](uint32_t m) { return m == MovementFixed; })) {
        losses.push_back("the moving vertices");
    }
    if (!normal(car.undamagedVertices, car.undamagedNormals)) {
        losses.push_back("the undamaged mesh");
    }
    if (!normal(car.damagedVertices, car.damagedNormals)) {
        losses.push_back(fileType == VERRO3_NORMAL_FILE ? "the damaged mesh" : "the normal mesh");
    }
    return losses;
}

int SaveVerro3Path(const char* path, uint32_t fileType) {
    bool damaged = fileType != VERRO3_NORMAL_FILE;
    return SaveCar(path, [damaged](const SaveFile& save) { return WriteVerro3File(save, damaged); });
}

int SaveVerro3File() {
    FileDialogResult choice;
    // The chosen file type picks the geometry: the normal car, or any other the damaged car.
    return ChooseFileFromLastDirectory(true, VERRO3_SAVE_FILTER, &choice)
               ? SaveVerro3Path(choice.path, choice.filterIndex)
               : 0;
}
