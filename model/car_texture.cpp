#include "model/car_texture.h"

#include "platform/platform.h"

namespace {

bool IsFile(const std::string& path) {
    FileHandle file = OpenFileForReading(path.c_str());
    if (!file) {
        return false;
    }
    CloseFileHandle(file);
    return true;
}

} // namespace

std::string FindCarTexture(const std::string& carPath) {
    size_t slash = carPath.find_last_of("/\\");
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string folder = carPath.substr(0, nameStart);
    std::string name = carPath.substr(nameStart);
    size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    for (const std::string& candidate : {folder + stem + "00.tga", folder + "car00.tga"}) {
        if (!stem.empty() && IsFile(candidate)) {
            return candidate;
        }
    }
    return "";
}
