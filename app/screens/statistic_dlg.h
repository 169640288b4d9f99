#pragma once
// CStatistic: running time since start-up and in total, samples tested today and in total,
// and the reset of all of them (user level 1 and above).
#include <string>

#include "core/ado_conn.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_STATISTIC = 191;
inline constexpr int IDC_STAT_RUNNING = 1480;
inline constexpr int IDC_STAT_TOTAL_TIME = 1481;
inline constexpr int IDC_STAT_TODAY = 1482;
inline constexpr int IDC_STAT_ALL = 1483;
inline constexpr int IDC_STAT_RESET = 1520;
inline constexpr int IDC_STAT_INNER = 2030;
inline constexpr int IDC_STAT_OUTER = 2029;

ui::DialogTemplate StatisticTemplate();

// Minutes as the language's "%d Hours %d Minutes".
std::string RunningTimeText(long minutes, int language);
// The zero time text after a reset ("0 Hour 0 Minute").
std::string ZeroTimeText(int language);

class CStatistic : public ui::Dialog {
 public:
  explicit CStatistic(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void OnReset();

  CStaticTrans all_, today_, totalTime_, running_;
  CXPGroupBox inner_;
  CXPButton reset_, exit_;
  CXPGroupBox outer_;
  CADOConn conn_;
};
