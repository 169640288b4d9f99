#pragma once
// A print folder of the test's own, a recording spooler, and readers for the PDFs made.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/print/printers.h"

namespace printtest {

// A printing system with the queues the test gives it; records what is submitted.
struct FakeSpooler : print::Spooler {
  std::vector<print::PrinterInfo> queues;
  int nextId = 41;
  bool refuse = false;
  struct Job {
    std::string printer, path, title, media;
    int copies = 0;
    bool fileExisted = false;
  };
  std::vector<Job> jobs;
  std::vector<print::PrinterInfo> List() override { return queues; }
  bool SetDefault(const std::string& name, std::string* error) override {
    for (auto& q : queues) q.isDefault = q.name == name;
    return true;
  }
  int Submit(const std::string& printer, const std::string& path, const std::string& title,
             const print::SubmitOptions& o, std::string* error) override {
    jobs.push_back({printer, path, title, o.media, o.copies, access(path.c_str(), R_OK) == 0});
    if (refuse) {
      *error = "printer is offline";
      return 0;
    }
    return ++nextId;
  }
};

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quorvex_print_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = std::string(tmpl) + "/out/";
    setenv("QUORVEX_PRINT_DIR", dir_.c_str(), 1);
    print::SetSpooler(&spooler_);
  }
  void TearDown() override {
    print::SetSpooler(nullptr);
    unsetenv("QUORVEX_PRINT_DIR");
    std::string cmd = "rm -rf '" + dir_.substr(0, dir_.size() - 5) + "'";
    (void)std::system(cmd.c_str());
  }
  // Output of a command (poppler tools).
  static std::string Run(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
  }
  std::string dir_;
  FakeSpooler spooler_;
};

}  // namespace printtest
