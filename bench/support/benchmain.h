#pragma once

#include <functional>

// The main of every benchmark program: makes the application (a QApplication
// on the offscreen platform, unless QT_QPA_PLATFORM says otherwise, when gui;
// a QCoreApplication otherwise), reads Google Benchmark's arguments, runs
// prepare (an exception from it is reported as "<name>: <what>" and ends the
// program with 1), runs the benchmarks the arguments select, and prints
// figures() with the targets line. Returns main's exit code.
int runBenchmarks(int argc, char** argv, const char* name, const std::function<void()>& prepare,
                  const char* targets, bool gui);
