#pragma once
// The standard controls as objects: a text box, a list box, a label, a push
// button, a drop-down list and a list view. Each handles its own notifications
// (the parent's procedure hands them over) and may have colours of its own;
// what it does not handle stays with the parent.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "control.h"

namespace ui {

// An EDIT control.
class Edit : public Control {
 public:
  // Single-line by default; ES_MULTILINE and the scroll styles come in `style`.
  void Create(HWND parent, int id, DWORD style = ES_AUTOHSCROLL, DWORD exStyle = WS_EX_CLIENTEDGE,
              std::wstring_view text = {});

  bool ReadOnly() const { return (GetWindowLongW(hwnd(), GWL_STYLE) & ES_READONLY) != 0; }
  void SetReadOnly(bool readOnly) const { SendMessageW(hwnd(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }
  // The selection as character positions [start, end).
  std::pair<int, int> Selection() const;
  void Select(int start, int end) const { SendMessageW(hwnd(), EM_SETSEL, start, end); }
  void SelectAll() const { Select(0, -1); }
  // Puts `text` in place of the selection; with canUndo the user can undo it.
  void ReplaceSelection(std::wstring_view text, bool canUndo = true) const;
  // Sets the whole text as the program's own doing, not an edit: onChange is
  // not called. False when the box cannot hold the text.
  bool SetTextQuietly(const std::wstring& text);

  std::function<void()> onChange;  // the user or the program changed the text (EN_CHANGE)

  // Cut, copy and paste as WM_CUT, WM_COPY and WM_PASTE do them (the keys and
  // the menus send those), but patient with the clipboard: another program (a
  // clipboard manager, the system's clipboard history) often holds it open for a
  // moment, and the control's own commands then silently do nothing. False when
  // the clipboard stayed busy, or there was nothing to do.
  bool CopySelection() const;
  bool CutSelection() const;
  bool PasteFromClipboard() const;

 protected:
  std::optional<LRESULT> OnCommand(WORD code) override;
  std::optional<LRESULT> OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A LISTBOX control.
class ListBox : public Control {
 public:
  // LBS_NOTIFY is added: the list box tells its selection changes.
  void Create(HWND parent, int id, DWORD style = WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
              DWORD exStyle = WS_EX_CLIENTEDGE);

  // Appends an item; its index.
  int Add(std::wstring_view text) const;
  void Clear() const { SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0); }
  int Count() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0)); }
  std::wstring ItemText(int index) const;
  // The selected item of a single-selection list; -1 for none.
  int Selected() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)); }
  // Selects an item (-1: none) without telling onSelect, as Windows does.
  void Select(int index) const { SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  void Delete(int index) const { SendMessageW(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }
  void ScrollTo(int index) const { SendMessageW(hwnd(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0); }
  // The row height of an owner-drawn list (LBS_OWNERDRAWFIXED), in pixels.
  void SetItemHeight(int height) const { SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, height); }

  std::function<void()> onSelect;       // the user chose another item (LBN_SELCHANGE)
  std::function<void()> onDoubleClick;  // LBN_DBLCLK
  // A key pressed in the list (WM_KEYDOWN, its virtual-key code); true when
  // the key did its work here and the list should not move its selection.
  std::function<bool(WPARAM key)> onKeyDown;
  // Draws an item of an owner-drawn list (LBS_OWNERDRAWFIXED).
  std::function<void(const DRAWITEMSTRUCT&)> onDrawItem;
  // The tip of the item under the mouse (an owner-drawn list shows what does
  // not fit cut short); an empty text shows none. Set before Create.
  std::function<std::wstring(int item)> itemTip;
  // The tooltip window of the item tips; null without them.
  HWND TipWindow() const { return tip_; }

 protected:
  std::optional<LRESULT> OnCommand(WORD code) override;
  std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& item) override;
  std::optional<LRESULT> OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int ItemAtCursor() const;  // -1 outside the items
  HWND tip_ = nullptr;       // owned by the list's top-level window, which destroys it
  int tipItem_ = -1;         // the item the tip was last asked for
  std::wstring tipText_;     // the tip's text while the tooltip reads it
};

// A STATIC text control.
class Label : public Control {
 public:
  // SS_NOPREFIX is added unless accessKey is set, and SS_NOTIFY when onClick
  // is set before Create.
  void Create(HWND parent, int id, std::wstring_view text, DWORD style = SS_LEFT);

  // Set before Create: the "&" of the text marks an access key, which moves
  // the focus to the control made after the label.
  bool accessKey = false;

  std::function<void()> onClick;  // STN_CLICKED
  // Draws an owner-drawn label (SS_OWNERDRAW).
  std::function<void(const DRAWITEMSTRUCT&)> onDrawItem;

 protected:
  std::optional<LRESULT> OnCommand(WORD code) override;
  std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& item) override;
};

// A progress bar (PROGRESS_CLASS): it tells nothing, it only shows.
class ProgressBar : public Control {
 public:
  void Create(HWND parent, int id, DWORD style = 0);

  void SetRange(int maximum) const { SendMessageW(hwnd(), PBM_SETRANGE32, 0, maximum); }
  void SetPosition(int position) const { SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(position), 0); }
  int Position() const { return static_cast<int>(SendMessageW(hwnd(), PBM_GETPOS, 0, 0)); }
  // For work of unknown length: a block runs along the bar instead of filling it.
  void StartMarquee() const;
};

// A push BUTTON; BS_OWNERDRAW ones draw through onDrawItem.
class PushButton : public Control {
 public:
  // WS_TABSTOP is added.
  void Create(HWND parent, int id, std::wstring_view text, DWORD style = BS_PUSHBUTTON);

  // A click, Enter or Space on the button, its access key, or an accelerator
  // that carries the button's id (BN_CLICKED). The second click of a double
  // click is no new press (an owner-drawn button tells it apart).
  std::function<void()> onClick;
  std::function<void(const DRAWITEMSTRUCT&)> onDrawItem;

  // Clicks the button as the user would, when it is enabled.
  void Click() const;

 protected:
  std::optional<LRESULT> OnCommand(WORD code) override;
  std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& item) override;
};

// A COMBOBOX; a drop-down list unless `style` says otherwise.
class ComboBox : public Control {
 public:
  // WS_TABSTOP is added.
  void Create(HWND parent, int id, DWORD style = CBS_DROPDOWNLIST | WS_VSCROLL);

  // Appends an item (in an owner-drawn box without CBS_HASSTRINGS the text is
  // not kept); its index.
  int Add(std::wstring_view text = {}) const;
  void Clear() const { SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0); }
  int Count() const { return static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)); }
  // The selected item; -1 for none.
  int Selected() const { return static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)); }
  // Selects an item (-1: none) without telling onSelect, as Windows does.
  void Select(int index) const { SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  // The height of the items and of the field of an owner-drawn box, in pixels.
  void SetItemHeight(int height) const;

  std::function<void()> onSelect;  // the user chose another item (CBN_SELCHANGE)
  // Draws an item of an owner-drawn box (CBS_OWNERDRAWFIXED); itemID is -1
  // for an empty field.
  std::function<void(const DRAWITEMSTRUCT&)> onDrawItem;

 protected:
  std::optional<LRESULT> OnCommand(WORD code) override;
  std::optional<LRESULT> OnDrawItem(const DRAWITEMSTRUCT& item) override;
};

// A status bar (STATUSCLASSNAME) of one part along the parent's bottom edge.
class StatusBar : public Control {
 public:
  void Create(HWND parent, int id);
  // Fits the bar to the parent's client area again (after the parent's size changed).
  void Fit() const { SendMessageW(hwnd(), WM_SIZE, 0, 0); }
  int Height() const;
  // The text of the bar's one part.
  void SetPartText(const std::wstring& text) const;
};

// A list view (WC_LISTVIEW) in report view: rows of columns, one selected.
class ListView : public Control {
 public:
  // WS_TABSTOP is added; `listExStyle` is the list view's own extended style.
  void Create(HWND parent, int id, DWORD style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
              DWORD exStyle = WS_EX_CLIENTEDGE, DWORD listExStyle = LVS_EX_FULLROWSELECT);

  // Appends a column `width` pixels wide.
  void AddColumn(std::wstring_view caption, int width, int format = LVCFMT_LEFT) const;
  int ColumnCount() const;
  int ColumnWidth(int column) const { return ListView_GetColumnWidth(hwnd(), column); }
  void SetColumnWidth(int column, int width) const { ListView_SetColumnWidth(hwnd(), column, width); }
  // Gives the list its small icons; the list owns `images` from now on and
  // destroys the list it had.
  void SetSmallImages(HIMAGELIST images) const;

  // Appends a row with its first column's text and icon (-1: none); its index.
  int AddRow(std::wstring_view text, int image = -1) const;
  void SetCell(int row, int column, std::wstring_view text) const;
  std::wstring Cell(int row, int column) const;
  void SetImage(int row, int image) const;
  int Count() const { return ListView_GetItemCount(hwnd()); }
  void Clear() const { ListView_DeleteAllItems(hwnd()); }
  // The selected row; -1 for none.
  int Selected() const { return ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED); }
  // Selects and focuses a row (-1: none) without telling onSelect.
  void Select(int row);

  std::function<void()> onSelect;       // the selection moved, by the mouse or the keys
  std::function<void()> onClick;        // a click on the list (NM_CLICK), on a row or beside
  std::function<void()> onDoubleClick;  // NM_DBLCLK

 protected:
  std::optional<LRESULT> OnNotify(NMHDR& header) override;

 private:
  bool quiet_ = false;  // set while the program selects
};

}  // namespace ui
