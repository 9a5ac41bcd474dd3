#include "uUpdate.h"

#include <commctrl.h>
#include <shellapi.h>

#include <thread>


#include "accessible.h"
#include "http.h"
#include "profile.h"
#include "text.h"

namespace velmar {
namespace {

constexpr int kClientWidth = 401;
constexpr int kClientHeight = 217;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;  // a dialog frame without a close box
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr COLORREF kCurrentColour = RGB(122, 46, 46);
constexpr COLORREF kAvailableColour = RGB(37, 102, 158);
constexpr DWORD kPauseBeforeShowMs = 1000;

// What a failed ShellExecute returned, in words: its small results are
// mostly system error codes, apart from the ones the shell has for itself.
std::wstring ShellErrorText(DWORD code) {
  if (code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE)
    return ui::Widen("с файлами этого типа не связана ни одна программа");
  if (code == 0) return ui::Widen("не хватает памяти или ресурсов");
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : ui::Widen("ошибка ") + std::to_wstring(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
    message.pop_back();
  return message;
}

}  // namespace

TUpdateForm::TUpdateForm(UpdateContext context) : context_(std::move(context)), decimal_(ui::ToCp1251(ui::UserDecimalSeparator())) {
  dpi_ = ui::ScaleForWindow(nullptr);  // centred on the desktop, at its scale
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  face_.Reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  Register(kClassName, LoadIconW(ui::Instance(), MAKEINTRESOURCEW(1)), GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kClassName, ui::Widen("Доступна новая версия VelmarPro!").c_str(), kStyle, kExStyle,
                     {kClientWidth, kClientHeight}, dpi_, context_.mainWindow);
  CreateControls();
  ShowPanel1(true);
}

HWND TUpdateForm::Add(const wchar_t* className, Id id, const std::string& text, int x, int y, int w, int h,
                      DWORD style) {
  HWND control = ui::CreateControl(hwnd_, className, ui::Widen(text), style, 0, static_cast<int>(id));
  layout_.Place(control, x, y, w, h, dpi_);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

void TUpdateForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_);
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  if (picture_) picture_ = ui::Image::FromResource(L"LOGO64", dpi_);
  layout_.PlaceAll(dpi_);
}

void TUpdateForm::CreateControls() {
  panel1_ = {Add(L"STATIC", Id::Image1, "", 8, 8, 64, 64, SS_OWNERDRAW),
             Add(L"STATIC", Id::Label2, "", 80, 8, 310, 16, SS_NOPREFIX),
             Add(L"STATIC", Id::Label3, "", 80, 32, 310, 16, SS_NOPREFIX),
             Add(L"STATIC", Id::Label4, "", 80, 56, 310, 16, SS_NOPREFIX),
             Add(L"EDIT", Id::Memo1, "", 8, 80, 385, 89, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER)};
  panel2_ = {Add(L"STATIC", Id::Image2, "", 170, 24, 64, 64, SS_OWNERDRAW),
             Add(L"STATIC", Id::Label1, "", 16, 104, 369, 16, SS_NOPREFIX | SS_CENTER),
             Add(PROGRESS_CLASSW, Id::ProgressBar1, "", 16, 128, 369, 17, 0)};
  ui::MarkSeparator(Add(L"STATIC", Id{0}, "", 0, 176, kClientWidth, 2, SS_ETCHEDHORZ));  // Bevel1
  Add(L"BUTTON", Id::Button1, "Загрузить и установить", 8, 184, 161, 25, BS_DEFPUSHBUTTON | WS_TABSTOP);
  Add(L"BUTTON", Id::Button3, "Вручную", 176, 184, 97, 25, BS_PUSHBUTTON | WS_TABSTOP);
  Add(L"BUTTON", Id::Button2, "Закрыть", 318, 184, 75, 25, BS_PUSHBUTTON | WS_TABSTOP);
  // For screen readers: the pictures, the news box (the label before it is
  // the download size) and the bar have no text of their own.
  for (Id picture : {Id::Image1, Id::Image2})
    ui::SetAccessibleName(Control(picture), L"Логотип VelmarPro", ROLE_SYSTEM_GRAPHIC);
  ui::SetAccessibleName(Control(Id::Memo1), L"Что нового");
  ui::SetAccessibleName(Control(Id::ProgressBar1), L"Загрузка обновления");
}

void TUpdateForm::ShowPanel1(bool panel1) {
  for (HWND control : panel1_) ShowWindow(control, panel1 ? SW_SHOW : SW_HIDE);
  for (HWND control : panel2_) ShowWindow(control, panel1 ? SW_HIDE : SW_SHOW);
}

void TUpdateForm::updTimerTimer() {
  bool showUpdate = true;
  if (const std::optional<ProfileFile> settings = ProfileFile::Load(context_.settingsPath))
    showUpdate = online::ShowUpdateEnabled(*settings);
  std::uint32_t flags = 0;
  if (!showUpdate || !online::IsConnected(flags)) return;
  online::PumpMessages();
  // The catalogue is fetched in the background: a server that accepts and
  // never answers must not hold up the program until the time-out.
  auto check = std::make_shared<CatalogueCheck>();
  check_ = check;
  const HWND window = hwnd_;
  std::thread([check, window, url = online::UpdateCatalogueUrl(context_.server)] {
    check->catalogue = online::FetchUrl(url);
    check->done = true;
    PostMessageW(window, kCatalogueArrived, 0, 0);
  }).detach();
}

void TUpdateForm::CatalogueArrived() {
  if (!check_ || !check_->done) return;
  const online::FetchResult catalogue = std::move(check_->catalogue);
  check_.reset();
  // A catalogue that did not arrive or cannot be read is no concern of the user.
  if (!catalogue.Ok()) return;
  offer_ = online::NewerUpdate(catalogue.body, online::BuildOfVersion(context_.version), decimal_);
  if (!offer_) return;
  Prepare();
  Sleep(kPauseBeforeShowMs);
  closed_ = false;
  // Made at start, shown much later: centred on the main window as it is now.
  ui::CentreOnOwner(hwnd_, context_.mainWindow);
  RunModal(closed_);
  if (installerStarted_) PostMessageW(context_.mainWindow, WM_CLOSE, 0, 0);
}

void TUpdateForm::Prepare() {
  // Decoded only now: decoding may handle messages, which the start must not.
  picture_ = ui::Image::FromResource(L"LOGO64", dpi_);
  HWND bar = Control(Id::ProgressBar1);
  if (online::IsKnownSize(offer_->Bytes)) {
    SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(offer_->Bytes));
  } else {
    // A size the bar cannot take: it shows that something is happening instead.
    SetWindowLongW(bar, GWL_STYLE, GetWindowLongW(bar, GWL_STYLE) | PBS_MARQUEE);
    SendMessageW(bar, PBM_SETMARQUEE, TRUE, 30);
  }
  // The description is one catalogue line; the box shows it as it stands.
  SetWindowTextW(Control(Id::Memo1), ui::Widen(online::DescriptionText(offer_->Desc)).c_str());
  SetWindowTextW(Control(Id::Label2), ui::Widen(online::CurrentVersionText(context_.version)).c_str());
  SetWindowTextW(Control(Id::Label3), ui::Widen(online::AvailableVersionText(offer_->FullVer)).c_str());
  SetWindowTextW(Control(Id::Label4), ui::Widen(online::DownloadSizeText(offer_->Bytes, decimal_)).c_str());
}

void TUpdateForm::Button1Click() {
  // A name the installer cannot be stored under: the user is told, and the
  // window stays for "Вручную" or "Закрыть".
  if (!online::IsSafeSaveName(offer_->SaveName)) {
    Tell(offer_->SaveName.empty()
             ? ui::Widen("Не удалось загрузить обновление: каталог обновлений не называет файл программы установки.")
             : ui::Widen("Не удалось загрузить обновление: имя файла программы установки «") +
                   ui::FromCp1251(offer_->SaveName) +
                   ui::Widen("» недопустимо (в нём есть папка, диск, «..», символы, запрещённые в именах файлов, "
                             "или имя устройства)."));
    return;
  }
  ShowPanel1(false);
  for (Id id : {Id::Button1, Id::Button3}) EnableWindow(Control(id), FALSE);
  // "Закрыть" is "Отмена" while the download runs.
  SetWindowTextW(Control(Id::Button2), ui::Widen("Отмена").c_str());
  SetWindowTextW(Control(Id::Label1),
                 ui::Widen(online::DownloadingText(offer_->SaveName, offer_->Bytes, decimal_)).c_str());
  const std::filesystem::path temp(online::TempFolderPath());
  const std::filesystem::path installer = temp / ui::FromCp1251(offer_->SaveName);
  downloading_ = true;
  cancel_ = false;
  const online::DownloadError outcome = DownloadInstaller(installer, temp);
  downloading_ = false;
  SetWindowTextW(Control(Id::Button2), ui::Widen("Закрыть").c_str());
  for (Id id : {Id::Button1, Id::Button3}) EnableWindow(Control(id), TRUE);
  ShowPanel1(true);
  if (outcome == online::DownloadError::Cancelled) {
    // Cancelled: the offer stays on the screen, nothing was kept.
    SetWindowTextW(hwnd_, ui::Widen("Доступна новая версия VelmarPro!").c_str());
    SendMessageW(Control(Id::ProgressBar1), PBM_SETPOS, 0, 0);
    return;
  }
  Close();
  if (outcome != online::DownloadError::None) return;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(hwnd_, L"open", installer.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    Tell(ui::Widen("Не удалось запустить программу установки ") + installer.wstring() + L": " +
         ShellErrorText(static_cast<DWORD>(result)));
    return;
  }
  installerStarted_ = true;
}

online::DownloadError TUpdateForm::DownloadInstaller(const std::filesystem::path& destination,
                                                     const std::filesystem::path& tempFolder) {
  online::BackgroundDownload background;
  background.sha256 = offer_->Sha256;
  background.partPath = online::UpdatePartPath(tempFolder, destination.filename().wstring());
  background.cancelled = [this] { return cancel_; };
  position_ = 0;
  background.progress = [this](std::uint64_t total) {
    if (total != position_) ProgressStep(total - position_);
  };
  const online::DownloadResult result = online::DownloadInBackground(offer_->URL, destination, background);
  if (result.error == online::DownloadError::Cancelled) return result.error;
  std::wstring problem;
  if (!result.Ok()) {
    problem = online::DownloadFailureText(result);
  } else if (online::IsKnownSize(offer_->Bytes) && result.bytes != static_cast<std::uint64_t>(offer_->Bytes)) {
    // The catalogue says how big the installer is: anything else is not it.
    std::error_code ignored;
    std::filesystem::remove(destination, ignored);
    problem = ui::Widen("получено " + std::to_string(result.bytes) + " байт вместо " + std::to_string(offer_->Bytes));
  }
  if (problem.empty()) return online::DownloadError::None;
  Tell(ui::Widen("Не удалось загрузить обновление (") + problem + ui::Widen("). Программа установки не запущена."));
  return result.Ok() ? online::DownloadError::Broken : result.error;
}

void TUpdateForm::ProgressStep(std::uint64_t chunk) {
  position_ += chunk;
  if (online::IsKnownSize(offer_->Bytes)) {
    HWND bar = Control(Id::ProgressBar1);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(std::min<std::uint64_t>(position_, offer_->Bytes)), 0);
    const auto shown = static_cast<std::uint64_t>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    SetWindowTextW(hwnd_, ui::Widen(online::DownloadProgressCaption(shown, offer_->Bytes, decimal_)).c_str());
  } else {
    SetWindowTextW(hwnd_, ui::Widen(online::DownloadProgressCaption(position_, offer_->Bytes, decimal_)).c_str());
  }
}

void TUpdateForm::Button3Click() {
  if (!online::TurnShowUpdateOff(context_.settingsPath))
    ui::ShowError(hwnd_, ui::Widen("Не удалось записать настройки в файл ") + context_.settingsPath.wstring() +
                             ui::Widen(": автоматическая проверка обновлений не отключена."));
  Close();
}

void TUpdateForm::Close() { closed_ = true; }

void TUpdateForm::Tell(const std::wstring& message) {
  MessageBoxW(IsWindowVisible(hwnd_) ? hwnd_ : context_.mainWindow, message.c_str(), L"VelmarPro",
              MB_OK | MB_ICONWARNING);
}

LRESULT TUpdateForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
      picture_.Draw(item.hDC, (dpi_(64) - picture_.Width()) / 2, (dpi_(64) - picture_.Height()) / 2);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, id == static_cast<int>(Id::Label2)   ? kCurrentColour
                       : id == static_cast<int>(Id::Label3) ? kAvailableColour
                                                            : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(face_.get());
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (static_cast<Id>(LOWORD(wParam))) {
          case Id::Button1:
            if (IsWindowEnabled(Control(Id::Button1))) Button1Click();
            break;
          case Id::Button3:
            if (IsWindowEnabled(Control(Id::Button3))) Button3Click();
            break;
          case Id::Button2:
            // Escape comes here too; during the download it is "Отмена".
            if (downloading_) cancel_ = true;
            else if (IsWindowEnabled(Control(Id::Button2))) Close();
            break;
          default:
            break;
        }
      }
      return 0;
    case WM_CLOSE:
      return 0;  // no close box: only the buttons close the window
    case kCatalogueArrived:
      CatalogueArrived();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
