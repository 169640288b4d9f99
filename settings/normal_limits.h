#pragma once
// CNormalLimits: the normal reference ranges of the ten patient groups (NormalLimits).
#include "settings/limits_screen.h"

inline constexpr int IDD_NORMAL_LIMITS = 153;

class CNormalLimits : public CLimitsScreen {
 public:
  explicit CNormalLimits(ui::Window* parent = nullptr)
      : CLimitsScreen(settings::LimitTable::kNormal, IDD_NORMAL_LIMITS, parent) {}
};
