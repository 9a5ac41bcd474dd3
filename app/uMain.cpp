#include "uMain.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "app_logic.h"
#include "cp1251.h"
#include "http.h"
#include "profile.h"
#include "run_progress.h"
#include "run_text.h"
#include "table_file.h"
#include "text.h"
#include "text_stats.h"
#include "uDownloadModules.h"

namespace velmar {
namespace {


constexpr COLORREF kLightBlue = RGB(242, 250, 255);  // $FFFAF2
constexpr COLORREF kRunLabelColour = RGB(99, 124, 39);
constexpr int kSplitterMinimum = 100;
constexpr int kRowHeight = 30;

int Id(ControlId id) { return static_cast<int>(id); }

// The message the shell broadcasts when the taskbar has been (re-)created.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

std::filesystem::path ExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
}

// The executable's own version resource, or nothing.
std::span<const std::byte> VersionResource() {
  HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
  if (!info) return {};
  const DWORD size = SizeofResource(nullptr, info);
  const void* data = LockResource(LoadResource(nullptr, info));
  if (!data || size == 0) return {};
  return {static_cast<const std::byte*>(data), size};
}

void Move(HWND control, int x, int y, int w, int h) {
  SetWindowPos(control, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TVelmarPro_Api::TVelmarPro_Api() = default;

TVelmarPro_Api::~TVelmarPro_Api() {
  run_.Stop();
}

HWND TVelmarPro_Api::Control(ControlId id) const { return GetDlgItem(hwnd_, Id(id)); }

ui::FlatButton* TVelmarPro_Api::Button(int id) {
  for (ui::FlatButton* b : buttons_)
    if (b->Id() == id) return b;
  return nullptr;
}

void TVelmarPro_Api::Create() {
  exeFolder_ = ExeFolder();
  version_ = VersionString(VersionResource());
  decimalSeparator_ = ui::UserDecimalSeparator();
  server_ = ServerAddress(exeFolder_ / kSettingsFileName);
  site_ = SiteAddress(exeFolder_ / kSettingsFileName);
  const unsigned long timeout = NetTimeoutMs(exeFolder_ / kSettingsFileName);
  online::SetTimeouts({timeout, timeout});

  flags_ = ui::Image::FromResource(L"FLAGS16");
  logo_ = ui::Image::FromResource(L"LOGO64");
  progressFrame_ = ui::Image::FromResource(L"PROGRESS_FRAME");
  progressFill_ = ui::Image::FromResource(L"PROGRESS_FILL");
  // Every picture is decoded before the window exists: decoding may pump messages.
  LoadIcons();

  font_ = ui::MakeFont({L"MS Sans Serif", -11});
  listFont_ = ui::MakeFont({L"Arial", -11});
  listBold_ = ui::MakeFont({L"Arial", -11, true});
  listItalic_ = ui::MakeFont({L"Arial", -11, false, true});
  titleFont_ = ui::MakeFont({L"Arial", -16, true});
  memoFont_ = ui::MakeFont({L"Microsoft Sans Serif", -12});
  label2Font_ = ui::MakeFont({L"MS Sans Serif", -11, false, false, true});
  label2RunFont_ = ui::MakeFont({L"MS Sans Serif", -11});
  white_.Reset(CreateSolidBrush(RGB(255, 255, 255)));
  lightBlue_.Reset(CreateSolidBrush(kLightBlue));

  Register(kClassName, LoadIconW(ui::Instance(), MAKEINTRESOURCEW(1)), GetSysColorBrush(COLOR_BTNFACE), nullptr);
  const int width = 668, height = 378;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  CreateWindowOf(kClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, x, y, width, height, nullptr, nullptr);
  protocol_.SetWindow(hwnd_);
  CreateControls();
  CreateEditCommands();
  FormCreate(true);
  Layout();
}

void TVelmarPro_Api::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  SetFocus(Control(ControlId::Memo1));
}

void TVelmarPro_Api::LoadIcons() {
  for (const wchar_t* name : {L"MODULES", L"EDITOR", L"TRANSLIT", L"MODE", L"HELP", L"ABOUT", L"EXIT", L"NEW",
                              L"OPEN", L"SAVE", L"CUT", L"COPY", L"PASTE", L"UNDO", L"AUTO"}) {
    const std::wstring resource = std::wstring(L"ICON_") + name;
    IconPair& pair = icons_[name];
    pair.normal = ui::Image::FromResource(resource.c_str());
    pair.hot = ui::Image::FromResource((resource + L"_HOT").c_str());
  }
}

void TVelmarPro_Api::AddButton(ui::FlatButton& button, ControlId id, std::wstring_view text,
                               ui::FlatButton::Look look, const wchar_t* icon) {
  const IconPair& pair = icons_.at(icon);
  button.Create(hwnd_, Id(id), text, look, &pair.normal, &pair.hot);
  buttons_.push_back(&button);
}

void TVelmarPro_Api::CreateControls() {
  using Look = ui::FlatButton::Look;
  constexpr DWORD kStaticText = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
  constexpr DWORD kMemo = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                          ES_WANTRETURN | ES_NOHIDESEL;

  // Left column.
  AddButton(sSpeedButton1_, ControlId::sSpeedButton1, L"Загрузить модули", Look::IconLeft, L"MODULES");
  AddButton(sSpeedButton3_, ControlId::sSpeedButton3, L"Редактор таблиц", Look::IconOnly, L"EDITOR");
  HWND list = ui::CreateControl(hwnd_, L"LISTBOX", L"",
                                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                    LBS_NOINTEGRALHEIGHT,
                                WS_EX_CLIENTEDGE, Id(ControlId::ListBox1));
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
  vSplitter_.Create(hwnd_, Id(ControlId::VerticalSplitter), ui::Splitter::Orientation::Vertical);
  vSplitter_.onDrag = [this](int x) {
    leftWidth_ = x;
    Layout();
  };

  // Upper part: logo, title, toolbar, table information line, source box.
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_OWNERDRAW, 0, Id(ControlId::Image1));
  HWND title = ui::CreateControl(hwnd_, L"STATIC", L"VelmarPro", SS_OWNERDRAW, 0, Id(ControlId::Label1));
  SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_ETCHEDHORZ, 0, Id(ControlId::Bevel1));
  AddButton(btn_Velmar_, ControlId::btn_Velmar, L"Транслит", Look::IconAbove, L"TRANSLIT");
  AddButton(sSpeedButton2_, ControlId::sSpeedButton2, L"Режим", Look::IconAbove, L"MODE");
  sSpeedButton2_.dropDown = true;
  AddButton(sSpeedButton4_, ControlId::sSpeedButton4, L"Справка", Look::IconAbove, L"HELP");
  AddButton(btn_About_, ControlId::btn_About, L"О програ...", Look::IconAbove, L"ABOUT");
  AddButton(sSpeedButton9_, ControlId::sSpeedButton9, L"Выход", Look::IconAbove, L"EXIT");
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_ETCHEDHORZ, 0, Id(ControlId::Bevel3));
  // The information line: three labels side by side that draw themselves, so
  // each paints exactly the text it was measured for and nothing is left of
  // a text that stood there before.
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_OWNERDRAW, 0, Id(ControlId::Label3));
  ui::CreateControl(hwnd_, L"STATIC", L">", SS_OWNERDRAW, 0, Id(ControlId::Label4));
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_OWNERDRAW, 0, Id(ControlId::Label5));
  HWND memo1 = ui::CreateControl(hwnd_, L"EDIT", L"", kMemo, WS_EX_CLIENTEDGE, Id(ControlId::Memo1));
  hSplitter_.Create(hwnd_, Id(ControlId::HorizontalSplitter), ui::Splitter::Orientation::Horizontal);
  hSplitter_.onDrag = [this](int y) {
    upperHeight_ = y;
    Layout();
  };

  // Lower part: editing toolbar, result box, status label, progress bar.
  AddButton(btn_New_, ControlId::btn_New, L"Новый", Look::IconOnly, L"NEW");
  AddButton(btn_Open_, ControlId::btn_Open, L"Открыть", Look::IconOnly, L"OPEN");
  AddButton(btn_Save_, ControlId::btn_Save, L"Сохранить", Look::IconOnly, L"SAVE");
  btn_Save_.dropDown = true;
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_ETCHEDVERT, 0, Id(ControlId::SaveSeparator));
  AddButton(btn_Cut_, ControlId::btn_Cut, L"Вырезать", Look::IconOnly, L"CUT");
  AddButton(btn_Copy_, ControlId::btn_Copy, L"Копировать", Look::IconOnly, L"COPY");
  AddButton(btn_Paste_, ControlId::btn_Paste, L"Вставить", Look::IconOnly, L"PASTE");
  AddButton(btn_Undo_, ControlId::btn_Undo, L"Отменить", Look::IconOnly, L"UNDO");
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_ETCHEDVERT, 0, Id(ControlId::Image4));
  AddButton(CheckBox1_, ControlId::CheckBox1, L"Автоматический транслит", Look::IconOnly, L"AUTO");
  CheckBox1_.checkable = true;
  CheckBox1_.checked = true;
  HWND memo2 = ui::CreateControl(hwnd_, L"EDIT", L"", kMemo, WS_EX_CLIENTEDGE, Id(ControlId::Memo2));
  HWND label2 = ui::CreateControl(hwnd_, L"STATIC", L"Символов: 0", kStaticText | SS_NOTIFY, 0,
                                  Id(ControlId::Label2));
  SendMessageW(label2, WM_SETFONT, reinterpret_cast<WPARAM>(label2Font_.get()), FALSE);
  SetWindowSubclass(label2, Label2Subclass, 0, reinterpret_cast<DWORD_PTR>(this));  // its hover look
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_OWNERDRAW | WS_CLIPSIBLINGS, 0, Id(ControlId::Image2));
  ui::CreateControl(hwnd_, L"STATIC", L"", SS_OWNERDRAW | WS_CLIPSIBLINGS, 0, Id(ControlId::Image3));
  SetWindowPos(Control(ControlId::Image3), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(Control(ControlId::Image2), SW_HIDE);
  ShowWindow(Control(ControlId::Image3), SW_HIDE);

  for (HWND memo : {memo1, memo2}) {
    SendMessageW(memo, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_.get()), FALSE);
    SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);  // as much as the control can hold
  }

  for (ui::FlatButton* b : buttons_)
    if (!b->onClick) b->onClick = [] {};  // commands of these buttons come later
  btn_Velmar_.onClick = [this] { Button1Click(); };
  sSpeedButton2_.onClick = [this] { ShowModeMenu(); };
  sSpeedButton9_.onClick = [this] { SendMessageW(hwnd_, WM_CLOSE, 0, 0); };

  PopupMenu2_.Reset(CreatePopupMenu());
  AppendMenuW(PopupMenu2_.get(), MF_STRING, Id(ControlId::N3), L"Использовать '_' вместо пробелов");
  AppendMenuW(PopupMenu2_.get(), MF_STRING, Id(ControlId::N4), L"Использовать дефиз вместо пробелов");
  AppendMenuW(PopupMenu2_.get(), MF_STRING, Id(ControlId::N5), L"Сжимать текст");
}

void TVelmarPro_Api::Layout() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int W = rc.right, H = rc.bottom;
  // Minimised, the client area is empty: laid out then, both splitters would
  // be pushed to their minimum and stay there after the window comes back.
  if (IsIconic(hwnd_) || W <= 0 || H <= 0) return;
  // Both splitters keep at least 100 pixels on either side.
  leftWidth_ = std::max(kSplitterMinimum, std::min(leftWidth_, W - 2 - kSplitterMinimum));
  upperHeight_ = std::max(kSplitterMinimum, std::min(upperHeight_, H - 3 - kSplitterMinimum));

  // Left column.
  Move(sSpeedButton1_.hwnd(), 2, 2, leftWidth_ - 34, 26);
  Move(sSpeedButton3_.hwnd(), leftWidth_ - 30, 2, 28, 26);
  Move(Control(ControlId::ListBox1), 2, 30, leftWidth_ - 4, H - 32);
  Move(vSplitter_.hwnd(), leftWidth_, 0, 2, H);

  // Upper part.
  const int x = leftWidth_ + 2, w = W - x;
  Move(Control(ControlId::Image1), x + 4, 4, 64, 64);
  Move(Control(ControlId::Label1), x + 74, 4, w - 78, 22);
  Move(Control(ControlId::Bevel1), x + 74, 27, w - 78, 2);
  int bx = x + 74;
  for (ui::FlatButton* b : {&btn_Velmar_, &sSpeedButton2_, &sSpeedButton4_, &btn_About_, &sSpeedButton9_}) {
    Move(b->hwnd(), bx, 30, 70, 38);
    bx += 70;
  }
  Move(Control(ControlId::Bevel3), x + 4, 71, w - 8, 2);
  LayoutInfoLine(x + 6, 76);
  const int memo1Top = 94;
  Move(Control(ControlId::Memo1), x + 2, memo1Top, w - 4, upperHeight_ - memo1Top);
  Move(hSplitter_.hwnd(), x, upperHeight_, w, 3);

  // Lower part.
  const int top = upperHeight_ + 3;
  bx = x + 2;
  for (ui::FlatButton* b : {&btn_New_, &btn_Open_, &btn_Save_}) {
    const int bw = b->dropDown ? 34 : 24;
    Move(b->hwnd(), bx, top + 2, bw, 24);
    bx += bw;
  }
  Move(Control(ControlId::SaveSeparator), bx + 3, top + 4, 2, 20);
  bx += 8;
  for (ui::FlatButton* b : {&btn_Cut_, &btn_Copy_, &btn_Paste_, &btn_Undo_}) {
    Move(b->hwnd(), bx, top + 2, 24, 24);
    bx += 24;
  }
  Move(CheckBox1_.hwnd(), W - 28, top + 2, 24, 24);
  Move(Control(ControlId::Image4), W - 34, top + 4, 2, 20);
  const int memo2Top = top + 28;
  Move(Control(ControlId::Memo2), x + 2, memo2Top, w - 4, H - memo2Top - 20);
  Move(Control(ControlId::Label2), x + 4, H - 17, w - 80, 15);
  Move(Control(ControlId::Image2), W - 66, H - 14, 60, 10);
  Move(Control(ControlId::Image3), W - 66, H - 14, progressWidth_, 10);
}

void TVelmarPro_Api::LayoutInfoLine(int x, int y) {
  const ui::WindowDc windowDc(hwnd_);
  HDC dc = windowDc.get();
  {
    ui::SelectIn font(dc, font_.get());
    for (ControlId id : {ControlId::Label3, ControlId::Label4, ControlId::Label5}) {
      HWND label = Control(id);
      const std::wstring text = ui::GetText(label);
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      // Moved without its old picture: the whole label is painted anew.
      SetWindowPos(label, nullptr, x, y, size.cx + 1, 15, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
      InvalidateRect(label, nullptr, TRUE);
      x += size.cx + 5;
    }
  }
}

void TVelmarPro_Api::FormCreate(bool realCreation) {
  tray_.ApplyBalloon(onTheFly_.Reset());
  hotkeys_.Register(hwnd_);
  tray_.Create(hwnd_);
  // The table store, one list row per slot; the first table is selected.
  HWND list = Control(ControlId::ListBox1);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  LoadTables(store_, exeFolder_ / L"Table");
  for (const TTransTable& table : store_.Store)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TableText(table, TableCaption(table)).c_str()));
  SendMessageW(list, LB_SETCURSEL, 0, 0);

  // Memo1 white, Memo2 light blue: WM_CTLCOLOREDIT picks the brushes.
  memo2White_ = false;
  InvalidateRect(Control(ControlId::Memo1), nullptr, TRUE);
  InvalidateRect(Control(ControlId::Memo2), nullptr, TRUE);

  protocol_.ForgetRegistration();
  SetWindowTextW(Control(ControlId::Label1), (L"VelmarPro " + ui::Widen(version_)).c_str());
  ShowSelectedTable();
  // The one-shot update check, armed by the real creation only (not by a table reload).
  if (realCreation) SetTimer(hwnd_, static_cast<UINT_PTR>(TimerId::updTimer), 1000, nullptr);
}

void TVelmarPro_Api::FormShow() {
  CheckAutostart();
  programTitle_ = ui::Widen(kProgramTitle);
  SetWindowTextW(hwnd_, programTitle_.c_str());
  tray_.SetTip(programTitle_);
}

bool TVelmarPro_Api::FormClose() {
  hotkeys_.Unregister();
  const int selected = static_cast<int>(SendMessageW(Control(ControlId::ListBox1), LB_GETCURSEL, 0, 0));
  const std::filesystem::path settings = exeFolder_ / kSettingsFileName;
  if (!WriteCloseSettings(settings, selected, CheckBox1_.checked)) {
    // The window stays open, and with it the hotkeys.
    hotkeys_.Register(hwnd_);
    ui::ShowError(hwnd_, L"Unable to write to " + settings.wstring());
    return false;
  }
  protocol_.SendClosed();
  return true;
}

void TVelmarPro_Api::ShowSelectedTable() {
  const auto s = SendMessageW(Control(ControlId::ListBox1), LB_GETCURSEL, 0, 0);
  if (s < 0 || s >= store_.StoreCount()) return;
  const TTransTable& table = store_.Store[static_cast<std::size_t>(s)];
  SetWindowTextW(Control(ControlId::Label3), TableText(table, table.From).c_str());
  SetWindowTextW(Control(ControlId::Label5), TableText(table, TableInfoTarget(table)).c_str());
  Layout();
}

void TVelmarPro_Api::ListBox1Click() {
  Button1Click();
  ShowSelectedTable();
}

void TVelmarPro_Api::ListBox1DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  ui::SelectIn font(dc, listFont_.get());
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

  const COLORREF fill = selected ? RGB(58, 162, 239) : RGB(243, 249, 252);
  const COLORREF border = selected ? RGB(17, 112, 168) : RGB(243, 249, 252);
  {
    ui::Brush brush(CreateSolidBrush(fill));
    ui::Pen pen(CreatePen(PS_SOLID, 1, border));
    ui::SelectIn b(dc, brush.get());
    ui::SelectIn p(dc, pen.get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, fill);

  const auto length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  std::wstring caption(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
  SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(caption.data()));
  caption.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
  {
    ui::SelectIn bold(dc, listBold_.get());
    TextOutW(dc, r.left + 31, r.top + 1, caption.c_str(), static_cast<int>(caption.size()));
  }
  const TTransTable* table =
      item.itemID < store_.Store.size() ? &store_.Store[item.itemID] : nullptr;
  {
    ui::SelectIn italic(dc, listItalic_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    if (table) {
      const std::wstring description = TableText(*table, table->Description);
      TextOutW(dc, r.left + 36, r.top + 1 + size.cy, description.c_str(), static_cast<int>(description.size()));
    }
  }
  if (table) {
    // A number outside the catalogue draws no flag.
    const auto drawFlag = [&](int number, int x, int y) {
      if (number >= 0 && number < kFlagCount) flags_.Draw(dc, x, y, 16 * number, 0, 16, 16);
    };
    drawFlag(table->FromIcon, r.left + 2, r.top + 1);
    drawFlag(table->ToIcon, r.left + 12, r.top + 13);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

void TVelmarPro_Api::DrawStatic(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  switch (static_cast<ControlId>(item.CtlID)) {
    case ControlId::Image1:
      logo_.Draw(dc, r.left, r.top);
      break;
    case ControlId::Label1: {
      // Embossed: the highlight text, and over it the dark shadow one pixel up and left.
      const std::wstring text = ui::GetText(item.hwndItem);
      ui::SelectIn font(dc, titleFont_.get());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      TextOutW(dc, r.left + 1, r.top + 1, text.c_str(), static_cast<int>(text.size()));
      SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));
      TextOutW(dc, r.left, r.top, text.c_str(), static_cast<int>(text.size()));
      break;
    }
    case ControlId::Label3:
    case ControlId::Label4:
    case ControlId::Label5: {
      // The table's languages in the highlight colour, the ">" between them plain.
      const std::wstring text = ui::GetText(item.hwndItem);
      ui::SelectIn font(dc, font_.get());
      SetBkMode(dc, TRANSPARENT);
      const bool plain = item.CtlID == static_cast<UINT>(ControlId::Label4);
      SetTextColor(dc, GetSysColor(plain ? COLOR_WINDOWTEXT : COLOR_HIGHLIGHT));
      RECT box = r;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
      break;
    }
    case ControlId::Image2:
      progressFrame_.Draw(dc, r.left, r.top);
      break;
    case ControlId::Image3:
      progressFrame_.Draw(dc, r.left, r.top, 0, 0, r.right - r.left, 10);
      progressFill_.Draw(dc, r.left, r.top, 0, 0, r.right - r.left, 10);
      break;
    default:
      break;
  }
}

void TVelmarPro_Api::ShowModeMenu() {
  CheckMenuItem(PopupMenu2_.get(), Id(ControlId::N3), outputOptions_.underscore ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(PopupMenu2_.get(), Id(ControlId::N4), outputOptions_.hyphen ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(PopupMenu2_.get(), Id(ControlId::N5), outputOptions_.compress ? MF_CHECKED : MF_UNCHECKED);
  RECT r;
  GetWindowRect(sSpeedButton2_.hwnd(), &r);
  const auto command = static_cast<ControlId>(
      TrackPopupMenu(PopupMenu2_.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, hwnd_, nullptr));
  if (command != ControlId::N3 && command != ControlId::N4 && command != ControlId::N5) return;
  const OutputOption picked = command == ControlId::N3   ? OutputOption::Underscore
                              : command == ControlId::N4 ? OutputOption::Hyphen
                                                         : OutputOption::Compress;
  outputOptions_ = ToggleOutputOption(outputOptions_, picked);
}

void TVelmarPro_Api::BringForward() {
  // A window that was never shown (a start with "-autorun") stays hidden.
  if (IsIconic(hwnd_)) RestoreWindow();
  HWND last = GetLastActivePopup(hwnd_);
  if (IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

void TVelmarPro_Api::Memo2Change() {
  if (inCompletion_) return;  // the completion refreshes the status line itself
  const std::string text = ui::ToCp1251(ui::GetText(Control(ControlId::Memo2)));
  SetWindowTextW(Control(ControlId::Label2),
                 ui::FromCp1251(StatusLine(text, ui::ToCp1251(decimalSeparator_))).c_str());
}

LRESULT TVelmarPro_Api::OnCtlColor(HDC dc, HWND control) {
  const auto id = static_cast<ControlId>(GetDlgCtrlID(control));
  switch (id) {
    case ControlId::Memo1:
    case ControlId::Memo2:
      return reinterpret_cast<LRESULT>(MemoColours(id, dc));
    case ControlId::Label2:
      SetTextColor(dc, label2Look_ == LabelLook::Busy    ? kRunLabelColour
                       : label2Look_ == LabelLook::Hover ? GetSysColor(COLOR_MENUHILIGHT)
                                                         : GetSysColor(COLOR_APPWORKSPACE));
      break;
    default:
      break;
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void TVelmarPro_Api::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_LISTBOX)
    ListBox1DrawItem(item);
  else if (item.CtlType == ODT_BUTTON) {
    if (ui::FlatButton* b = Button(static_cast<int>(item.CtlID))) b->Draw(item);
  } else if (item.CtlType == ODT_STATIC)
    DrawStatic(item);
}

void TVelmarPro_Api::OnCommand(int id, int code, LPARAM control) {
  // The tray menu's commands come without a control (the other menus return theirs).
  if (code == 0 && control == 0 && TrayCommand(id)) return;
  if (id == Id(ControlId::ListBox1)) {
    if (code == LBN_SELCHANGE) ListBox1Click();
    else if (code == LBN_DBLCLK) ListBox1DblClick();
  } else if (id == Id(ControlId::Memo1) || id == Id(ControlId::Memo2)) {
    if (code == EN_CHANGE) MemoChanged(static_cast<ControlId>(id));
  } else if (id == Id(ControlId::Label2)) {
    if (code == STN_CLICKED) Label2Click();
  } else if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
    if (ui::FlatButton* b = Button(id)) b->Click();
  }
}

LRESULT TVelmarPro_Api::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // A registered message has no constant value to switch on.
  if (message == TaskbarCreatedMessage() && message != 0) {
    tray_.Readd();
    return 0;
  }
  switch (message) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_SIZE:
      // Minimised, the window and its taskbar button go: only the tray icon
      // stays. Without a notification area there is no icon to bring it back.
      if (wParam == SIZE_MINIMIZED && tray_.HasIcon()) ShowWindow(hwnd_, SW_HIDE);
      if (GetDlgItem(hwnd_, Id(ControlId::Memo2))) Layout();
      return 0;
    case WM_HOTKEY:
      OnHotKey(wParam);
      return 0;
    case kTrayCallbackMessage:
      OnTrayIcon(lParam);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {600, 340};
      return 0;
    }
    case WM_SHOWWINDOW:
      if (wParam) FormShow();
      break;
    case WM_SETFOCUS:
      SetFocus(Control(ControlId::Memo1));
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Control(ControlId::Label2)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_LISTBOX) measure->itemHeight = kRowHeight;
      return TRUE;
    }
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLOREDIT:
      return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
      return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(lightBlue_.get());
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), lParam);
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == Control(ControlId::ListBox1)) {
        ListBox1ContextPopup(lParam);
        return 0;
      }
      break;
    case WM_COPYDATA:
      if (const auto command = ProtocolServer::Receive(lParam)) ReceiveMessage(*command);
      return 0;
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(TimerId::tmr_AutoVelmar)) {
        tmr_AutoVelmarTimer();
        return 0;
      }
      if (wParam == static_cast<UINT_PTR>(TimerId::updTimer)) {
        updTimerTimer();
        return 0;
      }
      break;
    case kRunProgressMessage:
      if (run_.IsCurrent(static_cast<std::uint64_t>(lParam))) ShowProgress(static_cast<std::int64_t>(wParam), false);
      return 0;
    case kRunDoneMessage:
      if (run_.IsCurrent(static_cast<std::uint64_t>(lParam))) CompleteRun();
      return 0;
    case WM_CLOSE:
      if (FormClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      tray_.Remove();
      run_.Stop();  // a run still working is stopped; its result is not wanted any more
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
