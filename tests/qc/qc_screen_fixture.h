#pragma once
// QC screens on the offscreen framework with the manual clock, in a program folder of the test's
// own (fresh data store, the built algorithm library), with the board simulator on a
// pseudo-terminal as the analyzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "platform/ui/test_driver.h"
#include "tests/support/program_folder.h"
#include "tools/boardsim/simulator.h"

class QcScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Sql(const std::string& sql) { support::ExecSql(sql); }
  std::string Scalar(const std::string& sql) { return support::QueryText(sql); }
  // Saves the screen as png/<name>.png beside the test program.
  void Shot(const std::string& name);
  // "AA 90", "BB 04" ... of every frame the board received.
  std::vector<std::string> Received() const;
  static std::string Today();
  // Answers every message box that comes up within `ms` (real time) with OK and returns their texts.
  std::vector<std::string> DrainBoxes(ui::TestDriver& s, int64_t ms = 300);
  // The pixels of control `id` of `dialog` as the screen shows them now.
  static std::vector<draw::Color> LabelPixels(ui::TestDriver& s, ui::Window* dialog, int id);
  // A cursor read-out label: its background is RGB(190,198,201) at its inner corner, and after
  // `away` changes its text and `back` restores it, it looks as it did before (no old text shows
  // through the new one).
  static void ExpectOpaqueReadOut(ui::TestDriver& s, ui::Window* dialog, int id, const std::function<void()>& away,
                                  const std::function<void()>& back, const std::string& what);

  ui::TestDriver d;
  std::unique_ptr<support::ScratchProgramFolder> program_;
  std::unique_ptr<boardsim::Simulator> sim_;
  AppSettingsValues saved_;
};

inline constexpr const char* kLanguageNames[5] = {"zh", "en", "es", "fr", "ua"};
