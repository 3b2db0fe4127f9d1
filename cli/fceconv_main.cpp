#include "cli/fceconv_main.h"

#include "mainwin/info_text.h"
#include "mainwin/name_edits.h"
#include "model/car_model.h"
#include "model/damaged_import.h"
#include "model/failure_reason.h"
#include "model/kesh.h"
#include "model/open_either.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "platform/platform.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <optional>

#ifndef VERRO_VERSION
#define VERRO_VERSION "unknown"
#endif

namespace {

namespace fs = std::filesystem;

constexpr char USAGE[] =
    "usage: fceconv info [--json] FILE...\n"
    "       fceconv convert --to kesh|verro3|verro3-damaged [--damaged FILE] [--default-part-names]\n"
    "                       [--force] (-o OUTPUT | -d DIRECTORY) INPUT...\n"
    "       fceconv --help | --version\n";

constexpr char HELP[] =
    "\n"
    "Converts Verro car files (FCE) between the Verro3 and the Verro:Kesh layouts, with the\n"
    "file code of VerroFCEConverter: a converted file is byte for byte what the program writes.\n"
    "A file's layout is told by its first word.\n"
    "\n"
    "info                     prints each FILE's layout, its five counts, its parts (with their\n"
    "                         vertex and triangle counts) and its dummies\n"
    "  --json                 prints one JSON array instead, one object per file\n"
    "\n"
    "convert                  opens each INPUT and saves it in the layout asked\n"
    "  --to LAYOUT            kesh, verro3 (the normal car) or verro3-damaged (the damaged car)\n"
    "  --damaged FILE         first imports the damaged car from the Verro3 file FILE, whose\n"
    "                         part and vertex counts must match each INPUT's\n"
    "  --default-part-names   names the first twelve parts as \"Set default\" does\n"
    "  --force                replaces output files that exist (never an input)\n"
    "  -o OUTPUT              the output file, for a single INPUT\n"
    "  -d DIRECTORY           one output per INPUT, under the INPUT's file name, in DIRECTORY\n"
    "\n"
    "A file that fails is reported on stderr as 'fceconv: FILE: reason'; the others go on.\n"
    "Exit status: 0 when every file succeeded, 1 when any failed, 2 for a usage error.\n";

struct UsageError {
    std::string problem;
};

// Takes the messages that the file code shows, so that none reaches a window or the
// terminal: fceconv reports the precise reason instead.
class QuietResponder {
  public:
    QuietResponder() {
        responder_.answerFileDialog = [](const FileDialogRequest&, FileDialogResult&) { return 0; };
        responder_.reportMessage = [this](const char* text) { lastMessage_ = text; };
        InstallResponder(&responder_);
    }
    ~QuietResponder() { InstallResponder(nullptr); }
    QuietResponder(const QuietResponder&) = delete;
    QuietResponder& operator=(const QuietResponder&) = delete;

    // The reason of the last failure, or the message shown when no reason was noted.
    std::string Reason() const {
        const char* reason = LastFailureReason();
        return reason[0] != '\0' ? reason : lastMessage_;
    }

  private:
    PlatformResponder responder_;
    std::string lastMessage_;
};

class Reporter {
  public:
    Reporter(std::ostream& err) : err_(err) {}
    void Fail(const std::string& file, const std::string& reason) {
        err_ << "fceconv: " << file << ": " << reason << "\n";
        failed_ = true;
    }
    int Status() const { return failed_ ? EXIT_SOME_FAILED : EXIT_ALL_DONE; }

  private:
    std::ostream& err_;
    bool failed_ = false;
};

// Opens the car in the layout that its first word names. Returns the layout's name.
std::optional<std::string> OpenCar(const std::string& path) {
    bool kesh = false;
    if (!OpenEitherLayoutPath(path.c_str(), &kesh)) {
        return std::nullopt;
    }
    return kesh ? "kesh" : "verro3";
}

std::string Name(const char (&field)[NAME_SIZE]) {
    char text[NAME_SIZE];
    NameFieldText(field, text);
    return text;
}

// The counts are bounded by the readers; the tables are never indexed past their size.
uint32_t PartsInUse() {
    return std::min(carModel.header.partCount, MAX_PARTS);
}
uint32_t DummiesInUse() {
    return std::min(carModel.header.dummyCount, MAX_DUMMIES);
}

void PrintInfoText(const std::string& file, const std::string& layout, std::ostream& out) {
    const FceKeshHeader& h = carModel.header;
    char info[256];
    FormatInfoText(h, info, sizeof info);
    std::string text = info;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    out << file << ": " << layout << "\n" << text << "Parts:\n";
    for (uint32_t p = 0; p < PartsInUse(); ++p) {
        out << "  " << Name(h.partNames[p]) << " (" << h.partVertexCount[p] << " vertices, "
            << h.partTriangleCount[p] << " triangles)\n";
    }
    out << "Dummies:\n";
    for (uint32_t d = 0; d < DummiesInUse(); ++d) {
        out << "  " << Name(h.dummyNames[d]) << "\n";
    }
}

nlohmann::ordered_json InfoJson(const std::string& file, const std::string& layout) {
    const FceKeshHeader& h = carModel.header;
    nlohmann::ordered_json partNames = nlohmann::ordered_json::array(),
                           parts = nlohmann::ordered_json::array();
    for (uint32_t p = 0; p < PartsInUse(); ++p) {
        partNames.push_back(Name(h.partNames[p]));
        parts.push_back({{"name", Name(h.partNames[p])},
                         {"firstVertex", h.partFirstVertex[p]},
                         {"vertexCount", h.partVertexCount[p]},
                         {"firstTriangle", h.partFirstTriangle[p]},
                         {"triangleCount", h.partTriangleCount[p]}});
    }
    nlohmann::ordered_json dummyNames = nlohmann::ordered_json::array();
    for (uint32_t d = 0; d < DummiesInUse(); ++d) {
        dummyNames.push_back(Name(h.dummyNames[d]));
    }
    return {{"file", file},
            {"layout", layout},
            {"triangleCount", h.triangleCount},
            {"vertexCount", h.vertexCount},
            {"dummyCount", h.dummyCount},
            {"partCount", h.partCount},
            {"colourCount", h.colourCount},
            {"partNames", partNames},
            {"dummyNames", dummyNames},
            {"parts", parts}};
}

int Info(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    bool json = false;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--json") {
            json = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            throw UsageError{"info: unknown option " + argument};
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        throw UsageError{"info: no FILE given"};
    }
    QuietResponder quiet;
    Reporter reporter(err);
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    bool first = true;
    for (const std::string& file : files) {
        std::optional<std::string> layout = OpenCar(file);
        if (!layout) {
            reporter.Fail(file, quiet.Reason());
            continue;
        }
        if (json) {
            all.push_back(InfoJson(file, *layout));
        } else {
            out << (first ? "" : "\n");
            PrintInfoText(file, *layout, out);
            first = false;
        }
    }
    ReleaseFce3Mesh();
    ReleaseCarModel();
    if (json) {
        // Names are bytes from the file; whatever is not UTF-8 is shown replaced.
        out << all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    }
    return reporter.Status();
}

struct ConvertOptions {
    std::string to;
    std::optional<std::string> damaged;
    bool defaultPartNames = false;
    bool force = false;
    std::optional<std::string> output;
    std::optional<std::string> directory;
    std::vector<std::string> inputs;
};

ConvertOptions ParseConvert(const std::vector<std::string>& arguments) {
    ConvertOptions options;
    std::optional<std::string> to;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // An option that takes a value: "--to kesh" or "--to=kesh".
        auto value = [&](const std::string& name, std::optional<std::string>& slot) {
            std::string given;
            if (argument == name) {
                if (i + 1 >= arguments.size()) {
                    throw UsageError{"convert: " + name + " needs a value"};
                }
                given = arguments[++i];
            } else if (argument.rfind(name + "=", 0) == 0 && name.size() > 2) {
                given = argument.substr(name.size() + 1);
            } else {
                return false;
            }
            if (slot) {
                throw UsageError{"convert: " + name + " is given twice"};
            }
            slot = given;
            return true;
        };
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            options.inputs.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--default-part-names") {
            options.defaultPartNames = true;
        } else if (argument == "--force") {
            options.force = true;
        } else if (!value("--to", to) && !value("--damaged", options.damaged) &&
                   !value("-o", options.output) && !value("-d", options.directory)) {
            throw UsageError{"convert: unknown option " + argument};
        }
    }
    if (!to) {
        throw UsageError{"convert: --to is missing"};
    }
    if (*to != "kesh" && *to != "verro3" && *to != "verro3-damaged") {
        throw UsageError{"convert: --to must be kesh, verro3 or verro3-damaged, not " + *to};
    }
    options.to = *to;
    if (options.output.has_value() == options.directory.has_value()) {
        throw UsageError{"convert: give either -o OUTPUT or -d DIRECTORY"};
    }
    if (options.inputs.empty()) {
        throw UsageError{"convert: no INPUT given"};
    }
    if (options.output && options.inputs.size() > 1) {
        throw UsageError{"convert: -o takes a single INPUT; use -d DIRECTORY for several"};
    }
    return options;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(fs::path(a), fs::path(b), error);
}

int SaveCar(const std::string& to, const std::string& output) {
    if (to == "kesh") {
        return SaveKeshPath(output.c_str());
    }
    return SaveVerro3Path(output.c_str(), to == "verro3" ? VERRO3_NORMAL_FILE : VERRO3_DAMAGED_FILE);
}

int Convert(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    ConvertOptions options = ParseConvert(arguments);
    QuietResponder quiet;
    Reporter reporter(err);
    std::vector<std::string> written;
    for (const std::string& input : options.inputs) {
        std::string output = options.output.value_or("");
        if (options.directory) {
            fs::path name = fs::path(input).filename();
            if (name.empty()) {
                reporter.Fail(input, "names no file");
                continue;
            }
            output = (fs::path(*options.directory) / name).string();
        }
        bool isInput = std::any_of(options.inputs.begin(), options.inputs.end(),
                                   [&](const std::string& other) { return SameFile(output, other); }) ||
                       (options.damaged && SameFile(output, *options.damaged));
        if (isInput) {
            reporter.Fail(input, output + " is an input file; fceconv never writes over one");
            continue;
        }
        if (std::any_of(written.begin(), written.end(),
                        [&](const std::string& other) { return SameFile(output, other); })) {
            reporter.Fail(input, output + " was already written by this run from another input");
            continue;
        }
        std::error_code error;
        if (!options.force && fs::exists(fs::path(output), error)) {
            reporter.Fail(input, output + " exists; --force replaces it");
            continue;
        }
        if (!OpenCar(input)) {
            reporter.Fail(input, quiet.Reason());
            continue;
        }
        if (options.damaged && ImportDamagedPath(options.damaged->c_str()) != DamagedImportResult::Imported) {
            reporter.Fail(input, "damaged file " + *options.damaged + ": " + quiet.Reason());
            continue;
        }
        if (options.defaultPartNames) {
            ApplyDefaultPartNames(carModel.header);
        }
        if (!SaveCar(options.to, output)) {
            reporter.Fail(input, "cannot write " + output + ": " + quiet.Reason());
            continue;
        }
        written.push_back(output);
        out << input << " -> " << output << "\n";
    }
    ReleaseFce3Mesh();
    ReleaseCarModel();
    return reporter.Status();
}

} // namespace

int RunFceconv(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    try {
        if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
            out << USAGE << HELP;
            return EXIT_ALL_DONE;
        }
        if (arguments.size() == 1 && arguments[0] == "--version") {
            out << "fceconv " VERRO_VERSION "\n";
            return EXIT_ALL_DONE;
        }
        if (arguments.empty()) {
            throw UsageError{"no command given"};
        }
        std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        if (arguments[0] == "info") {
            return Info(rest, out, err);
        }
        if (arguments[0] == "convert") {
            return Convert(rest, out, err);
        }
        throw UsageError{"unknown command " + arguments[0]};
    } catch (const UsageError& error) {
        err << "fceconv: " << error.problem << "\n" << USAGE;
        return EXIT_USAGE;
    }
}
