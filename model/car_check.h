// What can be wrong with a car that the readers accept: the faults that make the game or
// the program misbehave (errors) and the things that are legal but rarely meant (warnings).
#pragma once

#include "model/car_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class CarLayout { Verro3, Kesh };
enum class Severity { Error, Warning };

// One problem and its place. Problems that repeat along a table (a hundred vertices that
// are not numbers) are told once per part and table: index is the first entry concerned
// and the message says how many there are.
struct CarProblem {
    const char* kind; // a stable key such as "vertex-index-outside-part"
    Severity severity;
    std::optional<uint32_t> part;
    std::optional<uint32_t> dummy;
    const char* table; // "triangles", "part names", ...; nullptr when no one table is meant
    std::optional<uint32_t> index;
    std::string message; // says the place too, so that it reads alone
};

// Checks a car as a reader left it, read from a file of the layout given: the tables that
// a Verro3 file does not hold (the second and the damaged geometry, the movement values)
// are copies or constants in the model and are not checked for it.
std::vector<CarProblem> CheckCar(const CarModel& car, CarLayout layout);

const char* SeverityName(Severity severity);
