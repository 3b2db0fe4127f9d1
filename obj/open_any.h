// The program's ways in for a car take a 3D model as readily: both Open dialogs offer it as a
// further file type, and a file named on the command line or dropped may be one.
#pragma once


// Opens the file at path: a 3D model is built into a car; a model that cannot become one is
// refused with a message that gives the reason, and the car that was loaded stays. Any other
// file is read as a car in the layout its first word names. 1 when a car was loaded.
int OpenCarOrModelPath(const char* path);

// "Open Verro3..." and "Open Verro:Kesh...": the open dialog offers the layout's cars and 3D
// models; a chosen model opens as above, a car with the layout's own reader.
int OpenVerro3OrModelFile();
int OpenKeshOrModelFile();
