// fceconv import: builds a car from each 3D model (OBJ) and saves it in the layout asked.
#include "cli/commands.h"
#include "model/kesh.h"
#include "model/verro3_save.h"
#include "obj/obj_import.h"

int RunImport(const ImportOptions& options, const Streams& streams) {
    QuietResponder quiet;
    Reporter reporter(streams, options.quiet, options.inputs.size());
    const ObjImportOptions obj{options.base.value_or(""), options.keepOrigin};
    auto import = [&](const std::string& input, const std::string& output) {
        std::vector<std::string> warnings;
        if (!OpenObjPath(input.c_str(), obj, &warnings)) {
            reporter.Fail(input, quiet.Reason());
            return false;
        }
        for (const std::string& warning : warnings) {
            reporter.Note(input, warning);
        }
        int saved = options.to == "kesh" ? SaveKeshPath(output.c_str())
                                         : SaveVerro3Path(output.c_str(), VERRO3_NORMAL_FILE);
        if (!saved) {
            reporter.Fail(input, "cannot write " + output + ": " + quiet.Reason());
            return false;
        }
        if (options.to == "verro3") {
            NoteVerro3Losses(input, VERRO3_NORMAL_FILE, reporter);
        }
        return true;
    };
    // The base is an input too: never written over.
    return RunOutputs(options.inputs, options.base, options.destination, options.force, ".fce", reporter,
                      import);
}
