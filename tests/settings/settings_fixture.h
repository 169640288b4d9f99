#pragma once
// Settings screens on the offscreen backend with the manual clock, in a temporary program folder
// with a fresh data store; the settings screens and the core screens are registered.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "platform/print/printers.h"
#include "platform/sys/host_fakes.h"
#include "platform/ui/test_driver.h"
#include "tests/support/program_folder.h"

// Two printer queues, "Office" the default; records which becomes the default.
struct TwoQueueSpooler : print::Spooler {
  std::vector<print::PrinterInfo> queues = {{"Office", "", "", true, false}, {"Lab", "", "", false, false}};
  bool refuse = false;
  std::vector<print::PrinterInfo> List() override { return queues; }
  bool SetDefault(const std::string& name, std::string* error) override {
    if (refuse) {
      if (error) *error = "refused";
      return false;
    }
    for (auto& q : queues) q.isDefault = q.name == name;
    return true;
  }
  int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions&,
             std::string* error) override {
    if (error) *error = "no printing in these tests";
    return 0;
  }
};

class SettingsScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void Sql(const std::string& sql) { support::ExecSql(sql); }
  std::string Scalar(const std::string& sql) { return support::QueryText(sql, "NULL"); }
  // Saves the screen under build/.../png/settings_<name>.png for people to look at.
  void Shot(const std::string& name);

  // Answers the message box on top with OK and returns its text ("" when none is open).
  static std::string TakeMessage(ui::TestDriver& s);
  // Picks entry `index` of a combo box as the operator would (selection and its notice).
  static void Pick(ui::TestDriver& s, int comboId, int index);
  static void Pick(ui::TestDriver& s, int comboId, const std::string& text);
  static void SetText(ui::TestDriver& s, int id, const std::string& text);

  ui::TestDriver d;
  std::unique_ptr<support::ScratchProgramFolder> program_;
  std::unique_ptr<sys::ScopedHostFakes> host_;
  TwoQueueSpooler spooler_;
  AppSettingsValues saved_;
};

inline constexpr const char* kLanguageNames[5] = {"zh", "en", "es", "fr", "ua"};
