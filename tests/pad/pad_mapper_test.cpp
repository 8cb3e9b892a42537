// The pad's layout as key and button events: presses, holds, steering's repeat, and the right
// stick's pointer with its dead zone, fed frame by frame.
#include "pad/pad_mapper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace brambleshot;
using Log = std::vector<std::string>;

// Writes each event as a word ("key:a", "down", "up", "motion"); motion moves the pointer.
class Events : public PadSink {
 public:
  void key(unsigned char key, int, int) override { log.push_back(std::string("key:") + char(key)); }
  void leftButton(bool down, int, int) override { log.push_back(down ? "down" : "up"); }
  void motion(int x, int y) override { log.push_back("motion"), pointerX = x, pointerY = y; }
  Log log;
  int pointerX = 400, pointerY = 300;
};

constexpr PlayArea kArea{100, 0, 700, 600};

class Mapper : public ::testing::Test {
 protected:
  Mapper() { pad.connected = true, pad.id = 7; }
  // Frames of the pad as it is now, the pointer following the pad's own motion.
  Log run(int frames = 1) {
    for (int i = 0; i < frames; ++i)
      mapper.update(pad, events.pointerX, events.pointerY, kArea, events);
    return std::exchange(events.log, {});
  }
  PadMapper mapper;
  PadState pad;
  Events events;
};

TEST_F(Mapper, EachButtonSendsItsKeyOncePerPressAndNotWhenHeldAsAPadTakesOver) {
  run();
  for (const auto& [button, key] : {std::pair{PadButton::a, "key: "},
                                    {PadButton::start, "key:p"},
                                    {PadButton::back, "key:h"},
                                    {PadButton::x, "key:n"},
                                    {PadButton::y, "key:m"}}) {
    SCOPED_TRACE(key);
    pad.press(button);
    EXPECT_EQ(run(), Log{key});
    EXPECT_EQ(run(30), Log{});  // held: no repeat
    pad.press(button, false);
    run();
    pad.press(button);
    pad.id += 1;  // held as another pad takes over: no press until pressed again
    EXPECT_EQ(run(), Log{});
    pad.press(button, false);
    run();
  }
}

TEST_F(Mapper, GunsHoldWhileTheTriggerOrShoulderIsHeldAndLetGoWhenThePadGoes) {
  run();
  // The trigger holds past half way and lets go below 0.3; wavering between fires nothing.
  const std::tuple<double, bool, Log> steps[] = {
      {0.45, false, {}}, {0.55, false, {"down"}}, {0.35, false, {}},
      {0.52, false, {}}, {0.25, false, {"up"}},   {0.0, true, {"down"}},
      {0.9, false, {}},  {0.0, false, {"up"}},    {1.0, false, {"down"}}};
  for (const auto& [trigger, shoulder, expected] : steps) {
    SCOPED_TRACE(trigger);
    pad.rightTrigger = trigger;
    pad.press(PadButton::rightShoulder, shoulder);
    EXPECT_EQ(run(), expected);
  }
  pad.connected = false;  // pulled out with the trigger held
  EXPECT_EQ(run(5), Log{"up"});
}

TEST_F(Mapper, SteeringStepsAtOnceThenEverySixFramesWhileHeld) {
  pad.leftX = -0.8;
  for (int frame = 0; frame <= 4 * kSteerRepeatFrames; ++frame)
    EXPECT_EQ(run(), frame % kSteerRepeatFrames == 0 ? Log{"key:a"} : Log{}) << frame;
  // Turning round steps at once; the d-pad steers as the stick does; both ways at once: neither;
  // a stick short of half way: nothing.
  pad.leftX = 0.8;
  EXPECT_EQ(run(), Log{"key:d"});
  pad.leftX = 0.0;
  pad.press(PadButton::dpadLeft);
  EXPECT_EQ(run(), Log{"key:a"});
  pad.press(PadButton::dpadRight);
  EXPECT_EQ(run(kSteerRepeatFrames * 3), Log{});
  pad.press(PadButton::dpadLeft, false), pad.press(PadButton::dpadRight, false);
  pad.leftX = 0.45;
  EXPECT_EQ(run(100), Log{});
}

TEST_F(Mapper, TheRightStickMovesThePointerAtASteadySpeedWithinTheAreaAndFromWhereTheMouseLeftIt) {
  // Full tilt any way goes the same distance; half tilt beyond the dead zone half as far.
  const double full = 20 * kAimSpeed * kArea.height;
  for (const auto& [x, y, distance] : {std::tuple{1.0, 0.0, full},
                                       {0.0, -1.0, full},
                                       {0.7, 0.7, full},
                                       {kAimDeadZone + (1 - kAimDeadZone) / 2, 0.0, full / 2}}) {
    events.pointerX = 400, events.pointerY = 300;
    pad.rightX = x, pad.rightY = y;
    run(20);
    EXPECT_NEAR(std::hypot(events.pointerX - 400, events.pointerY - 300), distance, 1.5) << x;
    EXPECT_EQ(events.pointerX > 400, x > 0) << x;
    EXPECT_EQ(events.pointerY < 300, y < 0) << y;
  }
  // The mouse moved: the stick goes on from there.
  events.pointerX = 250, events.pointerY = 100;
  pad.rightX = 1, pad.rightY = 0;
  EXPECT_EQ(run(), Log{"motion"});
  EXPECT_GT(events.pointerX, 250);
  EXPECT_LT(events.pointerX, 260);
  EXPECT_EQ(events.pointerY, 100);
  // Held long, it stops at the area's corner and sends nothing more.
  pad.rightX = -1, pad.rightY = -1;
  run(2000);
  EXPECT_EQ(events.pointerX, kArea.left);
  EXPECT_EQ(events.pointerY, kArea.top);
  EXPECT_EQ(run(10), Log{});
}

TEST_F(Mapper, AStickRestingInsideTheDeadZoneOrReadingNoNumberNeverMovesThePointer) {
  // Worn sticks rest off centre; after a long aim the pointer must stay where it was left.
  pad.rightX = 0.9;
  run(7);
  const int x = events.pointerX;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [rx, ry] :
       {std::pair{0.19, 0.0}, {0.0, -0.19}, {0.13, 0.13}, {-0.14, 0.13}, {nan, nan}, {inf, -inf}}) {
    pad.rightX = rx, pad.rightY = ry, pad.leftX = rx, pad.rightTrigger = ry;
    for (const std::string& event : run(5000))
      EXPECT_EQ(event.find("motion"), std::string::npos) << rx;
  }
  EXPECT_EQ(events.pointerX, x);
  // Just beyond it the pointer creeps, a pixel now and then.
  pad.rightX = kAimDeadZone + 0.01, pad.rightY = 0, pad.leftX = 0, pad.rightTrigger = 0;
  EXPECT_FALSE(run(200).empty());
}

}  // namespace
