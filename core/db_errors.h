#pragma once
// How database engine errors reach the operator.
//
// The application installs a sink that shows the engine's text in the program's message box.
// The thread that installs it is taken as the user-interface thread: an error raised there is
// handed to the sink at once; an error raised on any other thread (LIS, printing, sending) is
// queued, the installed wake-up is called so that the user-interface thread can post itself a
// message, and that thread hands the queued texts to the sink with DeliverPendingDbErrors. So a
// worker never touches a window and never waits for the operator.
//
// Without a sink (tests, tools) the texts are only recorded: RecentDbErrors keeps the last ones.
#include <functional>
#include <string>
#include <vector>

using DbErrorSink = std::function<void(const std::string& text)>;

// Installs the sink (an empty one removes it) and records the calling thread as the
// user-interface thread.
void SetDbErrorSink(DbErrorSink sink);
// Called (on the failing worker thread) after a text was queued.
void SetDbErrorWake(std::function<void()> wake);

// Reports one engine error. Must not be called while DbLock is held by the caller's own
// operation (CADOConn releases it first), so the operator's box never blocks other threads'
// database work.
void ReportDbError(const std::string& text);

// On the user-interface thread: hands every queued text to the sink. Returns how many.
int DeliverPendingDbErrors();

// While one lives, the engine errors of the thread that made it go to `divert` instead of the
// sink (they are still recorded). A path that must never stop for the operator, such as the
// count cycle, reports them its own way. They nest; the innermost one takes the errors.
class DbErrorDiversion {
 public:
  explicit DbErrorDiversion(std::function<void(const std::string& text)> divert);
  ~DbErrorDiversion();
  DbErrorDiversion(const DbErrorDiversion&) = delete;
  DbErrorDiversion& operator=(const DbErrorDiversion&) = delete;

 private:
  friend void ReportDbError(const std::string& text);
  std::function<void(const std::string&)> divert_;
  DbErrorDiversion* outer_;
};

// The texts reported since the last ClearRecentDbErrors (at most the last 100).
std::vector<std::string> RecentDbErrors();
void ClearRecentDbErrors();
