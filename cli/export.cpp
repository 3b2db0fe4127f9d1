// fceconv export --obj: each INPUT as a Wavefront OBJ file and its material file, for 3D editors.
#include "cli/commands.h"
#include "model/car_texture.h"
#include "obj/obj_export.h"

int RunExport(const ExportOptions& options, const Streams& streams) {
    QuietResponder quiet;
    Reporter reporter(streams, options.quiet, options.inputs.size());
    auto exportObj = [&](const std::string& input, const std::string& output) {
        std::vector<std::string> warnings;
        std::optional<std::string> layout = OpenCar(input, &warnings);
        if (!layout) {
            reporter.Fail(input, quiet.Reason());
            return false;
        }
        for (const std::string& warning : warnings) {
            reporter.Note(input, warning);
        }
        ObjExportOptions obj{options.mesh, options.texture.value_or(FindCarTexture(input)), input,
                             LayoutName(*layout)};
        ObjExportCounts counts;
        if (!SaveObjPath(output.c_str(), obj, &counts)) {
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
                      exportObj, MaterialFilePath);
}
