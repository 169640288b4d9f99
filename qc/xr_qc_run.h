#pragma once
// CXRQCRun: the X-R run screen of one QC file: one result per press of the count key (the
// shared run screen side), every parameter stored into the X-R file until it holds its groups.
#include "qc/qc_run_screen.h"

namespace qc {

inline constexpr int IDD_XR_QC_RUN = 227;
inline constexpr int IDC_XR_RUN_GRID = 1467;
inline constexpr int IDC_XR_RUN_FRAME = 2033;

class CXRQCRun : public QcRunScreen {
 public:
  explicit CXRQCRun(ui::Window* parent = nullptr);
  int storedCount() const { return stored_; }

 protected:
  std::string Title(int language) override;
  std::string NumberHeading(int language) override;
  void LoadFile() override;
  bool SampleAllowed() override;
  std::string TakeResult(const ControlValues& v, const std::string& date, const std::string& time) override;
  bool DeleteStored(const std::string& date, const std::string& time, int index) override;

 private:
  int groups_ = 0, perGroup_ = 0, stored_ = 0;
};

}  // namespace qc
