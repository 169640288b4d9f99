#pragma once
// Core screens on the offscreen backend with the manual clock, in a temporary program folder
// of their own (data store made from the schema, ProduceInfo, skins drawn by the generator).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/app_settings.h"
#include "platform/ui/test_driver.h"
#include "tests/support/program_folder.h"

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A file of the program folder.
  std::string File(const std::string& name) const { return program_->file(name); }
  void Write(const std::string& name, const std::string& content) const { program_->write(name, content); }
  // Runs SQL on the data store outside the program's connection; fails the test on error.
  void Sql(const std::string& sql) { support::ExecSql(sql); }
  // The first column of the first row ("" when none).
  std::string Scalar(const std::string& sql) { return support::QueryText(sql); }
  // Saves the screen under build/.../png/<name>.png for people to look at.
  void Shot(const std::string& name);
  const std::filesystem::path& Folder() const { return folder_; }

  ui::TestDriver d;
  std::unique_ptr<support::ScratchProgramFolder> program_;
  std::filesystem::path folder_;
  AppSettingsValues saved_;
};

// The five languages with a short name, for tables of cases and screenshot names.
inline constexpr const char* kLanguageNames[5] = {"zh", "en", "es", "fr", "ua"};
