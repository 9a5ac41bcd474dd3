// The main window's side of the update check: the update window it keeps and
// the one-shot timer that starts the check.
#include "uMain.h"

#include "app_logic.h"
#include "uUpdate.h"

namespace velmar {

void TVelmarPro_Api::CreateUpdateForm() {
  updateForm_ = std::make_shared<TUpdateForm>(
      UpdateContext{hwnd_, server_, version_, exeFolder_ / kSettingsFileName});
}

void TVelmarPro_Api::updTimerTimer() {
  KillTimer(hwnd_, static_cast<UINT_PTR>(TimerId::updTimer));  // once per run
  if (updateForm_) updateForm_->updTimerTimer();
}

}  // namespace velmar
