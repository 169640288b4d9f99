#pragma once
// SIGTERM and SIGINT (a service manager, a logout, Ctrl+C) as an orderly request: the signals are
// taken by a thread of their own, which calls the handler once per signal outside signal context,
// so the handler may do anything a thread may (post to the user-interface thread, say).
#include <functional>

namespace sys {

// Blocks SIGTERM and SIGINT in the calling thread (and so in every thread it starts afterwards:
// call it first in main) and starts the thread that waits for them. False when that thread could
// not be started; the signals then keep their default action.
bool InstallTerminationHandler(std::function<void(int signal)> handler);

}  // namespace sys
