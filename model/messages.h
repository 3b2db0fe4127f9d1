// The texts of the messages that the file commands show.
#pragma once

inline constexpr char MESSAGE_READ_ERROR[] = "Error while reading file";
inline constexpr char MESSAGE_WRITE_ERROR[] = "Error while writing file";
inline constexpr char MESSAGE_IS_KESH[] = "This is Verro:Kesh FCE file";
inline constexpr char MESSAGE_NOT_KESH[] = "This is not Verro:Kesh FCE file";
inline constexpr char MESSAGE_LOAD_NORMAL_FIRST[] = "Please load normal file first";
inline constexpr char MESSAGE_DAMAGED_MISMATCH[] =
    "Loaded FCE and FCE with damages must have equal following values:\r\n"
    "- number of objects\r\n"
    "- total number of vertices\r\n";
