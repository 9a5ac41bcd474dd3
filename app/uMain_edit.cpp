// The main window's editing commands and view options: the active text box
// and its colours, New, Open, the two saves, the standard edit operations of
// the toolbar and the context menu, automatic conversion, help and the
// buttons that open the other windows.
#include "uMain.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app_logic.h"
#include "cp1251.h"
#include "edit_rules.h"
#include "text.h"
#include "uAbout.h"
#include "utf8.h"

namespace velmar {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightBlue = RGB(242, 250, 255);  // $FFFAF2
constexpr UINT_PTR kAutoTimer = static_cast<UINT_PTR>(TimerId::tmr_AutoVelmar);
constexpr UINT kAutoInterval = 1000;
// Both file dialogs offer every file.
constexpr wchar_t kFileFilter[] = L"Все файлы (*.*)\0*.*\0";

int Id(ControlId id) { return static_cast<int>(id); }

// The system's text for an error code, without the line break it ends with.
std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : L"System error " + std::to_wstring(error);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

// "Cannot open file "C:\x.txt". The process cannot access the file ..."
// Some system texts name the file themselves ("Bad EXE format for %1.").
std::wstring FileErrorText(const wchar_t* what, const std::wstring& path, DWORD error) {
  return std::wstring(what) + L" \"" + path + L"\". " + FillPathInsert(SystemErrorText(error), path);
}

// Writes a file whole or not at all: the bytes go to a temporary file in the
// same folder, which replaces the old file only once everything is written, so
// a full disk or a broken write leaves the old file as it was. Returns the
// error to show, or nothing.
std::wstring WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  const std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = L".";
  wchar_t temp[MAX_PATH];
  if (!GetTempFileNameW(folder.c_str(), L"vel", 0, temp)) return FileErrorText(L"Cannot create file", path, GetLastError());
  DWORD error = ERROR_SUCCESS;
  {
    const ui::KernelHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      error = GetLastError();
    } else {
      DWORD written = 0;
      if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                             written != bytes.size()))
        error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_DISK_FULL;
      else if (!FlushFileBuffers(file.get()))
        error = GetLastError();
    }
  }
  if (error == ERROR_SUCCESS && !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error == ERROR_SUCCESS) return {};
  DeleteFileW(temp);
  return FileErrorText(L"Cannot write file", path, error);
}

// The whole file as bytes; others may read it meanwhile but not write.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, DWORD& error) {
  const ui::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return false;
  }
  bytes.clear();
  char buffer[64 * 1024];
  while (true) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      error = GetLastError();  // not half a file
      return false;
    }
    if (got == 0) return true;
    bytes.append(buffer, got);
  }
}

std::wstring FileName(const std::wstring& path) { return std::filesystem::path(path).filename().wstring(); }

// The path the user chose in a file dialog, or nothing when cancelled.
std::wstring ChooseFile(HWND owner, bool save) {
  std::wstring path(32 * 1024, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFileFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  // No default extension; the save dialog asks nothing before overwriting.
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!save) dialog.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return {};
  path.resize(path.find(L'\0'));
  return path;
}

}  // namespace

void TVelmarPro_Api::CreateEditCommands() {
  btn_New_.onClick = [this] { btn_NewClick(); };
  btn_Open_.onClick = [this] { btn_OpenClick(); };
  btn_Save_.onClick = [this] { ShowSaveMenu(); };
  // The toolbar buttons take the keyboard focus; it goes back to the box they acted on.
  const auto onBox = [this](void (TVelmarPro_Api::*command)()) {
    return [this, command] {
      (this->*command)();
      SetFocus(EditTarget());
    };
  };
  btn_Cut_.onClick = onBox(&TVelmarPro_Api::btn_CutClick);
  btn_Copy_.onClick = onBox(&TVelmarPro_Api::btn_CopyClick);
  btn_Paste_.onClick = onBox(&TVelmarPro_Api::btn_PasteClick);
  btn_Undo_.onClick = onBox(&TVelmarPro_Api::btn_UndoClick);
  CheckBox1_.onClick = [this] { CheckBox1Click(); };
  sSpeedButton4_.onClick = [this] { sSpeedButton4Click(); };
  btn_About_.onClick = [this] { btn_AboutClick(); };
  sSpeedButton3_.onClick = [this] { sSpeedButton3Click(); };
  sSpeedButton1_.onClick = [this] { sSpeedButton1Click(); };

  PopupMenu1_.Reset(CreatePopupMenu());
  AppendMenuW(PopupMenu1_.get(), MF_STRING, Id(ControlId::N1), L"Сохранить оригинал...");
  AppendMenuW(PopupMenu1_.get(), MF_STRING, Id(ControlId::N2), L"Сохранить перевод...");

  PopupMenu3_.Reset(CreatePopupMenu());
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::q1), L"Сумма прописью [Рубли]");
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N6), L"Сумма прописью [Гривна]");
  AppendMenuW(PopupMenu3_.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N8), L"Отменить");
  AppendMenuW(PopupMenu3_.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N10), L"Вырезать");
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N11), L"Копировать");
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N12), L"Вставить");
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N13), L"Удалить");
  AppendMenuW(PopupMenu3_.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N15), L"Выделить все");
  AppendMenuW(PopupMenu3_.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(PopupMenu3_.get(), MF_STRING, Id(ControlId::N17), L"Свойства");

  for (ControlId box : {ControlId::Memo1, ControlId::Memo2})
    SetWindowSubclass(Control(box), MemoSubclass, static_cast<UINT_PTR>(box), reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TVelmarPro_Api::MemoSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) noexcept {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, MemoSubclass, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)));
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  try {
    return reinterpret_cast<TVelmarPro_Api*>(self)->MemoMessage(hwnd, message, wParam, lParam);
  } catch (const std::exception& e) {
    ui::ShowError(GetParent(hwnd), ui::Widen(e.what()));
  } catch (...) {
    ui::ShowError(GetParent(hwnd), L"Unexpected error");
  }
  return 0;
}

LRESULT TVelmarPro_Api::MemoMessage(HWND memo, UINT message, WPARAM wParam, LPARAM lParam) {
  const ActiveBox box = GetDlgCtrlID(memo) == Id(ControlId::Memo2) ? ActiveBox::Memo2 : ActiveBox::Memo1;
  switch (message) {
    case WM_LBUTTONDOWN:
      MemoClick(box);
      break;
    case WM_CHAR:
      SetActiveBox(box);  // a key typed into the box
      break;
    case WM_CONTEXTMENU:
      MemoClick(box);  // before the menu opens, so its commands act on this box
      ShowContextMenu(memo, lParam);
      return 0;
    default:
      break;
  }
  return DefSubclassProc(memo, message, wParam, lParam);
}

void TVelmarPro_Api::SetActiveBox(ActiveBox box) { activeBox_ = box; }

void TVelmarPro_Api::MemoClick(ActiveBox box) {
  SetActiveBox(box);
  const bool memo2White = box == ActiveBox::Memo2;
  if (memo2White == memo2White_) return;
  memo2White_ = memo2White;
  InvalidateRect(Control(ControlId::Memo1), nullptr, TRUE);
  InvalidateRect(Control(ControlId::Memo2), nullptr, TRUE);
}

HBRUSH TVelmarPro_Api::MemoColours(ControlId box, HDC dc) {
  const bool white = (box == ControlId::Memo2) == memo2White_;
  SetBkColor(dc, white ? kWhite : kLightBlue);
  return white ? white_.get() : lightBlue_.get();
}

// Before the user has chosen a box, the commands act on the source box.
HWND TVelmarPro_Api::EditTarget() const {
  return Control(activeBox_ == ActiveBox::Memo2 ? ControlId::Memo2 : ControlId::Memo1);
}

void TVelmarPro_Api::ShowContextMenu(HWND memo, LPARAM where) {
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (where == -1) {  // from the keyboard: at the box's top left corner
    at = {4, 4};
    ClientToScreen(memo, &at);
  }
  const auto command = static_cast<ControlId>(TrackPopupMenu(
      PopupMenu3_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, hwnd_, nullptr));
  switch (command) {
    case ControlId::q1:
      AmountToWords(Currency::kRubles);
      break;
    case ControlId::N6:
      AmountToWords(Currency::kHryvnias);
      break;
    case ControlId::N8:
      btn_UndoClick();
      break;
    case ControlId::N10:
      btn_CutClick();
      break;
    case ControlId::N11:
      btn_CopyClick();
      break;
    case ControlId::N12:
      btn_PasteClick();
      break;
    case ControlId::N13:
      N13Click();
      break;
    case ControlId::N15:
      N15Click();
      break;
    case ControlId::N17:
      N17Click();
      break;
    default:
      break;
  }
}

bool TVelmarPro_Api::SetBoxText(ControlId box, const std::wstring& text) {
  settingBoxText_ = true;
  const bool done = SetWindowTextW(Control(box), text.c_str()) != FALSE;
  settingBoxText_ = false;
  return done;
}

void TVelmarPro_Api::SetCaption(const std::wstring& caption) {
  // The window's caption is also its taskbar text; the tray icon's hint follows it.
  SetWindowTextW(hwnd_, caption.c_str());
  tray_.SetTip(caption);
}

void TVelmarPro_Api::btn_NewClick() {
  SetCaption(programTitle_.empty() ? ui::Widen(kProgramTitle) : programTitle_);
  // Emptying the boxes is no edit: the active box stays, no run is armed.
  SetBoxText(ControlId::Memo1, L"");
  SetBoxText(ControlId::Memo2, L"");
  Memo2Change();
}

void TVelmarPro_Api::btn_OpenClick() {
  const std::wstring path = ChooseFile(hwnd_, false);
  if (path.empty()) return;
  SetBoxText(ControlId::Memo2, L"");
  Memo2Change();  // the status line describes the emptied box, whether a run follows or not
  SetCaption((programTitle_.empty() ? ui::Widen(kProgramTitle) : programTitle_) + L" - " + FileName(path));

  std::string bytes;
  DWORD error = 0;
  if (!ReadWholeFile(path, bytes, error)) {
    ui::ShowError(hwnd_, FileErrorText(L"Cannot open file", path, error));
    return;
  }
  // A file with the UTF-8 byte order mark (as a save writes text that
  // Windows-1251 cannot hold) is read as UTF-8; every other file as Windows-1251.
  const std::wstring text = std::string_view(bytes).starts_with(kUtf8ByteOrderMark)
                                ? ui::Widen(NormaliseLineBreaks(bytes.substr(kUtf8ByteOrderMark.size())))
                                : ui::FromCp1251(NormaliseLineBreaks(bytes));
  const bool changed = text != ui::GetText(Control(ControlId::Memo1));
  if (!SetBoxText(ControlId::Memo1, text)) {
    ui::ShowError(hwnd_, L"Text exceeds memo capacity");
    return;
  }
  if (changed) Memo1Change();
  // The run starts at once; the timer the change armed would only repeat it.
  if (CheckBox1_.checked) tmr_AutoVelmarTimer();
}

void TVelmarPro_Api::ShowSaveMenu() {
  RECT r;
  GetWindowRect(btn_Save_.hwnd(), &r);
  const auto command = static_cast<ControlId>(
      TrackPopupMenu(PopupMenu1_.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, hwnd_, nullptr));
  if (command == ControlId::N1)
    N1Click();
  else if (command == ControlId::N2)
    N2Click();
}

void TVelmarPro_Api::N1Click() { SaveBox(ControlId::Memo1); }

void TVelmarPro_Api::N2Click() { SaveBox(ControlId::Memo2); }

// The box's text exactly as it holds it: 8-bit, CR LF, nothing added.
void TVelmarPro_Api::SaveBox(ControlId box) {
  const std::wstring path = ChooseFile(hwnd_, true);
  if (path.empty()) return;
  std::vector<std::wstring> lost;
  const std::wstring boxText = ui::GetText(Control(box));
  std::string bytes = ui::ToCp1251(boxText, &lost);
  if (!lost.empty()) {
    // A Windows-1251 file cannot hold them: the user picks UTF-8 (with its
    // byte order mark, so that opening the file reads it back), or
    // Windows-1251 with the usual question mark rather than a byte no reader knows.
    const int answer =
        MessageBoxW(hwnd_,
                    ui::Widen("Текст содержит символы, которых нет в кодировке Windows-1251. Сохранить файл в "
                              "кодировке UTF-8? (\"Нет\" \u2014 в Windows-1251, эти символы будут заменены знаком "
                              "\"?\")")
                        .c_str(),
                    L"VelmarPro", MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDYES)
      bytes = std::string(kUtf8ByteOrderMark) + ui::Narrow(boxText);
    else if (answer == IDNO)
      std::replace(bytes.begin(), bytes.end(), static_cast<char>(kCp1251Undefined), '?');
    else
      return;
  }
  if (const std::wstring error = WriteWholeFile(path, bytes); !error.empty()) ui::ShowError(hwnd_, error);
}

void TVelmarPro_Api::btn_UndoClick() { SendMessageW(EditTarget(), WM_UNDO, 0, 0); }

void TVelmarPro_Api::btn_CutClick() { SendMessageW(EditTarget(), WM_CUT, 0, 0); }

void TVelmarPro_Api::btn_CopyClick() { SendMessageW(EditTarget(), WM_COPY, 0, 0); }

void TVelmarPro_Api::btn_PasteClick() { SendMessageW(EditTarget(), WM_PASTE, 0, 0); }

// The selection goes, as an edit that cannot be undone. EM_REPLACESEL would
// also change a read-only box (both are during a run): not so.
void TVelmarPro_Api::N13Click() {
  HWND box = EditTarget();
  if (GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY) return;
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void TVelmarPro_Api::N15Click() { SendMessageW(EditTarget(), EM_SETSEL, 0, -1); }

// A change the user made; the program's own settings of a box's text are no edits.
void TVelmarPro_Api::MemoChanged(ControlId box) {
  if (settingBoxText_) return;
  if (box == ControlId::Memo1) {
    Memo1Change();
  } else {
    SetActiveBox(ActiveBox::Memo2);
    Memo2Change();
  }
}

// Every change of the source text starts the second of waiting anew.
void TVelmarPro_Api::Memo1Change() {
  SetActiveBox(ActiveBox::Memo1);
  KillTimer(hwnd_, kAutoTimer);
  if (CheckBox1_.checked) SetTimer(hwnd_, kAutoTimer, kAutoInterval, nullptr);
}

// Switching automatic conversion on runs the current text a second later;
// switching it off cancels a run that was waiting.
void TVelmarPro_Api::CheckBox1Click() {
  KillTimer(hwnd_, kAutoTimer);
  if (CheckBox1_.checked) SetTimer(hwnd_, kAutoTimer, kAutoInterval, nullptr);
}

void TVelmarPro_Api::tmr_AutoVelmarTimer() {
  Button1Click();
  KillTimer(hwnd_, kAutoTimer);
}

// Help: "Help.chm" beside the program, else "ReadMe.txt" there, else the
// maker's web site. When the system has nothing to open it with, the user is
// told so rather than left waiting for a window that never comes.
void TVelmarPro_Api::sSpeedButton4Click() {
  const HelpTarget help = FindHelp(exeFolder_);
  const std::wstring target = help.source == HelpSource::WebSite ? ui::Widen(server_) : help.file.wstring();
  const int show = help.source == HelpSource::HelpFile ? SW_SHOW : SW_SHOWNORMAL;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(hwnd_, L"open", target.c_str(), nullptr, nullptr, show));
  if (result <= 32) {
    const DWORD error = GetLastError();
    ui::ShowError(hwnd_, FileErrorText(L"Cannot open", target, error != 0 ? error : ERROR_NO_ASSOCIATION));
  }
}

// The about window, shown modally and destroyed when it closes.
void TVelmarPro_Api::btn_AboutClick() {
  TAboutForm about(hwnd_, version_, server_);
  about.ShowModal();
}

}  // namespace velmar
