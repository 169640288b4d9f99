#include "analyzer/sequences/soak_reminder.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "core/sys_setting.h"

namespace analyzer {
namespace {

std::mutex g_presenterMutex;
std::function<void(const std::string&)>& Presenter() {
  static std::function<void(const std::string&)> p;
  return p;
}

void PresentOnUiThread(const std::string& text) {
  std::function<void(const std::string&)> p;
  {
    std::lock_guard<std::mutex> lock(g_presenterMutex);
    p = Presenter();
  }
  if (p) {
    p(text);
  } else {
    ui::MessageBox(nullptr, text, "", ui::MB_OK | ui::MB_ICONWARNING);
  }
}

}  // namespace

bool ParseSoakStartDate(const std::string& text, sys::LocalTime* out) {
  int y, mo, d, h, mi, s;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6) return false;
  if (y < 1970 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
      s > 59)
    return false;
  sys::LocalTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  // A day that the month does not have (31 April) comes back as another date.
  const sys::LocalTime back = sys::FromUnixSeconds(sys::ToUnixSeconds(t));
  if (back.year != y || back.month != mo || back.day != d) return false;
  *out = t;
  return true;
}

int64_t ElapsedSoakDays(const sys::LocalTime& start, const sys::LocalTime& now) {
  const double ms = static_cast<double>(sys::ToUnixSeconds(now) - sys::ToUnixSeconds(start)) * 1000.0 +
                    (now.millisecond - start.millisecond);
  double days = ms / 86400000.0;
  const double half = 5.787037037037037e-6;
  days += days < 0 ? -half : half;
  return static_cast<int64_t>(days);  // truncated towards zero
}

std::string SoakReminderText(int lang) {
  return PickText(lang, "为保证仪器持续有效工作，请在维护菜单中执行“浓缩清洗液浸泡”！",
                  "To ensure that the instrument continues to work effectively, please execute “Conc. Cleanser Soaking” in the Service Menu !",
                  "Para asegurar el buen funcionamiento del instrumento, ejecute “Remojo con limpiador concentrado” en el menú de servicio !",
                  "Pour que l'instrument continue de fonctionner efficacement, exécutez “Trempage au nettoyant concentré” dans le menu Service !",
                  "Для ефективної роботи приладу виконайте “Замочування концентрованим очищувачем” у сервісному меню !");
}

void SetSoakReminderPresenter(std::function<void(const std::string&)> presenter) {
  std::lock_guard<std::mutex> lock(g_presenterMutex);
  Presenter() = std::move(presenter);
}

void ShowSoakReminder() {
  const std::string text = SoakReminderText(AppSettings.LanguageIndex);
  if (!ui::IsInitialized() || ui::IsUiThread()) {
    PresentOnUiThread(text);
    return;
  }
  ui::PostToUiThread([text] { PresentOnUiThread(text); });
}

int CheckSoakReminder(const std::string& startDate, int days) {
  sys::LocalTime start;
  if (!ParseSoakStartDate(startDate, &start)) return 0;
  sys::LocalTime now = sys::Clock::Now();
  if (ElapsedSoakDays(start, now) >= days && Soak.DeviceTestTimes != 0 && AppSettings.UserLevel != 3) {
    ShowSoakReminder();
    return 1;
  }
  return 0;
}

bool CheckSoakAfterSample() {
  if (!Soak.IsOpenSoakTips) return false;
  if (static_cast<int64_t>(Soak.DeviceTestTimes) >= Soak.SetSoakTimes && AppSettings.UserLevel != 3) {
    ShowSoakReminder();
    return true;
  }
  return CheckSoakReminder(Soak.SoakDaysStartDate, Soak.SetSoakDays) == 1;
}

std::string SoakStartDateText(const sys::LocalTime& t) {
  return StrPrintf("%d-%d-%d %d:%d:%d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string CountSoakSample() {
  if (!Soak.IsOpenSoakTips) return {};
  ++Soak.DeviceTestTimes;
  return SysSettingUpdate().Set("DeviceTestTimes", Soak.DeviceTestTimes).Sql();
}

void SetSoakLimits(int sampleLimit, int dayLimit) {
  Soak.SetSoakTimes = sampleLimit;
  Soak.SetSoakDays = dayLimit;
}

}  // namespace analyzer
