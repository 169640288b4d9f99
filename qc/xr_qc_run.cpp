#include "qc/xr_qc_run.h"

#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "qc/lj_tables.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"

namespace qc {

CXRQCRun::CXRQCRun(ui::Window* parent)
    : QcRunScreen(QcRunLayout{IDD_XR_QC_RUN, IDC_XR_RUN_FRAME, IDC_XR_RUN_GRID, 1152, 1647, 1, "XRTOserialdata.txt"},
                  parent) {}

std::string CXRQCRun::Title(int lang) {
  return StrPrintf(PickText(lang, "X-R质控运行(质控%d)", "X-R QC Run(QC %d)", "X-R control de rodaje(QC %d)",
                            "Passage Controle X-R(CQ %d)", "Запуск X-R(КЯ%d)"),
                   QcFileNo);
}

std::string CXRQCRun::NumberHeading(int lang) { return PickText(lang, "参数", "Item", "Item", "Item", "параметр"); }

void CXRQCRun::LoadFile() {
  RecordsetPtr& rs = conn_.OpenRecordset(StrPrintf("select * from XRQCSet where QcFileNo = %d", QcFileNo));
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    ReadField(*rs, "BatchNo", batchText_);
    ReadField(*rs, "ExpDate", expiryText_);
    uint8_t g = 0, n = 0;
    if (ReadField(*rs, "GroupNum", g)) groups_ = g;
    if (ReadField(*rs, "NumPerGroup", n)) perGroup_ = n;
  }
  conn_.CloseRecordset();
  ShowExpiredIfSo();
  chosen_.fill(1);  // an X-R result keeps every parameter
  stored_ = CountRuns(conn_, "XRQCRunResult", QcFileNo);
}

bool CXRQCRun::SampleAllowed() {
  const int lang = Language();
  const int limit = groups_ * perGroup_;
  if (limit == 0) {
    QcMessage(this,
              PickText(lang, "请先设置质控物!", "Please set QC material first!", "Por favor configure primero el material de QC!",
                       "Veuillez d'abord regler le materiel CQ!", "Будь ласка, спочатку налаштуйте контрольний матеріал!"),
              ui::MB_ICONWARNING);
    return false;
  }
  if (stored_ >= limit) {
    QcMessage(this,
              PickText(lang, "质控数目已达到最大值,如需继续测试,请删除质控列表中的记录!",
                       "QC number has reached the max value,if you want to continue with test, please delete records in the QC list!",
                       "El numero de QC ha alcanzado el maximo, para continuar borre registros de la lista de QC!",
                       "Le nombre de CQ a atteint le maximum, pour continuer effacez des enregistrements de la liste CQ!",
                       "Кількість КЯ досягла максимуму, щоб продовжити, видаліть записи зі списку КЯ!"),
              ui::MB_ICONINFORMATION);
    return false;
  }
  return true;
}

std::string CXRQCRun::TakeResult(const ControlValues& v, const std::string& date, const std::string& time) {
  if (!conn_.Execute(RunInsertSql("XRQCRunResult", QcFileNo, ControlRun(date, time, v, units_)))) return ResultNotSavedText(Language());
  ++stored_;
  if (stored_ >= groups_ * perGroup_) {
    QcMessage(this,
              PickText(Language(), "质控数目已达到最大值", "QC number has reached the max value", "El numero de QC ha alcanzado el maximo",
                       "Le nombre de CQ a atteint le maximum", "Кількість КЯ досягла максимуму"),
              ui::MB_ICONINFORMATION);
  }
  return "";
}

bool CXRQCRun::DeleteStored(const std::string& date, const std::string& time, int) {
  // The result is named by its file as well: another X-R file's result of the same second stays.
  const std::string d = SqlSafeText(date), t = SqlSafeText(time);
  if (!conn_.Execute(StrPrintf("delete from XRQCRunResult where TestDate='%s' and TestTime='%s' and QcFileNo=%d", d.c_str(),
                               t.c_str(), QcFileNo)))
    return false;
  --stored_;
  return true;
}

}  // namespace qc
