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
#include "standard_controls.h"
#include "update_check.h"
#include "dialog.h"

namespace velmar {

// Control identifiers of the update window (also read by the end-to-end tests).
enum class UpdateId : int {
  Bevel1 = 0,  // the rule above the buttons
  Button1 = 1,  // "Загрузить и установить"
  Button2 = IDCANCEL,  // "Закрыть"
  Button3 = 3,  // "Вручную"
  Image1 = 101,
  Label2 = 102,
  Label3 = 103,
  Label4 = 104,
  Memo1 = 105,
  Image2 = 106,
  Label1 = 107,
  ProgressBar1 = 108,
};
constexpr int Id(UpdateId id) { return static_cast<int>(id); }

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

  explicit TUpdateForm(UpdateContext context);
  // The update check (the main window's updTimer runs it once, a second after start).
  void updTimerTimer();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  // Gives a control its place at 96 DPI and the window's font.
  void Place(ui::Control& control, int x, int y, int w, int h);
  void CreateControls();
  void DrawPicture(const DRAWITEMSTRUCT& item) const;
  void ShowPanel1(bool panel1);
  void Prepare();
  void Button1Click();
  void Button2Click();
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
  // The offer (panel 1) and the download (panel 2), in their tab order; then the buttons.
  ui::Label Image1_, Label2_, Label3_, Label4_;
  ui::Edit Memo1_;
  ui::Label Image2_, Label1_;
  ui::ProgressBar ProgressBar1_;
  ui::Label Bevel1_;
  ui::PushButton Button1_, Button3_, Button2_;
  std::vector<ui::Control*> panel1_, panel2_;
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
