#pragma once
// The skin: every bitmap resource the screens name by number, with the file the skin
// generator writes for it (into the program folder's "skin/" subfolder) and its size.
// Pixels of pure magenta RGB(255,0,255) are see-through wherever a skin is copied.
//
// `kind` and `tone` tell the painter what to draw; `state` is the button state a face is
// made for. Every id appears once.
#include <cstddef>

namespace skin {

enum class Kind {
  Face,        // push-button face (caption drawn by the button), rounded corners
  MenuTile,    // large main-menu button face
  PowerButton, // shut-down button with a power glyph
  CloseButton, // small close button with a cross
  ComboArrow,  // the arrow button at the right of a drop-down field
  Spin,        // up and down arrows, one above the other
  CheckMark,   // check-box mark, ticked
  CheckEmpty,  // check-box mark, empty
  Keyboard,    // button that opens the on-screen keyboard
  TitleBand,   // the band across the top of a dialog
  Rail,        // bar across a panel, rounded at both ends
  RailLeft,    // bar from the frame to the left edge of a bottom button: open at its right end
  RailRight,   // bar from the right edge of a bottom button to the frame: open at its left end
  StripUpper,  // main-window strip above the instrument picture
  StripLower,  // main-window strip below the instrument picture
  Instrument,  // main-window instrument picture
  Dormant,     // full-screen picture of the resting screen
};

enum class Tone { Blue, Teal, Slate, Navy };
enum class State { Normal, Hover, Disabled };

struct SkinBitmap {
  int id;
  const char* name;  // what the bitmap is, for people and the contact sheet
  const char* file;  // file name in the skin folder
  int width;
  int height;
  Kind kind;
  Tone tone;
  State state;
  const char* text;  // the product name on an instrument picture, else ""
};

#define QX_FACE(id, name, w, h, tone, state) \
  {id, name, #id "_" name ".bmp", w, h, Kind::Face, Tone::tone, State::state, ""}
#define QX_SKIN(id, name, w, h, kind, tone, state, text) \
  {id, name, #id "_" name ".bmp", w, h, Kind::kind, Tone::tone, State::state, text}

inline constexpr SkinBitmap kSkinBitmaps[] = {
    // Push-button faces in sets of normal / hover / disabled.
    QX_FACE(446, "button_normal", 96, 32, Blue, Normal),
    QX_FACE(448, "button_hover", 96, 32, Blue, Hover),
    QX_FACE(447, "button_disabled", 96, 32, Blue, Disabled),
    QX_FACE(469, "button2_normal", 96, 32, Blue, Normal),
    QX_FACE(468, "button2_hover", 96, 32, Blue, Hover),
    QX_FACE(467, "button2_disabled", 96, 32, Blue, Disabled),
    QX_FACE(466, "save_normal", 96, 32, Teal, Normal),
    QX_FACE(465, "save_hover", 96, 32, Teal, Hover),
    QX_FACE(464, "save_disabled", 96, 32, Teal, Disabled),
    QX_FACE(472, "exit_normal", 96, 32, Slate, Normal),
    QX_FACE(471, "exit_hover", 96, 32, Slate, Hover),
    QX_FACE(470, "exit_disabled", 96, 32, Slate, Disabled),
    QX_FACE(399, "ok_normal", 96, 32, Teal, Normal),
    QX_FACE(400, "ok_hover", 96, 32, Teal, Hover),
    QX_FACE(487, "ok_disabled", 96, 32, Teal, Disabled),
    QX_FACE(403, "cancel_normal", 96, 32, Slate, Normal),
    QX_FACE(404, "cancel_hover", 96, 32, Slate, Hover),
    QX_FACE(486, "cancel_disabled", 96, 32, Slate, Disabled),
    QX_FACE(401, "action_normal", 96, 32, Blue, Normal),
    QX_FACE(402, "action_hover", 96, 32, Blue, Hover),
    QX_FACE(488, "action_disabled", 96, 32, Blue, Disabled),
    QX_FACE(498, "command_normal", 96, 32, Blue, Normal),
    QX_FACE(500, "command_hover", 96, 32, Blue, Hover),
    QX_FACE(499, "command_disabled", 96, 32, Blue, Disabled),
    QX_FACE(453, "exit2_normal", 96, 32, Slate, Normal),
    QX_FACE(452, "exit2_hover", 96, 32, Slate, Hover),
    QX_FACE(451, "exit2_disabled", 96, 32, Slate, Disabled),
    QX_FACE(493, "button3_normal", 96, 32, Blue, Normal),
    QX_FACE(495, "button3_hover", 96, 32, Blue, Hover),
    QX_FACE(494, "button3_disabled", 96, 32, Blue, Disabled),
    QX_FACE(437, "view_normal", 96, 32, Blue, Normal),
    QX_FACE(436, "view_hover", 96, 32, Blue, Hover),
    QX_FACE(435, "view_disabled", 96, 32, Blue, Disabled),
    QX_FACE(460, "print_normal", 96, 32, Blue, Normal),
    QX_FACE(459, "print_hover", 96, 32, Blue, Hover),
    QX_FACE(458, "print_disabled", 96, 32, Blue, Disabled),
    QX_FACE(426, "list_normal", 96, 32, Blue, Normal),
    QX_FACE(425, "list_hover", 96, 32, Blue, Hover),
    QX_FACE(430, "list_disabled", 96, 32, Blue, Disabled),
    QX_FACE(474, "button4_normal", 96, 32, Blue, Normal),
    QX_FACE(476, "button4_hover", 96, 32, Blue, Hover),
    QX_FACE(475, "button4_disabled", 96, 32, Blue, Disabled),
    QX_FACE(457, "save2_normal", 96, 32, Teal, Normal),
    QX_FACE(456, "save2_hover", 96, 32, Teal, Hover),
    QX_FACE(454, "save2_disabled", 96, 32, Teal, Disabled),
    QX_FACE(455, "exit3_normal", 96, 32, Slate, Normal),
    QX_FACE(462, "exit3_hover", 96, 32, Slate, Hover),
    QX_FACE(461, "exit3_disabled", 96, 32, Slate, Disabled),
    QX_FACE(434, "last_normal", 96, 32, Blue, Normal),
    QX_FACE(433, "last_hover", 96, 32, Blue, Hover),
    QX_FACE(431, "last_disabled", 96, 32, Blue, Disabled),
    QX_FACE(432, "exit4_normal", 96, 32, Slate, Normal),
    QX_FACE(439, "exit4_hover", 96, 32, Slate, Hover),
    QX_FACE(438, "exit4_disabled", 96, 32, Slate, Disabled),
    QX_FACE(423, "page_normal", 96, 32, Blue, Normal),
    QX_FACE(424, "page_hover", 96, 32, Blue, Hover),
    QX_FACE(429, "page_disabled", 96, 32, Blue, Disabled),
    QX_FACE(427, "exit5_normal", 96, 32, Slate, Normal),
    QX_FACE(428, "exit5_hover", 96, 32, Slate, Hover),
    QX_FACE(489, "exit5_disabled", 96, 32, Slate, Disabled),
    QX_FACE(443, "button5_normal", 96, 32, Blue, Normal),
    QX_FACE(442, "button5_hover", 96, 32, Blue, Hover),
    QX_FACE(441, "button5_disabled", 96, 32, Blue, Disabled),
    QX_FACE(440, "button6_normal", 96, 32, Blue, Normal),
    QX_FACE(445, "button6_hover", 96, 32, Blue, Hover),
    QX_FACE(444, "button6_disabled", 96, 32, Blue, Disabled),
    QX_FACE(410, "button7_normal", 96, 32, Blue, Normal),
    QX_FACE(411, "button7_hover", 96, 32, Blue, Hover),
    QX_FACE(412, "button7_disabled", 96, 32, Blue, Disabled),
    QX_FACE(408, "button8_normal", 96, 32, Blue, Normal),
    QX_FACE(409, "button8_hover", 96, 32, Blue, Hover),
    QX_FACE(479, "answer_normal", 120, 50, Blue, Normal),
    QX_FACE(481, "answer_hover", 120, 50, Blue, Hover),
    QX_FACE(480, "answer_disabled", 120, 50, Blue, Disabled),
    QX_SKIN(418, "menu_normal", 108, 69, MenuTile, Navy, Normal, ""),
    QX_SKIN(419, "menu_hover", 108, 69, MenuTile, Navy, Hover, ""),
    QX_SKIN(477, "power_normal", 32, 29, PowerButton, Slate, Normal, ""),
    QX_SKIN(478, "power_hover", 32, 29, PowerButton, Slate, Hover, ""),
    QX_SKIN(484, "close_normal", 20, 20, CloseButton, Slate, Normal, ""),
    QX_SKIN(483, "close_hover", 20, 20, CloseButton, Slate, Hover, ""),
    // Small parts of the other controls.
    QX_SKIN(394, "combo_normal", 19, 24, ComboArrow, Blue, Normal, ""),
    QX_SKIN(393, "combo_hover", 19, 24, ComboArrow, Blue, Hover, ""),
    QX_SKIN(396, "combo_disabled", 19, 24, ComboArrow, Blue, Disabled, ""),
    QX_SKIN(420, "spin_normal", 18, 30, Spin, Blue, Normal, ""),
    QX_SKIN(421, "spin_hover", 18, 30, Spin, Blue, Hover, ""),
    QX_SKIN(422, "spin_disabled", 18, 30, Spin, Blue, Disabled, ""),
    QX_SKIN(397, "check_ticked", 15, 15, CheckMark, Blue, Normal, ""),
    QX_SKIN(398, "check_empty", 15, 15, CheckEmpty, Blue, Normal, ""),
    QX_SKIN(274, "keyboard", 48, 26, Keyboard, Blue, Normal, ""),
    // Bands, bars and pictures.
    QX_SKIN(491, "title_band", 734, 25, TitleBand, Navy, Normal, ""),
    QX_SKIN(463, "title_band2", 734, 25, TitleBand, Navy, Normal, ""),
    QX_SKIN(450, "rail_left", 160, 36, RailLeft, Blue, Normal, ""),
    QX_SKIN(449, "rail_right", 160, 36, RailRight, Blue, Normal, ""),
    QX_SKIN(473, "rail_panel", 160, 36, Rail, Blue, Normal, ""),
    QX_SKIN(414, "strip_upper", 768, 35, StripUpper, Navy, Normal, ""),
    QX_SKIN(416, "strip_lower", 769, 12, StripLower, Navy, Normal, ""),
    QX_SKIN(415, "instrument_qx4150_cn", 629, 53, Instrument, Navy, Normal, "QX-4150"),
    QX_SKIN(503, "instrument_qx4150", 629, 53, Instrument, Navy, Normal, "QX-4150"),
    QX_SKIN(516, "instrument_kt190", 629, 53, Instrument, Navy, Normal, "KT-190"),
    QX_SKIN(517, "instrument_norvik40", 629, 53, Instrument, Navy, Normal, "Norvik 40"),
    QX_SKIN(518, "instrument_varen7", 629, 53, Instrument, Navy, Normal, "VAREN 7"),
    QX_SKIN(509, "instrument_generic", 629, 53, Instrument, Navy, Normal, ""),
    QX_SKIN(527, "instrument_qx4150_cn_large", 778, 65, Instrument, Navy, Normal, "QX-4150"),
    QX_SKIN(528, "instrument_qx4150_large", 778, 65, Instrument, Navy, Normal, "QX-4150"),
    QX_SKIN(117, "instrument_kt190_large", 778, 65, Instrument, Navy, Normal, "KT-190"),
    QX_SKIN(531, "instrument_norvik40_large", 780, 65, Instrument, Navy, Normal, "Norvik 40"),
    QX_SKIN(530, "instrument_varen7_large", 778, 65, Instrument, Navy, Normal, "VAREN 7"),
    QX_SKIN(358, "dormant", 800, 600, Dormant, Navy, Normal, "QX-4150"),
};

#undef QX_FACE
#undef QX_SKIN

inline constexpr size_t kSkinBitmapCount = sizeof(kSkinBitmaps) / sizeof(kSkinBitmaps[0]);

// The entry of `id`, or nullptr.
constexpr const SkinBitmap* FindSkinBitmap(int id) {
  for (const SkinBitmap& b : kSkinBitmaps)
    if (b.id == id) return &b;
  return nullptr;
}

// Icons the screens name by number: drawn with an alpha channel (see-through outside the
// picture) and written as PNG files beside the bitmaps.
enum class IconKind {
  Application,  // the main window's icon: a drop of blood on the product's navy tile
  Keypad,       // the on-screen key pad
  Printer,      // a printer with a sheet coming out (print hint)
  SampleTube,   // a sample tube (measurement running)
};

struct SkinIcon {
  int id;
  const char* name;
  const char* file;
  int size;  // width and height
  IconKind kind;
};

inline constexpr SkinIcon kSkinIcons[] = {
    {128, "application", "128_application_icon.png", 32, IconKind::Application},
    {278, "keypad", "278_keypad_icon.png", 32, IconKind::Keypad},
    {492, "print_hint", "492_print_hint_icon.png", 32, IconKind::Printer},
    {502, "testing", "502_testing_icon.png", 32, IconKind::SampleTube},
};

constexpr const SkinIcon* FindSkinIcon(int id) {
  for (const SkinIcon& i : kSkinIcons)
    if (i.id == id) return &i;
  return nullptr;
}

// The name of the folder below the program folder that holds the skin files.
inline constexpr const char* kSkinFolder = "skin";

}  // namespace skin
