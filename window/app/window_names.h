// Names and units the window's files share, each written once here.
#pragma once
#include <QtGlobal>

// Nanoseconds in a second and in a millisecond.
constexpr qint64 NS_PER_SECOND = 1000000000;
constexpr qint64 NS_PER_MS = 1000000;

// The application's name: the window class and the title of message boxes.
inline constexpr char APPLICATION_NAME[] = "Malvex";
// The program's name: its messages, help and version, and its settings file.
inline constexpr char PROGRAM_NAME[] = "ktr7-sim";
