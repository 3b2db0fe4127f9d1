#include "model/info_text.h"

#include <cstdio>

int FormatInfoText(const FceKeshHeader& header, char* buffer, size_t size) {
    // The counts are shown as signed numbers, as the window always has.
    return std::snprintf(buffer, size,
                         "Number of triangles=%d\r\nNumber of vertices=%d\r\nNumber of dummies=%d\r\n"
                         "Number of parts=%d\r\nNumber of colors=%d\r\n",
                         static_cast<int>(header.triangleCount), static_cast<int>(header.vertexCount),
                         static_cast<int>(header.dummyCount), static_cast<int>(header.partCount),
                         static_cast<int>(header.colourCount));
}
