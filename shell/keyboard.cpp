#include "shell/keyboard.h"

#include <algorithm>
#include <iterator>

#include "shell/main_window.h"

namespace {

constexpr char LastFocusProperty[] = "Valdrune.LastFocus";

bool IsKeyDown(int key) {
  return GetKeyState(key) < 0;
}

void MoveFocusAlongTabCycle(HWND window, bool backwards) {
  const HWND focus = GetFocus();
  if (focus == nullptr || !IsChild(window, focus)) return;  // the window itself: Tab does nothing
  const std::vector<HWND> cycle = TabCycle(window);
  if (cycle.empty()) return;
  const auto current = std::find_if(cycle.begin(), cycle.end(), [&](HWND control) {
    return control == focus || IsChild(control, focus);
  });
  if (current == cycle.end()) {
    SetFocus(cycle.front());
    return;
  }
  const auto index = static_cast<std::size_t>(current - cycle.begin());
  SetFocus(cycle[(index + (backwards ? cycle.size() - 1 : 1)) % cycle.size()]);
}

}  // namespace

bool HandleWindowKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  const HWND window = MainWindow();
  if (window == nullptr || (message.hwnd != window && !IsChild(window, message.hwnd))) {
    return false;
  }
  const bool control = IsKeyDown(VK_CONTROL);
  const bool shift = IsKeyDown(VK_SHIFT);
  const bool alt = IsKeyDown(VK_MENU);
  switch (message.wParam) {
    case VK_ESCAPE:
      if (control || shift || alt) return false;
      SendMessageA(window, WM_CLOSE, 0, 0);
      return true;
    case VK_TAB:
      // Ctrl+Tab and Alt+Tab belong to the controls and the system.
      if (control || alt) return false;
      MoveFocusAlongTabCycle(window, shift);
      return true;
    case VK_F4:
      // What the platform's own Alt+F4 does; done here because some drop-down lists
      // keep every system key to themselves, and the focus starts on one.
      if (message.message != WM_SYSKEYDOWN || !alt || control || shift) return false;
      SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    default:
      // Enter goes to the box, which starts a new line; other keys are the controls'
      // and the platform's own.
      return false;
  }
}

std::vector<HWND> TabCycle(HWND window) {
  // Walking the definition backwards and sorting stably puts the later control first
  // among equal tab orders.
  std::vector<const ControlDefinition*> order;
  for (auto definition = std::rbegin(MainWindowControls);
       definition != std::rend(MainWindowControls); ++definition) {
    order.push_back(&*definition);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const ControlDefinition* left, const ControlDefinition* right) {
                     return left->tabOrder < right->tabOrder;
                   });
  std::vector<HWND> cycle;
  for (const ControlDefinition* definition : order) {
    const HWND control = GetDlgItem(window, definition->id);
    if (control == nullptr) continue;
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
    if ((style & WS_VISIBLE) != 0 && (style & WS_TABSTOP) != 0 && IsWindowEnabled(control)) {
      cycle.push_back(control);
    }
  }
  return cycle;
}

void RememberFocusedControl(HWND window) {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(window, focus)) SetPropA(window, LastFocusProperty, focus);
}

void PassFocusToControl(HWND window) {
  auto target = static_cast<HWND>(GetPropA(window, LastFocusProperty));
  if (target == nullptr || !IsWindow(target) || !IsChild(window, target)) {
    const std::vector<HWND> cycle = TabCycle(window);
    target = cycle.empty() ? nullptr : cycle.front();
  }
  if (target != nullptr) SetFocus(target);
}

void ForgetFocusedControl(HWND window) {
  RemovePropA(window, LastFocusProperty);
}
