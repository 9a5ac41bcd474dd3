// The main window's side of the module catalogue: "Загрузить модули" opens
// the module window, which reloads the tables after each download or delete.
#include "uMain.h"

#include "catalogue.h"
#include "text.h"
#include "uDownloadModules.h"

namespace velmar {

void TVelmarPro_Api::sSpeedButton1Click() {
  // One module window at most: a second "Загрузить модули" (from the tray)
  // brings the open one to the front.
  if (modules_ && modules_->hwnd() && IsWindow(modules_->hwnd())) {
    SetForegroundWindow(modules_->hwnd());
    return;
  }
  ModuleHost host;
  host.owner = hwnd_;
  host.exeFolder = exeFolder_;
  host.catalogueUrl = online::CatalogueUrl(server_);
  host.siteAddress = site_;
  host.loadedFileNames = [this] {
    std::vector<std::string> names;
    for (const TTransTable& table : store_.Store) names.push_back(ui::ToCp1251(table.FilePath.filename().wstring()));
    return names;
  };
  host.reloadTables = [this] { FormCreate(false); };
  modules_.reset();
  modules_ = TDwnlModulesForm::Open(std::move(host));
}

}  // namespace velmar
