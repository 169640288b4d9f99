#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/sys/atomic_file.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/file_ops.h"
#include "temp_dir.h"

namespace {

TEST(Wildcard, Matches) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*", "anything", true},          {"cc_*.dmp", "cc_1234.dmp", true}, {"cc_*.dmp", "CC_1.DMP", true},
      {"cc_*.dmp", "cc_1.dmp.bak", false}, {"*.mdb", "Vantorium.mdb", true}, {"*.mdb", "mdb", false},
      {"?.txt", "a.txt", true},         {"?.txt", "ab.txt", false},      {"a*b*c", "aXbYc", true},
      {"a*b*c", "aXbY", false},         {"", "", true},                  {"", "x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(sys::WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST(FileOps, FoldersCopiesListingAndDeletes) {
  testutil::TempDir dir;
  std::string error;
  EXPECT_FALSE(sys::CreateFolder(dir / "a/b", &error)) << "parent missing";
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(sys::CreateFolders(dir / "QuorvexData\\2026\\", &error)) << error;
  EXPECT_TRUE(sys::IsDirectory(dir / "quorvexdata/2026"));
  EXPECT_TRUE(sys::CreateFolder(dir / "QuorvexData")) << "an existing folder is fine";

  dir.Write("Vantorium.mdb", std::string(200000, 'x'));
  chmod((dir / "Vantorium.mdb").c_str(), 0600);
  ASSERT_TRUE(sys::CopyFile(dir / "vantorium.MDB", dir / "QuorvexData\\Vantorium.mdb", true, &error)) << error;
  EXPECT_EQ(dir.Read("QuorvexData/Vantorium.mdb").size(), 200000u);
  struct stat st;
  ASSERT_EQ(stat((dir / "QuorvexData/Vantorium.mdb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "permissions follow the source";
  EXPECT_FALSE(sys::CopyFile(dir / "Vantorium.mdb", dir / "QuorvexData/Vantorium.mdb", true, &error));
  dir.Write("Vantorium.mdb", "new");
  EXPECT_TRUE(sys::CopyFile(dir / "Vantorium.mdb", dir / "QuorvexData/Vantorium.mdb", false, &error));
  EXPECT_EQ(dir.Read("QuorvexData/Vantorium.mdb"), "new");
  EXPECT_FALSE(sys::CopyFile(dir / "missing.mdb", dir / "x.mdb", false, &error));
  EXPECT_FALSE(dir.Exists("x.mdb"));

  dir.Write("cc_11.dmp", "");
  dir.Write("CC_12.DMP", "");
  EXPECT_EQ(sys::ListFolder(dir.path(), "cc_*.dmp"), (std::vector<std::string>{"CC_12.DMP", "cc_11.dmp"}));
  for (const auto& n : sys::ListFolder(dir.path(), "cc_*.dmp")) EXPECT_TRUE(sys::DeleteFile(dir / n));
  EXPECT_TRUE(sys::ListFolder(dir.path(), "cc_*.dmp").empty());
  EXPECT_FALSE(sys::DeleteFile(dir / "cc_11.dmp", &error));
  EXPECT_TRUE(sys::ListFolder(dir / "no-such-folder").empty());
  EXPECT_TRUE(sys::FileExists(dir / "VANTORIUM.mdb"));
  EXPECT_FALSE(sys::FileExists(""));
}

TEST(AtomicFile, ReplacesWholeAndReportsFailures) {
  testutil::TempDir dir;
  std::string error, content;
  ASSERT_TRUE(sys::WriteFileAtomic(dir / "f.txt", "first"));
  ASSERT_TRUE(sys::WriteFileAtomic(dir / "f.txt", "second, longer"));
  ASSERT_TRUE(sys::ReadWholeFile(dir / "f.txt", &content));
  EXPECT_EQ(content, "second, longer");
  // Through a link, the file it points to is replaced and the link kept.
  std::filesystem::create_directories(dir / "real");
  std::filesystem::create_symlink(dir / "real/Setting.ini", dir / "Setting.ini");
  ASSERT_TRUE(sys::WriteFileAtomic(dir / "Setting.ini", "[A]\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "Setting.ini"));
  EXPECT_EQ(dir.Read("real/Setting.ini"), "[A]\n");
  EXPECT_FALSE(sys::WriteFileAtomic(dir / "none/f.txt", "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(sys::ReadWholeFile(dir / "none.txt", &content, &error));
}

TEST(DebugOutput, LinesReachTheFileAndTheCapture) {
  testutil::TempDir dir;
  std::vector<std::string> seen;
  sys::SetDebugOutputToStderr(false);
  sys::SetDebugOutputCapture([&](const std::string& l) { seen.push_back(l); });
  std::string error;
  ASSERT_TRUE(sys::SetDebugOutputFile(dir / "debug.log", &error)) << error;
  EXPECT_TRUE(sys::DebugOutput("2026-01-05 08:00:00 Test time out"));
  EXPECT_TRUE(sys::DebugOutput("second line\r\n"));
  ASSERT_TRUE(sys::SetDebugOutputFile(""));
  EXPECT_FALSE(sys::SetDebugOutputFile(dir / "no/such/folder/debug.log", &error));
  EXPECT_FALSE(error.empty());
  sys::SetDebugOutputCapture(nullptr);
  sys::SetDebugOutputToStderr(true);
  EXPECT_EQ(dir.Read("debug.log"), "2026-01-05 08:00:00 Test time out\nsecond line\n");
  EXPECT_EQ(seen, (std::vector<std::string>{"2026-01-05 08:00:00 Test time out", "second line"}));
}

}  // namespace
