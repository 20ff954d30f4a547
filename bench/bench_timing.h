// What the start-up benchmarks share: one program's run times kept per run,
// summarised as median, minimum and maximum, and printed in lines that
// scripts/bench.sh reads back.
#pragma once
#include <windows.h>

enum { kMaxRuns = 101, kDefaultRuns = 21 };

struct RunTimes {
    double ms[kMaxRuns];
    int count;
};

struct TimeSummary {
    double median, min, max;
};

// The number of runs from the first argument, kDefaultRuns when it is
// missing or out of range.
int RunsWanted(int argc, char** argv);
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);
LARGE_INTEGER Now();
// Sorts the times it is given.
TimeSummary Summarise(RunTimes* times);
// "  <label>  median 123.4 ms  min 100.0 ms  max 150.0 ms"
void PrintTimes(const char* label, const TimeSummary& times);
// "  ratio of medians  1.23  (target <= 1.10)"
void PrintRatio(const TimeSummary& program, const TimeSummary& baseline, double target);
