// fceconv export --obj: each INPUT as a Wavefront OBJ file, to look at in any 3D program.
#include "cli/commands.h"
#include "model/obj_export.h"

int RunExport(const ExportOptions& options, const Streams& streams) {
    QuietResponder quiet;
    Reporter reporter(streams, options.quiet, options.inputs.size());
    auto exportObj = [&](const std::string& input, const std::string& output) {
        std::optional<std::string> layout = OpenCar(input);
        if (!layout) {
            reporter.Fail(input, quiet.Reason());
            return false;
        }
        ObjExportCounts counts;
        if (!SaveObjPath(output.c_str(), options.mesh, input.c_str(),
                         *layout == "kesh" ? "Verro:Kesh" : "Verro3", &counts)) {
            reporter.Fail(input, "cannot write " + output + ": " + quiet.Reason());
            return false;
        }
        if (counts.skippedTriangles > 0) {
            reporter.Note(input, "triangles skipped for a vertex index outside their part: " +
                                     std::to_string(counts.skippedTriangles));
        }
        if (counts.replacedCoordinates > 0) {
            reporter.Note(input, "coordinates that are not numbers, written as 0: " +
                                     std::to_string(counts.replacedCoordinates));
        }
        return true;
    };
    return RunOutputs(options.inputs, std::nullopt, options.destination, options.force, ".obj", reporter,
                      exportObj);
}
