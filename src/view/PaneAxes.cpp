#include "view/PaneAxes.h"

#include <cmath>
#include <cstdio>
#include <iterator>

#include "view/Readout.h"

namespace tonmira::view {

double TimeTickStep(double seconds, int widthPx, int minSpacingPx)
{
    if (!(seconds > 0) || widthPx <= 0)
        return 0;
    static const double kSteps[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30,
                                    60,    120,   300,   600,  900,  1800, 3600, 7200, 18000, 36000};
    for (const double s : kSteps)
        if (s * widthPx / seconds >= minSpacingPx)
            return s;
    return kSteps[std::size(kSteps) - 1];
}

std::string ClockText(double seconds, double step)
{
    const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : step >= 0.01 ? 2 : 3;
    const double scale = std::pow(10.0, decimals);
    const auto units = static_cast<long long>(std::llround(std::max(seconds, 0.0) * scale));
    const long long whole = units / static_cast<long long>(scale);
    char text[48];
    int n = std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    if (decimals > 0)
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ".%0*lld", decimals,
                      units % static_cast<long long>(scale));
    return text;
}

std::vector<double> FrequencyTicks(int minHz, int maxHz, bool logAxis, int heightPx, int minSpacingPx)
{
    std::vector<double> ticks;
    if (maxHz <= minHz || heightPx <= 0)
        return ticks;
    if (!logAxis) {
        const double span = maxHz - minHz;
        double step = 0;
        for (double decade = 1; step == 0 && decade <= span * 10; decade *= 10)
            for (const double m : {1.0, 2.0, 5.0})
                if (step == 0 && m * decade * heightPx / span >= minSpacingPx)
                    step = m * decade;
        if (step == 0)
            return ticks;
        for (double hz = std::ceil(minHz / step) * step; hz <= maxHz + 1e-9; hz += step)
            ticks.push_back(hz);
        return ticks;
    }
    // Semi-log: the 1-2-5 values, each kept only if it stands far enough from the last one kept.
    double lastY = -1e9;
    for (double decade = 1; decade <= maxHz; decade *= 10)
        for (const double m : {1.0, 2.0, 5.0}) {
            const double hz = m * decade;
            if (hz <= minHz || hz > maxHz)
                continue;
            const double y = AxisFraction(hz, minHz, maxHz, true) * heightPx;
            if (y - lastY >= minSpacingPx) {
                ticks.push_back(hz);
                lastY = y;
            }
        }
    return ticks;
}

std::string FrequencyText(double hz)
{
    char text[32];
    if (hz < 1000)
        std::snprintf(text, sizeof text, "%.0f Hz", hz);
    else
        std::snprintf(text, sizeof text, "%g kHz", std::round(hz / 10.0) / 100.0);
    return text;
}

double LevelToDbfs(int level) { return level / 2.55 - 100.0; }

}  // namespace tonmira::view
