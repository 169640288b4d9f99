#include "tools/boardsim/settable_profile.h"

#include <cctype>
#include <cstdlib>

namespace boardsim {
namespace {

std::string Lower(const std::string& s) {
  std::string out;
  for (char c : s) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return out;
}

float* FieldOf(BloodProfile& p, const std::string& name) {
  if (name == "wbc") return &p.wbc;
  if (name == "lym") return &p.lymPct;
  if (name == "mid") return &p.midPct;
  if (name == "rbc") return &p.rbc;
  if (name == "mcv") return &p.mcv;
  if (name == "rdwsd") return &p.rdwSd;
  if (name == "hgb") return &p.hgb;
  if (name == "plt") return &p.plt;
  if (name == "mpv") return &p.mpv;
  return nullptr;
}

}  // namespace

const BloodProfile& CalibratorProfile() {
  static const BloodProfile p = {"calibrator", 7.20f, 30.0f, 8.0f, 4.50f, 88.0f, 42.0f, 135.0f, 220.0f, 9.0f};
  return p;
}

bool SettableProfileFromName(const std::string& name, BloodProfile* out) {
  if (Lower(name) != "calibrator") return false;
  if (out) *out = CalibratorProfile();
  return true;
}

bool ParseProfileValues(const std::string& text, BloodProfile& profile, std::string* why) {
  BloodProfile p = profile;
  p.name = "custom";
  std::string word;
  auto take = [&]() -> bool {
    if (word.empty()) return true;
    const size_t eq = word.find('=');
    float* field = eq == std::string::npos ? nullptr : FieldOf(p, Lower(word.substr(0, eq)));
    if (field == nullptr) {
      if (why) *why = "unknown value " + word;
      return false;
    }
    const std::string v = word.substr(eq + 1);
    char* end = nullptr;
    const double d = std::strtod(v.c_str(), &end);
    if (v.empty() || end == nullptr || *end != '\0' || d < 0) {
      if (why) *why = "not a number: " + word;
      return false;
    }
    *field = static_cast<float>(d);
    word.clear();
    return true;
  };
  for (char c : text) {
    if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
      if (!take()) return false;
    } else {
      word.push_back(c);
    }
  }
  if (!take()) return false;
  profile = p;
  return true;
}

}  // namespace boardsim
