#include "tests/support/power_cut.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace support {
namespace {

std::string Canonical(const std::string& path) {
  std::error_code ec;
  const fs::path c = fs::weakly_canonical(fs::path(path), ec);
  std::string s = ec ? path : c.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace

PowerCut::PowerCut(const std::vector<std::string>& folders) {
  std::lock_guard<std::mutex> g(mu_);
  for (const std::string& f : folders) {
    folders_.push_back(Canonical(f));
    entries_.emplace_back();
    TakeFolder(folders_.back());
    for (const auto& [name, inode] : entries_.back()) bytes_[inode] = ReadBytes(folders_.back() + "/" + name);
  }
  sys::SetIoFaultHook([this](sys::IoOp op, const std::string& path) { return Answer(op, path); });
}

PowerCut::~PowerCut() { sys::SetIoFaultHook(nullptr); }

void PowerCut::CutAt(size_t k) {
  std::lock_guard<std::mutex> g(mu_);
  cutAt_ = k;
}

bool PowerCut::Reached() const {
  std::lock_guard<std::mutex> g(mu_);
  return reached_;
}

std::vector<IoStep> PowerCut::Steps() const {
  std::lock_guard<std::mutex> g(mu_);
  return steps_;
}

int PowerCut::WatchedIndex(const std::string& folder) const {
  for (size_t i = 0; i < folders_.size(); ++i)
    if (folders_[i] == folder) return static_cast<int>(i);
  return -1;
}

void PowerCut::TakeFolder(const std::string& folder) {
  const int i = WatchedIndex(folder);
  if (i < 0) return;
  std::map<std::string, ino_t> now;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    struct stat st;
    if (::lstat(e.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    now[e.path().filename().string()] = st.st_ino;
    // An entry made durable before its bytes ever were: the file is there, empty.
    bytes_.emplace(st.st_ino, std::string());
  }
  entries_[static_cast<size_t>(i)] = std::move(now);
}

void PowerCut::TakeFile(const std::string& path) {
  if (WatchedIndex(fs::path(path).parent_path().string()) < 0) return;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  bytes_[st.st_ino] = ReadBytes(path);
}

sys::IoFault PowerCut::Answer(sys::IoOp op, const std::string& path) {
  std::lock_guard<std::mutex> g(mu_);
  const size_t index = steps_.size();
  steps_.push_back({op, path});
  if (index >= cutAt_) {
    reached_ = true;
    return sys::IoFault{EIO, static_cast<size_t>(-1)};
  }
  if (op == sys::IoOp::Sync) {
    // The flush is about to succeed: what it covers is durable from here on.
    const std::string p = Canonical(path);
    if (fs::is_directory(p)) TakeFolder(p);
    else TakeFile(p);
  }
  return {};
}

void PowerCut::Restore() {
  std::lock_guard<std::mutex> g(mu_);
  for (size_t i = 0; i < folders_.size(); ++i) {
    std::error_code ec;
    std::vector<fs::path> present;
    for (const auto& e : fs::directory_iterator(folders_[i], ec)) {
      struct stat st;
      if (::lstat(e.path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) present.push_back(e.path());
    }
    for (const fs::path& p : present) fs::remove(p, ec);
    for (const auto& [name, inode] : entries_[i]) {
      std::ofstream(folders_[i] + "/" + name, std::ios::binary | std::ios::trunc) << bytes_[inode];
    }
  }
  // The files just written are the disk's state: the model starts again from it.
  bytes_.clear();
  for (size_t i = 0; i < folders_.size(); ++i) {
    TakeFolder(folders_[i]);
    for (const auto& [name, inode] : entries_[i]) bytes_[inode] = ReadBytes(folders_[i] + "/" + name);
  }
  cutAt_ = static_cast<size_t>(-1);
}

void EachPowerCut(const std::vector<std::string>& folders, const std::function<void()>& reset,
                  const std::function<bool()>& action,
                  const std::function<void(const std::string& where, bool saidOk)>& check) {
  std::vector<IoStep> steps;
  reset();
  {
    PowerCut listing(folders);
    const bool ok = action();
    steps = listing.Steps();
    if (std::getenv("QUORVEX_POWER_CUT_STEPS"))
      for (const IoStep& st : steps) std::fprintf(stderr, "step %s %s\n", IoOpName(st.op), st.path.c_str());
    listing.Restore();
    check("a cut after the last step", ok);
  }
  for (size_t k = 0; k < steps.size(); ++k) {
    reset();
    bool ok = false;
    {
      PowerCut cut(folders);
      cut.CutAt(k);
      ok = action();
      cut.Restore();
    }
    check("a cut at step " + std::to_string(k) + " (" + IoOpName(steps[k].op) + " of " + steps[k].path + ")", ok);
  }
}

}  // namespace support
