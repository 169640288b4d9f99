#pragma once
// UTF-8 to code points and back, for printing character by character. A byte that is not
// part of a valid sequence stands for itself (U+0080..U+00FF), so nothing is dropped.
#include <string>

std::u32string DecodeUtf8(const std::string& text);
std::string EncodeUtf8(const std::u32string& chars);
