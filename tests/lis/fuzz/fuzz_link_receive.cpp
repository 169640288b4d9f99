// Fuzz target of the LIS link's receive path: the bytes the LIS sends, in reads of any size,
// go through the link's reply joiner to its acknowledgement and patient-data handling without
// a sanitizer report, and every frame the joiner completes is counted once, as an
// acknowledgement, a patient reply or a dropped frame. The link's joiner keeps an open frame
// from one input to the next, so the count is checked against a second joiner fed the same.
//
// The first byte steers the read size and whether an order query is outstanding (its control id
// is "202612091") and the patient data is handed to the patient screen.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

#include "core/lis_link_state.h"
#include "lis/lis_link.h"
#include "lis/reply_assembler.h"
#include "measurement/patient/lis_profile.h"
#include "platform/ui/app.h"

// The link's hooks and the patient screen are the program's; here the screen only counts what
// it was handed.
namespace lis {
void InstallLinkHooks() {}
void RemoveLinkHooks() {}
void NoteOrderQuery(const std::string& controlId, const std::string& sampleNo);
}  // namespace lis

// What the link posts to the user-interface thread runs at once here.
namespace ui {
bool PostToUiThread(std::function<void()> fn) {
  fn();
  return true;
}
}  // namespace ui

namespace {
int g_shown = 0;
}

namespace measurement {
void SetSharedSampleProfile(const SampleProfileRecord&) {}
bool ShowLisProfile(const SampleProfileRecord& r) {
  if (r.age < 0) std::abort();  // the link gives an unknown age as 0
  ++g_shown;
  return true;
}
}  // namespace measurement

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static lis::ReplyAssembler mirror;
  const uint8_t steer = data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  LisLinkState.LisQueryMode = (steer & 0x10) ? 1 : 0;
  if (steer & 0x20) lis::NoteOrderQuery("202612091", "12");

  const lis::LinkCounters before = lis::GetLinkCounters();
  const size_t step = 1 + steer % 13;
  size_t frames = 0;
  for (size_t i = 0; i < bytes.size(); i += step) {
    const std::string_view piece = bytes.substr(i, step);
    frames += mirror.Feed(piece).size();
    lis::OnLisData(piece);
  }
  const lis::LinkCounters after = lis::GetLinkCounters();
  const uint64_t counted = (after.acks - before.acks) + (after.patientReplies - before.patientReplies) +
                           (after.dropped - before.dropped);
  if (counted != frames) std::abort();
  return 0;
}
