#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

// Times `runs` runs after one that warms the disk cache and the code.
struct MedianTime
{
    double median = 0;
    double min = 0;
};

inline MedianTime medianTime(int runs, const std::function<void()> &run)
{
    run();
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

// The lowest of three medians, for figures compared with each other: one
// taken while something else briefly held the processor would tip the ratio.
inline double steadyTime(int runs, const std::function<void()> &run)
{
    const int perBatch = std::max(3, runs / 3);
    return std::min({medianTime(perBatch, run).median, medianTime(perBatch, run).median,
                     medianTime(perBatch, run).median});
}
