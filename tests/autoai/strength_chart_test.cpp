#include <gtest/gtest.h>

#include "autoai/strength_chart.h"

namespace gm::autoai {
namespace {

// The side spokes' slant, written out: cos and sin of 3.14 / 6.
constexpr double kC = 0.866158;
constexpr double kS = 0.499770;
constexpr float kCx = 2587.5f;
constexpr float kCy = 2527.5f;

// Group sums that give these averages.
GroupValues sumsFor(const std::array<double, 6>& averages)
{
    GroupValues sums{};
    for (std::size_t k = 0; k < 6; ++k) {
        sums[k] = averages[k] * kGroupTrackCounts[k];
    }
    return sums;
}

// A figure of these distances, from the top clockwise and closed, with the
// slant written out.
void expectFigure(const Figure& figure, const std::array<double, 6>& r, const char* what)
{
    const double x[7] = {0, r[1] * kC, r[2] * kC, 0, -r[4] * kC, -r[5] * kC, 0};
    const double y[7] = {-r[0], -r[1] * kS, r[2] * kS, r[3], r[4] * kS, -r[5] * kS, -r[0]};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(figure[i].x, kCx + x[i], 0.01) << what << " vertex " << i;
        EXPECT_NEAR(figure[i].y, kCy + y[i], 0.01) << what << " vertex " << i;
    }
}

struct Example {
    const char* what;
    const char* max;
    const char* min;
    const char* avg;
    std::array<double, 6> averages;
    std::array<double, 6> r;
    double m;
};

TEST(StrengthChart, DistancesAndVerticesOfTheWorkedExamples)
{
    const double third = 2000.0 / 3.0;
    const Example examples[] = {
        {"spread from the lowest to the highest strength", "100.000000", "70.000000", "86.500000",
         {100, 90, 80, 95, 85, 70}, {2000, 2 * third, third, 2.5 * third, 1000, 0}, 1111.111},
        {"all equal", "95.000000", "95.000000", "95.000000", {95, 95, 95, 95, 95, 95},
         {1000, 1000, 1000, 1000, 1000, 1000}, 1000},
        {"stretched: the largest group reaches the circle", "100.000000", "70.000000", "82.000000",
         {85, 80, 75, 70, 80, 85}, {2000, 2 * third, third, 0, 2 * third, 2000}, 1222.222},
        {"a group with no sections lies beyond the centre", "100.000000", "70.000000", "85.000000",
         {100, 90, 80, 95, 85, 0}, {2000, 2 * third, third, 2.5 * third, 1000, -7 * third}, 1000.0 / 3.0},
        {"no group above the lowest: nothing stretched", "100.000000", "70.000000", "71.000000",
         {70, 70, 70, 70, 70, 70}, {0, 0, 0, 0, 0, 0}, 0},
        {"the highest not above the lowest is drawn as all equal", "50.000000", "50.000000", "49.000000",
         {50, 50, 50, 50, 50, 50}, {1000, 1000, 1000, 1000, 1000, 1000}, 1000},
    };
    for (const Example& e : examples) {
        const ChartDrawing d = chartDrawing(e.max, e.min, e.avg, sumsFor(e.averages));
        for (std::size_t k = 0; k < 6; ++k) {
            EXPECT_NEAR(d.averages[k], e.averages[k], 1e-9) << e.what;
            EXPECT_NEAR(d.distances[k], e.r[k], 0.01) << e.what << " r" << k;
        }
        EXPECT_NEAR(d.meanDistance, e.m, 0.001) << e.what;
        expectFigure(d.polygon, e.r, e.what);
        expectFigure(d.hexagon, {e.m, e.m, e.m, e.m, e.m, e.m}, e.what);
    }
}

TEST(StrengthChart, CentreRingsAndAxes)
{
    const ChartDrawing d = chartDrawing("1", "2", "3", {});
    EXPECT_EQ(d.centre, (ChartPoint{kCx, kCy}));
    EXPECT_EQ(d.circleRadii, (std::array<float, 6>{0, 400, 800, 1200, 1600, 2000}));
    EXPECT_EQ(d.axes[0].from, (ChartPoint{kCx, kCy + 2000}));
    EXPECT_EQ(d.axes[1].to, (ChartPoint{kCx + 1732, kCy - 1000}));
    EXPECT_EQ(d.axes[2].to, (ChartPoint{kCx - 1732, kCy - 1000}));
}

TEST(StrengthChart, TooltipsShowTheUnscaledAverageAndTheTracks)
{
    const ChartDrawing d = chartDrawing("110.000000", "70.000000", "90.000000",
                                        sumsFor({100, 5.25, 0, 88.123456, 99.99996, 95.5}));
    const std::array<std::string, 6> tips = {
        "100.0000 (Infineon, Watkins Glen)", "05.2500 (Bristol, Martinsville, Richmond)",
        "00.0000 (Homestead, Indianapolis, Las Vegas, New Hampshire, Phoenix, Pocono)",
        "88.1235 (California, Darlington, Dover, Michigan, North Carolina)",
        "100.0000 (Atlanta, Charlotte, Chicagoland, Kansas, Texas)", "95.5000 (Daytona, Talladega)"};
    EXPECT_EQ(d.tooltips, tips);
    // A group missing some of its sections still divides by its full count.
    EXPECT_DOUBLE_EQ(groupAverage({0, 0, 0, 0, 0, 190}, 5), 190.0 / 3.0);
}

}  // namespace
}  // namespace gm::autoai
