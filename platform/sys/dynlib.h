#pragma once
// Loading a shared library at run time, looking up a function in it and unloading it.
//
// A bare name is looked for first in the program folder, then by the system's usual search.
// A Windows-style name "Name.dll" stands for "libName.so" (tried in that order: program
// folder libName.so, program folder Name.so, then libName.so and Name.so by the system
// search), so a caller may keep the name it has always used. Paths go through MapPath.
#include <string>

namespace sys {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();  // unloads
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library; false with the loader's message in Error() when it cannot. A library
  // already loaded in this object is unloaded first.
  bool Load(const std::string& nameOrPath);
  // The address of an exported symbol, or null (with the reason in Error()).
  void* Symbol(const std::string& name);
  template <class Fn>
  Fn Function(const std::string& name) {
    return reinterpret_cast<Fn>(Symbol(name));
  }
  // Unloads; false with the loader's message when the system refuses.
  bool Unload();

  bool IsLoaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }
  // The file that was actually loaded.
  const std::string& Path() const { return path_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
  std::string path_;
};

}  // namespace sys
