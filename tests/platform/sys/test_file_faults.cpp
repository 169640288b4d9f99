// The durable file operations under a failing disk: a replaced file is the old one or the new
// one, never a mix; an append keeps all of its bytes or none; every failure is reported.
#include <gtest/gtest.h>

#include <fcntl.h>

#include "platform/sys/atomic_file.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/file_io.h"
#include "platform/sys/file_ops.h"
#include "temp_dir.h"
#include "tests/support/io_faults.h"

namespace {

using support::EachStepFailing;
using support::IoFaults;

TEST(FileFaults, AReplacedFileIsTheOldOrTheWholeNewOne) {
  testutil::TempDir dir;
  const std::string oldText = "old settings\n", newText(70000, 'n');
  struct Case {
    const char* name;
    std::function<bool(std::string*)> replace;
  } cases[] = {
      {"atomic write", [&](std::string* e) { return sys::WriteFileAtomic(dir / "Setting.ini", newText, e); }},
      {"copy", [&](std::string* e) { return sys::CopyFile(dir / "source.ini", dir / "Setting.ini", false, e); }},
  };
  dir.Write("source.ini", newText);
  for (const Case& c : cases) {
    EachStepFailing([&] { dir.Write("Setting.ini", oldText); }, c.replace,
                    [&](const std::string& where, bool ok, const std::string& error) {
                      const std::string now = dir.Read("Setting.ini");
                      if (ok) {
                        EXPECT_EQ(now, newText) << c.name << ": " << where;
                        return;
                      }
                      EXPECT_FALSE(error.empty()) << c.name << ": " << where;
                      // The folder flush after the rename failing is a failed replacement (the
                      // new name may not survive a power cut), though the rename cannot be
                      // taken back: the new file stands.
                      std::string folder = dir.path();
                      while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
                      const std::string flush = "fsync of " + folder;
                      // (A short write given at the rename leaves the error for the flush.)
                      const bool afterRename = (where.size() >= flush.size() &&
                                                where.compare(where.size() - flush.size(), flush.size(), flush) == 0) ||
                                               (where.rfind("short write", 0) == 0 &&
                                                where.find(" at rename of ") != std::string::npos);
                      EXPECT_EQ(now, afterRename ? newText : oldText) << c.name << ": " << where;
                      EXPECT_EQ(sys::ListFolder(dir.path(), "Setting.ini.tmp*").size(), 0u) << c.name << ": " << where;
                    });
  }
}

TEST(FileFaults, ShortWritesAreContinued) {
  testutil::TempDir dir;
  IoFaults faults;
  faults.Add({sys::IoOp::Write, "", 1, IoFaults::Short(3), -1});  // every write takes 3 bytes
  std::string error;
  ASSERT_TRUE(sys::WriteFileAtomic(dir / "a.txt", "0123456789", &error)) << error;
  EXPECT_EQ(dir.Read("a.txt"), "0123456789");
  ASSERT_TRUE(sys::AppendToFile(dir / "a.txt", "abcdefg", &error)) << error;
  EXPECT_EQ(dir.Read("a.txt"), "0123456789abcdefg");
  EXPECT_GE(faults.Fired(), 4 + 3);
}

TEST(FileFaults, AnAppendKeepsAllOfItsBytesOrNone) {
  testutil::TempDir dir;
  EachStepFailing([&] { dir.Write("log.txt", "line 1\n"); },
                  [&](std::string* e) { return sys::AppendToFile(dir / "log.txt", "line 2 is longer\n", e); },
                  [&](const std::string& where, bool ok, const std::string& error) {
                    EXPECT_FALSE(ok) << where;
                    EXPECT_FALSE(error.empty()) << where;
                    EXPECT_EQ(dir.Read("log.txt"), "line 1\n") << where;
                  });
}

TEST(FileFaults, TheDebugLogFileReportsAFailedLineAndKeepsNoHalfOfIt) {
  testutil::TempDir dir;
  sys::SetDebugOutputToStderr(false);
  ASSERT_TRUE(sys::SetDebugOutputFile(dir / "debug.log"));
  EXPECT_TRUE(sys::DebugOutput("first"));
  for (const support::DiskFault& f : support::DiskFaults()) {
    IoFaults faults;
    faults.FailFrom(0, f.faults);
    EXPECT_FALSE(sys::DebugOutput("a line the disk refuses")) << f.name;
  }
  EXPECT_TRUE(sys::DebugOutput("last"));
  EXPECT_EQ(dir.Read("debug.log"), "first\nlast\n");
  sys::SetDebugOutputFile("");
  sys::SetDebugOutputToStderr(true);
  std::string error;
  IoFaults faults;
  faults.Add({sys::IoOp::Open, "", 1, IoFaults::Error(EACCES)});
  EXPECT_FALSE(sys::SetDebugOutputFile(dir / "other.log", &error));
  EXPECT_NE(error.find("other.log"), std::string::npos) << error;
}

TEST(FileFaults, EachStepOfAMappedFileReportsItself) {
  testutil::TempDir dir;
  struct Case {
    sys::IoOp op;
    sys::MappedFile::Step step;
  } cases[] = {{sys::IoOp::Open, sys::MappedFile::Step::Open},
               {sys::IoOp::Truncate, sys::MappedFile::Step::Size},
               {sys::IoOp::Map, sys::MappedFile::Step::Map}};
  for (const Case& c : cases) {
    IoFaults faults;
    faults.Add({c.op, "", 1, IoFaults::Error(ENOSPC)});
    sys::MappedFile m;
    sys::MappedFile::Step failed = sys::MappedFile::Step::None;
    std::string error;
    EXPECT_FALSE(m.Create(dir / "cache.dat", 4096, &failed, &error)) << support::IoOpName(c.op);
    EXPECT_EQ(failed, c.step) << support::IoOpName(c.op);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(m.data(), nullptr);
  }
  sys::MappedFile m;
  ASSERT_TRUE(m.Create(dir / "cache.dat", 4096));
  m.data()[4095] = 'z';
  EXPECT_EQ(m.size(), 4096u);
}

TEST(FileFaults, RenameAndFolderFlushReportTheirFailure) {
  testutil::TempDir dir;
  dir.Write("a", "A");
  IoFaults faults;
  faults.Add({sys::IoOp::Rename, "", 1, IoFaults::Error(EIO)});
  faults.Add({sys::IoOp::Sync, "", 1, IoFaults::Error(EIO)});
  std::string error;
  EXPECT_FALSE(sys::RenameFile(dir / "a", dir / "b", &error));
  EXPECT_NE(error.find(dir / "b"), std::string::npos) << error;
  EXPECT_TRUE(dir.Exists("a"));
  EXPECT_FALSE(dir.Exists("b"));
  error.clear();
  EXPECT_FALSE(sys::SyncFolder(dir.path(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(sys::RenameFile(dir / "a", dir / "b"));  // each rule gave its one fault
  EXPECT_TRUE(sys::SyncFolder(dir.path()));
}

}  // namespace

TEST(FileFaults, CopyFromCopiesTheRangeContinuesShortPiecesAndReportsFailures) {
  testutil::TempDir dir;
  std::string source;
  for (int i = 0; i < 300000; ++i) source += static_cast<char>('a' + i % 23);
  dir.Write("source.dat", source);
  struct Case {
    const char* name;
    off_t at;
    size_t size;
    std::vector<IoFaults::Rule> rules;
    long expected;  // bytes copied, -1 for a failure
  } cases[] = {
      {"whole file", 0, source.size(), {}, static_cast<long>(source.size())},
      {"a middle range", 2560, 100000, {}, 100000},
      {"past the end", 290000, 20000, {}, 10000},  // the source ends first
      {"nothing", 5, 0, {}, 0},
      {"short pieces", 7, 50000, {{sys::IoOp::Write, "copy.dat", 1, IoFaults::Short(4096), -1}}, 50000},
      // The writes to copy.dat count from the 4-byte head written first.
      {"a full disk", 0, 50000, {{sys::IoOp::Write, "copy.dat", 2, sys::IoFault{ENOSPC}, 1}}, -1},
      {"a full disk later", 0, 200000,
       {{sys::IoOp::Write, "copy.dat", 2, IoFaults::Short(65536), 1},
        {sys::IoOp::Write, "copy.dat", 3, sys::IoFault{EIO}, 1}},
       -1},
  };
  for (const Case& c : cases) {
    IoFaults faults;
    for (const IoFaults::Rule& r : c.rules) faults.Add(r);
    sys::File in, out;
    ASSERT_TRUE(in.Open(dir / "source.dat", O_RDONLY));
    ASSERT_TRUE(out.Open(dir / "copy.dat", O_WRONLY | O_CREAT | O_TRUNC)) << c.name;
    ASSERT_TRUE(out.WriteAll("head", 4)) << c.name;
    const long copied = out.CopyFrom(in, c.at, c.size);
    EXPECT_EQ(copied, c.expected) << c.name;
    ASSERT_TRUE(out.Close()) << c.name;
    if (c.expected < 0) {
      EXPECT_FALSE(out.ErrorText().empty()) << c.name;
      continue;
    }
    // After what the file held, the range, byte for byte.
    EXPECT_EQ(dir.Read("copy.dat"), "head" + source.substr(static_cast<size_t>(c.at), static_cast<size_t>(c.expected)))
        << c.name;
  }
}
