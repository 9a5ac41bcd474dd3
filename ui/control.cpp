#include "control.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "window.h"

namespace ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x7569;  // one subclass per control window, whatever its object

// Control windows and their objects; windows and their messages belong to one
// thread, so each thread has its own map.
std::unordered_map<HWND, Control*>& Controls() {
  thread_local std::unordered_map<HWND, Control*> controls;
  return controls;
}

HWND Sender(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:  // from a menu or an accelerator lParam is 0
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
      return reinterpret_cast<HWND>(lParam);
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      return header ? header->hwndFrom : nullptr;
    }
    default:
      return nullptr;
  }
}

}  // namespace

Control::~Control() { Detach(); }

Control::Control(Control&& other) noexcept { *this = std::move(other); }

Control& Control::operator=(Control&& other) noexcept {
  if (this == &other) return *this;
  Detach();
  hwnd_ = std::exchange(other.hwnd_, nullptr);
  id_ = std::exchange(other.id_, 0);
  textColour_ = std::exchange(other.textColour_, std::nullopt);
  background_ = std::exchange(other.background_, std::nullopt);
  backgroundBrush_ = std::move(other.backgroundBrush_);
  if (hwnd_) Controls()[hwnd_] = this;
  return *this;
}

Control* Control::FromHandle(HWND control) {
  if (!control) return nullptr;
  const auto& controls = Controls();
  const auto found = controls.find(control);
  return found == controls.end() ? nullptr : found->second;
}

void Control::CreateAs(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, DWORD exStyle,
                       int id) {
  Attach(CreateControl(parent, className, text, style, exStyle, id));
}

void Control::Attach(HWND control) {
  if (!control) throw std::runtime_error("Элемент окна не найден");
  Detach();
  hwnd_ = control;
  id_ = GetDlgCtrlID(control);
  Controls()[hwnd_] = this;
  SetWindowSubclass(hwnd_, Subclass, kSubclassId, 0);
}

void Control::Detach() {
  if (!hwnd_) return;
  auto& controls = Controls();
  const auto found = controls.find(hwnd_);
  if (found != controls.end() && found->second == this) controls.erase(found);
  hwnd_ = nullptr;
}

void Control::SetColours(COLORREF text, COLORREF background) {
  textColour_ = text;
  SetBackground(background);
}

void Control::SetBackground(COLORREF background) {
  if (background_ != background) {
    background_ = background;
    backgroundBrush_.Reset(CreateSolidBrush(background));
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::SetTextColour(COLORREF text) {
  textColour_ = text;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::ResetColours() {
  textColour_.reset();
  background_.reset();
  backgroundBrush_.Reset();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::SetText(std::wstring_view text) {
  const std::wstring copy(text);
  SetWindowTextW(hwnd_, copy.c_str());
}

std::wstring Control::Text() const { return GetText(hwnd_); }

void Control::Move(int x, int y, int width, int height) const {
  SetWindowPos(hwnd_, nullptr, x, y, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<LRESULT> Control::OnCommand(WORD) { return std::nullopt; }
std::optional<LRESULT> Control::OnDrawItem(const DRAWITEMSTRUCT&) { return std::nullopt; }
std::optional<LRESULT> Control::OnNotify(NMHDR&) { return std::nullopt; }
std::optional<LRESULT> Control::OnOwnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

std::optional<LRESULT> Control::OnColour(UINT message, HDC dc) {
  if (!textColour_ && !background_) return std::nullopt;
  if (textColour_) SetTextColor(dc, *textColour_);
  if (background_) {
    SetBkColor(dc, *background_);
    return reinterpret_cast<LRESULT>(backgroundBrush_.get());
  }
  // Only the text colour is the control's: the background stays the system's.
  const int background = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_BTNFACE;
  SetBkColor(dc, GetSysColor(background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT CALLBACK Control::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) noexcept {
  if (message == WM_NCDESTROY) {
    if (Control* control = FromHandle(hwnd)) control->Detach();
    RemoveWindowSubclass(hwnd, Subclass, kSubclassId);
  } else if (Control* control = FromHandle(hwnd)) {
    try {
      if (const auto answer = control->OnOwnMessage(message, wParam, lParam)) return *answer;
    } catch (...) {
      ShowError(GetParent(hwnd), FailureMessage(std::current_exception()));
      return 0;
    }
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool ForwardToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  Control* control = Control::FromHandle(Sender(message, lParam));
  if (!control) return false;
  std::optional<LRESULT> answer;
  switch (message) {
    case WM_COMMAND:
      answer = control->OnCommand(HIWORD(wParam));
      break;
    case WM_DRAWITEM:
      answer = control->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_NOTIFY:
      answer = control->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
      break;
    default:
      answer = control->OnColour(message, reinterpret_cast<HDC>(wParam));
      break;
  }
  if (!answer) return false;
  result = *answer;
  return true;
}

bool ForwardCommandById(HWND parent, WPARAM wParam) {
  HWND control = GetDlgItem(parent, LOWORD(wParam));
  if (!control) return false;
  LRESULT ignored = 0;
  return ForwardToControl(WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control), ignored);
}

}  // namespace ui
