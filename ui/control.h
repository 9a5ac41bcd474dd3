#pragma once
// A child control with an object of its own. Windows sends a control's
// notifications (WM_COMMAND, WM_NOTIFY), its owner-drawing (WM_DRAWITEM) and
// its colour questions (WM_CTLCOLOR*) to the parent; the parent's procedure
// (ui::Window's, or any that calls ForwardToControl) hands each to the object
// of the control that sent it, found by the control's window handle. What no
// object handles stays with the parent.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "handles.h"

namespace ui {

class Control {
 public:
  Control() = default;
  virtual ~Control();
  // A control moves with its registration; it is never copied.
  Control(Control&& other) noexcept;
  Control& operator=(Control&& other) noexcept;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND hwnd() const { return hwnd_; }
  int Id() const { return id_; }

  // The object of the control window `control`; null when it has none.
  static Control* FromHandle(HWND control);

  // Text and background colours; without them the parent chooses (WM_CTLCOLOR*).
  void SetColours(COLORREF text, COLORREF background);
  void SetTextColour(COLORREF text);
  // Only the background: the text keeps the colour the control gives it.
  void SetBackground(COLORREF background);
  void ResetColours();

  void SetText(std::wstring_view text);
  std::wstring Text() const;
  void Enable(bool enabled) const { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  void Show(bool visible) const { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }
  // Moves the control in its parent's client coordinates.
  void Move(int x, int y, int width, int height) const;

 protected:
  // Creates the control window (a standard class, with WS_CHILD | WS_VISIBLE
  // and the parent's font) and registers this object for it.
  void CreateAs(HWND parent, const wchar_t* className, std::wstring_view text, DWORD style, DWORD exStyle, int id);
  // Registers this object for an existing control window.
  void Attach(HWND control);

  // The parent's messages about this control; nullopt leaves a message to the parent.
  virtual std::optional<LRESULT> OnCommand(WORD code);
  virtual std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& item);
  virtual std::optional<LRESULT> OnNotify(NMHDR& header);
  // WM_CTLCOLOR*: by default the colours set with SetColours.
  virtual std::optional<LRESULT> OnColour(UINT message, HDC dc);
  // The control's own messages, seen before its window procedure; nullopt passes them on.
  virtual std::optional<LRESULT> OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend bool ForwardToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR data) noexcept;
  void Detach();

  HWND hwnd_ = nullptr;
  int id_ = 0;
  std::optional<COLORREF> textColour_;
  std::optional<COLORREF> background_;
  Brush backgroundBrush_;
};

// For a parent's window procedure: hands a control's message to the control's
// object. True, with the answer in `result`, when an object handled it.
bool ForwardToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The notification code of a WM_COMMAND that an accelerator sends.
inline constexpr WORD kAcceleratorCode = 1;

// For a parent's window procedure: a WM_COMMAND without a sender (an
// accelerator, or another program posting a control's id) goes to the object
// of the child control with that id, as that control's own command: an
// accelerator carrying a button's id clicks the button. True when an object
// handled it.
bool ForwardCommandById(HWND parent, WPARAM wParam);

}  // namespace ui
