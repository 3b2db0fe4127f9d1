// Opening and saving cars of 1 thousand, 100 thousand and 1 million vertices in each
// direction, next to a plain copy of the same bytes through the same file calls: open,
// allocate, read, create, write, close. At the end a table gives the conversion's time
// over the copy's. Files go to VERRO_BENCH_DIR, or the system's temporary folder.
#include "model/kesh.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "platform/platform.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

const int64_t SIZES[] = {1'000, 100'000, 1'000'000};

// A car of the given vertex count in 16 parts, with two triangles a vertex as real cars have.
CarShape Car(int64_t vertices) {
    CarShape shape;
    for (int p = 0; p < 16; ++p) {
        shape.partVertexCounts.push_back(static_cast<uint32_t>(vertices / 16 + (p < vertices % 16 ? 1 : 0)));
        shape.partTriangleCounts.push_back(2 * shape.partVertexCounts.back());
    }
    shape.dummyNames = {"HWYN5", "TRYN5"};
    shape.colourCount = 4;
    return shape;
}

class Folder {
  public:
    Folder() {
        if (const char* chosen = std::getenv("VERRO_BENCH_DIR")) {
            path_ = (std::filesystem::path(chosen) / "verro-bench").string();
            std::filesystem::create_directories(path_);
        } else {
            temp_ = std::make_unique<TempDir>();
            path_ = temp_->Folder();
        }
    }
    ~Folder() {
        if (!temp_) {
            std::filesystem::remove_all(path_);
        }
    }
    std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

  private:
    std::unique_ptr<TempDir> temp_;
    std::string path_;
};

Folder& Files() {
    static Folder folder;
    return folder;
}

// The input files of one size, written once.
struct Inputs {
    std::string verro3;
    std::string kesh;
};

const Inputs& InputsFor(int64_t vertices) {
    static std::map<int64_t, Inputs> made;
    auto found = made.find(vertices);
    if (found == made.end()) {
        Inputs inputs{Files().File("in-" + std::to_string(vertices) + "-verro3.fce"),
                      Files().File("in-" + std::to_string(vertices) + "-kesh.fce")};
        WriteBytes(inputs.verro3, MakeVerro3(Car(vertices)).Build());
        WriteBytes(inputs.kesh, MakeKesh(Car(vertices)).Build());
        found = made.emplace(vertices, inputs).first;
    }
    return found->second;
}

uint64_t FileSize(const std::string& path) {
    return std::filesystem::file_size(path);
}

void Check(bool ok, benchmark::State& state, const char* what) {
    if (!ok) {
        state.SkipWithError(what);
    }
}

// Messages would only say that something failed; the benchmark stops on it instead.
PlatformResponder quiet{[](const FileDialogRequest&, FileDialogResult&) { return 0; },
                        [](const char* text) { std::fprintf(stderr, "message: %s\n", text); }};

void Verro3ToKesh(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    std::string out = Files().File("out-kesh.fce");
    for (auto _ : state) {
        Check(OpenVerro3Path(in.verro3.c_str()) && SaveKeshPath(out.c_str()), state, "conversion failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (FileSize(in.verro3) + FileSize(out))));
    ReleaseFce3Mesh();
    ReleaseCarModel();
}

void KeshToVerro3(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    std::string out = Files().File("out-verro3.fce");
    for (auto _ : state) {
        Check(OpenKeshPath(in.kesh.c_str()) && SaveVerro3Path(out.c_str(), VERRO3_NORMAL_FILE), state,
              "conversion failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (FileSize(in.kesh) + FileSize(out))));
    ReleaseFce3Mesh();
    ReleaseCarModel();
}

// Reads every byte of input and writes as many bytes as the conversion writes.
bool PlainCopy(const std::string& input, uint64_t outputSize, const std::string& output) {
    uint64_t inputSize = FileSize(input);
    FileHandle in = OpenFileForReading(input.c_str());
    void* buffer = AllocateZeroed(std::max(inputSize, outputSize));
    bool ok = in && buffer && ReadFileExactly(in, buffer, static_cast<uint32_t>(inputSize));
    if (in) {
        CloseFileHandle(in);
    }
    FileHandle out = ok ? CreateFileForWriting(output.c_str()) : nullptr;
    ok = out && WriteFileExactly(out, buffer, static_cast<uint32_t>(outputSize));
    if (out) {
        ok = CloseFileHandle(out) && ok;
    }
    FreeZeroed(buffer);
    return ok;
}

// The size of what a conversion writes, from one conversion done beforehand.
uint64_t ConvertedSize(const std::string& input, bool toKesh) {
    std::string out = Files().File(toKesh ? "size-kesh.fce" : "size-verro3.fce");
    bool ok = toKesh ? OpenVerro3Path(input.c_str()) && SaveKeshPath(out.c_str())
                     : OpenKeshPath(input.c_str()) && SaveVerro3Path(out.c_str(), VERRO3_NORMAL_FILE);
    ReleaseFce3Mesh();
    ReleaseCarModel();
    uint64_t size = ok ? FileSize(out) : 0;
    std::filesystem::remove(out);
    return size;
}

void CopyVerro3ToKesh(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    uint64_t outputSize = ConvertedSize(in.verro3, true);
    std::string out = Files().File("copy-kesh.fce");
    for (auto _ : state) {
        Check(PlainCopy(in.verro3, outputSize, out), state, "copy failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (FileSize(in.verro3) + outputSize)));
}

void CopyKeshToVerro3(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    uint64_t outputSize = ConvertedSize(in.kesh, false);
    std::string out = Files().File("copy-verro3.fce");
    for (auto _ : state) {
        Check(PlainCopy(in.kesh, outputSize, out), state, "copy failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (FileSize(in.kesh) + outputSize)));
}

// The two halves of each conversion, to see where time goes.
void OpenVerro3(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    for (auto _ : state) {
        Check(OpenVerro3Path(in.verro3.c_str()), state, "open failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(in.verro3)));
    ReleaseFce3Mesh();
    ReleaseCarModel();
}

void SaveKesh(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    std::string out = Files().File("save-kesh.fce");
    Check(OpenVerro3Path(in.verro3.c_str()), state, "open failed");
    for (auto _ : state) {
        Check(SaveKeshPath(out.c_str()), state, "save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(out)));
    ReleaseFce3Mesh();
    ReleaseCarModel();
}

void OpenKesh(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    for (auto _ : state) {
        Check(OpenKeshPath(in.kesh.c_str()), state, "open failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(in.kesh)));
    ReleaseCarModel();
}

void SaveVerro3(benchmark::State& state) {
    const Inputs& in = InputsFor(state.range(0));
    std::string out = Files().File("save-verro3.fce");
    Check(OpenKeshPath(in.kesh.c_str()), state, "open failed");
    for (auto _ : state) {
        Check(SaveVerro3Path(out.c_str(), VERRO3_NORMAL_FILE), state, "save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(out)));
    ReleaseCarModel();
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (int64_t size : SIZES) {
        benchmark->Arg(size);
    }
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

BENCHMARK(CopyVerro3ToKesh)->Apply(Sizes);
BENCHMARK(Verro3ToKesh)->Apply(Sizes);
BENCHMARK(CopyKeshToVerro3)->Apply(Sizes);
BENCHMARK(KeshToVerro3)->Apply(Sizes);
BENCHMARK(OpenVerro3)->Apply(Sizes);
BENCHMARK(SaveKesh)->Apply(Sizes);
BENCHMARK(OpenKesh)->Apply(Sizes);
BENCHMARK(SaveVerro3)->Apply(Sizes);

// Keeps the time per iteration of every run, for the table of ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.iterations > 0) {
                seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv) {
    InstallResponder(&quiet);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nconversion time / plain copy time (same bytes, same file calls):\n");
    for (int64_t size : SIZES) {
        for (auto [conversion, copy, label] :
             {std::tuple{"Verro3ToKesh", "CopyVerro3ToKesh", "Verro3 -> Kesh"},
              std::tuple{"KeshToVerro3", "CopyKeshToVerro3", "Kesh -> Verro3"}}) {
            std::string suffix = "/" + std::to_string(size) + "/min_time:1.000/real_time";
            auto a = reporter.seconds.find(conversion + suffix), b = reporter.seconds.find(copy + suffix);
            if (a != reporter.seconds.end() && b != reporter.seconds.end()) {
                std::printf("  %-15s %8lld vertices: %8.3f ms vs %8.3f ms, ratio %.2f\n", label,
                            static_cast<long long>(size), a->second * 1e3, b->second * 1e3,
                            a->second / b->second);
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
