// Per-tick cost of the portable core: one monitor tick with the device answering, and with
// the device away and the sleep action taken every fifth tick.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "monitor/monitor.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"

namespace {

using platform::Control;

void setUpWorld(sim::Reply reply) {
  sim::reset();
  // Each silent echo costs a virtual second; a long benchmark run covers many virtual days.
  sim::setTimeLimit(UINT64_MAX);
  platform::createMainWindow();
  sim::setDevice("198.51.100.2", sim::Device{reply, 3});
  platform::setControlText(Control::编辑框1, "198.51.100.2");
  platform::setControlText(Control::编辑框2, "2");
  platform::setControlText(Control::编辑框3, "4");
  sim::forceCheck(Control::单选框1, false);
  sim::forceCheck(Control::单选框3, true);
}

void BM_TickDevicePresent(benchmark::State& state) {
  setUpWorld(sim::Reply::Answer);
  for (auto _ : state) monitorTick();
}
BENCHMARK(BM_TickDevicePresent);

void BM_TickDeviceAway(benchmark::State& state) {
  setUpWorld(sim::Reply::Silent);
  for (auto _ : state) monitorTick();
}
BENCHMARK(BM_TickDeviceAway);

}  // namespace

BENCHMARK_MAIN();
