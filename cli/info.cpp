// fceconv info: the layout, the five counts, the parts and the dummies of each file, as
// text like the main window's or as JSON.
#include "cli/commands.h"
#include "model/car_model.h"
#include "model/info_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

std::string Name(const char (&field)[NAME_SIZE]) {
    char text[NAME_SIZE];
    NameFieldText(field, text);
    return text;
}

void PrintInfoText(const std::string& file, const std::string& layout, std::ostream& out) {
    const FceKeshHeader& h = carModel.header;
    char info[256];
    FormatInfoText(h, info, sizeof info);
    std::string text = info;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    out << file << ": " << layout << "\n" << text << "Parts:\n";
    for (uint32_t p = 0; p < PartsInUse(h); ++p) {
        out << "  " << Name(h.partNames[p]) << " (" << h.partVertexCount[p] << " vertices, "
            << h.partTriangleCount[p] << " triangles)\n";
    }
    out << "Dummies:\n";
    for (uint32_t d = 0; d < DummiesInUse(h); ++d) {
        out << "  " << Name(h.dummyNames[d]) << "\n";
    }
}

nlohmann::ordered_json InfoJson(const std::string& file, const std::string& layout) {
    const FceKeshHeader& h = carModel.header;
    nlohmann::ordered_json partNames = nlohmann::ordered_json::array(),
                           parts = nlohmann::ordered_json::array();
    for (uint32_t p = 0; p < PartsInUse(h); ++p) {
        partNames.push_back(Name(h.partNames[p]));
        parts.push_back({{"name", Name(h.partNames[p])},
                         {"firstVertex", h.partFirstVertex[p]},
                         {"vertexCount", h.partVertexCount[p]},
                         {"firstTriangle", h.partFirstTriangle[p]},
                         {"triangleCount", h.partTriangleCount[p]}});
    }
    nlohmann::ordered_json dummyNames = nlohmann::ordered_json::array();
    for (uint32_t d = 0; d < DummiesInUse(h); ++d) {
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

} // namespace

int RunInfo(const InfoOptions& options, const Streams& streams) {
    QuietResponder quiet;
    Reporter reporter(streams, true, 0); // no progress: a file's information is its own report
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    bool first = true;
    for (const std::string& file : options.files) {
        std::optional<std::string> layout = OpenCar(file);
        if (!layout) {
            reporter.Fail(file, quiet.Reason());
            continue;
        }
        if (options.json) {
            all.push_back(InfoJson(file, *layout));
        } else {
            streams.out << (first ? "" : "\n");
            PrintInfoText(file, *layout, streams.out);
            first = false;
        }
    }
    ReleaseCar();
    if (options.json) {
        // Names are bytes from the file; whatever is not UTF-8 is shown replaced.
        streams.out << all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    }
    return reporter.Status();
}
