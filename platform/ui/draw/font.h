#pragma once
// Fonts are described the way the screens create them: a face name, a height in logical
// units (negative: the character height; positive: the cell height, i.e. character height
// plus internal leading), a weight, italic, underline and an escapement. Like pens, a Font
// is a plain value; the device context resolves it to a real face when it draws.
//
// Face names are mapped to the faces installed here: "Arial", "MS Sans Serif", "System"
// and the other Windows sans faces to Liberation Sans; "宋体", "黑体", "微软雅黑", "SimSun",
// "SimHei", "Microsoft YaHei" to WenQuanYi Micro Hei (or Noto Sans CJK). A CJK face is the
// fall-back for any character the chosen face lacks, so Chinese and Cyrillic always render.
#include <string>

namespace draw {

enum FontWeight {
  kFontWeightDontCare = 0,
  kFontWeightThin = 100,
  kFontWeightLight = 300,
  kFontWeightNormal = 400,
  kFontWeightMedium = 500,
  kFontWeightSemiBold = 600,
  kFontWeightBold = 700,
  kFontWeightHeavy = 900,
};

struct Font {
  std::string face = "MS Sans Serif";  // UTF-8
  int height = -11;      // logical units; negative = character height, positive = cell height, 0 = default (-11 at 1:1)
  int width = 0;         // average character width; 0 = natural (kept, not used for shaping)
  int escapement = 0;    // rotation of the text, tenths of a degree, counter-clockwise
  int weight = kFontWeightNormal;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charset = 0;       // kept for the callers; every face here covers all five languages

  Font() = default;
  Font(std::string f, int h, int w = kFontWeightNormal, bool it = false, bool ul = false, int esc = 0)
      : face(std::move(f)), height(h), escapement(esc), weight(w), italic(it), underline(ul) {}
  friend bool operator==(const Font&, const Font&) = default;
};

// The font family list (fontconfig names, comma separated) a face name maps to.
std::string ResolveFontFamilies(const std::string& face);

// Measurements of the selected font, in logical units (like the system's text metrics).
struct TextMetrics {
  int height = 0;            // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;   // height - character height
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 0;
  bool italic = false;
  bool underlined = false;
};

}  // namespace draw
