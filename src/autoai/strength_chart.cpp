#include "autoai/strength_chart.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"

namespace gm::autoai {

namespace {

// The slant is 3.14 / 6, not pi / 6: the side vertices lie a fraction of a
// degree off the grey axes, as the chart has always been drawn.
constexpr double kSlant = 3.14 / 6.0;

// Axis ends: the spokes stop at these offsets from the centre.
constexpr double kAxisX = 1732.0;
constexpr double kAxisY = 1000.0;

ChartPoint at(double x, double y)
{
    return {static_cast<float>(x), static_cast<float>(y)};
}

// The figure of six distances on the six spokes, from the top clockwise.
Figure figure(ChartPoint centre, const std::array<double, kGroupCount>& r)
{
    const double cx = centre.x;
    const double cy = centre.y;
    const double c = spokeCos();
    const double s = spokeSin();
    return {{
        at(cx, cy - r[0]),
        at(cx + r[1] * c, cy - r[1] * s),
        at(cx + r[2] * c, cy + r[2] * s),
        at(cx, cy + r[3]),
        at(cx - r[4] * c, cy + r[4] * s),
        at(cx - r[5] * c, cy - r[5] * s),
        at(cx, cy - r[0]),
    }};
}

}  // namespace

double spokeCos()
{
    return std::cos(kSlant);
}

double spokeSin()
{
    return std::sin(kSlant);
}

double groupAverage(const GroupValues& sums, std::size_t group)
{
    return sums[group] / kGroupTrackCounts[group];
}

Distances chartDistances(std::string_view maxText, std::string_view minText, std::string_view avgText,
                         const GroupValues& sums)
{
    Distances d;
    const double highest = common::leadingNumber(maxText);
    const double lowest = common::leadingNumber(minText);
    // Equal texts mean equal strengths. A highest value not above the
    // lowest gives no scale either, and is drawn the same way rather than
    // divided by zero.
    if ((avgText == maxText && minText == maxText) || !(highest > lowest)) {
        d.r.fill(kEqualDistance);
        d.m = kEqualDistance;
        return d;
    }
    const double scale = kOuterRadius / (highest - lowest);
    double rmax = 0.0;
    for (std::size_t k = 0; k < kGroupCount; ++k) {
        d.r[k] = (groupAverage(sums, k) - lowest) * scale;
        rmax = std::max(rmax, d.r[k]);
        d.m += d.r[k] / static_cast<double>(kGroupCount);
    }
    // The largest group reaches the outer circle. With no group above the
    // lowest strength there is nothing to stretch.
    if (rmax > 0.0 && rmax < kOuterRadius) {
        for (double& r : d.r) {
            r = r * kOuterRadius / rmax;
        }
        d.m = d.m * kOuterRadius / rmax;
    }
    return d;
}

std::string groupTooltip(const GroupValues& sums, std::size_t group)
{
    return common::format00_0000(groupAverage(sums, group)) + std::string(kGroupTrackNames[group]);
}

ChartDrawing chartDrawing(std::string_view maxText, std::string_view minText, std::string_view avgText,
                          const GroupValues& sums, int panelWidth, int panelHeight)
{
    ChartDrawing drawing;
    drawing.centre = {static_cast<float>(panelWidth) / 2.0f, static_cast<float>(panelHeight) / 2.0f};
    const double cx = drawing.centre.x;
    const double cy = drawing.centre.y;
    for (std::size_t i = 0; i < drawing.circleRadii.size(); ++i) {
        drawing.circleRadii[i] = 400.0f * static_cast<float>(i);
    }
    drawing.axes = {{
        {at(cx, cy + 2000.0), at(cx, cy - 2000.0)},
        {at(cx - kAxisX, cy + kAxisY), at(cx + kAxisX, cy - kAxisY)},
        {at(cx + kAxisX, cy + kAxisY), at(cx - kAxisX, cy - kAxisY)},
    }};
    const Distances d = chartDistances(maxText, minText, avgText, sums);
    drawing.distances = d.r;
    drawing.meanDistance = d.m;
    for (std::size_t k = 0; k < kGroupCount; ++k) {
        drawing.averages[k] = groupAverage(sums, k);
        drawing.tooltips[k] = groupTooltip(sums, k);
    }
    std::array<double, kGroupCount> mean{};
    mean.fill(d.m);
    drawing.hexagon = figure(drawing.centre, mean);
    drawing.polygon = figure(drawing.centre, d.r);
    return drawing;
}

}  // namespace gm::autoai
