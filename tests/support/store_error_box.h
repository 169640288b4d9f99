#pragma once
// Runs a screen modally as the program runs it where the store can fail: with the program's own
// box for store errors installed, taken away again when the screen ends. A test that sees no box
// then knows the screen kept the error from the operator's way by itself.
#include "core/app_ui.h"
#include "core/db_errors.h"

namespace support {

template <typename Screen>
void ModalWithStoreErrorBox(Screen& screen) {
  InstallDbErrorReporting();
  screen.DoModal();
  SetDbErrorSink({});
}

}  // namespace support
