// Converts cars of 1 thousand, 100 thousand and 1 million vertices in each direction, next
// to a plain copy of as many bytes through the same file calls (open, allocate, read,
// create, write, close), then prints each conversion's time over its copy's. A save flushes
// its file to the disk before it takes the old one's place; the same copy with that flush
// tells what the flush costs.
#include "model/kesh.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "platform/platform.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>

namespace {

const int64_t SIZES[] = {1'000, 100'000, 1'000'000};
TempDir folder;
enum Kind { CONVERSION, COPY, FLUSHED_COPY };
// Seconds per iteration of the last run of each benchmark: from Kesh, kind, vertices.
std::map<std::tuple<bool, Kind, int64_t>, double> secondsPerIteration;

// A car in 16 parts with two triangles a vertex, as real cars have, written once.
std::string Input(int64_t vertices, bool kesh) {
    std::string path = folder.File(std::to_string(vertices) + (kesh ? "-kesh.fce" : "-verro3.fce"));
    if (!std::filesystem::exists(path)) {
        CarShape shape;
        for (int p = 0; p < 16; ++p) {
            shape.partVertexCounts.push_back(static_cast<uint32_t>(vertices / 16 + (p < vertices % 16)));
            shape.partTriangleCounts.push_back(2 * shape.partVertexCounts.back());
        }
        WriteBytes(path, kesh ? MakeKesh(shape).Build() : MakeVerro3(shape).Build());
    }
    return path;
}

bool Convert(const std::string& input, bool fromKesh, const std::string& output) {
    return fromKesh ? OpenKeshPath(input.c_str()) && SaveVerro3Path(output.c_str(), VERRO3_NORMAL_FILE)
                    : OpenVerro3Path(input.c_str()) && SaveKeshPath(output.c_str());
}

// Reads the whole input and writes as many bytes as the conversion writes.
bool Copy(const std::string& input, uint64_t outputSize, const std::string& output, bool flush) {
    uint64_t inputSize = std::filesystem::file_size(input);
    FileHandle in = OpenFileForReading(input.c_str());
    void* buffer = AllocateZeroed(std::max(inputSize, outputSize));
    bool ok = in && buffer && ReadFileExactly(in, buffer, static_cast<uint32_t>(inputSize));
    if (in) {
        CloseFileHandle(in);
    }
    FileHandle out = ok ? CreateFileForWriting(output.c_str()) : nullptr;
    ok = out && WriteFileExactly(out, buffer, static_cast<uint32_t>(outputSize)) &&
         (!flush || FlushFileToDisk(out)) && CloseFileHandle(out);
    FreeZeroed(buffer);
    return ok;
}

void Run(benchmark::State& state, bool fromKesh, Kind kind) {
    std::string input = Input(state.range(0), fromKesh), output = folder.File("out.fce");
    bool ok = Convert(input, fromKesh, output); // also gives the size a copy writes
    uint64_t outputSize = ok ? std::filesystem::file_size(output) : 0;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        ok = (kind == CONVERSION ? Convert(input, fromKesh, output)
                                 : Copy(input, outputSize, output, kind == FLUSHED_COPY)) &&
             ok;
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!ok) {
        state.SkipWithError("the conversion or the copy failed");
    }
    state.SetBytesProcessed(
        static_cast<int64_t>(state.iterations() * (std::filesystem::file_size(input) + outputSize)));
    secondsPerIteration[{fromKesh, kind, state.range(0)}] = elapsed.count() / double(state.iterations());
    ReleaseFce3Mesh();
    ReleaseCarModel();
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (int64_t size : SIZES) {
        benchmark->Arg(size);
    }
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

BENCHMARK_CAPTURE(Run, CopyVerro3ToKesh, false, COPY)->Apply(Sizes);
BENCHMARK_CAPTURE(Run, FlushedCopyVerro3ToKesh, false, FLUSHED_COPY)->Apply(Sizes);
BENCHMARK_CAPTURE(Run, Verro3ToKesh, false, CONVERSION)->Apply(Sizes);
BENCHMARK_CAPTURE(Run, CopyKeshToVerro3, true, COPY)->Apply(Sizes);
BENCHMARK_CAPTURE(Run, FlushedCopyKeshToVerro3, true, FLUSHED_COPY)->Apply(Sizes);
BENCHMARK_CAPTURE(Run, KeshToVerro3, true, CONVERSION)->Apply(Sizes);

} // namespace

int main(int argc, char** argv) {
    // A failure stops the benchmark with an error; its message goes to stderr.
    PlatformResponder quiet{[](const FileDialogRequest&, FileDialogResult&) { return 0; },
                            [](const char* text) { std::fprintf(stderr, "message: %s\n", text); }};
    InstallResponder(&quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nconversion time (flushed to the disk) over a plain copy's (same bytes, same file calls),\n"
                "without and with the same flush:\n");
    for (int64_t size : SIZES) {
        for (bool fromKesh : {false, true}) {
            auto conversion = secondsPerIteration.find({fromKesh, CONVERSION, size});
            auto copy = secondsPerIteration.find({fromKesh, COPY, size});
            auto flushed = secondsPerIteration.find({fromKesh, FLUSHED_COPY, size});
            if (conversion != secondsPerIteration.end() && copy != secondsPerIteration.end() &&
                flushed != secondsPerIteration.end()) {
                std::printf(
                    "  %-15s %8lld vertices: %8.3f ms; copy %8.3f ms, ratio %5.2f; flushed copy %8.3f ms, "
                    "ratio %5.2f\n",
                    fromKesh ? "Kesh -> Verro3" : "Verro3 -> Kesh", static_cast<long long>(size),
                    conversion->second * 1e3, copy->second * 1e3, conversion->second / copy->second,
                    flushed->second * 1e3, conversion->second / flushed->second);
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
