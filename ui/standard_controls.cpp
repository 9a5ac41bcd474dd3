#include "standard_controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace ui {

void Edit::Create(HWND parent, int id, DWORD style, DWORD exStyle, std::wstring_view text) {
  CreateAs(parent, L"EDIT", text, WS_TABSTOP | style, exStyle, id);
}

std::pair<int, int> Edit::Selection() const {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

void Edit::ReplaceSelection(std::wstring_view text, bool canUndo) const {
  const std::wstring copy(text);
  SendMessageW(hwnd(), EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(copy.c_str()));
}

bool Edit::SetTextQuietly(const std::wstring& text) {
  // The change goes nowhere; onChange comes back however the setting ends.
  struct Restore {
    std::function<void()>& handler;
    std::function<void()> saved;
    ~Restore() { handler = std::move(saved); }
  } restore{onChange, std::exchange(onChange, [] {})};
  return SetWindowTextW(hwnd(), text.c_str()) != FALSE;
}

namespace {

// How long a busy clipboard is waited for: 50 tries, 20 ms apart.
constexpr int kClipboardTries = 50;

bool IsPassword(HWND edit) { return (GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD) != 0; }

}  // namespace

bool Edit::CopySelection() const {
  const auto [start, end] = Selection();
  if (start >= end || IsPassword(hwnd())) return false;
  // The text up to the selection's end only: a box may hold many megabytes.
  std::wstring text(static_cast<std::size_t>(end) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd(), text.data(), end + 1)));
  if (static_cast<std::size_t>(end) > text.size()) return false;
  const std::size_t bytes = (static_cast<std::size_t>(end - start) + 1) * sizeof(wchar_t);
  GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  {
    const LockedGlobal lock(memory.get());
    if (!lock) return false;
    auto* out = static_cast<wchar_t*>(lock.get());
    text.copy(out, static_cast<std::size_t>(end - start), static_cast<std::size_t>(start));
    out[end - start] = L'\0';
  }
  const Clipboard clipboard(hwnd(), kClipboardTries);
  if (!clipboard || !EmptyClipboard()) return false;
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  (void)memory.Release();  // the clipboard owns it now
  return true;
}

bool Edit::CutSelection() const {
  if (!CopySelection()) return false;
  if (!ReadOnly()) ReplaceSelection(L"");
  return true;
}

bool Edit::PasteFromClipboard() const {
  if (ReadOnly()) return false;
  std::wstring text;
  {
    const Clipboard clipboard(hwnd(), kClipboardTries);
    if (!clipboard) return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return false;
    const LockedGlobal lock(data);
    if (!lock) return false;
    // Up to the first NUL, and never past the end of the block.
    const auto* chars = static_cast<const wchar_t*>(lock.get());
    const std::size_t most = lock.size() / sizeof(wchar_t);
    text.assign(chars, std::find(chars, chars + most, L'\0'));
  }
  if ((GetWindowLongW(hwnd(), GWL_STYLE) & ES_MULTILINE) == 0) text.erase(std::min(text.find_first_of(L"\r\n"), text.size()));
  ReplaceSelection(text);
  return true;
}

std::optional<LRESULT> Edit::OnOwnMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_COPY:
      CopySelection();
      return 0;
    case WM_CUT:
      CutSelection();
      return 0;
    case WM_PASTE:
      PasteFromClipboard();
      return 0;
    default:
      return std::nullopt;
  }
}

std::optional<LRESULT> Edit::OnCommand(WORD code) {
  if (code != EN_CHANGE || !onChange) return std::nullopt;
  onChange();
  return 0;
}

void ListBox::Create(HWND parent, int id, DWORD style, DWORD exStyle) {
  CreateAs(parent, L"LISTBOX", L"", WS_TABSTOP | LBS_NOTIFY | style, exStyle, id);
  if (!itemTip) return;
  // One tool for the whole list; its text is asked for (TTN_GETDISPINFO, sent
  // to the list) each time the tip shows, for the item under the mouse.
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                         GetModuleHandleW(nullptr), nullptr);
  if (!tip_) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 800);  // lines of a tip break at "\n"
}

int ListBox::ItemAtCursor() const {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(hwnd(), &p);
  RECT client;
  GetClientRect(hwnd(), &client);
  if (!PtInRect(&client, p)) return -1;
  const LRESULT hit = SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
  return HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
}

std::optional<LRESULT> ListBox::OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && onKeyDown && onKeyDown(wParam)) return 0;
  if (!tip_) return std::nullopt;
  if (message == WM_MOUSEMOVE) {
    // Another item: the tip of the last one goes, and the next one asks anew.
    if (ItemAtCursor() != tipItem_) SendMessageW(tip_, TTM_POP, 0, 0);
  } else if (message == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    if (info->hdr.hwndFrom != tip_ || info->hdr.code != TTN_GETDISPINFOW) return std::nullopt;
    tipItem_ = ItemAtCursor();
    tipText_ = tipItem_ >= 0 ? itemTip(tipItem_) : std::wstring();
    info->lpszText = tipText_.data();
    info->szText[0] = L'\0';
    info->hinst = nullptr;
    return 0;
  }
  return std::nullopt;
}

namespace {

// An owner-drawn list or drop-down without its HASSTRINGS style keeps what
// LB_ADDSTRING/CB_ADDSTRING carry as the item's data, not as a text: such an
// item gets 0, never the address of a text that is gone when Add returns
// (the standard accessibility proxy reads that data as the item's text).
bool KeepsTexts(HWND box, DWORD ownerDrawn, DWORD hasStrings) {
  const auto style = static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE));
  return (style & ownerDrawn) == 0 || (style & hasStrings) != 0;
}

}  // namespace

int ListBox::Add(std::wstring_view text) const {
  const std::wstring copy(text);
  const LPARAM item =
      KeepsTexts(hwnd(), LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE, LBS_HASSTRINGS) ? reinterpret_cast<LPARAM>(copy.c_str()) : 0;
  return static_cast<int>(SendMessageW(hwnd(), LB_ADDSTRING, 0, item));
}

std::wstring ListBox::ItemText(int index) const {
  const LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(hwnd(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

std::optional<LRESULT> ListBox::OnCommand(WORD code) {
  const std::function<void()>* handler = code == LBN_SELCHANGE ? &onSelect : code == LBN_DBLCLK ? &onDoubleClick : nullptr;
  if (!handler || !*handler) return std::nullopt;
  (*handler)();
  return 0;
}

std::optional<LRESULT> ListBox::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (!onDrawItem) return std::nullopt;
  onDrawItem(item);
  return TRUE;
}

void Label::Create(HWND parent, int id, std::wstring_view text, DWORD style) {
  CreateAs(parent, L"STATIC", text, (accessKey ? 0 : SS_NOPREFIX) | (onClick ? SS_NOTIFY : 0) | style, 0, id);
}

std::optional<LRESULT> Label::OnCommand(WORD code) {
  if (code != STN_CLICKED || !onClick) return std::nullopt;
  onClick();
  return 0;
}

std::optional<LRESULT> Label::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (!onDrawItem) return std::nullopt;
  onDrawItem(item);
  return TRUE;
}

void ProgressBar::Create(HWND parent, int id, DWORD style) {
  CreateAs(parent, PROGRESS_CLASSW, L"", style, 0, id);
}

void ProgressBar::StartMarquee() const {
  SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) | PBS_MARQUEE);
  SendMessageW(hwnd(), PBM_SETMARQUEE, TRUE, 30);
}

void PushButton::Create(HWND parent, int id, std::wstring_view text, DWORD style) {
  CreateAs(parent, L"BUTTON", text, WS_TABSTOP | style, 0, id);
}

void PushButton::Click() const {
  if (IsWindowEnabled(hwnd()) && onClick) onClick();
}

std::optional<LRESULT> PushButton::OnCommand(WORD code) {
  if (code != BN_CLICKED && code != kAcceleratorCode) return std::nullopt;
  Click();
  return 0;
}

std::optional<LRESULT> PushButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (!onDrawItem) return std::nullopt;
  onDrawItem(item);
  return TRUE;
}

void ComboBox::Create(HWND parent, int id, DWORD style) { CreateAs(parent, L"COMBOBOX", L"", WS_TABSTOP | style, 0, id); }

int ComboBox::Add(std::wstring_view text) const {
  const std::wstring copy(text);
  const LPARAM item =
      KeepsTexts(hwnd(), CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE, CBS_HASSTRINGS) ? reinterpret_cast<LPARAM>(copy.c_str()) : 0;
  return static_cast<int>(SendMessageW(hwnd(), CB_ADDSTRING, 0, item));
}

void ComboBox::SetItemHeight(int height) const {
  SendMessageW(hwnd(), CB_SETITEMHEIGHT, 0, height);                             // the items
  SendMessageW(hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);  // the field
}

std::optional<LRESULT> ComboBox::OnCommand(WORD code) {
  if (code != CBN_SELCHANGE || !onSelect) return std::nullopt;
  onSelect();
  return 0;
}

std::optional<LRESULT> ComboBox::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (!onDrawItem) return std::nullopt;
  onDrawItem(item);
  return TRUE;
}

void StatusBar::Create(HWND parent, int id) { CreateAs(parent, STATUSCLASSNAMEW, L"", 0, 0, id); }

int StatusBar::Height() const {
  RECT bar{};
  GetWindowRect(hwnd(), &bar);
  return bar.bottom - bar.top;
}

void StatusBar::SetPartText(const std::wstring& text) const {
  SendMessageW(hwnd(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ListView::Create(HWND parent, int id, DWORD style, DWORD exStyle, DWORD listExStyle) {
  CreateAs(parent, WC_LISTVIEWW, L"", WS_TABSTOP | style, exStyle, id);
  if (listExStyle) ListView_SetExtendedListViewStyle(hwnd(), listExStyle);
}

int ListView::ColumnCount() const {
  HWND header = ListView_GetHeader(hwnd());
  return header ? Header_GetItemCount(header) : 0;
}

void ListView::AddColumn(std::wstring_view caption, int width, int format) const {
  std::wstring text(caption);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = format;
  column.cx = width;
  column.pszText = text.data();
  ListView_InsertColumn(hwnd(), ColumnCount(), &column);
}

void ListView::SetSmallImages(HIMAGELIST images) const {
  if (HIMAGELIST previous = ListView_SetImageList(hwnd(), images, LVSIL_SMALL)) ImageList_Destroy(previous);
}

int ListView::AddRow(std::wstring_view text, int image) const {
  std::wstring copy(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = Count();
  item.pszText = copy.data();
  item.iImage = image;
  return ListView_InsertItem(hwnd(), &item);
}

void ListView::SetCell(int row, int column, std::wstring_view text) const {
  std::wstring copy(text);
  ListView_SetItemText(hwnd(), row, column, copy.data());
}

std::wstring ListView::Cell(int row, int column) const {
  // The list view says how much it copied, not how long the text is: grow
  // until the text fits with room to spare.
  std::wstring text(64, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto got = static_cast<std::size_t>(
        SendMessageW(hwnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (got + 1 < text.size()) {
      text.resize(got);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

void ListView::SetImage(int row, int image) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  ListView_SetItem(hwnd(), &item);
}

void ListView::Select(int row) {
  quiet_ = true;
  ListView_SetItemState(hwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0) {
    ListView_SetItemState(hwnd(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(hwnd(), row, FALSE);
  }
  quiet_ = false;
}

std::optional<LRESULT> ListView::OnNotify(NMHDR& header) {
  switch (header.code) {
    case NM_CLICK:
      if (!onClick) return std::nullopt;
      onClick();
      return 0;
    case NM_DBLCLK:
      if (!onDoubleClick) return std::nullopt;
      onDoubleClick();
      return 0;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      const bool selection = (change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED);
      if (!selection || quiet_ || !onSelect) return std::nullopt;
      onSelect();
      return 0;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace ui
