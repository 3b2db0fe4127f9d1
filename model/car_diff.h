// How two cars differ: what a user wants to know after a trip through another program, and
// what tells a round trip that kept everything from one that did not.
#pragma once

#include "model/car_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One difference, told from A's side to B's.
struct CarDifference {
    const char* kind;                // a stable key such as "part-only-in-b" or "vertices-moved"
    std::optional<std::string> part; // the part's name, for the differences of a part
    std::optional<uint32_t> count;   // how many entries of a table differ
    std::optional<double> largest;   // the largest distance between two positions or normals
    std::string message;             // the whole line, readable alone
};

// Parts are matched by name, the n-th of a name in A with the n-th of that name in B; the
// other differences are told in the order of the header and the tables. Vertices are compared
// where the car places them (part position + vertex), so that a part that moved its origin but
// none of its vertices differs only in its position. Numbers that are NaN on both sides are equal.
std::vector<CarDifference> DiffCars(const CarModel& a, const CarModel& b);
