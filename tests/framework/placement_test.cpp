// Where a window's frame stands: centred over the window in front of it, and, from a stored
// position partly or wholly off the screens, moved the least distance onto the nearest screen.
#include "framework/placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Placement, AFrameCentredOverAnotherStandsWithItsCentreOnTheOthers) {
    EXPECT_EQ(fw::CentredOver(QRect(100, 200, 262, 498), QSize(206, 125)), QPoint(127, 386));
    EXPECT_EQ(fw::CentredOver(QRect(0, 0, 1024, 768), QSize(205, 124)), QPoint(409, 321));
    EXPECT_EQ(fw::CentredOver(QRect(-300, -40, 262, 498), QSize(206, 125)), QPoint(-272, 146));
}

TEST(Placement, AFrameOffTheScreensMovesTheLeastDistanceOntoTheNearestOne) {
    const std::vector<QRect> one{{0, 0, 1024, 768}};
    // Of different sizes: the second is taller.
    const std::vector<QRect> sideBySide{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
    const std::vector<QRect> stacked{{0, 0, 1280, 1024}, {0, 1024, 1024, 768}};
    const std::vector<QRect> threeInARow{
        {0, 0, 800, 600}, {800, 0, 1024, 768}, {1824, 0, 1280, 1024}};
    const QSize dialog(206, 125);
    const struct {
        const char* what;
        const std::vector<QRect>& screens;
        QPoint stored;
        QPoint shown;
        QSize size;
    } cases[] = {
        {"wholly on the screen: kept", one, {100, 50}, {100, 50}, dialog},
        {"touching the bottom right corner: kept", one, {818, 643}, {818, 643}, dialog},
        {"partly off to the right and below", one, {1000, 700}, {818, 643}, dialog},
        {"partly off to the left and above", one, {-30, -500}, {0, 0}, dialog},
        {"far off", one, {30000, 40000}, {818, 643}, dialog},
        {"larger than the screen: at its top-left corner", one, {50, 50}, {0, 0}, {1200, 900}},
        {"wholly on the second screen: kept", sideBySide, {1500, 800}, {1500, 800}, dialog},
        {"across the two, more on the first: onto the second, nearer",
         sideBySide,
         {1000, 100},
         {1024, 100},
         dialog},
        {"below the shorter first screen: up onto it", sideBySide, {100, 900}, {100, 643}, dialog},
        {"off to the right of both: onto the second", sideBySide, {5000, 300}, {2098, 300}, dialog},
        {"off to the left of both: onto the first", sideBySide, {-400, 300}, {0, 300}, dialog},
        {"below both: onto the lower", stacked, {100, 3000}, {100, 1667}, dialog},
        {"across the seam: onto the lower, nearer", stacked, {100, 1000}, {100, 1024}, dialog},
        {"beside the narrower lower screen: onto it", stacked, {1100, 1200}, {818, 1200}, dialog},
        {"above both: onto the upper", stacked, {100, -200}, {100, 0}, dialog},
        {"above the middle one: onto it", threeInARow, {1000, -500}, {1000, 0}, dialog},
        {"below them all, under the middle one: onto it",
         threeInARow,
         {1000, 2000},
         {1000, 643},
         dialog},
        {"across the middle and the last, more on the middle",
         threeInARow,
         {1700, 100},
         {1618, 100},
         dialog},
        {"off to the right of all: onto the last", threeInARow, {9000, 100}, {2898, 100}, dialog},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fw::OnNearestScreen(QRect(c.stored, c.size), c.screens), c.shown);
    }
    EXPECT_EQ(fw::OnNearestScreen(QRect(QPoint(-500, 70), dialog), {}), QPoint(-500, 70))
        << "no screen to go to";
}

}  // namespace
