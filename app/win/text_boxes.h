#pragma once
// The two text boxes of the main window: the source box (Memo1) and the
// result box (Memo2). They know which of them is active (the one the editing
// commands act on; drawn white, the other light blue), open the context menu
// they share, and tell the window of a change of their text: the user's
// edits and the whole texts the program gives them as changes, while the
// program's own settings that are no edits are not reported.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "control_ids.h"
#include "handles.h"
#include "standard_controls.h"

namespace velmar {

class TextBoxes {
 public:
  enum class Box { None, Source, Result };

  TextBoxes();
  TextBoxes(const TextBoxes&) = delete;
  TextBoxes& operator=(const TextBoxes&) = delete;

  // One box (id Memo1 or Memo2), in its place among the window's controls;
  // the context menu comes with the first.
  void Create(Box box, HWND parent, HFONT font);

  ui::Edit& Source() { return memo1_; }
  ui::Edit& Result() { return memo2_; }
  const ui::Edit& Source() const { return memo1_; }
  const ui::Edit& Result() const { return memo2_; }

  // The box the user last clicked, typed into or changed; None before any.
  Box Active() const { return active_; }
  void SetActive(Box box) { active_ = box; }
  // A click into a box or its context menu: active, and drawn white.
  void Click(Box box);
  // The source box white and the result box light blue, whatever was active.
  void ResetColours();
  // The box the editing commands act on; the source box before the user chose one.
  ui::Edit& Target() { return active_ == Box::Result ? memo2_ : memo1_; }

  void Undo() { SendMessageW(Target().hwnd(), WM_UNDO, 0, 0); }
  void Cut() { Target().CutSelection(); }
  void Copy() { Target().CopySelection(); }
  void Paste() { Target().PasteFromClipboard(); }
  // Deletes the selection, as an edit that cannot be undone; a read-only box is left alone.
  void DeleteSelection();
  void SelectAll() { Target().SelectAll(); }
  void SetReadOnly(bool readOnly);

  // A box's whole text set by the program, not a change. False when the box cannot hold it.
  bool SetTextQuietly(Box box, const std::wstring& text);

  std::function<void()> onSourceChange;  // after the source box became active
  std::function<void()> onResultChange;  // after the result box became active
  // A command picked in the context menu, after the box it opened on became active.
  std::function<void(ControlId)> onMenuCommand;

 private:
  // A box that shows the window its clicks, keys and context menu requests first.
  class Memo : public ui::Edit {
   public:
    Memo(TextBoxes& owner, Box box) : owner_(owner), box_(box) {}

   protected:
    std::optional<LRESULT> OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

   private:
    TextBoxes& owner_;
    Box box_;
  };

  ui::Edit& Of(Box box) { return box == Box::Result ? memo2_ : memo1_; }
  void Changed(Box box);
  void ShowContextMenu(const ui::Edit& memo, LPARAM where);

  Memo memo1_{*this, Box::Source};
  Memo memo2_{*this, Box::Result};
  Box active_ = Box::None;
  bool resultWhite_ = false;  // the result box white and the source box light blue, or the other way round
  ui::Menu contextMenu_;      // PopupMenu3
};

}  // namespace velmar
