#pragma once
// The note of the count in progress: a small file beside the data store that names the sample
// being counted (its number and the moment its count started). The test screen writes it, and
// flushes it to the disk, when a count starts, long before the board sends the result, so the
// path from the board's last byte to the shown result pays nothing for it. It is removed (and
// the removal flushed) once the count's raw record and row are stored, or when the count ends
// without a result. A note found at the next start-up therefore names a result that may have
// been shown and then lost when the program was killed or the power failed: unless a row of
// that count is stored, the start-up says so on the test screen and in the system log.
//
// The file, "CountInProgress.txt", is text:
//   Quorvex count in progress
//   version=1
//   SampleNo=12
//   TestDate=2026-12-09
//   TestTime=08:15:30
// A file that is empty, damaged or of another version is not read (a log line says why).
#include <string>
#include <utility>

#include "platform/sys/clock.h"

class CADOConn;

namespace measurement {

inline constexpr const char* kCountNoteFile = "CountInProgress.txt";
inline constexpr int kCountNoteVersion = 1;

struct CountNote {
  std::string sampleNo;  // "%d" of the sample number
  std::string testDate;  // "YYYY-MM-DD" when the count started
  std::string testTime;  // "HH:MM:SS" when the count started
};

std::string CountNoteText(const CountNote& note);

enum class CountNoteState { Missing, Read, Empty, Damaged, OtherVersion };
struct CountNoteRead {
  CountNoteState state = CountNoteState::Missing;
  CountNote note;      // with Read
  std::string problem;  // why a note that is there was not read
};
CountNoteRead ParseCountNote(const std::string& text);
CountNoteRead ReadCountNote(const std::string& path);

// Writes the note through the platform's crash-safe replace (the old note or the new one is on
// the disk, never half of one). False with the reason in *error.
bool WriteCountNote(const std::string& path, const CountNote& note, std::string* error = nullptr);
// Removes the note and flushes its folder. True when no note is left (there was none).
bool ClearCountNote(const std::string& path, std::string* error = nullptr);

// Whether the store holds the row of the noted count: a row of the sample number with a result
// written at or after the count's start (a row from before it, or one that only holds patient
// data entered during the count, is not the count's). `ok` false when the store could not be
// asked.
bool CountNoteRowStored(CADOConn& conn, const CountNote& note, bool* ok = nullptr);

// The words that name a lost result, in the language: sample number, date and time.
std::string LostResultText(const CountNote& note, int language);

// The start-up's part: reads the note in `folder` (ending in '/'). A note whose count left no
// row is named in the system log (one row) and its text returned for the test screen; then the
// note is removed. A row that is there, or a note that cannot be read, gives an empty text (an
// unreadable note is removed with a log line). When the store cannot be asked the note stays
// for the next start. The caller has the store open (an attempt to open it here would tell the
// operator once more that it cannot be).
std::string NameLostCount(CADOConn& conn, const std::string& folder, int language);

// The lost result the start-up named, until the test screen has shown it (empty: none).
extern std::string LostCountNotice;

// The test screen's note over a count's life.
class CountNoteKeeper {
 public:
  explicit CountNoteKeeper(std::string path = std::string()) : path_(std::move(path)) {}
  void SetPath(std::string path) { path_ = std::move(path); }
  // A count of `sampleNo` starts at `now`: the note is written and flushed. A note that cannot
  // be written does not stop the count; a log line says so (and the result is false).
  bool Begin(const std::string& sampleNo, const sys::LocalTime& now);
  // The count's row and raw record are stored: the note is removed.
  void Stored();
  // The count's result was shown but its row was not stored (the screen says so now): the note
  // stays, so that a start after the program's end names it too.
  void NotStored() { counting_ = false; }
  // The count ended without a result (aborted, a fault, a time-out, the screen left): nothing
  // was shown, so nothing is named; the note of this count is removed.
  void EndedWithoutResult();
  bool counting() const { return counting_; }

 private:
  void Clear();
  std::string path_;
  bool counting_ = false;
};

}  // namespace measurement
