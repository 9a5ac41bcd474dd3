#pragma once
// Controls with a look of their own: the flat button with a hover icon and the
// splitter. Both are real windows (the button a standard BUTTON), so screen
// readers and automation tools find them by their text.
#include <windows.h>

#include <functional>
#include <optional>
#include <string_view>

#include "control.h"
#include "image.h"
#include "window.h"

namespace ui {

// An owner-drawn BUTTON: flat until the mouse is over it, then framed and with
// its hover icon. It draws itself and handles its own clicks (WM_DRAWITEM and
// BN_CLICKED reach it through its parent).
class FlatButton : public Control {
 public:
  enum class Look { IconOnly, IconLeft, IconAbove };

  void Create(HWND parent, int id, std::wstring_view text, Look look, const Image* icon, const Image* hotIcon);

  // A check button stays down while checked; a click toggles it.
  bool checkable = false;
  bool checked = false;
  bool dropDown = false;  // shows a small arrow: the button opens a menu
  std::function<void()> onClick;

  void Draw(const DRAWITEMSTRUCT& item) const;
  // What a click does: toggles a check button, then calls onClick.
  void Click();
  // Whether it shows the hover look (the frame and the hover icon).
  bool Hot() const { return hot_; }

 protected:
  std::optional<LRESULT> OnCommand(WORD code) override;
  std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& item) override;
  std::optional<LRESULT> OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Look look_ = Look::IconOnly;
  const Image* icon_ = nullptr;
  const Image* hotIcon_ = nullptr;
  // The hover look on or off, with the leave tracking that ends it.
  void SetHot(bool hot);
  // Drops the hover look unless the cursor is still over the button.
  void CheckCursorStillOver();
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
  // Tells onDrag where a mouse message's point puts the bar.
  void DragTo(LPARAM lParam) const;

  Orientation orientation_ = Orientation::Vertical;
  bool dragging_ = false;
  int grab_ = 0;
};

}  // namespace ui
