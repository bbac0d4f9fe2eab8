// A simulated day of monitoring: 43,200 ticks at a 2-second period, the tick count wrapping on
// the way, with the device coming and going in patterns. Every tick is checked against an
// independent model of the miss count and of the cover.
#include <random>
#include <string>

#include "sim_fixture.h"

namespace {

constexpr int kTicks = 43200;
constexpr std::uint32_t kPeriodMs = 2000;
constexpr int kThreshold = 4;

// The device's behaviour per tick: a answers, 0 answers in under 1 ms, x is silent, e sends back
// an unreachable report. Runs of presence alternate with absences shorter and longer than the
// threshold; the day ends with the device present.
std::string flappingDay() {
  std::mt19937 random(20261211);  // fixed: the same day every run
  auto pick = [&](std::uint32_t n) { return static_cast<int>(random() % n); };
  std::string day;
  while (day.size() < kTicks - 10) {
    day.append(1 + pick(20), pick(4) == 0 ? '0' : 'a');
    switch (pick(4)) {
      case 0: day.append(1 + pick(kThreshold), 'x'); break;          // away, not long enough
      case 1: day.append(kThreshold + 1 + pick(40), 'x'); break;     // away past the threshold
      case 2: day.append(1 + pick(2 * kThreshold), 'e'); break;      // unreachable reports
      default:                                                       // a mix of the two
        for (int i = pick(3 * kThreshold); i >= 0; --i) day.push_back(pick(2) ? 'x' : 'e');
    }
  }
  day.resize(kTicks - 10);
  day.append(10, 'a');
  return day;
}

// What the program should show and do, worked out without its code.
struct Model {
  int count = 0;
  bool coverOpen = false;
  bool closePending = false;
  int openings = 0;

  void tick(char device) {
    if (closePending) coverOpen = closePending = false;  // handled before the next tick
    ++count;
    if (device == 'a' || device == '0') {
      count = 0;
      if (coverOpen) closePending = true;
    }
    shown = count;
    if (count > kThreshold) {
      count = 0;
      if (!coverOpen) {
        coverOpen = true;
        ++openings;
      }
    }
  }
  int shown = 0;
};

sim::Device deviceFor(char c) {
  switch (c) {
    case 'a': return answering(4);
    case '0': return answering(0);
    case 'e': return unreachableReport();
    default: return silent();
  }
}

class Soak : public SimTest {};

}  // namespace

TEST_F(Soak, ADayOfFlappingMatchesTheModelTickByTick) {
  sim::reset(0xFFFFFFFFu - 3600u * 1000u);  // the tick count wraps an hour into the day
  sim::setTimeLimit(2ull * kTicks * kPeriodMs);
  showSettings();
  platform::setControlText(Control::编辑框1, kPhone);
  platform::setControlText(Control::编辑框2, "2");
  platform::setControlText(Control::编辑框3, std::to_string(kThreshold));
  const std::uint32_t start = sim::now();

  const std::string day = flappingDay();
  Model model;
  int mismatches = 0;
  auto check = [&](int tick) {
    if (mismatches > 5) return;  // enough to see the fault
    const bool coverOpen = model.coverOpen && !model.closePending;
    const bool same = sim::paneText(2) == std::to_string(model.shown) &&
                      missCount == model.count && sim::lockWindowOpen() == coverOpen &&
                      sim::lockWindowOpenings() == model.openings;
    if (!same) {
      ++mismatches;
      ADD_FAILURE() << "before tick " << tick << " (device " << day.substr(tick > 8 ? tick - 8 : 0, 9)
                    << "): pane " << sim::paneText(2) << " expected " << model.shown
                    << ", count " << missCount << " expected " << model.count << ", cover "
                    << sim::lockWindowOpen() << " expected " << coverOpen;
    }
  };
  sim::beforeEachTick([&] {
    const int tick = sim::ticksDispatched() - 1;
    if (tick > 0) check(tick);
    const char device = tick < kTicks ? day[tick] : 'a';
    sim::setDevice(kPhone, deviceFor(device));
    model.tick(device);
  });

  setMonitorPeriod();
  sim::runFor(kTicks * kPeriodMs + kPeriodMs / 2);
  check(kTicks);

  ASSERT_EQ(sim::ticksDispatched(), kTicks);
  EXPECT_GT(model.openings, 100);  // the day really did flap
  EXPECT_FALSE(sim::lockWindowOpen());
  EXPECT_EQ(sim::maxLockNesting(), 1);
  EXPECT_EQ(sim::maxTickNesting(), 2);
  for (const sim::LockSpan& span : sim::lockSpans()) EXPECT_TRUE(span.closed);
  // The schedule never drifted: every tick came exactly one period after the last.
  int late = 0;
  for (int i = 0; i < kTicks; ++i) {
    late += sim::ticks()[i].startedAt - start != kPeriodMs * static_cast<std::uint32_t>(i + 1);
  }
  EXPECT_EQ(late, 0);
  EXPECT_TRUE(sim::programStarts().empty());
}
