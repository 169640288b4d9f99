#pragma once
// Small text and file helpers shared by the input checks, the record readers and the
// update/backup code. Never instantiated; all operations are static.
#include <string>
#include <utility>
#include <vector>

class CUtilies {
 public:
  virtual ~CUtilies() = default;

  // The pieces between separators, in order, the part after the last separator included. An empty
  // text gives one empty piece; two separators in a row give an empty piece between them.
  static void SplitString(std::string text, std::vector<std::string>& out, char separator);
  static void SplitString(std::string text, char separator, std::vector<std::string>& out) {
    SplitString(std::move(text), out, separator);
  }

  // The check for typed numbers: an optional leading '-', then a non-empty run of digits, points
  // and commas holding at most one point and not a lone point. Texts of more than 259 characters
  // after the sign are not numeric.
  static bool IsNumericText(const std::string& text);

  // Walks the folder tree below `folder` and appends to `out` every directory and file whose name
  // contains `pattern` (case-sensitive). A matching directory is appended before what lies inside
  // it. The process's current directory is left alone. Directory links are not followed.
  static void FindFilesRecursive(std::string folder, const std::string& pattern,
                                 std::vector<std::string>& out);
};
