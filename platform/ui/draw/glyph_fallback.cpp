// Per-character fall-back for glyphs the chosen face draws blank. Pango already moves a
// character the first face lacks to the next face of the family list, but it trusts each
// face's own list of characters, and some faces list characters whose glyph is empty (the
// WenQuanYi faces list "℃" and "℉" with no outline). Such a character is drawn by a face
// whose glyph has ink instead; the answer is cached per thread, as the Pango objects are.
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ui/draw/font_cache.h"

namespace draw {

namespace {

// Faces tried first, in this order, before every other installed face that lists the character.
constexpr const char* kPreferred[] = {"DejaVu Sans", "Liberation Sans", "WenQuanYi Micro Hei", "DejaVu Serif",
                                      "Noto Sans", "Noto Sans Symbols", "Noto Sans Symbols2", "FreeSans"};

using Key = std::tuple<std::string, int, int, gunichar>;

std::map<Key, std::string>& Cache() {
  thread_local std::map<Key, std::string> cache;
  return cache;
}

// Lays `wc` out with `desc` (its family replaced by `family` when given). True when the glyph
// has ink; `used` gets the family of the face that drew it.
bool DrawsWithInk(const PangoFontDescription* desc, const char* family, gunichar wc, std::string* used) {
  PangoFontDescription* d = pango_font_description_copy(desc);
  if (family) pango_font_description_set_family(d, family);
  pango_font_description_set_absolute_size(d, 32.0 * PANGO_SCALE);
  char utf8[8];
  const int n = g_unichar_to_utf8(wc, utf8);
  PangoLayout* l = pango_layout_new(ThreadPangoContext(true));
  pango_layout_set_font_description(l, d);
  pango_layout_set_text(l, utf8, n);
  bool ink = false;
  PangoLayoutIter* it = pango_layout_get_iter(l);
  do {
    PangoLayoutRun* run = pango_layout_iter_get_run_readonly(it);
    if (!run || !run->item->analysis.font) continue;
    for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
      const PangoGlyph g = run->glyphs->glyphs[i].glyph;
      if (g & PANGO_GLYPH_UNKNOWN_FLAG) continue;
      PangoRectangle r;
      pango_font_get_glyph_extents(run->item->analysis.font, g, &r, nullptr);
      if (r.width > 0 && r.height > 0) {
        ink = true;
        PangoFontDescription* fd = pango_font_describe(run->item->analysis.font);
        const char* fam = pango_font_description_get_family(fd);
        *used = fam ? fam : "";
        pango_font_description_free(fd);
      }
    }
  } while (!ink && pango_layout_iter_next_run(it));
  pango_layout_iter_free(it);
  g_object_unref(l);
  pango_font_description_free(d);
  return ink && !used->empty();
}

// Installed families whose character list holds `wc`.
std::vector<std::string> FamiliesListing(gunichar wc) {
  std::vector<std::string> out;
  FcPattern* pat = FcPatternCreate();
  FcCharSet* cs = FcCharSetCreate();
  FcCharSetAddChar(cs, wc);
  FcPatternAddCharSet(pat, FC_CHARSET, cs);
  FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fs = FcFontList(nullptr, pat, os);
  if (fs) {
    for (int i = 0; i < fs->nfont; ++i) {
      FcChar8* fam = nullptr;
      if (FcPatternGetString(fs->fonts[i], FC_FAMILY, 0, &fam) == FcResultMatch && fam)
        out.emplace_back(reinterpret_cast<const char*>(fam));
    }
    FcFontSetDestroy(fs);
  }
  FcObjectSetDestroy(os);
  FcCharSetDestroy(cs);
  FcPatternDestroy(pat);
  return out;
}

// The family to draw `wc` with, or "" when the description's own choice has ink (or no
// installed face does better).
const std::string& FallbackFamily(const PangoFontDescription* desc, gunichar wc) {
  const char* fam = pango_font_description_get_family(desc);
  Key key(fam ? fam : "", pango_font_description_get_weight(desc), pango_font_description_get_style(desc), wc);
  auto found = Cache().find(key);
  if (found != Cache().end()) return found->second;
  std::string family, used;
  if (!DrawsWithInk(desc, nullptr, wc, &used)) {
    std::vector<std::string> candidates(std::begin(kPreferred), std::end(kPreferred));
    for (std::string& f : FamiliesListing(wc)) candidates.push_back(std::move(f));
    for (const std::string& c : candidates)
      if (DrawsWithInk(desc, c.c_str(), wc, &used)) {
        family = used;
        break;
      }
  }
  return Cache().emplace(key, family).first->second;
}

}  // namespace

void AddGlyphFallbacks(PangoAttrList* attrs, const ResolvedFont& rf, const std::string& text) {
  if (!rf.desc) return;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x80) {  // ASCII: every text face has it
      ++p;
      continue;
    }
    const char* next = g_utf8_find_next_char(p, end);
    if (!next) next = end;
    const gunichar wc = g_utf8_get_char_validated(p, static_cast<gssize>(next - p));
    if (wc != static_cast<gunichar>(-1) && wc != static_cast<gunichar>(-2) && g_unichar_isgraph(wc)) {
      const std::string& family = FallbackFamily(rf.desc, wc);
      if (!family.empty()) {
        PangoAttribute* a = pango_attr_family_new(family.c_str());
        a->start_index = static_cast<guint>(p - text.data());
        a->end_index = static_cast<guint>(next - text.data());
        pango_attr_list_insert(attrs, a);
      }
    }
    p = next;
  }
}

}  // namespace draw
