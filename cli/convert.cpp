// fceconv convert: opens each INPUT and saves it in the layout asked, with the steps a user
// takes in the program: open, "Import damaged...", "Set default", save.
#include "cli/commands.h"
#include "model/damaged_import.h"
#include "model/kesh.h"
#include "model/part_names.h"
#include "model/verro3_save.h"

namespace {

bool Saved(int saved, const std::string& input, const std::string& output, Reporter& reporter,
           const QuietResponder& quiet) {
    if (!saved) {
        reporter.Fail(input, "cannot write " + output + ": " + quiet.Reason());
    }
    return saved != 0;
}

} // namespace

int RunConvert(const ConvertOptions& options, const Streams& streams) {
    QuietResponder quiet;
    Reporter reporter(streams, options.quiet, options.inputs.size());
    auto convert = [&](const std::string& input, const std::string& output) {
        if (!OpenCar(input)) {
            reporter.Fail(input, quiet.Reason());
            return false;
        }
        if (options.damaged && ImportDamagedPath(options.damaged->c_str()) != DamagedImportResult::Imported) {
            reporter.Fail(input, "damaged file " + *options.damaged + ": " + quiet.Reason());
            return false;
        }
        if (options.defaultPartNames) {
            ApplyDefaultPartNames(carModel.header);
        }
        if (options.to == "kesh") {
            return Saved(SaveKeshPath(output.c_str()), input, output, reporter, quiet);
        }
        uint32_t fileType = options.to == "verro3" ? VERRO3_NORMAL_FILE : VERRO3_DAMAGED_FILE;
        if (!Saved(SaveVerro3Path(output.c_str(), fileType), input, output, reporter, quiet)) {
            return false;
        }
        NoteVerro3Losses(input, fileType, reporter);
        return true;
    };
    return RunOutputs(options.inputs, options.damaged, options.destination, options.force, "", reporter,
                      convert);
}
