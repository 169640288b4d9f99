#pragma once
// CPathologyLimits: the panic limits of the ten patient groups (PathologyLimits).
#include "settings/limits_screen.h"

inline constexpr int IDD_PATHOLOGY_LIMITS = 154;

class CPathologyLimits : public CLimitsScreen {
 public:
  explicit CPathologyLimits(ui::Window* parent = nullptr)
      : CLimitsScreen(settings::LimitTable::kPanic, IDD_PATHOLOGY_LIMITS, parent) {}
};
