#pragma once
// CDIBitmap: a device-independent bitmap held as its Windows file parts (the 40-byte
// information header with a colour table, and the pixel rows), read from and written to BMP
// files, with a palette (CBmpPalette) for 8 bits a pixel or fewer. Files are checked by the
// framework's BMP reader before any of their sizes is trusted.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"

struct DibInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
};

class CDIBitmap;

class CBmpPalette {
 public:
  struct Entry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
  };
  explicit CBmpPalette(const CDIBitmap& dib);
  uint16_t version = 0x300;
  std::vector<Entry> entries;
};

class CDIBitmap {
 public:
  CDIBitmap() = default;
  virtual ~CDIBitmap() = default;

  // Copies the rows to `dest` from `src` (rows counted from the bottom); lines copied.
  virtual int DrawToDevice(draw::DC* dc, const draw::Rect& dest, draw::Point src);
  virtual void StretchDraw(draw::DC* dc, int x, int y, int cx, int cy);
  virtual void Draw(draw::DC* dc, int x, int y);
  virtual bool Load(const std::string& path);
  // Reads a whole BMP file image; false with lastError set when it is not a usable DIB.
  virtual bool Read(const std::vector<uint8_t>& file);
  virtual bool Save(const std::string& path);
  virtual bool Write(std::vector<uint8_t>& out);

  bool CreateFromBitmap(const draw::Bitmap& bitmap);
  bool LoadResource(int id);
  bool CreatePalette();
  void ClearPalette() { palette_.reset(); }
  const DibInfoHeader* GetInfo() const { return info_.empty() ? nullptr : &header_; }
  // The colour table right after the header (4 bytes an entry: blue, green, red, 0), or null.
  const uint8_t* GetColourTable() const;
  int GetWidth() const { return header_.width; }
  int GetHeight() const { return header_.height < 0 ? -header_.height : header_.height; }
  int GetColourCount() const;
  uint32_t GetColourTableSize() const;
  int GetBitCount() const { return header_.bitCount; }
  const CBmpPalette* GetPalette() const { return palette_.get(); }
  const std::vector<uint8_t>& Bits() const { return bits_; }
  static int BytesPerLine(int width, int bits) { return (width * bits + 7) / 8; }
  static int AlignedBytesPerLine(int width, int bits) { return ((width * bits + 31) / 32) * 4; }
  // Moves packed rows to 32-bit aligned positions (nothing when they are aligned already).
  void AlignRows();
  // The pixels as a framework bitmap (null when there are none).
  draw::Bitmap ToBitmap() const;

  std::string lastError;
  // True only while rows sit packed (no padding); rows read from a file or taken from a
  // bitmap are aligned.
  bool rowsPacked = false;

 private:
  DibInfoHeader header_;
  std::vector<uint8_t> info_;  // header (40 bytes) and 256 colour entries
  std::vector<uint8_t> bits_;
  std::unique_ptr<CBmpPalette> palette_;
  void Clear();
};
