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
constexpr int kSplitterMinimum = 100;
constexpr int kRowHeight = 30;

int Id(ControlId id) { return static_cast<int>(id); }

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

}  // namespace

TVelmarPro_Api::TVelmarPro_Api() = default;

TVelmarPro_Api::~TVelmarPro_Api() {
  run_.Stop();
}

HWND TVelmarPro_Api::Control(ControlId id) const { return GetDlgItem(hwnd_, Id(id)); }

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
  SetFocus(boxes_.Source().hwnd());
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
}

void TVelmarPro_Api::CreateControls() {
  using Look = ui::FlatButton::Look;
  using Box = TextBoxes::Box;
  const auto drawn = [this](ui::Label& label, ControlId id, DWORD style,
                            std::function<void(const DRAWITEMSTRUCT&)> draw) {
    label.onDrawItem = std::move(draw);
    label.Create(hwnd_, Id(id), L"", SS_OWNERDRAW | style);
  };

  // Left column.
  AddButton(sSpeedButton1_, ControlId::sSpeedButton1, L"Загрузить модули", Look::IconLeft, L"MODULES");
  AddButton(sSpeedButton3_, ControlId::sSpeedButton3, L"Редактор таблиц", Look::IconOnly, L"EDITOR");
  ListBox1_.onSelect = [this] { ListBox1Click(); };
  ListBox1_.onDoubleClick = [this] { ListBox1DblClick(); };
  ListBox1_.onDrawItem = [this](const DRAWITEMSTRUCT& item) { ListBox1DrawItem(item); };
  ListBox1_.Create(hwnd_, Id(ControlId::ListBox1),
                   WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT);
  SendMessageW(ListBox1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
  ListBox1_.SetBackground(kLightBlue);
  vSplitter_.Create(hwnd_, Id(ControlId::VerticalSplitter), ui::Splitter::Orientation::Vertical);
  vSplitter_.onDrag = [this](int x) {
    leftWidth_ = x;
    Layout();
  };

  // Upper part: logo, title, toolbar, table information line, source box.
  drawn(Image1_, ControlId::Image1, 0, [this](const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    logo_.Draw(item.hDC, item.rcItem.left, item.rcItem.top);
  });
  drawn(Label1_, ControlId::Label1, 0, [this](const DRAWITEMSTRUCT& item) { DrawTitle(item); });
  Label1_.SetText(L"VelmarPro");
  SendMessageW(Label1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
  Bevel1_.Create(hwnd_, Id(ControlId::Bevel1), L"", SS_ETCHEDHORZ);
  AddButton(btn_Velmar_, ControlId::btn_Velmar, L"Транслит", Look::IconAbove, L"TRANSLIT");
  AddButton(sSpeedButton2_, ControlId::sSpeedButton2, L"Режим", Look::IconAbove, L"MODE");
  sSpeedButton2_.dropDown = true;
  AddButton(sSpeedButton4_, ControlId::sSpeedButton4, L"Справка", Look::IconAbove, L"HELP");
  AddButton(btn_About_, ControlId::btn_About, L"О програ...", Look::IconAbove, L"ABOUT");
  AddButton(sSpeedButton9_, ControlId::sSpeedButton9, L"Выход", Look::IconAbove, L"EXIT");
  Bevel3_.Create(hwnd_, Id(ControlId::Bevel3), L"", SS_ETCHEDHORZ);
  // The information line: three labels side by side that draw themselves, so
  // each paints exactly the text it was measured for and nothing is left of
  // a text that stood there before. The table's languages in the highlight
  // colour, the ">" between them plain.
  drawn(Label3_, ControlId::Label3, 0, [this](const DRAWITEMSTRUCT& item) { DrawInfoText(item, COLOR_HIGHLIGHT); });
  drawn(Label4_, ControlId::Label4, 0, [this](const DRAWITEMSTRUCT& item) { DrawInfoText(item, COLOR_WINDOWTEXT); });
  Label4_.SetText(L">");
  drawn(Label5_, ControlId::Label5, 0, [this](const DRAWITEMSTRUCT& item) { DrawInfoText(item, COLOR_HIGHLIGHT); });
  boxes_.Create(Box::Source, hwnd_, memoFont_.get());
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
  SaveSeparator_.Create(hwnd_, Id(ControlId::SaveSeparator), L"", SS_ETCHEDVERT);
  AddButton(btn_Cut_, ControlId::btn_Cut, L"Вырезать", Look::IconOnly, L"CUT");
  AddButton(btn_Copy_, ControlId::btn_Copy, L"Копировать", Look::IconOnly, L"COPY");
  AddButton(btn_Paste_, ControlId::btn_Paste, L"Вставить", Look::IconOnly, L"PASTE");
  AddButton(btn_Undo_, ControlId::btn_Undo, L"Отменить", Look::IconOnly, L"UNDO");
  Image4_.Create(hwnd_, Id(ControlId::Image4), L"", SS_ETCHEDVERT);
  AddButton(CheckBox1_, ControlId::CheckBox1, L"Автоматический транслит", Look::IconOnly, L"AUTO");
  CheckBox1_.checkable = true;
  CheckBox1_.checked = true;
  boxes_.Create(Box::Result, hwnd_, memoFont_.get());
  Label2_.onClick = [this] { Label2Click(); };
  Label2_.onMouseMove = [this] { Label2MouseMove(); };
  Label2_.onMouseLeave = [this] { Label2MouseLeave(); };
  Label2_.Create(hwnd_, Id(ControlId::Label2));
  drawn(Image2_, ControlId::Image2, WS_CLIPSIBLINGS, [this](const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    progressFrame_.Draw(item.hDC, item.rcItem.left, item.rcItem.top);
  });
  drawn(Image3_, ControlId::Image3, WS_CLIPSIBLINGS, [this](const DRAWITEMSTRUCT& item) {
    const RECT& r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    progressFrame_.Draw(item.hDC, r.left, r.top, 0, 0, r.right - r.left, 10);
    progressFill_.Draw(item.hDC, r.left, r.top, 0, 0, r.right - r.left, 10);
  });
  SetWindowPos(Image3_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Image2_.Show(false);
  Image3_.Show(false);

  btn_Velmar_.onClick = [this] { Button1Click(); };
  sSpeedButton2_.onClick = [this] { sSpeedButton2Click(); };
  sSpeedButton9_.onClick = [this] { SendMessageW(hwnd_, WM_CLOSE, 0, 0); };
  PopupMenu2_.Create();
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
  const auto move = [](HWND control, int x, int y, int w, int h) {
    SetWindowPos(control, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
  };

  // Left column.
  sSpeedButton1_.Move(2, 2, leftWidth_ - 34, 26);
  sSpeedButton3_.Move(leftWidth_ - 30, 2, 28, 26);
  ListBox1_.Move(2, 30, leftWidth_ - 4, H - 32);
  move(vSplitter_.hwnd(), leftWidth_, 0, 2, H);

  // Upper part.
  const int x = leftWidth_ + 2, w = W - x;
  Image1_.Move(x + 4, 4, 64, 64);
  Label1_.Move(x + 74, 4, w - 78, 22);
  Bevel1_.Move(x + 74, 27, w - 78, 2);
  int bx = x + 74;
  for (ui::FlatButton* b : {&btn_Velmar_, &sSpeedButton2_, &sSpeedButton4_, &btn_About_, &sSpeedButton9_}) {
    b->Move(bx, 30, 70, 38);
    bx += 70;
  }
  Bevel3_.Move(x + 4, 71, w - 8, 2);
  LayoutInfoLine(x + 6, 76);
  const int memo1Top = 94;
  boxes_.Source().Move(x + 2, memo1Top, w - 4, upperHeight_ - memo1Top);
  move(hSplitter_.hwnd(), x, upperHeight_, w, 3);

  // Lower part.
  const int top = upperHeight_ + 3;
  bx = x + 2;
  for (ui::FlatButton* b : {&btn_New_, &btn_Open_, &btn_Save_}) {
    const int bw = b->dropDown ? 34 : 24;
    b->Move(bx, top + 2, bw, 24);
    bx += bw;
  }
  SaveSeparator_.Move(bx + 3, top + 4, 2, 20);
  bx += 8;
  for (ui::FlatButton* b : {&btn_Cut_, &btn_Copy_, &btn_Paste_, &btn_Undo_}) {
    b->Move(bx, top + 2, 24, 24);
    bx += 24;
  }
  CheckBox1_.Move(W - 28, top + 2, 24, 24);
  Image4_.Move(W - 34, top + 4, 2, 20);
  const int memo2Top = top + 28;
  boxes_.Result().Move(x + 2, memo2Top, w - 4, H - memo2Top - 20);
  Label2_.Move(x + 4, H - 17, w - 80, 15);
  Image2_.Move(W - 66, H - 14, 60, 10);
  Image3_.Move(W - 66, H - 14, progressWidth_, 10);
}

void TVelmarPro_Api::LayoutInfoLine(int x, int y) {
  const ui::WindowDc windowDc(hwnd_);
  HDC dc = windowDc.get();
  {
    ui::SelectIn font(dc, font_.get());
    for (const ui::Label* label : {&Label3_, &Label4_, &Label5_}) {
      const std::wstring text = label->Text();
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      // Moved without its old picture: the whole label is painted anew.
      SetWindowPos(label->hwnd(), nullptr, x, y, size.cx + 1, 15, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
      InvalidateRect(label->hwnd(), nullptr, TRUE);
      x += size.cx + 5;
    }
  }
}

void TVelmarPro_Api::FormCreate(bool realCreation) {
  tray_.ApplyBalloon(onTheFly_.Reset());
  hotkeys_.Register(hwnd_);
  tray_.Create(hwnd_);
  // The table store, one list row per slot; the first table is selected.
  ListBox1_.Clear();
  LoadTables(store_, exeFolder_ / L"Table");
  for (const TTransTable& table : store_.Store) ListBox1_.Add(TableText(table, TableCaption(table)));
  ListBox1_.Select(0);

  // Memo1 white, Memo2 light blue.
  boxes_.ResetColours();

  protocol_.ForgetRegistration();
  Label1_.SetText(L"VelmarPro " + ui::Widen(version_));
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
  const int selected = ListBox1_.Selected();
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
  const int s = ListBox1_.Selected();
  if (s < 0 || s >= store_.StoreCount()) return;
  const TTransTable& table = store_.Store[static_cast<std::size_t>(s)];
  Label3_.SetText(TableText(table, table.From));
  Label5_.SetText(TableText(table, TableInfoTarget(table)));
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

  const std::wstring caption = ListBox1_.ItemText(static_cast<int>(item.itemID));
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

// Embossed: the highlight text, and over it the dark shadow one pixel up and left.
void TVelmarPro_Api::DrawTitle(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = ui::GetText(item.hwndItem);
  ui::SelectIn font(dc, titleFont_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  TextOutW(dc, r.left + 1, r.top + 1, text.c_str(), static_cast<int>(text.size()));
  SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));
  TextOutW(dc, r.left, r.top, text.c_str(), static_cast<int>(text.size()));
}

void TVelmarPro_Api::DrawInfoText(const DRAWITEMSTRUCT& item, int colour) {
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = ui::GetText(item.hwndItem);
  ui::SelectIn font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(colour));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void TVelmarPro_Api::sSpeedButton2Click() { PopupMenu2_.Show(hwnd_, sSpeedButton2_.hwnd()); }

void TVelmarPro_Api::BringForward() {
  // A window that was never shown (a start with "-autorun") stays hidden.
  if (IsIconic(hwnd_)) RestoreWindow();
  HWND last = GetLastActivePopup(hwnd_);
  if (IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

LRESULT TVelmarPro_Api::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (tray_.ReaddOnTaskbarCreated(message)) return 0;
  switch (message) {
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_SIZE:
      // Minimised, the window and its taskbar button go: only the tray icon
      // stays. Without a notification area there is no icon to bring it back.
      if (wParam == SIZE_MINIMIZED && tray_.HasIcon()) ShowWindow(hwnd_, SW_HIDE);
      if (boxes_.Result().hwnd()) Layout();
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
      SetFocus(boxes_.Source().hwnd());
      return 0;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_LISTBOX) measure->itemHeight = kRowHeight;
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      // The labels and lines without colours of their own.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
      // The controls handle their own notifications; the tray menu's commands
      // come without a control (the other menus return theirs).
      if (HIWORD(wParam) == 0 && lParam == 0) TrayCommand(LOWORD(wParam));
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == ListBox1_.hwnd()) {
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
