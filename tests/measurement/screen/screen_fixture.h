#pragma once
// The test screen on the offscreen framework with the manual clock, in a program folder of the
// test's own (fresh data store, the built algorithm library beside it), talking to the board
// simulator over a pseudo-terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "core/app_settings.h"
#include "platform/ui/test_driver.h"
#include "tools/boardsim/simulator.h"

class TestScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Sql(const std::string& sql);
  std::string Scalar(const std::string& sql);
  std::string File(const std::string& name) const { return (folder_ / name).string(); }
  // Saves the screen as png/<name>.png beside the test program.
  void Shot(const std::string& name);
  // "AA 90", "BB 04" ... of every frame the board received so far.
  std::vector<std::string> Received() const;
  // Whether the board received the frame `name` at or after position `from`.
  bool ReceivedSince(size_t from, const std::string& name) const;
  static std::string Today();

  ui::TestDriver d;
  boardsim::Simulator sim{Options()};
  std::filesystem::path folder_;
  AppSettingsValues saved_;

 private:
  static boardsim::SimulatorOptions Options();
};

// A board frame as bytes, and the same frame with its check byte damaged.
inline std::vector<uint8_t> Frame(uint8_t cls, uint8_t command, std::vector<uint8_t> params = {}) {
  const analyzer::CommandFrame f = analyzer::BuildCommandFrame(cls, command, params);
  return std::vector<uint8_t>(f.begin(), f.end());
}
inline std::vector<uint8_t> Damaged(std::vector<uint8_t> frame) {
  frame[12] ^= 0x5A;
  return frame;
}
