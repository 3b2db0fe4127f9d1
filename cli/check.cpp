// fceconv check: reads each file as the program would and tells what is wrong with it, as
// lines of text or as JSON. A file the readers refuse is one error, with their reason.
#include "cli/commands.h"
#include "model/car_check.h"
#include "model/car_model.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

template <class T> nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json();
}

nlohmann::ordered_json FileJson(const std::string& file, const std::optional<std::string>& layout,
                                const std::vector<CarProblem>& problems) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const CarProblem& problem : problems) {
        list.push_back(
            {{"kind", problem.kind},
             {"severity", SeverityName(problem.severity)},
             {"part", OrNull(problem.part)},
             {"dummy", OrNull(problem.dummy)},
             {"table", problem.table ? nlohmann::ordered_json(problem.table) : nlohmann::ordered_json()},
             {"index", OrNull(problem.index)},
             {"message", problem.message}});
    }
    return {{"file", file}, {"layout", OrNull(layout)}, {"problems", list}};
}

bool HasError(const std::vector<CarProblem>& problems) {
    return std::any_of(problems.begin(), problems.end(),
                       [](const CarProblem& problem) { return problem.severity == Severity::Error; });
}

} // namespace

int RunCheck(const CheckOptions& options, const Streams& streams) {
    QuietResponder quiet;
    Reporter reporter(streams, options.quiet, options.files.size());
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    size_t withErrors = 0, withWarningsOnly = 0;
    for (size_t i = 0; i < options.files.size(); ++i) {
        const std::string& file = options.files[i];
        reporter.Step(i + 1, options.files.size(), file);
        std::optional<std::string> layout = OpenCar(file);
        std::vector<CarProblem> problems;
        if (layout) {
            problems = CheckCar(carModel, *layout == "kesh" ? CarLayout::Kesh : CarLayout::Verro3);
        } else {
            problems.push_back({"unreadable", Severity::Error, {}, {}, nullptr, {}, quiet.Reason()});
        }
        bool error = HasError(problems);
        withErrors += error ? 1 : 0;
        withWarningsOnly += !error && !problems.empty() ? 1 : 0;
        if (options.json) {
            all.push_back(FileJson(file, layout, problems));
            continue;
        }
        for (const CarProblem& problem : problems) {
            reporter.Out() << file << ": " << SeverityName(problem.severity) << ": " << problem.message
                           << "\n";
        }
    }
    ReleaseCar();
    if (options.json) {
        // The file names and messages are bytes from the system and the files; whatever is
        // not UTF-8 is shown replaced.
        reporter.Out() << all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    } else {
        reporter.Out() << options.files.size() << (options.files.size() == 1 ? " file" : " files")
                       << " checked: " << withErrors << " with errors, " << withWarningsOnly
                       << " with warnings only\n";
    }
    if (withErrors > 0) {
        reporter.MarkFailed();
    }
    return reporter.Status();
}
