#include "temp_db.h"

#include <cstdlib>
#include <filesystem>

namespace dbtest {

TempFolder::TempFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "quorvex_db_XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
  path_ = tmpl;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace dbtest
