// Where things appear in an 800 x 600 window: the panel's read-outs and the scene's bands.
#pragma once

namespace e2e {

// A rectangle in window pixels, rows from the top: [x0, x1) x [y0, y1).
struct Box {
  int x0, y0, x1, y1;
};

// The panel is 100 px wide; one panel unit is 37.5 px across and 30 px down, with its origin
// 4/3 units in from the left edge and 10 units down from the top.
constexpr int panelColumn(double x) {
  return static_cast<int>((4.0 / 3.0 - x) * 37.5);
}
constexpr int panelRow(double y) {
  return static_cast<int>((y + 10.0) * 30.0);
}
constexpr Box panelBox(double x, double top, double width, double height) {
  return {panelColumn(x + width), panelRow(top), panelColumn(x), panelRow(top + height)};
}

// A six-place read-out's whole row, and the ones place of a read-out at row y.
constexpr Box readout(double y) {
  return {0, panelRow(y), 100, panelRow(y + 0.5)};
}
constexpr Box onesPlace(double y) {
  return panelBox(-1.4, y, 0.5, 0.5);
}
constexpr Box tensPlace(double y) {
  return panelBox(-0.95, y, 0.5, 0.5);
}

constexpr double kScoreRow = -8.9;
constexpr double kHealthRow = -6.9;
constexpr double kKillsRow = 2.6;
constexpr double kEscapesRow = 4.6;
constexpr Box kStartLabel = {2, panelRow(8.0) + 2, 98, panelRow(9.5) - 2};
constexpr Box kGameOverLabel = {2, panelRow(-1.0) + 2, 98, panelRow(0.0) - 2};
constexpr Box kCannonState = {0, panelRow(-5.6), 100, panelRow(-4.5)};

// The ground band of the scene where the tank drives, and the whole scene.
constexpr Box kGroundBand = {100, 540, 800, 600};  // below the help page
constexpr Box kScene = {100, 0, 800, 600};

}  // namespace e2e
