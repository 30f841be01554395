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
