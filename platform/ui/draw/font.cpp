#include "platform/ui/draw/font.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <map>
#include <memory>
#include <tuple>

#include "platform/ui/draw/font_cache.h"

namespace draw {

namespace {

constexpr const char* kSans = "Liberation Sans";
constexpr const char* kCjk = "WenQuanYi Micro Hei,Noto Sans CJK SC,Noto Sans CJK,Droid Sans Fallback";

std::string Lower(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

bool AnyOf(const std::string& key, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (key == n) return true;
  return false;
}

}  // namespace

std::string ResolveFontFamilies(const std::string& face) {
  std::string clean;
  for (char c : face)
    if (c != ',') clean += c;
  while (!clean.empty() && clean.back() == ' ') clean.pop_back();
  while (!clean.empty() && clean.front() == ' ') clean.erase(clean.begin());
  const std::string key = Lower(clean);
  const std::string tail = std::string(",") + kCjk;
  if (key.empty() || AnyOf(key, {"arial", "ms sans serif", "system", "ms shell dlg", "ms shell dlg 2",
                                 "microsoft sans serif", "tahoma", "verdana", "helvetica", "segoe ui",
                                 "arial unicode ms", "sans", "sans-serif"}))
    return std::string(kSans) + tail;
  if (AnyOf(key, {"arial narrow"})) return "Liberation Sans Narrow," + std::string(kSans) + tail;
  if (AnyOf(key, {"times new roman", "times", "ms serif", "serif"})) return "Liberation Serif" + tail;
  if (AnyOf(key, {"courier new", "courier", "fixedsys", "terminal", "lucida console", "monospace"}))
    return "Liberation Mono" + tail;
  if (AnyOf(key, {"宋体", "黑体", "微软雅黑", "新宋体", "仿宋", "楷体", "仿宋_gb2312", "楷体_gb2312", "simsun",
                  "simhei", "microsoft yahei", "nsimsun", "fangsong", "kaiti", "fangsong_gb2312",
                  "kaiti_gb2312", "wenquanyi micro hei"}))
    return std::string(kCjk) + "," + kSans;
  return clean + "," + kSans + tail;
}

namespace {

struct ThreadFonts {
  PangoFontMap* map = nullptr;
  PangoContext* ctx = nullptr;
  PangoContext* crisp = nullptr;
  std::map<std::tuple<std::string, long, int, bool>, ResolvedFont> cache;
  ThreadFonts() {
    map = pango_cairo_font_map_new();
    ctx = NewContext(CAIRO_ANTIALIAS_GRAY);
    crisp = NewContext(CAIRO_ANTIALIAS_NONE);
  }
  PangoContext* NewContext(cairo_antialias_t aa) {
    PangoContext* c = pango_font_map_create_context(map);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, aa);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
    pango_cairo_context_set_font_options(c, fo);
    cairo_font_options_destroy(fo);
    pango_context_set_language(c, pango_language_from_string("zh-cn"));
    return c;
  }
  ~ThreadFonts() {
    for (auto& [k, v] : cache) pango_font_description_free(v.desc);
    g_object_unref(crisp);
    g_object_unref(ctx);
    g_object_unref(map);
  }
};

ThreadFonts& Fonts() {
  thread_local ThreadFonts fonts;
  return fonts;
}

// Metrics of the primary face of `desc`, device pixels.
void Measure(PangoFontDescription* desc, ResolvedFont* out) {
  PangoContext* ctx = Fonts().ctx;
  PangoFont* pf = pango_context_load_font(ctx, desc);
  if (!pf) return;
  PangoFontMetrics* m = pango_font_get_metrics(pf, nullptr);
  out->ascent = pango_font_metrics_get_ascent(m) / double(PANGO_SCALE);
  out->descent = pango_font_metrics_get_descent(m) / double(PANGO_SCALE);
  out->aveCharWidth = pango_font_metrics_get_approximate_char_width(m) / double(PANGO_SCALE);
  out->maxCharWidth = std::max(out->aveCharWidth * 2.0, out->ascent + out->descent);
  out->underlinePos = pango_font_metrics_get_underline_position(m) / double(PANGO_SCALE);
  out->underlineThickness = std::max(1.0, pango_font_metrics_get_underline_thickness(m) / double(PANGO_SCALE));
  pango_font_metrics_unref(m);
  g_object_unref(pf);
}

}  // namespace

PangoContext* ThreadPangoContext(bool smooth) { return smooth ? Fonts().ctx : Fonts().crisp; }

const ResolvedFont& ResolveFont(const Font& font, double devHeight) {
  ThreadFonts& tf = Fonts();
  const long key = std::lround(devHeight * 64);
  const int weight = font.weight <= 0 ? 400 : std::min(font.weight, 1000);
  auto k = std::make_tuple(font.face, key, weight, font.italic);
  auto it = tf.cache.find(k);
  if (it != tf.cache.end()) return it->second;

  ResolvedFont r;
  r.desc = pango_font_description_new();
  pango_font_description_set_family(r.desc, ResolveFontFamilies(font.face).c_str());
  pango_font_description_set_weight(r.desc, static_cast<PangoWeight>(weight));
  pango_font_description_set_style(r.desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  double em;
  if (devHeight < 0) {
    em = -devHeight;
  } else if (devHeight > 0) {
    // Cell height: find the character height whose ascent + descent make it.
    pango_font_description_set_absolute_size(r.desc, 1000.0 * PANGO_SCALE);
    ResolvedFont probe;
    Measure(r.desc, &probe);
    double cell = probe.ascent + probe.descent;
    em = cell > 0 ? devHeight * 1000.0 / cell : devHeight;
  } else {
    em = 16;
  }
  if (em < 0.5) em = 0.5;
  r.emSize = em;
  pango_font_description_set_absolute_size(r.desc, em * PANGO_SCALE);
  Measure(r.desc, &r);
  // Whole device pixels, as a raster font reports them, so line height, ascent and
  // descent always add up.
  r.ascent = std::ceil(r.ascent - 0.01);
  r.descent = std::round(r.descent);
  if (r.ascent + r.descent <= 0) {
    r.ascent = em * 0.9;
    r.descent = em * 0.2;
    r.aveCharWidth = em * 0.5;
    r.maxCharWidth = em;
  }
  return tf.cache.emplace(k, r).first->second;
}

}  // namespace draw
