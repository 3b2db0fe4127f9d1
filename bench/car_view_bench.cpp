// The car view's work per frame (projecting every part and building the lines to draw) and
// per pick (projecting every part and finding the nearest triangle under the cursor), for
// cars of 10 thousand, 100 thousand and 1 million triangles, then the time per triangle of
// each, which stays flat when the work is linear in the triangle count.
#include "viewer/car_view.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace {

const int64_t SIZES[] = {10'000, 100'000, 1'000'000};
constexpr uint32_t PARTS = 16;
constexpr uint32_t COLUMNS = 50;
// Seconds per iteration of the last run, by whether it picked and the size asked for, and
// the triangles that size gave.
std::map<std::pair<bool, int64_t>, double> secondsPerIteration;
std::map<int64_t, int64_t> triangleCounts;

// A car of about `triangles` triangles in 16 parts, each a curved sheet of small triangles
// placed around the car as a body's panels are, two triangles a vertex.
struct BenchCar {
    std::vector<Vec3> vertices;
    std::vector<FceTriangle> triangles;
    CarModel model{};

    explicit BenchCar(int64_t wanted) {
        uint32_t rows = static_cast<uint32_t>(wanted / (2 * PARTS * COLUMNS));
        FceKeshHeader& h = model.header;
        h.partCount = PARTS;
        for (uint32_t p = 0; p < PARTS; ++p) {
            h.partPositions[p] = {float(p % 4) - 1.5f, float(p / 8), float(p / 4 % 2) * 2 - 1};
            h.partFirstVertex[p] = uint32_t(vertices.size());
            h.partFirstTriangle[p] = uint32_t(triangles.size());
            for (uint32_t r = 0; r <= rows; ++r) {
                for (uint32_t c = 0; c <= COLUMNS; ++c) {
                    float u = float(c) / COLUMNS, v = float(r) / float(rows);
                    vertices.push_back({u, 0.3f * std::sin(3 * u) * std::cos(2 * v), 2 * v});
                }
            }
            for (uint32_t r = 0; r < rows; ++r) {
                for (uint32_t c = 0; c < COLUMNS; ++c) {
                    uint32_t a = r * (COLUMNS + 1) + c, b = a + COLUMNS + 1;
                    triangles.push_back({0, {a, a + 1, b + 1}, {}, 0, {}, {}});
                    triangles.push_back({0, {a, b + 1, b}, {}, 0, {}, {}});
                }
            }
            h.partVertexCount[p] = uint32_t(vertices.size()) - h.partFirstVertex[p];
            h.partTriangleCount[p] = uint32_t(triangles.size()) - h.partFirstTriangle[p];
        }
        h.vertexCount = uint32_t(vertices.size());
        h.triangleCount = uint32_t(triangles.size());
        model.vertices = model.damagedVertices = vertices.data();
        model.triangles = triangles.data();
    }
};

void Run(benchmark::State& state, bool pick) {
    BenchCar car(state.range(0));
    CarView view{};
    view.width = 1024;
    view.height = 768;
    view.selectedPart = 3;
    view.selectedDummy = -1;
    ResetCarView(view, car.model);
    int32_t picked = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (pick) {
            picked += PickPart(view, car.model, 512, 384);
        } else {
            BuildCarFrame(view, car.model);
            benchmark::DoNotOptimize(view.partLines.data());
        }
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(picked);
    if (!pick && view.partLines.empty()) {
        state.SkipWithError("nothing was drawn");
    }
    triangleCounts[state.range(0)] = int64_t(car.triangles.size());
    secondsPerIteration[{pick, state.range(0)}] = elapsed.count() / double(state.iterations());
}

void Frame(benchmark::State& state) {
    Run(state, false);
}
void Pick(benchmark::State& state) {
    Run(state, true);
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (int64_t size : SIZES) {
        benchmark->Arg(size);
    }
    benchmark->Unit(benchmark::kMillisecond)->MinTime(0.5);
}

BENCHMARK(Frame)->Apply(Sizes);
BENCHMARK(Pick)->Apply(Sizes);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\ncar view, 1024 x 768 pixels: time per frame and per pick, and per triangle:\n");
    for (int64_t size : SIZES) {
        auto frame = secondsPerIteration.find({false, size});
        auto pick = secondsPerIteration.find({true, size});
        if (frame != secondsPerIteration.end() && pick != secondsPerIteration.end()) {
            double triangles = double(triangleCounts[size]);
            std::printf("  %8.0f triangles: frame %8.3f ms (%5.1f ns a triangle), pick %8.3f ms (%5.1f ns)\n",
                        triangles, frame->second * 1e3, frame->second * 1e9 / triangles, pick->second * 1e3,
                        pick->second * 1e9 / triangles);
        }
    }
    benchmark::Shutdown();
    return 0;
}
