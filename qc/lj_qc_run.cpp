#include "qc/lj_qc_run.h"

#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"

namespace qc {

CLJQCRun::CLJQCRun(ui::Window* parent)
    : QcRunScreen(QcRunLayout{IDD_LJ_QC_RUN, IDC_LJ_RUN_FRAME, IDC_LJ_RUN_GRID, 1633, 1634, 3, "LJTOserialdata.txt"},
                  parent) {}

std::string CLJQCRun::Title(int) { return StrPrintf("L-J QC(QC %d)", QcFileNo); }

std::string CLJQCRun::NumberHeading(int lang) { return PickText(lang, "编号", "No.", "No.", "No.", "Номер"); }

void CLJQCRun::LoadFile() {
  const bool found = ReadLjFileSettings(conn_, QcFileNo, &settings_);
  if (!found) settings_.chosen.fill(1);
  batchText_ = settings_.batchNo;
  expiryText_ = settings_.expDate;
  ShowExpiredIfSo();
  for (int d = 0; d < 20; ++d) {
    const int s = StoreFromDisplay(d);
    chosen_[d] = settings_.chosen[s];
    if (found) {
      grid().SetItemText(d + 3, 1, settings_.targets[s] != 0.0f ? StrPrintf("%g", settings_.targets[s]) : "");
      grid().SetItemText(d + 3, 2, settings_.limits[s] != 0.0f ? StrPrintf("%g", settings_.limits[s]) : "");
    }
  }
  history_ = ReadNewestLjRuns(conn_, QcFileNo, 6);
  store_.fileNo = QcFileNo;
  store_.ljBatch = settings_.batchNo;
  RecordsetPtr& rs = conn_.OpenRecordset(StrPrintf("select * from XRQCSet where QcFileNo = %d", QcFileNo));
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    ReadField(*rs, "BatchNo", store_.xrBatch);
    uint8_t g = 0, n = 0;
    if (ReadField(*rs, "GroupNum", g)) store_.xrGroups = g;
    if (ReadField(*rs, "NumPerGroup", n)) store_.xrPerGroup = n;
  } else {
    // Without an X-R file nothing is fed: a batch no L-J file can carry.
    store_.xrBatch = std::string(1, '\x01');
  }
  conn_.CloseRecordset();
  store_.xrStored = CountRuns(conn_, "XRQCRunResult", QcFileNo);
}

bool CLJQCRun::SampleAllowed() {
  if (!batchText_.empty()) return true;
  const int lang = Language();
  QcMessage(this,
            PickText(lang, "请先设置质控物!", "Please set QC material first!", "Por favor configure primero el material de QC!",
                     "Veuillez d'abord regler le materiel CQ!", "Будь ласка, спочатку налаштуйте контрольний матеріал!"),
            ui::MB_ICONWARNING);
  return false;
}

std::vector<std::array<double, 20>> CLJQCRun::RuleRuns() const {
  std::vector<std::array<double, 20>> runs;
  for (auto it = history_.rbegin(); it != history_.rend(); ++it) {
    std::array<double, 20> r{};
    for (int d = 0; d < 20; ++d) r[d] = it->values[StoreFromDisplay(d)];
    runs.push_back(r);
  }
  for (const auto& t : tableRuns_) {
    std::array<double, 20> r{};
    for (int d = 0; d < 20; ++d) r[d] = t[d];
    runs.push_back(r);
  }
  return runs;
}

std::string CLJQCRun::TakeResult(const ControlValues& v, const std::string& date, const std::string& time) {
  JudgeSettings js;
  for (int d = 0; d < 20; ++d) {
    const int s = StoreFromDisplay(d);
    js.targets[d] = settings_.targets[s];
    js.sds[d] = settings_.limits[s];
  }
  js.chosen = chosen_;
  js.rules = settings_.rules;
  lastBreaks_ = JudgeNewestRun(js, RuleRuns());
  for (const RuleBreak& b : lastBreaks_) QcMessage(this, RuleBreakMessage(b, Language()), ui::MB_ICONWARNING);

  const XrFeed feed = StoreControlRun(conn_, store_, date, time, v, units_);
  // Nothing of a run the store refused is kept, its X-R copy neither.
  if (feed == XrFeed::Failed) return ResultNotSavedText(Language());
  if (feed == XrFeed::FileFull) {
    QcMessage(this,
              PickText(Language(), "X-R质控数目已达到最大值", "X-R QC number has reached the max value",
                       "El numero de QC X-R ha alcanzado el maximo", "Le nombre de CQ X-R a atteint le maximum",
                       "Кількість КЯ X-R досягла максимуму"),
              ui::MB_ICONINFORMATION);
  }
  return "";
}

bool CLJQCRun::DeleteStored(const std::string& date, const std::string& time, int) {
  return DeleteLjRun(conn_, QcFileNo, date, time, true) != 0;
}

}  // namespace qc
