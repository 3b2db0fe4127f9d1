// The car view's work per frame (projecting every part, filling, lighting and texturing every
// triangle into the frame buffer) and per pick (the same at one pixel). One series over the
// car's triangles at 1000 x 700 pixels, one over the picture's pixels with 100 thousand
// triangles; then the time each added triangle and each added pixel costs, which stays flat
// while the work is linear.
#include "viewer/renderer.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <tuple>
#include <vector>

namespace {

const int64_t TRIANGLE_SIZES[] = {10'000, 30'000, 100'000, 300'000, 1'000'000};
const int64_t WIDTHS[] = {250, 500, 1000, 2000}; // 7 pixels high for every 10 wide
constexpr int64_t WIDTH = 1000;
constexpr int64_t TRIANGLES = 100'000;
constexpr uint32_t PARTS = 16;
constexpr uint32_t COLUMNS = 50;
constexpr double PI = 3.14159265358979323846;

// Seconds per iteration of the last run, by what it measured, triangles asked for and width.
std::map<std::tuple<int, int64_t, int64_t>, double> secondsPerIteration;
std::map<int64_t, int64_t> triangleCounts;

// A car of about `triangles` triangles in 16 parts, each a closed, dented egg of small
// triangles (two a vertex) placed around the car as a body's panels are, with normals and
// texture coordinates; about half of it faces the camera, as a car's does.
struct BenchCar {
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;
    std::vector<FceTriangle> triangles;
    CarModel model{};

    explicit BenchCar(int64_t wanted) {
        uint32_t rows = static_cast<uint32_t>(wanted / (2 * PARTS * COLUMNS));
        FceKeshHeader& h = model.header;
        h.partCount = PARTS;
        for (uint32_t p = 0; p < PARTS; ++p) {
            h.partPositions[p] = {float(p % 4) - 1.5f, float(p / 8) * 0.8f, float(p / 4 % 2) * 2 - 1};
            h.partFirstVertex[p] = uint32_t(vertices.size());
            h.partFirstTriangle[p] = uint32_t(triangles.size());
            for (uint32_t r = 0; r <= rows; ++r) {
                for (uint32_t c = 0; c <= COLUMNS; ++c) {
                    double along = PI * r / rows, around = 2 * PI * c / COLUMNS;
                    double radius = std::sin(along) * (1 + 0.1 * std::sin(5 * around));
                    Vec3 n = {float(radius * std::cos(around)), float(std::cos(along)),
                              float(radius * std::sin(around))};
                    vertices.push_back({0.5f * n.x, 0.4f * n.y, 1.0f * n.z});
                    normals.push_back(n);
                }
            }
            for (uint32_t r = 0; r < rows; ++r) {
                for (uint32_t c = 0; c < COLUMNS; ++c) {
                    uint32_t a = r * (COLUMNS + 1) + c, b = a + COLUMNS + 1;
                    for (const std::array<uint32_t, 3>& corners :
                         {std::array{a, a + 1, b + 1}, std::array{a, b + 1, b}}) {
                        FceTriangle t{0, {corners[0], corners[1], corners[2]}, {}, 0, {}, {}};
                        for (int k = 0; k < 3; ++k) {
                            t.u[k] = float(corners[k] % (COLUMNS + 1)) / COLUMNS;
                            t.v[k] = float(corners[k] / (COLUMNS + 1)) / float(rows);
                        }
                        triangles.push_back(t);
                    }
                }
            }
            h.partVertexCount[p] = uint32_t(vertices.size()) - h.partFirstVertex[p];
            h.partTriangleCount[p] = uint32_t(triangles.size()) - h.partFirstTriangle[p];
        }
        h.vertexCount = uint32_t(vertices.size());
        h.triangleCount = uint32_t(triangles.size());
        model.vertices = model.damagedVertices = vertices.data();
        model.normals = model.damagedNormals = normals.data();
        model.triangles = triangles.data();
    }
};

Texture Checkers() {
    Texture texture{256, 256, std::vector<uint32_t>(256 * 256)};
    for (int32_t y = 0; y < 256; ++y) {
        for (int32_t x = 0; x < 256; ++x) {
            texture.pixels[size_t(y) * 256 + size_t(x)] = (x / 32 + y / 32) % 2 ? 0xFFC03020 : 0xFFE0E0D0;
        }
    }
    return texture;
}

enum Kind { DRAW, PICK };

void Run(benchmark::State& state, Kind kind, int64_t triangles, int64_t width) {
    static const Texture texture = Checkers();
    BenchCar car(triangles);
    CarView view{};
    view.width = int32_t(width);
    view.height = int32_t(width * 7 / 10);
    view.selectedPart = 3;
    view.selectedDummy = -1;
    ResetCarView(view, car.model);
    int64_t picked = 0;
    // The processor's time, not the clock's: the machine may be busy with other work.
    std::clock_t start = std::clock();
    for (auto _ : state) {
        if (kind == PICK) {
            picked += PickPart(view, car.model, view.width / 2, view.height / 2);
        } else {
            RenderCarView(view, car.model, &texture);
            benchmark::DoNotOptimize(view.frame.colour.data());
        }
    }
    double elapsed = double(std::clock() - start) / CLOCKS_PER_SEC;
    benchmark::DoNotOptimize(picked);
    if (kind == DRAW &&
        view.frame.part[size_t(view.height / 2) * size_t(view.width) + size_t(view.width / 2)] < 0) {
        state.SkipWithError("the car is not drawn");
    }
    triangleCounts[triangles] = int64_t(car.triangles.size());
    secondsPerIteration[{kind, triangles, width}] = elapsed / double(state.iterations());
}

void OverTriangles(benchmark::State& state) {
    Run(state, DRAW, state.range(0), WIDTH);
}
void OverPixels(benchmark::State& state) {
    Run(state, DRAW, TRIANGLES, state.range(0));
}
void Pick(benchmark::State& state) {
    Run(state, PICK, state.range(0), WIDTH);
}

void Triangles(benchmark::internal::Benchmark* benchmark) {
    for (int64_t size : TRIANGLE_SIZES) {
        benchmark->Arg(size);
    }
    benchmark->Unit(benchmark::kMillisecond)->MinTime(0.5);
}
void Widths(benchmark::internal::Benchmark* benchmark) {
    for (int64_t width : WIDTHS) {
        benchmark->Arg(width);
    }
    benchmark->Unit(benchmark::kMillisecond)->MinTime(0.5);
}

BENCHMARK(OverTriangles)->Apply(Triangles);
BENCHMARK(OverPixels)->Apply(Widths);
BENCHMARK(Pick)->Apply(Triangles);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\ncar view, textured, one thread, processor time: a frame at 1000 x 700 pixels, and a pick, "
                "by triangles:\n");
    // A frame costs a share for its pixels and a share for its triangles; the time that each
    // added triangle or pixel adds stays flat while both shares are linear.
    double lastTriangles = 0, lastFrame = 0;
    for (int64_t size : TRIANGLE_SIZES) {
        auto frame = secondsPerIteration.find({DRAW, size, WIDTH});
        auto pick = secondsPerIteration.find({PICK, size, WIDTH});
        if (frame != secondsPerIteration.end() && pick != secondsPerIteration.end()) {
            double triangles = double(triangleCounts[size]);
            std::printf(
                "  %8.0f triangles: frame %8.3f ms (%5.1f ns an added triangle), pick %8.3f ms (%5.1f ns a "
                "triangle)\n",
                triangles, frame->second * 1e3,
                (frame->second - lastFrame) * 1e9 / (triangles - lastTriangles), pick->second * 1e3,
                pick->second * 1e9 / triangles);
            lastTriangles = triangles, lastFrame = frame->second;
        }
    }
    std::printf("a frame of %.0f triangles, by pixels:\n", double(triangleCounts[TRIANGLES]));
    double lastPixels = 0;
    lastFrame = 0;
    for (int64_t width : WIDTHS) {
        auto frame = secondsPerIteration.find({DRAW, TRIANGLES, width});
        if (frame != secondsPerIteration.end()) {
            double pixels = double(width * (width * 7 / 10));
            std::printf("  %4lld x %4lld pixels: frame %8.3f ms (%5.2f ns an added pixel)\n",
                        static_cast<long long>(width), static_cast<long long>(width * 7 / 10),
                        frame->second * 1e3, (frame->second - lastFrame) * 1e9 / (pixels - lastPixels));
            lastPixels = pixels, lastFrame = frame->second;
        }
    }
    benchmark::Shutdown();
    return 0;
}
