// fceconv diff: how car B differs from car A, one line per difference or as JSON.
#include "cli/commands.h"
#include "model/car_diff.h"
#include "model/car_model.h"

#include <nlohmann/json.hpp>

#include <utility>

namespace {

// The program holds one car; A waits here while B is read, and is freed as the car is.
class CarSetAside {
  public:
    CarSetAside() { std::swap(car_, carModel); }
    ~CarSetAside() {
        ReleaseCar();
        std::swap(car_, carModel);
        ReleaseCar();
    }
    CarSetAside(const CarSetAside&) = delete;
    CarSetAside& operator=(const CarSetAside&) = delete;
    const CarModel& Car() const { return car_; }

  private:
    CarModel car_{};
};

template <class T> nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json();
}

} // namespace

int RunDiff(const DiffOptions& options, const Streams& streams) {
    QuietResponder quiet;
    auto fail = [&](const std::string& file) {
        streams.err << "fceconv: " << file << ": " << quiet.Reason() << "\n";
        ReleaseCar();
        return EXIT_USAGE;
    };
    if (!OpenCar(options.a)) {
        return fail(options.a);
    }
    CarSetAside a;
    if (!OpenCar(options.b)) {
        return fail(options.b);
    }
    std::vector<CarDifference> differences = DiffCars(a.Car(), carModel);
    if (options.json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const CarDifference& difference : differences) {
            list.push_back({{"kind", difference.kind},
                            {"part", OrNull(difference.part)},
                            {"count", OrNull(difference.count)},
                            {"largest", OrNull(difference.largest)},
                            {"message", difference.message}});
        }
        nlohmann::ordered_json all = {
            {"a", options.a}, {"b", options.b}, {"same", differences.empty()}, {"differences", list}};
        // Names are bytes from the files; whatever is not UTF-8 is shown replaced.
        streams.out << all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    } else {
        for (const CarDifference& difference : differences) {
            streams.out << difference.message << "\n";
        }
    }
    return differences.empty() ? EXIT_ALL_DONE : EXIT_SOME_FAILED;
}
