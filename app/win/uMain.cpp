#include "uMain.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "app_logic.h"
#include "cp1251.h"
#include "http.h"
#include "profile.h"
#include "program_path.h"
#include "run_progress.h"
#include "run_text.h"
#include "table_file.h"
#include "text.h"
#include "text_stats.h"
#include "uDownloadModules.h"

namespace velmar {
namespace {

constexpr int kRowHeight = 30;
// The left column's width and the upper part's height when the window opens.
constexpr int kLeftWidth = 217;
constexpr int kUpperHeight = 202;

int Id(ControlId id) { return static_cast<int>(id); }

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
  exeFolder_ = ui::ProgramPath().parent_path();
  version_ = VersionString(VersionResource());
  decimalSeparator_ = ui::UserDecimalSeparator();
  server_ = ServerAddress(exeFolder_ / kSettingsFileName);
  site_ = SiteAddress(exeFolder_ / kSettingsFileName);
  const unsigned long timeout = NetTimeoutMs(exeFolder_ / kSettingsFileName);
  PopupMenu2_.SetCapitalWords(CapitalWords(exeFolder_ / kSettingsFileName));
  online::SetTimeouts({timeout, timeout, DownloadLimitMs(exeFolder_ / kSettingsFileName)});

  // The window opens on the primary monitor, at its scale. Every picture is
  // decoded before the window exists: decoding may pump messages.
  dpi_ = ui::ScaleForWindow(nullptr);
  LoadPictures();
  MakeFonts();

  Register(kClassName, LoadIconW(ui::Instance(), MAKEINTRESOURCEW(1)), GetSysColorBrush(COLOR_BTNFACE), nullptr);
  // 668 by 378 at 96 DPI with its frame: the client area is what scales.
  constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const SIZE frame96 = ui::OuterSize({0, 0}, kStyle, 0, ui::Dpi());
  const SIZE size = ui::OuterSize({dpi_(668 - frame96.cx), dpi_(378 - frame96.cy)}, kStyle, 0, dpi_);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
  leftWidth_ = dpi_(kLeftWidth);
  upperHeight_ = dpi_(kUpperHeight);
  CreateWindowOf(kClassName, L"", kStyle, 0, x, y, size.cx, size.cy, nullptr, nullptr);
  protocol_.SetWindow(hwnd_);
  CreateControls();
  CreateEditCommands();
  CreateFileDrop();
  FormCreate(true);
  Layout();
}

void TVelmarPro_Api::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
  SetFocus(boxes_.Source().hwnd());
}

void TVelmarPro_Api::LoadPictures() {
  flags_ = ui::Image::FromResource(L"FLAGS16", dpi_);
  logo_ = ui::Image::FromResource(L"LOGO64", dpi_);
  progressFrame_ = ui::Image::FromResource(L"PROGRESS_FRAME", dpi_);
  progressFill_ = ui::Image::FromResource(L"PROGRESS_FILL", dpi_);
  icons_ = ui::LoadIconPairs({L"MODULES", L"EDITOR", L"TRANSLIT", L"MODE", L"HELP", L"ABOUT", L"EXIT", L"NEW", L"OPEN",
                              L"SAVE", L"CUT", L"COPY", L"PASTE", L"UNDO", L"AUTO"},
                             dpi_);
}

void TVelmarPro_Api::MakeFonts() {
  font_ = ui::MakeFont({L"MS Sans Serif", -11}, dpi_);
  listFont_ = ui::MakeFont({L"Arial", -11}, dpi_);
  listBold_ = ui::MakeFont({L"Arial", -11, true}, dpi_);
  listItalic_ = ui::MakeFont({L"Arial", -11, false, true}, dpi_);
  titleFont_ = ui::MakeFont({L"Arial", -16, true}, dpi_);
  memoFont_ = ui::MakeFont({L"Microsoft Sans Serif", -12}, dpi_);
}

// On a monitor of another scale: the splitters keep their share, and every
// font and picture is made again at the new scale (the icons of the buttons
// are the same objects, loaded anew).
void TVelmarPro_Api::DpiChanged(ui::Dpi previous) {
  leftWidth_ = MulDiv(leftWidth_, dpi_.Value(), previous.Value());
  upperHeight_ = MulDiv(upperHeight_, dpi_.Value(), previous.Value());
  const ui::Font oldFont = std::move(font_);
  LoadPictures();
  MakeFonts();
  ui::ReplaceChildFonts(hwnd_, oldFont.get(), font_.get());
  const auto setFont = [](HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  };
  setFont(ListBox1_.hwnd(), listFont_.get());
  SendMessageW(ListBox1_.hwnd(), LB_SETITEMHEIGHT, 0, dpi_(kRowHeight));
  setFont(Label1_.hwnd(), titleFont_.get());
  setFont(boxes_.Source().hwnd(), memoFont_.get());
  setFont(boxes_.Result().hwnd(), memoFont_.get());
  Label2_.SetDpi(dpi_);
  Layout();
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
  KillTimer(hwnd_, static_cast<UINT_PTR>(TimerId::listClickRun));
  listClickRunPending_ = false;
  if (GetKeyState(VK_LBUTTON) & 0x8000) {
    listClickRunPending_ = true;
    SetTimer(hwnd_, static_cast<UINT_PTR>(TimerId::listClickRun), GetDoubleClickTime(), nullptr);
  } else {
    Button1Click();
  }
  ShowSelectedTable();
}

void TVelmarPro_Api::listClickRunTimer() {
  KillTimer(hwnd_, static_cast<UINT_PTR>(TimerId::listClickRun));
  if (!listClickRunPending_) return;
  listClickRunPending_ = false;
  Button1Click();
}

void TVelmarPro_Api::sSpeedButton2Click() {
  const bool capitalWords = PopupMenu2_.Options().capitalWords;
  PopupMenu2_.Show(hwnd_, sSpeedButton2_.hwnd());
  // The capitals rule is a setting of its own, kept in the settings file.
  if (PopupMenu2_.Options().capitalWords != capitalWords)
    WriteCapitalWords(exeFolder_ / kSettingsFileName, PopupMenu2_.Options().capitalWords);
}

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
      info->ptMinTrackSize = {dpi_(600), dpi_(340)};
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
      if (measure->CtlType == ODT_LISTBOX) measure->itemHeight = static_cast<UINT>(dpi_(kRowHeight));
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      // The labels and lines without colours of their own.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND: {
      // The controls handle their own notifications. Without a control come
      // the tray menu's commands (the other menus return theirs), and what
      // another program posts with a control's id and no handle, which that
      // control handles as its own.
      if (lParam != 0) return 0;
      if (HIWORD(wParam) == 0 && TrayCommand(LOWORD(wParam))) return 0;
      ui::ForwardCommandById(hwnd_, wParam);
      return 0;
    }
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == ListBox1_.hwnd()) {
        ListBox1ContextPopup(lParam);
        return 0;
      }
      break;
    case WM_DROPFILES:
      // A drag over the table list may have raised a row's tip, which no
      // mouse move takes away while the drop's questions are shown.
      if (HWND tip = ListBox1_.TipWindow()) SendMessageW(tip, TTM_POP, 0, 0);
      drop_.OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
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
      if (wParam == static_cast<UINT_PTR>(TimerId::listClickRun)) {
        listClickRunTimer();
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
      // The tray's "Выход", an installer's close: unsaved changes in the
      // editor are asked about first, and "Отмена" keeps the program.
      if (!ConfirmEditorExit(true)) return 0;
      if (FormClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_QUERYENDSESSION:
      return ConfirmEditorExit(false) ? TRUE : FALSE;
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
