#include "bench_timing.h"

#include <stdio.h>
#include <stdlib.h>

int RunsWanted(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : kDefaultRuns;
    return runs < 1 || runs > kMaxRuns ? kDefaultRuns : runs;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

static int CompareTimes(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

TimeSummary Summarise(RunTimes* times)
{
    int n = times->count;
    TimeSummary summary = {0, 0, 0};
    if (n < 1) return summary;
    qsort(times->ms, n, sizeof times->ms[0], CompareTimes);
    summary.median = n % 2 ? times->ms[n / 2] : (times->ms[n / 2 - 1] + times->ms[n / 2]) / 2;
    summary.min = times->ms[0];
    summary.max = times->ms[n - 1];
    return summary;
}

void PrintTimes(const char* label, const TimeSummary& times)
{
    printf("  %-44s median %8.1f ms  min %8.1f ms  max %8.1f ms\n", label, times.median,
           times.min, times.max);
}

void PrintRatio(const TimeSummary& program, const TimeSummary& baseline, double target)
{
    printf("  %-44s %8.2f   (target <= %.2f)\n", "ratio of medians",
           baseline.median > 0 ? program.median / baseline.median : 0.0, target);
}
