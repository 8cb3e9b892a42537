// The pad's layout as key and button events: presses, holds, steering's repeat, and the right
// stick's pointer with its dead zone, fed frame by frame.
#include "pad/pad_mapper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace brambleshot;

// Writes each event as a word: "key:a", "down", "up", "motion:x,y".
class Events : public PadSink {
 public:
  void key(unsigned char key, int, int) override { log.push_back(std::string("key:") + char(key)); }
  void leftButton(bool down, int, int) override { log.push_back(down ? "down" : "up"); }
  void motion(int x, int y) override {
    log.push_back("motion:" + std::to_string(x) + "," + std::to_string(y));
    pointerX = x;
    pointerY = y;
  }
  std::vector<std::string> take() { return std::exchange(log, {}); }
  std::vector<std::string> log;
  int pointerX = 400;
  int pointerY = 300;
};

constexpr PlayArea kArea{100, 0, 700, 600};

class Mapper : public ::testing::Test {
 protected:
  Mapper() { pad.connected = true, pad.id = 7; }
  // frames of the pad as it is now, the pointer following the pad's own motion
  std::vector<std::string> run(int frames = 1) {
    for (int i = 0; i < frames; ++i)
      mapper.update(pad, events.pointerX, events.pointerY, kArea, events);
    return events.take();
  }
  PadMapper mapper;
  PadState pad;
  Events events;
};

using Log = std::vector<std::string>;

TEST_F(Mapper, EachButtonSendsItsKeyOncePerPressAndNotWhenHeldAsAPadTakesOver) {
  const std::pair<PadButton, const char*> table[] = {{PadButton::a, "key: "},
                                                     {PadButton::start, "key:p"},
                                                     {PadButton::back, "key:h"},
                                                     {PadButton::x, "key:n"},
                                                     {PadButton::y, "key:m"}};
  run();
  for (const auto& [button, key] : table) {
    SCOPED_TRACE(key);
    pad.press(button);
    EXPECT_EQ(run(), Log{key});
    EXPECT_EQ(run(30), Log{});  // held: no repeat
    pad.press(button, false);
    EXPECT_EQ(run(), Log{});
    pad.press(button);
    EXPECT_EQ(run(), Log{key});
    // Held as another pad takes over (or this one comes back): no press until pressed again.
    pad.id += 1;
    EXPECT_EQ(run(), Log{});
    pad.press(button, false);
    run();
  }
}

TEST_F(Mapper, GunsHoldWhileTheTriggerOrShoulderIsHeldAndLetGoWhenThePadGoes) {
  run();
  struct Step {
    double trigger;
    bool shoulder;
    Log expected;
  };
  // The trigger holds past half way and lets go below 0.3; wavering between fires nothing.
  const Step steps[] = {{0.45, false, {}},     {0.55, false, {"down"}}, {0.35, false, {}},
                        {0.52, false, {}},     {0.25, false, {"up"}},   {0.0, true, {"down"}},
                        {0.9, true, {}},       {0.9, false, {}},        {0.0, false, {"up"}},
                        {1.0, false, {"down"}}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.trigger);
    pad.rightTrigger = step.trigger;
    pad.press(PadButton::rightShoulder, step.shoulder);
    EXPECT_EQ(run(), step.expected);
  }
  pad.connected = false;  // pulled out with the trigger held
  EXPECT_EQ(run(), Log{"up"});
  EXPECT_EQ(run(5), Log{});
}

TEST_F(Mapper, SteeringStepsAtOnceThenEverySixFramesWhileHeld) {
  pad.leftX = -0.8;
  Log expected(1, "key:a");
  for (int i = 0; i < 4; ++i)
    expected.insert(expected.end(), kSteerRepeatFrames - 1, ""), expected.push_back("key:a");
  Log got;
  for (int frame = 0; frame < 1 + 4 * kSteerRepeatFrames; ++frame) {
    const Log one = run();
    got.push_back(one.empty() ? "" : one.front());
  }
  EXPECT_EQ(got, expected);
  // Turning round steps at once; the d-pad steers as the stick does; both ways at once: neither.
  pad.leftX = 0.8;
  EXPECT_EQ(run(), Log{"key:d"});
  pad.leftX = 0.0;
  EXPECT_EQ(run(), Log{});
  pad.press(PadButton::dpadLeft);
  EXPECT_EQ(run(), Log{"key:a"});
  pad.press(PadButton::dpadRight);
  EXPECT_EQ(run(kSteerRepeatFrames * 3), Log{});
  // A stick resting short of half way does not steer.
  pad.press(PadButton::dpadLeft, false), pad.press(PadButton::dpadRight, false);
  pad.leftX = 0.45;
  EXPECT_EQ(run(100), Log{});
}

TEST_F(Mapper, TheRightStickMovesThePointerItsWayAtASteadySpeedInsideThePlayArea) {
  struct Case {
    double x, y;
    int dx, dy;  // the sign of the pointer's motion
  };
  for (const Case c : {Case{1, 0, 1, 0}, Case{-1, 0, -1, 0}, Case{0, 1, 0, 1}, Case{0, -1, 0, -1},
                       Case{0.7, -0.7, 1, -1}}) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    events.pointerX = 400, events.pointerY = 300;
    pad.rightX = c.x, pad.rightY = c.y;
    run(20);
    const double moved = std::hypot(events.pointerX - 400, events.pointerY - 300);
    EXPECT_NEAR(moved, 20 * kAimSpeed * kArea.height, 1.5);
    EXPECT_EQ((events.pointerX > 400) - (events.pointerX < 400), c.dx);
    EXPECT_EQ((events.pointerY > 300) - (events.pointerY < 300), c.dy);
  }
  // Half tilt beyond the dead zone goes half as fast; held long, it stops at the area's edge.
  events.pointerX = 400, events.pointerY = 300;
  pad.rightX = kAimDeadZone + (1 - kAimDeadZone) / 2, pad.rightY = 0;
  run(40);
  EXPECT_NEAR(events.pointerX - 400, 20 * kAimSpeed * kArea.height, 1.5);
  pad.rightX = -1, pad.rightY = -1;
  run(2000);
  EXPECT_EQ(events.pointerX, kArea.left);
  EXPECT_EQ(events.pointerY, kArea.top);
  EXPECT_EQ(run(10), Log{});  // nothing more to send at the corner
}

TEST_F(Mapper, ARestingStickInsideTheDeadZoneNeverMovesThePointer) {
  // Worn sticks rest off centre; after a long aim the pointer must stay where it was left.
  pad.rightX = 0.9;
  run(7);
  const int x = events.pointerX;
  for (const auto& [rx, ry] : {std::pair{0.19, 0.0}, {0.0, -0.19}, {0.13, 0.13}, {-0.14, 0.13}}) {
    pad.rightX = rx, pad.rightY = ry;
    EXPECT_EQ(run(5000), Log{});
  }
  EXPECT_EQ(events.pointerX, x);
  // Just beyond it the pointer creeps, a pixel now and then.
  pad.rightX = kAimDeadZone + 0.01, pad.rightY = 0;
  EXPECT_FALSE(run(200).empty());
}

TEST_F(Mapper, TheMouseTakesOverAndTheStickGoesOnFromWhereTheMouseLeftThePointer) {
  pad.rightX = 1;
  run(10);
  events.pointerX = 250, events.pointerY = 100;  // the mouse moved
  const Log sent = run();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_GT(events.pointerX, 250);
  EXPECT_LT(events.pointerX, 260);
  EXPECT_EQ(events.pointerY, 100);
}

TEST_F(Mapper, ReadingsThatAreNotNumbersSendNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  run();
  for (const double bad : {nan, inf, -inf}) {
    pad.rightX = bad, pad.rightY = bad, pad.leftX = bad, pad.rightTrigger = bad;
    for (const std::string& event : run(10))
      EXPECT_EQ(event.find("motion"), std::string::npos);
    EXPECT_EQ(events.pointerX, 400);
  }
}

}  // namespace
