// A fresh simulated world for every test, and the few helpers the core's tests share.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/program.h"
#include "monitor/monitor.h"
#include "monitor/probe.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_net.h"
#include "ui/main_window.h"

using platform::Control;

// Addresses of simulated devices (loopback range only, even in the simulated network).
inline const Text kPhone = "127.0.0.5";
inline const Text kOtherPhone = "127.0.0.7";

class SimTest : public ::testing::Test {
 protected:
  // The network starts without update pages: the start-up's update check gives up quickly.
  void SetUp() override {
    sim::reset();
    sim::net::reset();
  }
  void TearDown() override {
    EXPECT_THAT(sim::violations(), ::testing::IsEmpty());
    sim::net::reset();
  }

  // The main window as the program creates it, before its creation handler runs.
  static void createWindow() { platform::createMainWindow(); }

  // The main window shown with its settings (the setup panel hidden), as after start-up.
  static void showSettings() {
    createWindow();
    platform::setMainWindowVisible(true);
  }

  // The program runs from its entry until a quit posted after quitAfterMs of virtual time.
  static int runProgram(std::uint32_t quitAfterMs) {
    sim::after(quitAfterMs, platform::postQuit);
    return programMain();
  }

  // When the start-up loaded the settings: the write-back of the period box.
  static std::uint32_t settingsLoadedAt() {
    for (const sim::FileWrite& write : sim::fileWrites()) {
      if (write.name == "zq.ini") return write.at;
    }
    ADD_FAILURE() << "the settings were never loaded";
    return 0;
  }

  static void saveSettings(const std::string& address, const std::string& period,
                           const std::string& threshold) {
    sim::writeFile("ip.ini", address);
    sim::writeFile("zq.ini", period);
    sim::writeFile("cs.ini", threshold);
  }
};

inline sim::Device answering(std::uint32_t roundTripTime = 5) {
  return sim::Device{sim::Reply::Answer, roundTripTime, 0};
}
inline sim::Device silent() { return sim::Device{sim::Reply::Silent, 0, 0}; }
inline sim::Device unreachableReport() {
  return sim::Device{sim::Reply::ErrorStatus, 2, 11003};
}
