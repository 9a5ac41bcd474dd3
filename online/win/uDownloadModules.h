#pragma once
// The module window "Загрузка дополнительных модулей": lists the maker's
// module catalogue with a tick for every module already in the table folder,
// downloads a module into it or deletes one, and has the main window reload
// its tables after each change.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue.h"
#include "image.h"
#include "dialog.h"
#include "standard_controls.h"

namespace velmar {

// Control identifiers of the module window (also used by the end-to-end probe).
enum class ModulesId : int {
  ListView1 = 201,
  Label1 = 202,
  sSpeedButton2 = 203,  // "Загрузить", "Удалить", "Отмена"
  sSpeedButton1 = 204,  // "Закрыть"
};
constexpr int Id(ModulesId id) { return static_cast<int>(id); }

// What the module window needs of the main window.
struct ModuleHost {
  HWND owner = nullptr;                // the main window: owner, disabled while the module window lives
  std::filesystem::path exeFolder;     // the table folder is its "Table"
  std::string catalogueUrl;            // the full URL of the module catalogue
  std::string siteAddress;             // the maker's web site, for downloading by hand
  std::function<std::vector<std::string>()> loadedFileNames;  // file name of each store slot (Windows-1251)
  std::function<void()> reloadTables;  // the table reload
};

class TDwnlModulesForm : public ui::Dialog {
 public:
  static constexpr const wchar_t* kClassName = L"TDwnlModulesForm";
  static constexpr int kClientWidth = 496;
  static constexpr int kClientHeight = 297;

  explicit TDwnlModulesForm(ModuleHost host);

  // The main window's "Загрузить модули": checks the connection, opens the
  // window and loads the catalogue. Gives the window when it has rows;
  // nothing when there is no connection or no module (a message box says so).
  static std::unique_ptr<TDwnlModulesForm> Open(ModuleHost host);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(ui::Dpi previous) override;

 private:
  struct Row {
    online::ModuleEntry entry;
    bool downloadable = false;  // a safe file name and a web URL
    bool downloaded = false;    // the mark; the icon follows it
  };

  void Create();
  void CreateControls();
  void MakeImageList();
  // Loading: fetch, "tst.ini", the rows. False when the window was destroyed.
  bool LoadCatalogue();
  void AddRow(const online::ModuleEntry& entry, const std::vector<std::string>& loaded);
  void ShowRow(int index);
  int SelectedRow() const;
  // Gives a control its place at 96 DPI and the window's font.
  void Place(const ui::Control& control, int x, int y, int w, int h);
  std::filesystem::path ModulePath(const Row& row) const;
  void Abandon();  // destroys the window while loading and enables the main window
  void ShowNoServerMessage() const;

  void ListView1Click();
  void sSpeedButton2Click();
  void DownloadRow(Row& row, int index);
  void DeleteRow(Row& row, int index);
  void FollowFile(const Row& row);  // the button caption after a download or delete
  void FormCloseQuery();
  void Paint();

  ModuleHost host_;
  std::optional<ui::OwnerDisabled> ownerDisabled_;  // the main window, while the window is open
  std::vector<Row> rows_;
  bool loaded_ = false;
  bool downloading_ = false;  // a download runs; the action button is "Отмена"
  bool cancel_ = false;       // "Отмена" was pressed
  ui::Font font_;
  ui::DesignLayout layout_;  // the controls' places at 96 DPI
  ui::Image picture_;
  // The controls in their tab order.
  ui::Label Label1_;
  ui::ListView ListView1_;
  ui::PushButton sSpeedButton2_;  // the action: "Загрузить", "Удалить", "Отмена"
  ui::PushButton sSpeedButton1_;  // "Закрыть"
};

}  // namespace velmar
