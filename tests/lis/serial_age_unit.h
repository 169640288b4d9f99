#pragma once
// What a LIS reading the serial line in a language's code page takes for the age unit of an
// "R," record: the letters Y, M and D in every code page, and its own language's words where the
// code page is Chinese (GBK) or Cyrillic (1251).
#include <string>

#include "platform/sys/encoding.h"

namespace serial_age {

inline const char* const kLetters[3] = {"Y", "M", "D"};

// The field (0 years, 1 months, 2 days) the receiver reads in the unit's bytes; -1 when none.
inline int ReceivedAgeField(const std::string& bytes, int language) {
  const sys::Conversion c = sys::AnsiToUtf8(bytes, language);
  if (!c.ok) return -1;
  const char* const chinese[3] = {"岁", "月", "天"};
  const char* const cyrillic[3] = {"Р", "М", "Д"};
  for (int field = 0; field < 3; ++field) {
    if (c.text == kLetters[field]) return field;
    if (language == 0 && c.text == chinese[field]) return field;
    if (language == 4 && c.text == cyrillic[field]) return field;
  }
  return -1;
}

}  // namespace serial_age
