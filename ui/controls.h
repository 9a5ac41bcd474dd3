#pragma once
// Controls with a look of their own: the flat button with a hover icon and the
// splitter. Both are real windows (the button a standard BUTTON), so screen
// readers and automation tools find them by their text.
#include <windows.h>

#include <functional>
#include <string_view>

#include "image.h"
#include "window.h"

namespace ui {

// An owner-drawn BUTTON: flat until the mouse is over it, then framed and with
// its hover icon. Its parent hands it WM_DRAWITEM and the click notifications.
class FlatButton {
 public:
  enum class Look { IconOnly, IconLeft, IconAbove };

  void Create(HWND parent, int id, std::wstring_view text, Look look, const Image* icon, const Image* hotIcon);
  HWND hwnd() const { return hwnd_; }
  int Id() const { return id_; }

  // A check button stays down while checked; a click toggles it.
  bool checkable = false;
  bool checked = false;
  bool dropDown = false;  // shows a small arrow: the button opens a menu
  std::function<void()> onClick;

  void Draw(const DRAWITEMSTRUCT& item) const;
  void Click();

 private:
  static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR data) noexcept;

  HWND hwnd_ = nullptr;
  int id_ = 0;
  Look look_ = Look::IconOnly;
  const Image* icon_ = nullptr;
  const Image* hotIcon_ = nullptr;
  bool hot_ = false;
};

// A bar between two panes that the mouse drags; it reports where its left
// (vertical bar) or top (horizontal bar) edge should go, in parent coordinates.
class Splitter : public Window {
 public:
  enum class Orientation { Vertical, Horizontal };

  void Create(HWND parent, int id, Orientation orientation);
  std::function<void(int position)> onDrag;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Orientation orientation_ = Orientation::Vertical;
  bool dragging_ = false;
  int grab_ = 0;
};

}  // namespace ui
