#pragma once
// Window classes by name: the class style (double clicks) and, for classes that a dialog
// template may name, a factory for the object. The standard controls register themselves;
// a screen library registers its custom controls (the chart placeholder, the grid) here.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ui {

class Window;

using WindowFactory = std::function<Window*()>;

// Registers (or replaces) a class. The factory returns a new object that the framework owns.
void RegisterWindowClass(const std::string& name, uint32_t classStyle, WindowFactory factory = {});
bool IsWindowClassRegistered(const std::string& name);
uint32_t ClassStyleOf(const std::string& name);
// A new object for the class (a plain Window when the class has no factory or is unknown).
Window* CreateWindowObject(const std::string& name);

// Names of the standard classes.
inline constexpr const char* kClassDialog = "Dialog";
inline constexpr const char* kClassButton = "Button";
inline constexpr const char* kClassStatic = "Static";
inline constexpr const char* kClassEdit = "Edit";
inline constexpr const char* kClassComboBox = "ComboBox";
inline constexpr const char* kClassListBox = "ListBox";
inline constexpr const char* kClassScrollBar = "ScrollBar";
inline constexpr const char* kClassProgress = "Progress";
inline constexpr const char* kClassUpDown = "UpDown";
inline constexpr const char* kClassTab = "Tab";
inline constexpr const char* kClassIpAddress = "IpAddress";
inline constexpr const char* kClassDateTime = "DateTime";

}  // namespace ui
