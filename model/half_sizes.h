// The car's half-sizes, the three floats of the header's auxValues: the game takes them as the
// car's box for collisions, and values that are too small may crash it.
#pragma once

#include "model/car_model.h"

#include <string>

struct HalfSizes {
    float x;
    float y;
    float z;
};

HalfSizes StoredHalfSizes(const FceKeshHeader& header);
void StoreHalfSizes(FceKeshHeader& header, HalfSizes halfSizes);

// The half-sizes as real cars hold them, from the body (the part ":HB", or every part when
// there is none), each vertex at its part's position plus its own coordinates: x and z half
// the body's extent along x and z, y the depth of its lowest point below the origin. Corners
// that are not finite are left out; all zero when no vertex counts.
HalfSizes BodyHalfSizes(const CarModel& model);

// Why the game may crash on these half-sizes, naming the values; empty when they are safe.
std::string HalfSizesDanger(HalfSizes halfSizes);
