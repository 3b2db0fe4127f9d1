// The texture that goes with a car: the games keep it beside the car's file.
#pragma once

#include <string>

// The path of `<stem>00.tga` (for a car "<stem>.fce") or else `car00.tga` in the folder of
// carPath, the first that is a file there; empty when neither is.
std::string FindCarTexture(const std::string& carPath);
