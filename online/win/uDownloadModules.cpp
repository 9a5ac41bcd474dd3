#include "uDownloadModules.h"

#include <fstream>
#include <system_error>

#include "accessible.h"
#include "http.h"
#include "size_format.h"
#include "text.h"

namespace velmar {
namespace {

namespace fs = std::filesystem;
using ui::Widen;

constexpr int kIconApply = 0;   // "Да": a green tick
constexpr int kIconCancel = 1;  // "Нет": a red cross

// A square picture on the list's background, for an image list without alpha.
HBITMAP IconBitmap(const ui::Image& icon) {
  const int size = icon.Width();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = size;
  bi.bmiHeader.biHeight = size;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const ui::MemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc) return bitmap;
  const ui::SelectIn select(dc.get(), bitmap);
  const RECT all{0, 0, size, size};
  FillRect(dc.get(), &all, GetSysColorBrush(COLOR_WINDOW));
  icon.Draw(dc.get(), 0, 0);
  return bitmap;
}

}  // namespace

TDwnlModulesForm::TDwnlModulesForm(ModuleHost host) : host_(std::move(host)) {}

std::unique_ptr<TDwnlModulesForm> TDwnlModulesForm::Open(ModuleHost host) {
  online::PumpMessages();
  std::uint32_t flags = 0;
  if (!online::IsConnected(flags)) {
    const std::wstring text =
        Widen("Подключение к Интернету отсутствует, Вы можете скачать модули вручную на официальном сайте "
              "разработчика: ") +
        ui::FromCp1251(host.siteAddress);
    MessageBoxW(host.owner, text.c_str(), Widen("Нет подключения").c_str(), MB_ICONWARNING | MB_OK);
    return nullptr;
  }
  auto form = std::make_unique<TDwnlModulesForm>(std::move(host));
  form->Create();
  form->Label1_.SetText(Widen("Загрузка списка доступных модулей..."));
  ShowWindow(form->hwnd_, SW_SHOW);
  UpdateWindow(form->hwnd_);
  form->ownerDisabled_.emplace(form->host_.owner);
  online::PumpMessages();
  if (!form->LoadCatalogue()) return nullptr;
  return form;
}

void TDwnlModulesForm::Create() {
  dpi_ = ui::ScaleForWindow(host_.owner);  // opens over its owner, on its monitor
  font_ = ui::MakeFont({L"MS Sans Serif", -11}, dpi_);
  picture_ = ui::Image::FromResource(L"MODULES_LOADING", dpi_);
  Register(kClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateDialogWindow(kClassName, Widen("Загрузка дополнительных модулей").c_str(),
                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME,
                     {kClientWidth, kClientHeight}, dpi_, host_.owner);
  CreateControls();
}

void TDwnlModulesForm::Place(const ui::Control& control, int x, int y, int w, int h) {
  SendMessageW(control.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  layout_.Place(control.hwnd(), x, y, w, h, dpi_);
}

// The controls in their tab order, wired to what they do.
void TDwnlModulesForm::CreateControls() {
  Label1_.Create(hwnd_, Id(ModulesId::Label1), L"---", SS_CENTER);
  Place(Label1_, 8, 200, 481, 16);
  // A click on the list, beside the rows too, and the keys moving the selection.
  ListView1_.onClick = [this] { ListView1Click(); };
  ListView1_.onSelect = [this] { ListView1Click(); };
  ListView1_.Create(hwnd_, Id(ModulesId::ListView1), LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER, 0);
  Place(ListView1_, 8, 8, 481, 249);
  ListView1_.Show(false);  // until the catalogue is there
  ui::SetAccessibleName(ListView1_.hwnd(), L"Модули");  // its rows are read by the list view's own columns
  ListView1_.AddColumn(Widen("Модуль"), dpi_(170));
  ListView1_.AddColumn(Widen("Описание"), dpi_(208));
  ListView1_.AddColumn(Widen("Загружен"), dpi_(80), LVCFMT_CENTER);
  MakeImageList();

  sSpeedButton2_.onClick = [this] { sSpeedButton2Click(); };
  sSpeedButton2_.Create(hwnd_, Id(ModulesId::sSpeedButton2), Widen("Загрузить"), BS_PUSHBUTTON | WS_DISABLED);
  Place(sSpeedButton2_, 7, 265, 97, 25);
  sSpeedButton1_.onClick = [this] { FormCloseQuery(); };
  sSpeedButton1_.Create(hwnd_, Id(ModulesId::sSpeedButton1), Widen("Закрыть"));
  Place(sSpeedButton1_, 400, 265, 89, 25);
  // Enter presses the action button, Esc and the close box close as "Закрыть" does.
  onOk = [this] { sSpeedButton2_.Click(); };
  onCancel = [this] { FormCloseQuery(); };
}

// sAlphaImageList1, at the window's scale: the list owns it and destroys it
// with itself, or when it is given another.
void TDwnlModulesForm::MakeImageList() {
  HIMAGELIST images = ImageList_Create(dpi_(16), dpi_(16), ILC_COLOR24, 2, 0);
  for (const wchar_t* name : {L"APPLY_16X16", L"CANCEL_16X16"}) {
    const ui::Bitmap bitmap(IconBitmap(ui::Image::FromResource(name, dpi_)));
    ImageList_Add(images, bitmap.get(), nullptr);  // the list keeps a copy
  }
  ListView1_.SetSmallImages(images);
}

void TDwnlModulesForm::DpiChanged(ui::Dpi previous) {
  const ui::Font font = std::move(font_);
  font_ = ui::MakeFont({L"MS Sans Serif", -11}, dpi_);
  ui::ReplaceChildFonts(hwnd_, font.get(), font_.get());
  picture_ = ui::Image::FromResource(L"MODULES_LOADING", dpi_);
  for (int column = 0; column < ListView1_.ColumnCount(); ++column)
    ListView1_.SetColumnWidth(column, MulDiv(ListView1_.ColumnWidth(column), dpi_.Value(), previous.Value()));
  MakeImageList();
  layout_.PlaceAll(dpi_);
}

bool TDwnlModulesForm::LoadCatalogue() {
  const online::FetchResult fetched = online::FetchUrl(host_.catalogueUrl);
  // An error page is no catalogue, whatever it holds.
  const std::string body = fetched.Ok() ? fetched.body : std::string();

  // The catalogue passes through "tst.ini" in the temp folder.
  const fs::path stored = fs::path(online::TempFolderPath()) / L"tst.ini";
  std::string text;
  {
    std::ofstream out(stored, std::ios::binary | std::ios::trunc);
    out << online::CatalogueFileText(body);
    out.close();
    std::ifstream in(stored, std::ios::binary);
    if (out && in) text.assign(std::istreambuf_iterator<char>(in), {});
    if (!out || !in || in.bad()) {
      // Storing or reading it failed: the window must not stay loading.
      Abandon();
      ui::ShowError(host_.owner, Widen("Не удалось сохранить список модулей во временный файл «") + stored.wstring() +
                                     Widen("»."));
      return false;
    }
  }
  const std::vector<online::ModuleEntry> modules = online::ParseModuleCatalogue(text, fetched.cut);
  for (int i = 0; i < 101; ++i) {
    online::PumpMessages();
    Sleep(1);
  }
  if (!hwnd_) return false;
  const std::vector<std::string> loaded = host_.loadedFileNames ? host_.loadedFileNames() : std::vector<std::string>{};
  for (const online::ModuleEntry& entry : modules) AddRow(entry, loaded);
  std::error_code ignored;
  fs::remove(stored, ignored);

  ShowWindow(ListView1_.hwnd(), SW_SHOW);
  loaded_ = true;
  const std::wstring caption =
      Widen("Загрузка дополнительных модулей (Доступно: ") + std::to_wstring(rows_.size()) + L")";
  SetWindowTextW(hwnd_, caption.c_str());
  if (rows_.empty()) {
    Abandon();
    ShowNoServerMessage();
    return false;
  }
  return true;
}

void TDwnlModulesForm::Abandon() {
  ownerDisabled_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
}

void TDwnlModulesForm::ShowNoServerMessage() const {
  const std::wstring text =
      Widen("Подключение к серверу с модулями не удалось, Вы можете скачать модули вручную на официальном сайте "
            "разработчика: ") +
      ui::FromCp1251(host_.siteAddress);
  MessageBoxW(host_.owner, text.c_str(), Widen("Нет доступа к серверу").c_str(), MB_ICONERROR | MB_OK);
}

void TDwnlModulesForm::AddRow(const online::ModuleEntry& entry, const std::vector<std::string>& loaded) {
  Row row;
  row.entry = entry;
  row.downloadable = online::IsDownloadable(entry);
  row.downloaded = row.downloadable && online::IsModuleDownloaded(entry.FileName, loaded);
  rows_.push_back(std::move(row));
  const int index = static_cast<int>(rows_.size()) - 1;
  ListView1_.AddRow(ui::FromCp1251(entry.Name), kIconCancel);
  ListView1_.SetCell(index, 1, ui::FromCp1251(entry.Desc));
  ShowRow(index);
}

// The mark and the icon of a row, always together.
void TDwnlModulesForm::ShowRow(int index) {
  const Row& row = rows_[static_cast<std::size_t>(index)];
  ListView1_.SetCell(index, 2, Widen(!row.downloadable ? "Недоступен" : row.downloaded ? "Да" : "Нет"));
  ListView1_.SetImage(index, row.downloaded ? kIconApply : kIconCancel);
}

int TDwnlModulesForm::SelectedRow() const {
  const int index = ListView1_.Selected();
  return index >= 0 && index < static_cast<int>(rows_.size()) ? index : -1;
}

fs::path TDwnlModulesForm::ModulePath(const Row& row) const {
  return host_.exeFolder / L"Table" / ui::FromCp1251(row.entry.FileName);
}

void TDwnlModulesForm::ListView1Click() {
  const int index = SelectedRow();
  if (index < 0) {
    sSpeedButton2_.Enable(false);
    return;
  }
  const Row& row = rows_[static_cast<std::size_t>(index)];
  sSpeedButton2_.SetText(Widen(row.downloaded ? "Удалить" : "Загрузить"));
  // A module whose file name or address is refused can be neither downloaded nor deleted.
  sSpeedButton2_.Enable(row.downloadable);
}

void TDwnlModulesForm::sSpeedButton2Click() {
  if (downloading_) {
    cancel_ = true;  // "Отмена"
    return;
  }
  const int index = SelectedRow();
  if (index < 0) return;
  Row& row = rows_[static_cast<std::size_t>(index)];
  if (!row.downloadable) return;
  if (row.downloaded) DeleteRow(row, index);
  else DownloadRow(row, index);
}

void TDwnlModulesForm::DownloadRow(Row& row, int index) {
  online::PumpMessages();
  const fs::path path = ModulePath(row);
  std::error_code ec;
  // A file of that name (Windows finds it whatever the case of its letters)
  // is the user's: it is replaced only when the user says so.
  if (fs::exists(path, ec)) {
    const std::wstring question = Widen("В папке Table уже есть файл «") + path.filename().wstring() +
                                  Widen("». Заменить его модулем «") + ui::FromCp1251(row.entry.Name) +
                                  Widen("»?");
    if (MessageBoxW(hwnd_, question.c_str(), Widen("Файл уже есть").c_str(),
                    MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2) != IDYES) {
      FollowFile(row);
      return;
    }
  }
  fs::create_directories(path.parent_path(), ec);

  // The download runs in the background: the window answers, shows what has
  // arrived, and "Отмена" ends it at once.
  downloading_ = true;
  cancel_ = false;
  const HWND window = hwnd_;
  sSpeedButton2_.SetText(Widen("Отмена"));
  sSpeedButton2_.Enable(true);
  sSpeedButton1_.Enable(false);
  ListView1_.Enable(false);
  wchar_t caption[256] = {};
  GetWindowTextW(hwnd_, caption, 256);
  online::BackgroundDownload background;
  background.sha256 = row.entry.Sha256;
  background.cancelled = [this, window] { return cancel_ || !IsWindow(window); };
  background.progress = [this, window, &row](std::uint64_t total) {
    if (!IsWindow(window)) return;
    const std::wstring text = Widen("Загрузка модуля «") + ui::FromCp1251(row.entry.Name) + Widen("»: ") +
                              ui::Widen(FormatSize(static_cast<double>(total), ui::Narrow(ui::UserDecimalSeparator()))) + L"...";
    SetWindowTextW(window, text.c_str());
  };
  const online::DownloadResult result = online::DownloadInBackground(row.entry.URL, path, background);
  if (!IsWindow(window)) return;  // the program is closing
  downloading_ = false;
  SetWindowTextW(hwnd_, caption);
  ListView1_.Enable(true);
  sSpeedButton1_.Enable(true);
  if (result.Ok() && fs::is_regular_file(path, ec)) {
    row.downloaded = true;
    ShowRow(index);
    sSpeedButton2_.SetText(Widen("Удалить"));
    if (host_.reloadTables) host_.reloadTables();
  } else {
    row.downloaded = false;
    ShowRow(index);
    if (result.error != online::DownloadError::Cancelled) {
      const std::wstring text = Widen("Модуль «") + ui::FromCp1251(row.entry.Name) + Widen("» не загружен: ") +
                                online::DownloadFailureText(result) + L".";
      MessageBoxW(hwnd_, text.c_str(), Widen("Ошибка загрузки").c_str(), MB_ICONERROR | MB_OK);
    }
  }
  FollowFile(row);
}

void TDwnlModulesForm::DeleteRow(Row& row, int index) {
  if (DeleteFileW(ModulePath(row).c_str())) {
    row.downloaded = false;
    ShowRow(index);
    if (host_.reloadTables) host_.reloadTables();
  }
  FollowFile(row);
}

void TDwnlModulesForm::FollowFile(const Row& row) {
  std::error_code ec;
  const bool exists = fs::exists(ModulePath(row), ec);
  sSpeedButton2_.SetText(Widen(exists ? "Удалить" : "Загрузить"));
}

void TDwnlModulesForm::FormCloseQuery() {
  // Closing during a download cancels it first; the window closes after.
  if (downloading_) {
    cancel_ = true;
    return;
  }
  // Only a loaded window may close; the main window stays disabled while it loads.
  if (!loaded_) return;
  ownerDisabled_.reset();
  DestroyWindow(hwnd_);
}

void TDwnlModulesForm::Paint() {
  const ui::PaintDc paint(hwnd_);
  if (!IsWindowVisible(ListView1_.hwnd())) picture_.Draw(paint.get(), dpi_(184), dpi_(56));
}

LRESULT TDwnlModulesForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    Paint();
    return 0;
  }
  return Dialog::HandleMessage(message, wParam, lParam);
}

}  // namespace velmar
