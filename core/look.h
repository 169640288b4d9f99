#pragma once
// The look the widgets read: the language, the layout scale, the shared fonts, the frame and the
// label colours, in one object. Widgets ask CurrentLook() (or are handed a Look) instead of each
// reaching into the settings, so they know nothing of the application; a test can give them a
// look of its own (SetLookProvider).
#include <functional>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/font.h"

// Texts of the five languages, picked by the language index (out of range: English).
inline const char* PickText(int language, const char* zh, const char* en, const char* es, const char* fr,
                            const char* ua) {
  switch (language) {
    case 0: return zh;
    case 2: return es;
    case 3: return fr;
    case 4: return ua;
    default: return en;
  }
}

struct Look {
  int language = 0;           // 0 Chinese, 1 English, 2 Spanish, 3 French, 4 Ukrainian
  float scale = 1.0f;         // the layout scale: 1.0 on 640x480, else 1.25
  bool sharedFontEverywhere = true;  // the shared dialog font also on the small pop-ups
  draw::Color frameColour = draw::RGB(0, 76, 120);
  int frameWidth = 7;
  draw::Color labelColour = draw::RGB(66, 85, 92);  // label text over the screens' grey

  const char* Pick(const char* zh, const char* en, const char* es, const char* fr, const char* ua) const {
    return PickText(language, zh, en, es, fr, ua);
  }
  // A face at a cell height given for scale 1.0, scaled and truncated.
  draw::Font ScaledFont(const char* face, float height, int weight = draw::kFontWeightNormal) const {
    return draw::Font(face, static_cast<int>(scale * height), weight);
  }
  // The push-button caption: "微软雅黑" 22 x scale for Chinese, else "Arial" 17 x scale.
  draw::Font ButtonCaptionFont() const {
    return language == 0 ? ScaledFont("微软雅黑", 22.0f) : ScaledFont("Arial", 17.0f);
  }
  // The shared dialog font of this run (core/layout.h).
  const draw::Font& DialogFont() const;
};

// The look now: by default made from the settings of this run.
Look CurrentLook();
// Replaces where the look comes from (tests); an empty function restores the settings.
void SetLookProvider(std::function<Look()> provider);
