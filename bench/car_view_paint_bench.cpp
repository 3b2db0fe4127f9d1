// The car view under Wine: a full paint of the window (the picture drawn and shown, with the row
// above it) for a textured car of 100,000 triangles at 1,000 x 700 pixels, and the drawing alone,
// which is the same code as the native benchmark's and shows what the showing adds.
#include "mainwin/app.h"
#include "mainwin/main_dialog.h"
#include "model/car_model.h"
#include "platform/platform.h"
#include "resources/resource.h"
#include "viewer/car_view.h"
#include "viewer/car_view_window.h"
#include "viewer/renderer.h"
#include "viewer/texture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t PARTS = 16;
constexpr uint32_t COLUMNS = 50;
constexpr uint32_t ROWS = 62; // 16 parts of 2 x 50 x 62 triangles: 99,200
constexpr int WIDTH = 1000;
constexpr int HEIGHT = 700;
constexpr int FRAMES = 20;

template <class T> T* Table(uint32_t count) {
    return static_cast<T*>(AllocateZeroed(uint64_t(count) * sizeof(T)));
}

// Curved sheets placed around the car as a body's panels are, textured across.
void BuildCar() {
    FceKeshHeader& h = carModel.header;
    const uint32_t vertices = PARTS * (ROWS + 1) * (COLUMNS + 1), triangles = PARTS * ROWS * COLUMNS * 2;
    h.version = KESH_VERSION;
    h.partCount = PARTS;
    h.vertexCount = vertices;
    h.triangleCount = triangles;
    carModel.vertices = Table<Vec3>(vertices);
    carModel.normals = Table<Vec3>(vertices);
    carModel.triangles = Table<FceTriangle>(triangles);
    carModel.undamagedVertices = Table<Vec3>(vertices);
    carModel.undamagedNormals = Table<Vec3>(vertices);
    carModel.damagedVertices = Table<Vec3>(vertices);
    carModel.damagedNormals = Table<Vec3>(vertices);
    carModel.movementFlags = Table<uint32_t>(vertices);
    carModel.zeroBlock = Table<uint8_t>(vertices);
    uint32_t vertex = 0, triangle = 0;
    for (uint32_t p = 0; p < PARTS; ++p) {
        h.partPositions[p] = {float(p % 4) - 1.5f, float(p / 8), float(p / 4 % 2) * 2 - 1};
        h.partFirstVertex[p] = vertex;
        h.partFirstTriangle[p] = triangle;
        for (uint32_t r = 0; r <= ROWS; ++r) {
            for (uint32_t c = 0; c <= COLUMNS; ++c, ++vertex) {
                float u = float(c) / COLUMNS, v = float(r) / ROWS;
                carModel.vertices[vertex] = {u, 0.3f * std::sin(3 * u) * std::cos(2 * v), 2 * v};
                carModel.normals[vertex] = {0, 1, 0};
            }
        }
        for (uint32_t r = 0; r < ROWS; ++r) {
            for (uint32_t c = 0; c < COLUMNS; ++c) {
                uint32_t a = r * (COLUMNS + 1) + c, b = a + COLUMNS + 1;
                for (const auto& corners : {std::vector<uint32_t>{a, a + 1, b + 1}, {a, b + 1, b}}) {
                    FceTriangle& t = carModel.triangles[triangle++];
                    t.flags = 0x4; // seen from both sides, so that every sheet is drawn
                    for (int k = 0; k < 3; ++k) {
                        t.vertexIndexes[k] = corners[k];
                        t.u[k] = float(corners[k] % (COLUMNS + 1)) / COLUMNS;
                        t.v[k] = float(corners[k] / (COLUMNS + 1)) / ROWS;
                    }
                }
            }
        }
        h.partVertexCount[p] = vertex - h.partFirstVertex[p];
        h.partTriangleCount[p] = triangle - h.partFirstTriangle[p];
    }
    std::copy_n(carModel.vertices, vertices, carModel.damagedVertices);
}

// A 256 x 256 checkerboard, as a plain 24-bit TGA.
void WriteTexture(const std::filesystem::path& path) {
    std::ofstream file(path, std::ios::binary);
    const unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 24, 0x20};
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const char bgr[3] = {char((x / 32 + y / 32) % 2 ? 200 : 40), char(x), char(y)};
            file.write(bgr, 3);
        }
    }
}

template <class Work> double Milliseconds(Work work) {
    work();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < FRAMES; ++i) {
        work();
    }
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / FRAMES;
}

} // namespace

int main() {
    appInstance = GetModuleHandleA(nullptr);
    RegisterCarViewClass();
    const auto folder = std::filesystem::temp_directory_path() / "verro-paint-bench";
    std::filesystem::create_directories(folder);
    WriteTexture(folder / "bench00.tga");
    HWND main = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialog, 0);
    BuildCar();
    carFilePath = (folder / "bench.fce").string();
    OpenCarView(main);
    if (!carViewWindow) {
        std::fprintf(stderr, "the car view did not open\n");
        return 1;
    }
    // The window's size such that the picture is 1,000 x 700.
    RECT window;
    for (int attempt = 0; attempt < 3; ++attempt) {
        GetWindowRect(carViewWindow, &window);
        SetWindowPos(carViewWindow, nullptr, 0, 0, window.right - window.left + WIDTH - carView.width,
                     window.bottom - window.top + HEIGHT - carView.height, SWP_NOZORDER | SWP_NOMOVE);
    }
    const double paint = Milliseconds([] { RedrawWindow(carViewWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
    std::printf("car view under Wine, %d x %d pixels, %u triangles, textured (%s):\n", carView.width,
                carView.height, carModel.header.triangleCount, carView.frame.width == WIDTH ? "drawn" : "NOT DRAWN");
    std::printf("  full paint of the window %8.2f ms a frame\n", paint);
    Texture texture;
    std::string reason;
    LoadTga((folder / "bench00.tga").string(), texture, reason);
    const double render = Milliseconds([&] { RenderCarView(carView, carModel, &texture); });
    std::printf("  the picture drawn alone  %8.2f ms a frame (the native benchmark draws the same)\n", render);
    DestroyWindow(carViewWindow);
    DestroyWindow(main);
    std::filesystem::remove_all(folder);
    return 0;
}
