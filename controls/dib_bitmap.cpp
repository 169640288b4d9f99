#include "controls/dib_bitmap.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/sys/atomic_file.h"
#include "platform/sys/path_map.h"
#include "platform/ui/resources.h"

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr size_t kTableBytes = 1024;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& o, uint32_t v) {
  o.push_back(static_cast<uint8_t>(v));
  o.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& o, uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

DibInfoHeader ParseHeader(const uint8_t* p) {
  DibInfoHeader h;
  h.size = U32(p);
  h.width = static_cast<int32_t>(U32(p + 4));
  h.height = static_cast<int32_t>(U32(p + 8));
  h.planes = U16(p + 12);
  h.bitCount = U16(p + 14);
  h.compression = U32(p + 16);
  h.sizeImage = U32(p + 20);
  h.xPelsPerMeter = static_cast<int32_t>(U32(p + 24));
  h.yPelsPerMeter = static_cast<int32_t>(U32(p + 28));
  h.clrUsed = U32(p + 32);
  h.clrImportant = U32(p + 36);
  return h;
}

void PutHeader(std::vector<uint8_t>& o, const DibInfoHeader& h) {
  Put32(o, h.size);
  Put32(o, static_cast<uint32_t>(h.width));
  Put32(o, static_cast<uint32_t>(h.height));
  Put16(o, h.planes);
  Put16(o, h.bitCount);
  Put32(o, h.compression);
  Put32(o, h.sizeImage);
  Put32(o, static_cast<uint32_t>(h.xPelsPerMeter));
  Put32(o, static_cast<uint32_t>(h.yPelsPerMeter));
  Put32(o, h.clrUsed);
  Put32(o, h.clrImportant);
}

int TableColours(int bits) { return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0; }

}  // namespace

CBmpPalette::CBmpPalette(const CDIBitmap& dib) {
  const uint8_t* table = dib.GetColourTable();
  uint32_t n = dib.GetColourTableSize();
  if (n > 256) n = 256;
  for (uint32_t i = 0; table && i < n; ++i) {
    Entry e;
    e.blue = table[i * 4];
    e.green = table[i * 4 + 1];
    e.red = table[i * 4 + 2];
    entries.push_back(e);
  }
}

void CDIBitmap::Clear() {
  info_.clear();
  bits_.clear();
  header_ = DibInfoHeader();
  palette_.reset();
}

const uint8_t* CDIBitmap::GetColourTable() const {
  return info_.size() > kInfoHeader ? info_.data() + kInfoHeader : nullptr;
}

int CDIBitmap::GetColourCount() const { return TableColours(header_.bitCount); }

uint32_t CDIBitmap::GetColourTableSize() const {
  if (header_.clrUsed) return header_.clrUsed;
  return header_.bitCount < 32 ? (1u << header_.bitCount) : 0;
}

bool CDIBitmap::CreatePalette() {
  palette_.reset();
  if (info_.empty() || header_.bitCount >= 9) return false;
  palette_ = std::make_unique<CBmpPalette>(*this);
  return true;
}

bool CDIBitmap::Load(const std::string& path) {
  std::ifstream f(sys::MapPath(path), std::ios::binary);
  if (!f) {
    lastError = "Error:cannot open the file\n";
    return false;
  }
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return Read(data);
}

bool CDIBitmap::Read(const std::vector<uint8_t>& file) {
  Clear();
  lastError.clear();
  if (file.size() < kFileHeader || U16(file.data()) != 0x4D42) {
    lastError = "Error:Unexpected file type, not a DIB\n";
    return false;
  }
  if (file.size() < kFileHeader + 4 || U32(file.data() + kFileHeader) != kInfoHeader) {
    lastError = "Error:OS2 PM BMP Format not supported\n";
    return false;
  }
  // Every size the headers give is checked by the framework's reader before it is used here.
  std::string error;
  if (draw::Bitmap::LoadBmp(file.data(), file.size(), &error).IsNull()) {
    lastError = "Error:" + error + "\n";
    return false;
  }
  const uint32_t offBits = U32(file.data() + 10);
  header_ = ParseHeader(file.data() + kFileHeader);
  info_.assign(kInfoHeader + kTableBytes, 0);
  std::memcpy(info_.data(), file.data() + kFileHeader, kInfoHeader);
  const size_t tableStart = kFileHeader + kInfoHeader;
  const size_t tableAvail = offBits > tableStart ? std::min<size_t>(kTableBytes, offBits - tableStart) : 0;
  std::memcpy(info_.data() + kInfoHeader, file.data() + tableStart, std::min(tableAvail, file.size() - tableStart));
  bits_.assign(file.begin() + offBits, file.end());
  CreatePalette();
  rowsPacked = false;  // a file's rows are 32-bit aligned already
  return true;
}

void CDIBitmap::AlignRows() {
  if (!rowsPacked || info_.empty()) return;
  const int packed = BytesPerLine(GetWidth(), GetBitCount());
  const int aligned = AlignedBytesPerLine(GetWidth(), GetBitCount());
  rowsPacked = false;
  if (packed == aligned) return;
  std::vector<uint8_t> out(static_cast<size_t>(aligned) * GetHeight(), 0);
  for (int row = GetHeight() - 1; row >= 0; --row) {
    const size_t from = static_cast<size_t>(row) * packed;
    if (from + packed > bits_.size()) continue;
    std::memcpy(out.data() + static_cast<size_t>(row) * aligned, bits_.data() + from, static_cast<size_t>(packed));
  }
  bits_.swap(out);
}

bool CDIBitmap::Write(std::vector<uint8_t>& out) {
  if (info_.empty()) return false;
  AlignRows();
  const int colours = TableColours(header_.bitCount);
  const uint32_t table = static_cast<uint32_t>(colours) * 4;
  // Whole 32-bit aligned rows, whatever the depth.
  const uint32_t image = static_cast<uint32_t>(AlignedBytesPerLine(GetWidth(), GetBitCount())) * GetHeight();
  const uint32_t offset = static_cast<uint32_t>(kFileHeader + kInfoHeader) + table;
  out.clear();
  Put16(out, 0x4D42);
  Put32(out, offset + image);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, offset);
  DibInfoHeader h = header_;
  h.sizeImage = 0;
  PutHeader(out, h);
  out.insert(out.end(), info_.begin() + kInfoHeader, info_.begin() + kInfoHeader + table);
  std::vector<uint8_t> pixels(bits_.begin(), bits_.begin() + std::min<size_t>(bits_.size(), image));
  pixels.resize(image, 0);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return true;
}

bool CDIBitmap::Save(const std::string& path) {
  std::vector<uint8_t> data;
  if (!Write(data)) return false;
  return sys::WriteFileAtomic(sys::MapPath(path), std::string(data.begin(), data.end()));
}

bool CDIBitmap::CreateFromBitmap(const draw::Bitmap& bmp) {
  Clear();
  if (bmp.IsNull()) {
    lastError = "could not allocate data storage\n";
    return false;
  }
  const int w = bmp.Width(), h = bmp.Height();
  const int row = AlignedBytesPerLine(w, 24);
  bits_.assign(static_cast<size_t>(row) * h, 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* dst = bits_.data() + static_cast<size_t>(h - 1 - y) * row;
    for (int x = 0; x < w; ++x) {
      const draw::Color c = bmp.GetPixel(x, y);
      dst[x * 3] = static_cast<uint8_t>(draw::GetBValue(c));
      dst[x * 3 + 1] = static_cast<uint8_t>(draw::GetGValue(c));
      dst[x * 3 + 2] = static_cast<uint8_t>(draw::GetRValue(c));
    }
  }
  header_ = DibInfoHeader();
  header_.width = w;
  header_.height = h;
  header_.bitCount = 24;
  header_.sizeImage = static_cast<uint32_t>(row) * h;
  info_.assign(kInfoHeader + kTableBytes, 0);
  std::vector<uint8_t> head;
  PutHeader(head, header_);
  std::memcpy(info_.data(), head.data(), kInfoHeader);
  CreatePalette();
  rowsPacked = false;
  return true;
}

bool CDIBitmap::LoadResource(int id) { return CreateFromBitmap(ui::Resources::LoadBitmap(id)); }

draw::Bitmap CDIBitmap::ToBitmap() const {
  CDIBitmap copy;
  copy.header_ = header_;
  copy.info_ = info_;
  copy.bits_ = bits_;
  copy.rowsPacked = rowsPacked;
  std::vector<uint8_t> file;
  if (!copy.Write(file)) return draw::Bitmap();
  return draw::Bitmap::LoadBmp(file.data(), file.size());
}

int CDIBitmap::DrawToDevice(draw::DC* dc, const draw::Rect& dest, draw::Point src) {
  if (!dc) return 0;
  draw::Bitmap b = ToBitmap();
  if (b.IsNull()) return 0;
  const int h = std::min(dest.Height(), b.Height() - src.y);
  if (h <= 0) return 0;
  // Source rows are counted from the bottom of the picture.
  const int top = b.Height() - src.y - h;
  dc->BitBlt(dest.left, dest.top, dest.Width(), h, b, src.x, top);
  return h;
}

void CDIBitmap::StretchDraw(draw::DC* dc, int x, int y, int cx, int cy) {
  if (!dc) return;
  draw::Bitmap b = ToBitmap();
  if (b.IsNull()) return;
  dc->StretchBlt(x, y, cx, cy, b, 0, 0, b.Width(), b.Height());
}

void CDIBitmap::Draw(draw::DC* dc, int x, int y) { StretchDraw(dc, x, y, GetWidth(), GetHeight()); }
