// Opening a car without asking its layout: for a car named on the program's command line
// or dropped onto it, and for fceconv.
#pragma once

// Opens the car at path with OpenKeshPath when its first word is the Kesh mark, otherwise
// with OpenVerro3Path, which reports a file that is neither. *kesh, when given, tells
// which of them ran. 1 when a car was loaded.
int OpenEitherLayoutPath(const char* path, bool* kesh = nullptr);
