#pragma once
// Text measures and padding of the reports. Thermal columns are made by padding with blanks;
// some widths count characters, others bytes of the instrument's ANSI code page, where a
// Chinese (CJK) character takes 2 bytes and every other character 1.
#include <initializer_list>
#include <string>

// Characters (code points) of a UTF-8 text.
size_t ReportCharCount(const std::string& text);
// Bytes of the text in the ANSI code page.
size_t ReportAnsiBytes(const std::string& text);
// The text followed by blanks up to `width` characters (bytes); a longer text is kept whole.
std::string PadChars(const std::string& text, size_t width);
std::string PadBytes(const std::string& text, size_t width);
// The first `n` characters, and the rest.
std::string HeadChars(const std::string& text, size_t n);
std::string TailChars(const std::string& text, size_t n);
// The text with blanks, tabs and line breaks removed at both ends.
std::string TrimBlanks(const std::string& text);
// Replaces each "%s" of `format`, in order, by the next text.
std::string FillText(const std::string& format, std::initializer_list<std::string> texts);

// Parameter names in display order: the abbreviation ("WBC" .. "P-LCR") and the Chinese name
// ("白细胞" .. "大血小板比率").
const char* ReportParamAbbrev(int displayIndex);
const char* ReportParamChinese(int displayIndex);
