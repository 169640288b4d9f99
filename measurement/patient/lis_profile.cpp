#include "measurement/patient/lis_profile.h"

#include <mutex>

#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "measurement/patient/profile_flags.h"
#include "platform/ui/app.h"
#include "platform/ui/window.h"

namespace measurement {
namespace {
std::mutex g_mutex;
SampleProfileRecord g_profile;
LisOrderQuerySender g_sender;
}  // namespace

uint8_t ResultPending = 0;
uint8_t ProfileSaveHold = 0;
uint8_t ProfileRegrouped = 0;
uint8_t DiscardBoardInput = 0;

void SetSharedSampleProfile(const SampleProfileRecord& r) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_profile = r;
}

SampleProfileRecord SharedSampleProfile() {
  std::lock_guard<std::mutex> g(g_mutex);
  return g_profile;
}

bool ShowLisProfile(const SampleProfileRecord& r) {
  SetSharedSampleProfile(r);
  ui::Window* w = ui::FindWindow("", PersonInfoTitle(AppSettings.LanguageIndex));
  if (w == nullptr) return false;
  return w->PostMessage(WM_LIS_PROFILE, 0, 0);
}

void SetLisOrderQuerySender(LisOrderQuerySender sender) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_sender = std::move(sender);
}

bool HasLisOrderQuerySender() {
  std::lock_guard<std::mutex> g(g_mutex);
  return static_cast<bool>(g_sender);
}

bool SendLisOrderQuery(const std::string& sampleNo) {
  LisOrderQuerySender s;
  {
    std::lock_guard<std::mutex> g(g_mutex);
    s = g_sender;
  }
  return s ? s(sampleNo) : false;
}

bool SendCountStartOrderQuery(const std::string& sampleNo) {
  if (LisLinkState.Bidirectional != 1 || LisLinkState.LinkKind != 1 || LisLinkState.LisConnected.load() != 1)
    return false;
  if (!HasLisOrderQuerySender()) return false;
  LisLinkState.LisQueryMode = 2;
  return SendLisOrderQuery(sampleNo);
}

std::string LisQueryUnavailableText(int language) {
  return PickText(language, "LIS查询暂不可用。", "The LIS query is not available.",
                  "La consulta al LIS no esta disponible.", "La requete LIS n'est pas disponible.",
                  "Запит до LIS недоступний.");
}

const char* PersonInfoTitle(int language) {
  return PickText(language, "样本资料录入", "Sample profile", "Perfil de muestra", "Profile de l'echantillon",
                  "Дані проби");
}

}  // namespace measurement
