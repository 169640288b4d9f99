#include "platform/ui/controls/controls.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"

namespace ui {

void RegisterStandardClasses() {
  RegisterWindowClass(kClassDialog, CS_DBLCLKS, [] { return new Window; });
  RegisterWindowClass(kClassButton, CS_DBLCLKS, [] { return new Button; });
  RegisterWindowClass(kClassStatic, 0, [] { return new Static; });
  RegisterWindowClass(kClassEdit, CS_DBLCLKS, [] { return new Edit; });
  RegisterWindowClass(kClassListBox, CS_DBLCLKS, [] { return new ListBox; });
  RegisterWindowClass(kClassComboBox, CS_DBLCLKS, [] { return new ComboBox; });
  RegisterWindowClass(kClassScrollBar, CS_DBLCLKS, [] { return new ScrollBar; });
  RegisterWindowClass(kClassProgress, 0, [] { return new ProgressBar; });
  RegisterWindowClass(kClassUpDown, 0, [] { return new UpDown; });
  RegisterWindowClass(kClassTab, CS_DBLCLKS, [] { return new TabControl; });
  RegisterWindowClass(kClassIpAddress, 0, [] { return new IpAddress; });
  RegisterWindowClass(kClassDateTime, 0, [] { return new DateTimePicker; });
}

}  // namespace ui
