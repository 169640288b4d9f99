#pragma once
// Core screens on the offscreen backend with the manual clock, in a temporary program folder
// of their own (data store made from the schema, ProduceInfo, skins drawn by the generator).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/app_settings.h"
#include "platform/ui/test_driver.h"

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A file of the program folder.
  std::string File(const std::string& name) const { return (folder_ / name).string(); }
  void Write(const std::string& name, const std::string& content) const;
  // Runs SQL on the data store outside the program's connection; fails the test on error.
  void Sql(const std::string& sql);
  // The first column of the first row ("" when none).
  std::string Scalar(const std::string& sql);
  // Saves the screen under build/.../png/<name>.png for people to look at.
  void Shot(const std::string& name);
  const std::filesystem::path& Folder() const { return folder_; }

  ui::TestDriver d;
  std::filesystem::path folder_;
  AppSettingsValues saved_;
};

// The five languages with a short name, for tables of cases and screenshot names.
inline constexpr const char* kLanguageNames[5] = {"zh", "en", "es", "fr", "ua"};
