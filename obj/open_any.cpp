#include "obj/open_any.h"

#include "model/failure_reason.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "model/open_either.h"
#include "model/verro3.h"
#include "obj/obj_import.h"
#include "platform/platform.h"

#include <string>
#include <vector>

namespace {

constexpr char OBJ_FILE_TYPE[] = "3D model (*.obj)\0*.obj\0";

int OpenModelPath(const char* path) {
    std::vector<std::string> warnings;
    if (OpenObjPath(path, {}, &warnings)) {
        return 1;
    }
    ShowErrorMessage(LastFailureReason());
    return 0;
}

// The layout's file type first, so that the dialog opens on it, then the models.
template <size_t N>
int OpenWithModels(const char (&layoutFileType)[N], int (*openCar)(const char*)) {
    std::string filter = std::string(layoutFileType, N - 1) + std::string(OBJ_FILE_TYPE, sizeof OBJ_FILE_TYPE - 1);
    FileDialogResult choice;
    if (!ChooseFileFromLastDirectory(false, filter.c_str(), &choice)) {
        return 0;
    }
    return IsObjPath(choice.path) ? OpenModelPath(choice.path) : openCar(choice.path);
}

} // namespace

int OpenCarOrModelPath(const char* path) {
    return IsObjPath(path) ? OpenModelPath(path) : OpenEitherLayoutPath(path);
}

int OpenVerro3OrModelFile() {
    return OpenWithModels(VERRO3_OPEN_FILTER, OpenVerro3Path);
}

int OpenKeshOrModelFile() {
    return OpenWithModels(KESH_FILTER, OpenKeshPath);
}
