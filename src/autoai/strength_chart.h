// The AI strength chart as numbers: the group averages, the distance of each
// group on its spoke, the mean distance, the label tooltips and every point
// that is drawn, in twips of the chart panel (origin top left, y downwards).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "autoai/player_records.h"

namespace gm::autoai {

// The chart panel, in twips.
inline constexpr int kPanelWidth = 5175;
inline constexpr int kPanelHeight = 5055;

// The number of tracks each group holds; the group average divides by it
// even when the file lacks some of the group's sections.
inline constexpr std::array<int, kGroupCount> kGroupTrackCounts = {2, 4, 5, 6, 5, 3};

// The tracks named in each group's tooltip, after the average.
inline constexpr std::array<std::string_view, kGroupCount> kGroupTrackNames = {
    " (Infineon, Watkins Glen)",
    " (Bristol, Martinsville, Richmond)",
    " (Homestead, Indianapolis, Las Vegas, New Hampshire, Phoenix, Pocono)",
    " (California, Darlington, Dover, Michigan, North Carolina)",
    " (Atlanta, Charlotte, Chicagoland, Kansas, Texas)",
    " (Daytona, Talladega)",
};

// The Text1 label of each group, from the top spoke clockwise.
inline constexpr std::array<int, kGroupCount> kGroupLabels = {0, 4, 5, 1, 3, 2};

// The outer circle's radius and the distance every group gets when all
// strengths are equal.
inline constexpr double kOuterRadius = 2000.0;
inline constexpr double kEqualDistance = 1000.0;

// The slant of the side spokes: 3.14 / 6 radians, a little under 30 degrees.
double spokeCos();
double spokeSin();

struct ChartPoint {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

struct ChartLine {
    ChartPoint from;
    ChartPoint to;
};

// A closed figure: the first point, then each point a line runs to; the
// last point is the first one again.
using Figure = std::array<ChartPoint, kGroupCount + 1>;

struct ChartDrawing {
    ChartPoint centre;
    std::array<double, kGroupCount> averages{};
    std::array<double, kGroupCount> distances{};  // r0 to r5, after stretching
    double meanDistance = 0.0;                     // m
    std::array<std::string, kGroupCount> tooltips;  // by group
    std::array<float, 6> circleRadii{};            // the grey rings, the first a dot
    std::array<ChartLine, 3> axes;                 // the grey spokes through the centre
    Figure hexagon;                                // blue: the mean distance
    Figure polygon;                                // red: the groups
};

// The group average: its strength sum over its track count.
double groupAverage(const GroupValues& sums, std::size_t group);

// The distances r0 to r5 and their mean m from the texts the statistics
// boxes show and the group sums. All three texts equal (every strength the
// same, or no strength at all): every distance and m are 1000. Otherwise a
// group lies at (average - lowest) * 2000 / (highest - lowest); when the
// largest distance is above 0 and below 2000, all distances and m are
// stretched so that it reaches 2000.
struct Distances {
    std::array<double, kGroupCount> r{};
    double m = 0.0;
};
Distances chartDistances(std::string_view maxText, std::string_view minText, std::string_view avgText,
                         const GroupValues& sums);

// A label's tooltip: the average as "00.0000" and the group's tracks.
std::string groupTooltip(const GroupValues& sums, std::size_t group);

// Everything one drawing of the chart needs, for a panel of that size.
ChartDrawing chartDrawing(std::string_view maxText, std::string_view minText, std::string_view avgText,
                          const GroupValues& sums, int panelWidth = kPanelWidth, int panelHeight = kPanelHeight);

}  // namespace gm::autoai
