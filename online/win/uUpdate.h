#pragma once
// The update window: created hidden at start, shown by the update check when
// the maker's server offers a newer build, and used at most once per run.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "http.h"
#include "image.h"
#include "update_check.h"
#include "dialog.h"

namespace velmar {

// What the update check needs of the program.
struct UpdateContext {
  HWND mainWindow = nullptr;           // closed after the installer has started
  std::string server;                  // base address of the maker's server
  std::string version;                 // the program version string, "1.1.1.190"
  std::filesystem::path settingsPath;  // VelmarPro.dat
};

class TUpdateForm : public ui::Dialog {
 public:
  static constexpr const wchar_t* kClassName = L"TUpdateForm";

  // Control identifiers (also read by the end-to-end tests).
  enum class Id : int {
    Button1 = 1,  // "Загрузить и установить"
    Button2 = IDCANCEL,  // "Закрыть"
    Button3 = 3,  // "Вручную"
    Image1 = 101,
    Label2,
    Label3,
    Label4,
    Memo1,
    Image2,
    Label1,
    ProgressBar1,
  };

  explicit TUpdateForm(UpdateContext context);
  // The update check (the main window's updTimer runs it once, a second after start).
  void updTimerTimer();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  HWND Control(Id id) const { return GetDlgItem(hwnd_, static_cast<int>(id)); }
  HWND Add(const wchar_t* className, Id id, const std::string& text, int x, int y, int w, int h, DWORD style);
  void CreateControls();
  void ShowPanel1(bool panel1);
  void Prepare();
  void Button1Click();
  void Button3Click();
  void Close();
  // The download with its checks; a message tells the user when it failed
  // (not when it was cancelled). None when the installer is whole.
  online::DownloadError DownloadInstaller(const std::filesystem::path& destination,
                                          const std::filesystem::path& tempFolder);
  void CatalogueArrived();
  void ProgressStep(std::uint64_t chunk);
  void Tell(const std::wstring& message);

  UpdateContext context_;
  std::string decimal_;  // the user's decimal separator, Windows-1251
  std::optional<online::UpdateOffer> offer_;
  ui::Image picture_;
  ui::Font font_;
  ui::DesignLayout layout_;  // the controls' places at 96 DPI
  ui::Brush face_;
  std::vector<HWND> panel1_, panel2_;
  std::uint64_t position_ = 0;
  bool closed_ = true;
  bool installerStarted_ = false;
  bool downloading_ = false;  // "Закрыть" is "Отмена" meanwhile
  bool cancel_ = false;
  // The catalogue fetched in the background; the worker posts kCatalogueArrived.
  struct CatalogueCheck {
    online::FetchResult catalogue;
    std::atomic<bool> done{false};
  };
  static constexpr UINT kCatalogueArrived = WM_APP + 31;
  std::shared_ptr<CatalogueCheck> check_;
};

}  // namespace velmar
