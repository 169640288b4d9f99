#include "platform/ui/resources.h"

#include <map>
#include <memory>
#include <mutex>

namespace ui {
namespace {

struct BitmapEntry {
  draw::Bitmap bmp;
  std::string path;
  std::function<draw::Bitmap()> make;
};

struct Store {
  std::mutex mu;
  std::map<int, BitmapEntry> bitmaps;
  std::map<int, draw::Bitmap> icons;
  std::map<int, std::unique_ptr<DialogTemplate>> dialogs;
};

Store& S() {
  static Store* s = new Store;
  return *s;
}

}  // namespace

void Resources::AddBitmap(int id, const draw::Bitmap& bmp) {
  std::lock_guard<std::mutex> g(S().mu);
  S().bitmaps[id] = BitmapEntry{bmp, {}, {}};
}

void Resources::AddBitmapFile(int id, const std::string& path, std::function<draw::Bitmap()> fallback) {
  std::lock_guard<std::mutex> g(S().mu);
  S().bitmaps[id] = BitmapEntry{{}, path, std::move(fallback)};
}

void Resources::AddBitmapGenerator(int id, std::function<draw::Bitmap()> make) {
  std::lock_guard<std::mutex> g(S().mu);
  S().bitmaps[id] = BitmapEntry{{}, {}, std::move(make)};
}

draw::Bitmap Resources::LoadBitmap(int id) {
  std::function<draw::Bitmap()> make;
  std::string path;
  {
    std::lock_guard<std::mutex> g(S().mu);
    auto it = S().bitmaps.find(id);
    if (it == S().bitmaps.end()) return {};
    if (!it->second.bmp.IsNull()) return it->second.bmp;
    make = it->second.make;
    path = it->second.path;
  }
  draw::Bitmap b = path.empty() ? draw::Bitmap() : draw::Bitmap::LoadFile(path);
  if (b.IsNull() && make) b = make();
  std::lock_guard<std::mutex> g(S().mu);
  auto it = S().bitmaps.find(id);
  if (it != S().bitmaps.end() && !b.IsNull()) it->second.bmp = b;
  return b;
}

bool Resources::HasBitmap(int id) {
  std::lock_guard<std::mutex> g(S().mu);
  return S().bitmaps.count(id) != 0;
}

void Resources::AddIcon(int id, const draw::Bitmap& bmp) {
  std::lock_guard<std::mutex> g(S().mu);
  S().icons[id] = bmp;
}

draw::Bitmap Resources::LoadIcon(int id) {
  std::lock_guard<std::mutex> g(S().mu);
  auto it = S().icons.find(id);
  return it == S().icons.end() ? draw::Bitmap() : it->second;
}

void Resources::AddDialog(int id, const DialogTemplate& tmpl) {
  std::lock_guard<std::mutex> g(S().mu);
  S().dialogs[id] = std::make_unique<DialogTemplate>(tmpl);
}

const DialogTemplate* Resources::FindDialog(int id) {
  std::lock_guard<std::mutex> g(S().mu);
  auto it = S().dialogs.find(id);
  return it == S().dialogs.end() ? nullptr : it->second.get();
}

void Resources::Clear() {
  std::lock_guard<std::mutex> g(S().mu);
  S().bitmaps.clear();
  S().icons.clear();
  S().dialogs.clear();
}

}  // namespace ui
