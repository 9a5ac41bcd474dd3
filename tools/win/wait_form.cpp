#include "wait_form.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "accessible.h"
#include "dialog.h"
#include "window.h"

namespace velmar {
namespace {

constexpr wchar_t kClassName[] = L"TWaitForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // a caption, no system menu: no close box
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
static_assert(PBM_SETMARQUEE == 1034);

}  // namespace

TWaitForm::TWaitForm(HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  Register(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
  dpi_ = ui::ScaleForWindow(owner);  // shown over its owner, on its monitor
  const SIZE size = ui::WindowSizeForClient(kStyle, kExStyle, kClientWidth, kClientHeight, dpi_);
  CreateWindowOf(kClassName, L"WaitForm", kStyle, kExStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, owner,
                 nullptr);
  progressBar1_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarId)),
                                  GetModuleHandleW(nullptr), nullptr);
  if (!progressBar1_) throw std::runtime_error("Не удалось создать индикатор выполнения");
  // The bar is read with what it waits for: the window's caption.
  ui::Accessibility bar;
  bar.currentName = [window = hwnd()] { return ui::GetText(window); };
  ui::SetAccessibility(progressBar1_, std::move(bar));
  layout_.Place(progressBar1_, 16, 16, 377, 25, dpi_);
}

void TWaitForm::DpiChanged(ui::Dpi) { layout_.PlaceAll(dpi_); }

void TWaitForm::StartMarquee() {
  SetWindowLongW(progressBar1_, GWL_STYLE, WS_CHILD | WS_VISIBLE | PBS_MARQUEE);
  SendMessageW(progressBar1_, PBM_SETMARQUEE, 1, 50);
}

void TWaitForm::Show(std::wstring_view caption) {
  SetWindowTextW(hwnd(), std::wstring(caption).c_str());
  ui::CentreOnOwner(hwnd(), GetWindow(hwnd(), GW_OWNER));
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
}

LRESULT TWaitForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Alt+F4 must not close it: the run closes it when the count is done.
  if (message == WM_CLOSE) return 0;
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
