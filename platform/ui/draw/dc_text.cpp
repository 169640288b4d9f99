// Text: single lines at a point, formatted text in a rectangle, measuring. Pango shapes and
// draws; the line breaking, alignment and '&' rules follow the formatted-text flags.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/dc_impl.h"
#include "platform/ui/draw/font_cache.h"

namespace draw {

namespace {

// Byte offsets where the UTF-8 characters of `s` start, plus s.size().
std::vector<size_t> CharStarts(const std::string& s) {
  std::vector<size_t> r;
  for (size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) r.push_back(i);
  r.push_back(s.size());
  return r;
}

// Text with its mnemonic removed: the byte range of the character to underline, if any.
struct Prefixed {
  std::string text;
  int ulStart = -1, ulLen = 0;
};

Prefixed StripPrefix(std::string_view in, bool underline) {
  Prefixed p;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '&') {
      p.text += in[i];
      continue;
    }
    if (i + 1 < in.size() && in[i + 1] == '&') {  // "&&" is one '&'
      p.text += '&';
      ++i;
      continue;
    }
    if (i + 1 >= in.size()) break;  // a lone '&' at the end shows nothing
    if (underline && p.ulStart < 0) {
      size_t len = 1;
      while (i + 1 + len < in.size() && (static_cast<unsigned char>(in[i + 1 + len]) & 0xC0) == 0x80) ++len;
      p.ulStart = static_cast<int>(p.text.size());
      p.ulLen = static_cast<int>(len);
    }
  }
  return p;
}

struct Shaper {
  const ResolvedFont& rf;
  const Font& font;
  double tabWidth;  // device pixels, 0 for Pango's default
  bool smooth = true;

  // `wrapWidth`: Pango units to break words at, or -1 for one line per paragraph.
  PangoLayout* Layout(const std::string& text, int ulStart = -1, int ulLen = 0, int wrapWidth = -1) const {
    PangoLayout* l = pango_layout_new(ThreadPangoContext(smooth));
    pango_layout_set_font_description(l, rf.desc);
    pango_layout_set_text(l, text.data(), static_cast<int>(text.size()));
    PangoAttrList* attrs = pango_attr_list_new();
    if (font.underline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font.strikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    if (ulStart >= 0 && ulStart < static_cast<int>(text.size())) {
      PangoAttribute* a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
      a->start_index = static_cast<guint>(ulStart);
      a->end_index = static_cast<guint>(ulStart + ulLen);
      pango_attr_list_insert(attrs, a);
    }
    AddGlyphFallbacks(attrs, rf, text);
    pango_layout_set_attributes(l, attrs);
    pango_attr_list_unref(attrs);
    if (tabWidth > 0) {
      PangoTabArray* tabs = pango_tab_array_new(1, FALSE);
      pango_tab_array_set_tab(tabs, 0, PANGO_TAB_LEFT, static_cast<int>(tabWidth * PANGO_SCALE));
      pango_layout_set_tabs(l, tabs);
      pango_tab_array_free(tabs);
    }
    if (wrapWidth >= 0) {
      pango_layout_set_width(l, wrapWidth);
      pango_layout_set_wrap(l, PANGO_WRAP_WORD);
    }
    return l;
  }

  // A layout that nobody changes afterwards, shaped once per thread and reused: labels and
  // chart ticks draw the same few texts on every repaint, and shaping is most of their cost.
  // The font descriptions live for the thread, so their addresses are stable keys.
  PangoLayout* Shared(const std::string& text, int ulStart = -1, int ulLen = 0, int wrapWidth = -1) const {
    struct Key {
      const PangoFontDescription* desc;
      bool smooth, underline, strike;
      double tab;
      int ulStart, ulLen, wrap;
      std::string text;
      bool operator==(const Key&) const = default;
    };
    struct KeyHash {
      size_t operator()(const Key& k) const {
        size_t h = std::hash<std::string>()(k.text);
        h ^= std::hash<const void*>()(k.desc) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        h ^= static_cast<size_t>(k.ulStart * 31 + k.ulLen) + (k.smooth ? 1 : 0) + (k.underline ? 2 : 0) +
             (k.strike ? 4 : 0) + static_cast<size_t>(k.tab * 8) + static_cast<size_t>(k.wrap) * 131;
        return h;
      }
    };
    struct Cache {
      std::unordered_map<Key, PangoLayout*, KeyHash> map;
      void Clear() {
        for (auto& [k, l] : map) g_object_unref(l);
        map.clear();
      }
      ~Cache() { Clear(); }
    };
    thread_local Cache cache;
    Key key{rf.desc, smooth, font.underline, font.strikeOut, tabWidth, ulStart, ulLen, wrapWidth, text};
    auto it = cache.map.find(key);
    if (it != cache.map.end()) return it->second;
    if (cache.map.size() >= 2048) cache.Clear();  // bounded: a screen shows far fewer texts
    PangoLayout* l = Layout(text, ulStart, ulLen, wrapWidth);
    cache.map.emplace(std::move(key), l);
    return l;
  }

  double Width(const std::string& text) const {
    if (text.empty()) return 0;
    PangoLayout* l = Shared(text);
    PangoRectangle log;
    pango_layout_get_extents(l, nullptr, &log);
    return log.width / double(PANGO_SCALE);
  }

  // Draws `text` with its top-left at (x, y) in the current user space (device pixels).
  void Show(cairo_t* cr, double x, double y, const std::string& text, int ulStart = -1, int ulLen = 0) const {
    if (text.empty()) return;
    PangoLayout* l = Shared(text, ulStart, ulLen);
    cairo_move_to(cr, x, y + rf.ascent);
    pango_cairo_show_layout_line(cr, pango_layout_get_line_readonly(l, 0));
  }

  // Shortens `text` with "..." until it fits `width`.
  std::string Ellipsize(const std::string& text, double width, bool path) const {
    if (Width(text) <= width) return text;
    std::string head = text, tail;
    if (path) {
      size_t sep = text.find_last_of("\\/");
      if (sep != std::string::npos && sep > 0) {
        head = text.substr(0, sep);
        tail = text.substr(sep);
      }
    }
    std::vector<size_t> starts = CharStarts(head);
    // The longest prefix of `head` that fits, by bisection over characters.
    size_t lo = 0, hi = starts.size() - 1;
    while (lo < hi) {
      size_t mid = (lo + hi + 1) / 2;
      if (Width(head.substr(0, starts[mid]) + "..." + tail) <= width)
        lo = mid;
      else
        hi = mid - 1;
    }
    std::string out = head.substr(0, starts[lo]) + "..." + tail;
    if (lo == 0 && !tail.empty() && Width(out) > width) return Ellipsize(tail.substr(1), width, false);
    return out;
  }
};

std::string WithoutLineBreaks(std::string_view s) {
  std::string r;
  for (char c : s)
    if (c != '\r' && c != '\n') r += c;
  return r;
}

}  // namespace

// Text helpers that need the inside of the DC.
struct TextOps {
  DC::Impl& d;
  double sx() const { return std::fabs(d.ScaleX()); }
  double sy() const { return std::fabs(d.ScaleY()); }
  const ResolvedFont& Resolve() const {
    double h = d.st.font.height * sy();
    if (d.st.font.height == 0) h = -(16.0 * d.info.dpiY / 96.0);
    return ResolveFont(d.st.font, h);
  }
  double LineHeight(const ResolvedFont& rf) const { return rf.ascent + rf.descent; }
};

void DC::TextOut(int x, int y, std::string_view text) { ExtTextOut(x, y, 0, nullptr, text); }

void DC::ExtTextOut(int x, int y, unsigned options, const Rect* rect, std::string_view text) {
  if (!IsValid()) return;
  TextOps t{*impl_};
  const ResolvedFont& rf = t.Resolve();
  Shaper sh{rf, impl_->st.font, 0, impl_->TextAntialias() != CAIRO_ANTIALIAS_NONE};
  const std::string s = WithoutLineBreaks(text);
  cairo_t* cr = impl_->cr;
  impl_->Begin();
  if (rect) {
    Rect dr = impl_->DevRect(rect->left, rect->top, rect->right, rect->bottom);
    if (options & kEtoOpaque) {
      SetSource(cr, impl_->Ink(impl_->st.bkColor));
      cairo_rectangle(cr, dr.left, dr.top, dr.Width(), dr.Height());
      cairo_fill(cr);
    }
    if (options & kEtoClipped) {
      cairo_rectangle(cr, dr.left, dr.top, dr.Width(), dr.Height());
      cairo_clip(cr);
    }
  }
  const double w = sh.Width(s), h = t.LineHeight(rf);
  const double px = impl_->Dx(x), py = impl_->Dy(y);
  const unsigned align = impl_->st.textAlign;
  double ox = 0, oy = 0;
  if ((align & 0x6) == kTaCenter)
    ox = -w / 2;
  else if ((align & 0x6) == kTaRight)
    ox = -w;
  if ((align & 0x18) == kTaBaseline)
    oy = -rf.ascent;
  else if ((align & 0x18) == kTaBottom)
    oy = -h;
  cairo_translate(cr, px, py);
  if (impl_->st.font.escapement != 0) cairo_rotate(cr, -impl_->st.font.escapement * M_PI / 1800.0);
  if (impl_->Raster() && impl_->st.font.escapement == 0) {
    // Whole pixels keep small text crisp.
    ox = std::round(px + ox) - px;
    oy = std::round(py + oy) - py;
  }
  if (impl_->st.bkMode == BkMode::Opaque && !s.empty()) {
    SetSource(cr, impl_->Ink(impl_->st.bkColor));
    cairo_rectangle(cr, ox, oy, std::ceil(w), std::ceil(h));
    cairo_fill(cr);
  }
  SetSource(cr, impl_->Ink(impl_->st.textColor));
  cairo_set_antialias(cr, impl_->TextAntialias());
  sh.Show(cr, ox, oy, s);
  impl_->End();
}

Size DC::GetTextExtent(std::string_view text) const {
  if (!impl_) return Size();
  TextOps t{*impl_};
  const ResolvedFont& rf = t.Resolve();
  Shaper sh{rf, impl_->st.font, 0};
  const double w = sh.Width(WithoutLineBreaks(text));
  return Size(static_cast<int>(std::lround(w / t.sx())), static_cast<int>(std::lround(t.LineHeight(rf) / t.sy())));
}

std::vector<int> DC::GetTextPositions(std::string_view text) const {
  std::vector<int> out;
  if (!impl_ || text.empty()) return out;
  TextOps t{*impl_};
  const ResolvedFont& rf = t.Resolve();
  Shaper sh{rf, impl_->st.font, 0};
  const std::string s(text);
  PangoLayout* l = sh.Layout(s);
  PangoRectangle log;
  pango_layout_get_extents(l, nullptr, &log);
  const std::vector<size_t> starts = CharStarts(s);
  for (size_t i = 1; i < starts.size(); ++i) {
    double x;
    if (i + 1 == starts.size()) {
      x = log.width / double(PANGO_SCALE);
    } else {
      PangoRectangle pos;
      pango_layout_index_to_pos(l, static_cast<int>(starts[i]), &pos);
      x = pos.x / double(PANGO_SCALE);
    }
    out.push_back(static_cast<int>(std::lround(x / t.sx())));
  }
  g_object_unref(l);
  return out;
}

TextMetrics DC::GetTextMetrics() const {
  TextMetrics m;
  if (!impl_) return m;
  TextOps t{*impl_};
  const ResolvedFont& rf = t.Resolve();
  const double sy = t.sy(), sx = t.sx();
  m.ascent = static_cast<int>(std::lround(rf.ascent / sy));
  m.descent = static_cast<int>(std::lround(rf.descent / sy));
  m.height = m.ascent + m.descent;
  m.internalLeading = std::max(0, m.height - static_cast<int>(std::lround(rf.emSize / sy)));
  m.externalLeading = 0;
  m.aveCharWidth = static_cast<int>(std::lround(rf.aveCharWidth / sx));
  m.maxCharWidth = static_cast<int>(std::lround(rf.maxCharWidth / sx));
  m.weight = impl_->st.font.weight <= 0 ? 400 : impl_->st.font.weight;
  m.italic = impl_->st.font.italic;
  m.underlined = impl_->st.font.underline;
  return m;
}

std::string DC::GetTextFace() const { return impl_ ? impl_->st.font.face : std::string(); }

int DC::DrawText(std::string_view text, Rect* rect, unsigned format) {
  if (!impl_ || !rect) return 0;
  TextOps t{*impl_};
  const ResolvedFont& rf = t.Resolve();
  double tabWidth = 8 * rf.aveCharWidth;
  if ((format & kDtTabStop) && (format & kDtExpandTabs)) {
    int chars = (format >> 8) & 0xFF;
    tabWidth = (chars > 0 ? chars : 8) * rf.aveCharWidth;
    format &= ~0xFF00u;
    format |= kDtTabStop | kDtExpandTabs;
  }
  Shaper sh{rf, impl_->st.font, tabWidth, impl_->TextAntialias() != CAIRO_ANTIALIAS_NONE};

  const bool noPrefix = format & kDtNoPrefix;
  Prefixed p = noPrefix ? Prefixed{std::string(text), -1, 0}
                        : StripPrefix(text, !(format & kDtHidePrefix));
  const Rect dr = impl_->DevRect(rect->left, rect->top, rect->right, rect->bottom);
  const double boxW = dr.Width();
  const double lineH = t.LineHeight(rf);

  // Break into lines; each keeps its byte offset in p.text for the mnemonic underline.
  struct Line {
    std::string text;
    size_t start = 0;
  };
  std::vector<Line> lines;
  if (format & kDtSingleLine) {
    Line l;
    int removedBefore = 0;
    for (size_t i = 0; i < p.text.size(); ++i) {
      char c = p.text[i];
      if (c == '\r' || c == '\n') {
        if (static_cast<int>(i) < p.ulStart) ++removedBefore;
        continue;
      }
      l.text += c;
    }
    if (p.ulStart >= 0) p.ulStart -= removedBefore;
    lines.push_back(l);
  } else {
    size_t pos = 0;
    while (true) {
      size_t nl = p.text.find_first_of("\r\n", pos);
      std::string para = p.text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
      if ((format & kDtWordBreak) && !para.empty()) {
        const int wrapWidth = static_cast<int>(std::max(1.0, boxW) * PANGO_SCALE);
        // A paragraph that fits on one line is that line: its unbroken layout (shared with the
        // drawing below) answers without a second layout. Otherwise the broken layout is shared
        // too, keyed by its width, as labels repaint the same texts in the same boxes.
        PangoLayout* whole = sh.Shared(para);
        PangoRectangle log;
        pango_layout_get_extents(whole, nullptr, &log);
        PangoLayout* l = pango_layout_get_line_count(whole) == 1 && log.width <= wrapWidth
                             ? whole
                             : sh.Shared(para, -1, 0, wrapWidth);
        for (GSList* it = pango_layout_get_lines_readonly(l); it; it = it->next) {
          auto* pl = static_cast<PangoLayoutLine*>(it->data);
          std::string seg = para.substr(pl->start_index, pl->length);
          while (!seg.empty() && (seg.back() == ' ' || seg.back() == '\t')) seg.pop_back();
          lines.push_back(Line{seg, pos + pl->start_index});
        }
      } else {
        lines.push_back(Line{para, pos});
      }
      if (nl == std::string::npos) break;
      pos = nl + 1;
      if (p.text[nl] == '\r' && pos < p.text.size() && p.text[pos] == '\n') ++pos;
    }
  }
  if (format & (kDtEndEllipsis | kDtWordEllipsis | kDtPathEllipsis)) {
    for (Line& l : lines) {
      std::string e = sh.Ellipsize(l.text, boxW, format & kDtPathEllipsis);
      if (e != l.text) {
        l.text = e;
        if (p.ulStart >= static_cast<int>(l.start) && p.ulStart >= static_cast<int>(l.start + l.text.size()) - 3)
          p.ulStart = -1;
      }
    }
  }

  std::vector<double> widths;
  double maxW = 0;
  for (const Line& l : lines) {
    widths.push_back(sh.Width(l.text));
    maxW = std::max(maxW, widths.back());
  }
  const double totalH = lineH * static_cast<double>(lines.size());
  const int heightLogical = static_cast<int>(std::lround(totalH / t.sy()));

  if (format & kDtCalcRect) {
    int wl = static_cast<int>(std::ceil(maxW / t.sx() - 1e-6));
    rect->right = rect->left + wl;
    rect->bottom = rect->top + heightLogical;
    return heightLogical;
  }

  double top = dr.top;
  if (format & kDtSingleLine) {
    if (format & kDtBottom)
      top = dr.bottom - lineH;
    else if (format & kDtVCenter)
      top = dr.top + (dr.Height() - lineH) / 2;
  }
  if (impl_->Raster()) top = std::round(top);

  if (!IsValid()) return heightLogical;
  cairo_t* cr = impl_->cr;
  impl_->Begin();
  if (!(format & kDtNoClip)) {
    cairo_rectangle(cr, dr.left, dr.top, dr.Width(), dr.Height());
    cairo_clip(cr);
  }
  cairo_set_antialias(cr, impl_->TextAntialias());
  for (size_t i = 0; i < lines.size(); ++i) {
    double x = dr.left;
    if (format & kDtCenter)
      x = dr.left + (boxW - widths[i]) / 2;
    else if (format & kDtRight)
      x = dr.right - widths[i];
    if (impl_->Raster()) x = std::round(x);
    const double y = top + lineH * static_cast<double>(i);
    if (impl_->st.bkMode == BkMode::Opaque && !lines[i].text.empty()) {
      SetSource(cr, impl_->Ink(impl_->st.bkColor));
      cairo_rectangle(cr, x, y, std::ceil(widths[i]), std::ceil(lineH));
      cairo_fill(cr);
    }
    int ul = -1;
    if (p.ulStart >= static_cast<int>(lines[i].start) &&
        p.ulStart < static_cast<int>(lines[i].start + lines[i].text.size()))
      ul = p.ulStart - static_cast<int>(lines[i].start);
    SetSource(cr, impl_->Ink(impl_->st.textColor));
    sh.Show(cr, x, y, lines[i].text, ul, p.ulLen);
  }
  impl_->End();
  if ((format & kDtSingleLine) && (format & (kDtVCenter | kDtBottom)))
    return static_cast<int>(std::lround((top - dr.top + lineH) / t.sy()));
  return heightLogical;
}

}  // namespace draw
