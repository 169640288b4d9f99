#pragma once
// Text is UTF-8 everywhere inside the program. Where a file or a peer needs the Windows
// "ANSI code page" of the operator's language, these convert with iconv:
//   language 0 (Chinese)                      GBK
//   language 1, 2, 3 (English, Spanish, French) CP1252
//   language 4 (Ukrainian)                    CP1251
// A character the target cannot hold becomes '?' (as the system's own conversion does) and
// is counted, so the caller can tell a lossy conversion from a clean one. Bytes that are not
// valid in the source encoding are handled the same way.
#include <string>

namespace sys {

// The iconv name of the code page of a language index; CP1252 for an unknown index.
const char* AnsiCodePageName(int language);

struct Conversion {
  bool ok = false;        // the conversion ran (false: iconv unavailable, see error)
  std::string text;       // the converted text
  int replaced = 0;       // characters that could not be represented and became '?'
  std::string error;      // why ok is false
  bool Lossless() const { return ok && replaced == 0; }
};

Conversion ConvertEncoding(const std::string& text, const char* from, const char* to);
Conversion Utf8ToAnsi(const std::string& utf8, int language);
Conversion AnsiToUtf8(const std::string& ansi, int language);

// True when `text` is well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

}  // namespace sys
