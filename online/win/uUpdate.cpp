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

void TUpdateForm::Place(ui::Control& control, int x, int y, int w, int h) {
  layout_.Place(control.hwnd(), x, y, w, h, dpi_);
  SendMessageW(control.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void TUpdateForm::DpiChanged(ui::Dpi) {
  const ui::Font font = std::move(font_);
  font_ = ui::MakeFont({L"Segoe UI", -11}, dpi_);
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  if (picture_) picture_ = ui::Image::FromResource(L"LOGO64", dpi_);
  layout_.PlaceAll(dpi_);
}

// The controls in their tab order, wired to what they do.
void TUpdateForm::CreateControls() {
  const auto picture = [this](const DRAWITEMSTRUCT& item) { DrawPicture(item); };
  Image1_.onDrawItem = picture;
  Image1_.Create(hwnd_, Id(UpdateId::Image1), L"", SS_OWNERDRAW);
  Place(Image1_, 8, 8, 64, 64);
  Label2_.Create(hwnd_, Id(UpdateId::Label2), L"");
  Place(Label2_, 80, 8, 310, 16);
  Label2_.SetTextColour(kCurrentColour);
  Label3_.Create(hwnd_, Id(UpdateId::Label3), L"");
  Place(Label3_, 80, 32, 310, 16);
  Label3_.SetTextColour(kAvailableColour);
  Label4_.Create(hwnd_, Id(UpdateId::Label4), L"");
  Place(Label4_, 80, 56, 310, 16);
  Memo1_.Create(hwnd_, Id(UpdateId::Memo1), ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_BORDER, 0);
  // The news is read, not typed in: Tab passes the box by.
  SetWindowLongW(Memo1_.hwnd(), GWL_STYLE, GetWindowLongW(Memo1_.hwnd(), GWL_STYLE) & ~WS_TABSTOP);
  Place(Memo1_, 8, 80, 385, 89);
  Image2_.onDrawItem = picture;
  Image2_.Create(hwnd_, Id(UpdateId::Image2), L"", SS_OWNERDRAW);
  Place(Image2_, 170, 24, 64, 64);
  Label1_.Create(hwnd_, Id(UpdateId::Label1), L"", SS_CENTER);
  Place(Label1_, 16, 104, 369, 16);
  ProgressBar1_.Create(hwnd_, Id(UpdateId::ProgressBar1));
  Place(ProgressBar1_, 16, 128, 369, 17);
  panel1_ = {&Image1_, &Label2_, &Label3_, &Label4_, &Memo1_};
  panel2_ = {&Image2_, &Label1_, &ProgressBar1_};
  Bevel1_.Create(hwnd_, Id(UpdateId::Bevel1), L"", SS_ETCHEDHORZ);
  Place(Bevel1_, 0, 176, kClientWidth, 2);
  ui::MarkSeparator(Bevel1_.hwnd());
  Button1_.onClick = [this] { Button1Click(); };
  Button1_.Create(hwnd_, Id(UpdateId::Button1), ui::Widen("Загрузить и установить"), BS_DEFPUSHBUTTON);
  Place(Button1_, 8, 184, 161, 25);
  Button3_.onClick = [this] { Button3Click(); };
  Button3_.Create(hwnd_, Id(UpdateId::Button3), ui::Widen("Вручную"));
  Place(Button3_, 176, 184, 97, 25);
  Button2_.onClick = [this] { Button2Click(); };
  Button2_.Create(hwnd_, Id(UpdateId::Button2), ui::Widen("Закрыть"));
  Place(Button2_, 318, 184, 75, 25);
  // Enter is "Загрузить и установить", Esc "Закрыть" (or "Отмена"); the
  // window has no close box, and Alt+F4 does nothing (WM_CLOSE).
  onOk = [this] { Button1_.Click(); };
  onCancel = [this] { Button2_.Click(); };
  // For screen readers: the pictures, the news box (the label before it is
  // the download size) and the bar have no text of their own.
  for (const ui::Label* picture : {&Image1_, &Image2_})
    ui::SetAccessibleName(picture->hwnd(), L"Логотип VelmarPro", ROLE_SYSTEM_GRAPHIC);
  ui::SetAccessibleName(Memo1_.hwnd(), L"Что нового");
  ui::SetAccessibleName(ProgressBar1_.hwnd(), L"Загрузка обновления");
}

void TUpdateForm::DrawPicture(const DRAWITEMSTRUCT& item) const {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  picture_.Draw(item.hDC, (dpi_(64) - picture_.Width()) / 2, (dpi_(64) - picture_.Height()) / 2);
}

void TUpdateForm::ShowPanel1(bool panel1) {
  for (const ui::Control* control : panel1_) ShowWindow(control->hwnd(), panel1 ? SW_SHOW : SW_HIDE);
  for (const ui::Control* control : panel2_) ShowWindow(control->hwnd(), panel1 ? SW_HIDE : SW_SHOW);
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
  if (online::IsKnownSize(offer_->Bytes)) {
    ProgressBar1_.SetRange(static_cast<int>(offer_->Bytes));
  } else {
    // A size the bar cannot take: it shows that something is happening instead.
    ProgressBar1_.StartMarquee();
  }
  // The description is one catalogue line; the box shows it as it stands.
  Memo1_.SetText(ui::Widen(online::DescriptionText(offer_->Desc)));
  Label2_.SetText(ui::Widen(online::CurrentVersionText(context_.version)));
  Label3_.SetText(ui::Widen(online::AvailableVersionText(offer_->FullVer)));
  Label4_.SetText(ui::Widen(online::DownloadSizeText(offer_->Bytes, decimal_)));
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
  Button1_.Enable(false);
  Button3_.Enable(false);
  // "Закрыть" is "Отмена" while the download runs.
  Button2_.SetText(ui::Widen("Отмена"));
  Label1_.SetText(ui::Widen(online::DownloadingText(offer_->SaveName, offer_->Bytes, decimal_)));
  const std::filesystem::path temp(online::TempFolderPath());
  const std::filesystem::path installer = temp / ui::FromCp1251(offer_->SaveName);
  downloading_ = true;
  cancel_ = false;
  const online::DownloadError outcome = DownloadInstaller(installer, temp);
  downloading_ = false;
  Button2_.SetText(ui::Widen("Закрыть"));
  Button1_.Enable(true);
  Button3_.Enable(true);
  ShowPanel1(true);
  if (outcome == online::DownloadError::Cancelled) {
    // Cancelled: the offer stays on the screen, nothing was kept.
    SetWindowTextW(hwnd_, ui::Widen("Доступна новая версия VelmarPro!").c_str());
    ProgressBar1_.SetPosition(0);
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
    ProgressBar1_.SetPosition(static_cast<int>(std::min<std::uint64_t>(position_, offer_->Bytes)));
    const auto shown = static_cast<std::uint64_t>(ProgressBar1_.Position());
    SetWindowTextW(hwnd_, ui::Widen(online::DownloadProgressCaption(shown, offer_->Bytes, decimal_)).c_str());
  } else {
    SetWindowTextW(hwnd_, ui::Widen(online::DownloadProgressCaption(position_, offer_->Bytes, decimal_)).c_str());
  }
}

// Escape comes here too; during the download the button is "Отмена".
void TUpdateForm::Button2Click() {
  if (downloading_) cancel_ = true;
  else Close();
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
    case WM_CTLCOLORSTATIC: {
      // The labels without colours of their own, the rule and the news box.
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(face_.get());
    }
    case WM_CLOSE:
      return 0;  // no close box: only the buttons close the window
    case kCatalogueArrived:
      CatalogueArrived();
      return 0;
    default:
      break;
  }
  return Dialog::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
