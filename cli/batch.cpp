#include "cli/batch.h"

#include "cli/commands.h"
#include "cli/fceconv_main.h"
#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/open_either.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "obj/obj_import.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

QuietResponder::QuietResponder() {
    responder_.answerFileDialog = [](const FileDialogRequest&, FileDialogResult&) { return 0; };
    responder_.reportMessage = [this](const char* text) { lastMessage_ = text; };
    InstallResponder(&responder_);
}

QuietResponder::~QuietResponder() {
    InstallResponder(nullptr);
}

std::string QuietResponder::Reason() const {
    const char* reason = LastFailureReason();
    return reason[0] != '\0' ? reason : lastMessage_;
}

std::optional<std::string> OpenCar(const std::string& path, std::vector<std::string>* warnings) {
    if (IsObjPath(path)) {
        if (!OpenObjPath(path.c_str(), {}, warnings)) {
            return std::nullopt;
        }
        return "obj";
    }
    bool kesh = false;
    if (!OpenEitherLayoutPath(path.c_str(), &kesh)) {
        return std::nullopt;
    }
    return kesh ? "kesh" : "verro3";
}

std::string LayoutName(const std::string& layout) {
    return layout == "kesh" ? "Verro:Kesh" : layout == "verro3" ? "Verro3" : "OBJ";
}

void ReleaseCar() {
    ReleaseFce3Mesh();
    ReleaseCarModel();
}

Reporter::Reporter(const Streams& streams, bool quiet, size_t fileCount)
    : out_(streams.out), err_(streams.err), progress_(streams.terminals.err && !quiet && fileCount > 1),
      outOnTerminal_(streams.terminals.out) {}

Reporter::~Reporter() {
    Wipe();
}

void Reporter::Step(size_t done, size_t total, const std::string& file) {
    if (!progress_) {
        return;
    }
    char counts[48];
    std::snprintf(counts, sizeof counts, "[%zu/%zu] ", done, total);
    std::string line = counts + fs::path(file).filename().string();
    // A line that wraps can no longer be rewritten in place.
    line.resize(std::min<size_t>(line.size(), 79));
    // Spaces cover what is left of a longer line before; no terminal control codes are
    // needed, so that every console shows it alike. One write: a console then redraws once.
    size_t length = line.size();
    line.insert(0, 1, '\r');
    line.append(shown_ > length ? shown_ - length : 0, ' ');
    err_ << line << std::flush;
    shown_ = length;
}

void Reporter::Wipe() {
    if (shown_ > 0) {
        std::string blank(shown_ + 2, ' ');
        blank.front() = '\r';
        blank.back() = '\r';
        err_ << blank << std::flush;
        shown_ = 0;
    }
}

std::ostream& Reporter::Out() {
    if (outOnTerminal_) {
        Wipe();
    }
    return out_;
}

void Reporter::Fail(const std::string& file, const std::string& reason) {
    Note(file, reason);
    failed_ = true;
}

void Reporter::Note(const std::string& file, const std::string& text) {
    Wipe();
    err_ << "fceconv: " << file << ": " << text << "\n";
}

void Reporter::FailRun(const std::string& problem) {
    Wipe();
    err_ << "fceconv: " << problem << "\n";
    failed_ = true;
}

int Reporter::Status() const {
    return failed_ ? EXIT_SOME_FAILED : EXIT_ALL_DONE;
}

OutputRules::OutputRules(const std::vector<std::string>& inputs, const std::optional<std::string>& damaged,
                         bool force)
    : force_(force) {
    FileIdentity identity;
    for (const std::string& input : inputs) {
        if (QueryFileIdentity(input.c_str(), &identity)) {
            inputs_.insert(identity);
        }
    }
    if (damaged && QueryFileIdentity(damaged->c_str(), &identity)) {
        inputs_.insert(identity);
    }
}

std::optional<std::string> OutputRules::Refusal(const std::string& output) const {
    FileIdentity identity;
    if (!QueryFileIdentity(output.c_str(), &identity)) {
        return std::nullopt; // nothing there to lose
    }
    if (inputs_.count(identity) != 0) {
        return output + " is an input file; fceconv never writes over one";
    }
    if (written_.count(identity) != 0) {
        return output + " was already written by this run from another input";
    }
    if (!force_) {
        return output + " exists; --force replaces it";
    }
    return std::nullopt;
}

void OutputRules::Written(const std::string& output) {
    FileIdentity identity;
    if (QueryFileIdentity(output.c_str(), &identity)) {
        written_.insert(identity);
    }
}

void NoteVerro3Losses(const std::string& input, uint32_t fileType, Reporter& reporter) {
    std::vector<const char*> losses = Verro3Losses(carModel, fileType);
    if (losses.empty()) {
        return;
    }
    std::string text = "the Verro3 layout does not hold ";
    for (size_t i = 0; i < losses.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == losses.size() ? " and " : ", ") + std::string(losses[i]);
    }
    reporter.Note(input, text + "; they are left out");
}

int RunOutputs(const std::vector<std::string>& inputs, const std::optional<std::string>& damaged,
               const Destination& destination, bool force, const std::string& extension, Reporter& reporter,
               const std::function<bool(const std::string& input, const std::string& output)>& make,
               const std::function<std::string(const std::string& output)>& besideOutput) {
    // Every output would fail alike: said once.
    std::error_code unknown;
    if (destination.directory && !fs::is_directory(*destination.directory, unknown)) {
        reporter.FailRun(
            "the folder " + *destination.directory +
            (fs::exists(*destination.directory, unknown) ? " is not a folder" : " does not exist"));
        return reporter.Status();
    }
    OutputRules rules(inputs, damaged, force);
    for (size_t i = 0; i < inputs.size(); ++i) {
        const std::string& input = inputs[i];
        reporter.Step(i + 1, inputs.size(), input);
        std::string output = destination.output.value_or("");
        if (destination.directory) {
            fs::path name = fs::path(input).filename();
            if (name.empty()) {
                reporter.Fail(input, "names no file");
                continue;
            }
            if (!extension.empty()) {
                name.replace_extension(extension);
            }
            output = (fs::path(*destination.directory) / name).string();
        }
        std::vector<std::string> outputs = {output};
        if (besideOutput) {
            outputs.push_back(besideOutput(output));
        }
        std::optional<std::string> refusal;
        for (size_t k = 0; k < outputs.size() && !refusal; ++k) {
            refusal = rules.Refusal(outputs[k]);
        }
        if (refusal) {
            reporter.Fail(input, *refusal);
            continue;
        }
        if (make(input, output)) {
            for (const std::string& written : outputs) {
                rules.Written(written);
            }
            reporter.Out() << input << " -> " << output << "\n";
        }
    }
    ReleaseCar();
    return reporter.Status();
}
