#include "controls/skin_loader.h"

#include <mutex>
#include <set>
#include <utility>

#include "platform/sys/debug_output.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/resources.h"
#include "resources/skin/skin_ids.h"
#include "resources/skin/skin_paint.h"

namespace {

std::mutex g_mu;
std::vector<std::string> g_failures;
std::set<std::pair<unsigned, std::string>> g_logged;

std::string SkinFolder(const std::string& programFolder) {
  std::string folder = programFolder.empty() ? sys::ProgramDir() : programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + skin::kSkinFolder + '/';
}

}  // namespace

int RegisterSkinIcons(const std::string& programFolder) {
  const std::string folder = SkinFolder(programFolder);
  int registered = 0;
  for (const skin::SkinIcon& i : skin::kSkinIcons) {
    if (!ui::Resources::LoadIcon(i.id).IsNull()) continue;
    const std::string path = folder + i.file;
    draw::Bitmap icon;
    if (sys::FileExists(path)) icon = draw::Bitmap::LoadFile(path);
    if (icon.IsNull()) icon = skin::PaintIcon(i);
    if (icon.IsNull()) continue;
    ui::Resources::AddIcon(i.id, icon);
    ++registered;
  }
  return registered;
}

int RegisterSkinBitmaps(const std::string& programFolder) {
  const std::string folder = SkinFolder(programFolder);
  RegisterSkinIcons(programFolder);
  int registered = 0;
  for (const skin::SkinBitmap& e : skin::kSkinBitmaps) {
    if (ui::Resources::HasBitmap(e.id)) continue;
    const std::string path = folder + e.file;
    // No file (a fresh build folder, a test), or one that cannot be read: the same picture the
    // generator would write. Each is read or drawn when a screen first shows it.
    const skin::SkinBitmap* entry = &e;
    auto draw = [entry] { return skin::Paint(*entry); };
    if (sys::FileExists(path)) ui::Resources::AddBitmapFile(e.id, path, draw);
    else ui::Resources::AddBitmapGenerator(e.id, draw);
    ++registered;
  }
  return registered;
}

draw::Bitmap LoadSkinBitmap(unsigned id, const char* failureText) {
  draw::Bitmap b = id ? ui::Resources::LoadBitmap(static_cast<int>(id)) : draw::Bitmap();
  if (!b.IsNull()) return b;
  const std::string text = failureText ? failureText : "";
  bool first = false;
  {
    std::lock_guard<std::mutex> g(g_mu);
    g_failures.push_back(std::to_string(id) + ": " + text);
    first = g_logged.insert({id, text}).second;
  }
  if (first) sys::DebugOutput("Skin bitmap " + std::to_string(id) + " not loaded: " + text);
  return b;
}

std::vector<std::string> SkinLoadFailures() {
  std::lock_guard<std::mutex> g(g_mu);
  return g_failures;
}

void ClearSkinLoadFailures() {
  std::lock_guard<std::mutex> g(g_mu);
  g_failures.clear();
  g_logged.clear();
}
