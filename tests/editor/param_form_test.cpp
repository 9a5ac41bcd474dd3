// The table parameters dialog in process under Wine: what it shows, and what
// "ОК", "Отмена" and the close box leave in the editor's table.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor_ids.h"
#include "image.h"
#include "table_edit_model.h"
#include "test_util.h"
#include "text.h"
#include "uTableParam.h"

namespace velmar {
namespace {

using test::W;

// Runs `act` on the dialog from inside its modal loop, once it is shown.
std::function<void(HWND)> pendingAction;
void CALLBACK WhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowW(kTableParamClass, nullptr);
  if (!dialog || !IsWindowVisible(dialog) || !pendingAction) return;
  KillTimer(nullptr, timer);
  auto act = std::move(pendingAction);
  pendingAction = nullptr;
  act(dialog);
}

class ParamForm : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    com_ = new ui::ComApartment;
    flags_ = new ui::Image(ui::Image::FromResource(L"FLAGS16"));
  }
  static void TearDownTestSuite() {
    delete flags_;
    delete com_;
  }

  // Shows the dialog for `table`; `act` ends it. True when confirmed.
  bool Run(TTransTable& table, std::function<void(HWND)> act) {
    pendingAction = std::move(act);
    SetTimer(nullptr, 0, 20, WhenShown);
    return TTableParamForm::Execute(nullptr, nullptr, table, *flags_);
  }

  static HWND Item(HWND dialog, ParamId id) { return GetDlgItem(dialog, static_cast<int>(id)); }
  static std::string Text(HWND dialog, ParamId id) { return ui::ToCp1251(ui::GetText(Item(dialog, id))); }
  static void SetText(HWND dialog, ParamId id, const std::string& cp1251) {
    SetWindowTextW(Item(dialog, id), ui::FromCp1251(cp1251).c_str());
  }
  static LRESULT Selected(HWND dialog, ParamId id) { return SendMessageW(Item(dialog, id), CB_GETCURSEL, 0, 0); }
  static void Select(HWND dialog, ParamId id, int item) { SendMessageW(Item(dialog, id), CB_SETCURSEL, item, 0); }
  static void Press(HWND dialog, int button) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

  static inline ui::ComApartment* com_ = nullptr;
  static inline ui::Image* flags_ = nullptr;
};

TEST_F(ParamForm, ShowsTheTableAndOkCopiesEveryFieldBack) {
  TTransTable table = NewEditorTable();
  table.AddPair("a", "b");
  const bool ok = Run(table, [](HWND dialog) {
    wchar_t caption[64] = L"";
    GetWindowTextW(dialog, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Параметры таблицы");
    EXPECT_EQ(Text(dialog, ParamId::EditFrom), W("Украинский"));
    EXPECT_EQ(Text(dialog, ParamId::EditTo), W("Английский"));
    EXPECT_EQ(Text(dialog, ParamId::EditDesc), W("Новая таблица транскрипции"));
    for (ParamId combo : {ParamId::ComboBox1, ParamId::ComboBox2})
      EXPECT_EQ(SendMessageW(Item(dialog, combo), CB_GETCOUNT, 0, 0), kFlagCount);
    EXPECT_EQ(Selected(dialog, ParamId::ComboBox1), kFlagUkraine);
    EXPECT_EQ(Selected(dialog, ParamId::ComboBox2), kFlagUnitedStates);
    EXPECT_EQ(GetFocus(), Item(dialog, ParamId::Button1));
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 305);
    EXPECT_EQ(client.bottom, 300);  // with the box of letter sets

    SetText(dialog, ParamId::EditFrom, W("Греческий"));
    SetText(dialog, ParamId::EditTo, "");  // any text is accepted, even none
    SetText(dialog, ParamId::EditDesc, W("ELOT 743"));
    Select(dialog, ParamId::ComboBox1, 88);
    Select(dialog, ParamId::ComboBox2, 0);
    // Enter: the default button "ОК".
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(table.From, W("Греческий"));
  EXPECT_EQ(table.To, "");
  EXPECT_EQ(table.Description, "ELOT 743");
  EXPECT_EQ(table.FromIcon, 88);
  EXPECT_EQ(table.ToIcon, 0);
  EXPECT_EQ(table.TableCount, 1);  // the pairs are no business of the dialog
}

TEST_F(ParamForm, CancelAndTheCloseBoxLeaveTheTableAsItWas) {
  const std::pair<const char*, std::function<void(HWND)>> endings[] = {
      {"Отмена", [](HWND dialog) { Press(dialog, static_cast<int>(ParamId::Button2)); }},
      {"close box", [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
      {"Esc in a box",
       [](HWND dialog) {
         SetFocus(Item(dialog, ParamId::EditDesc));
         PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
       }},
  };
  for (const auto& [name, end] : endings) {
    SCOPED_TRACE(name);
    TTransTable table = NewEditorTable();
    const TTransTable before = table;
    const bool ok = Run(table, [&end](HWND dialog) {
      SetText(dialog, ParamId::EditFrom, "changed");
      SetText(dialog, ParamId::EditDesc, "changed");
      Select(dialog, ParamId::ComboBox1, 1);
      Select(dialog, ParamId::ComboBox2, 2);
      end(dialog);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(table.From, before.From);
    EXPECT_EQ(table.To, before.To);
    EXPECT_EQ(table.Description, before.Description);
    EXPECT_EQ(table.FromIcon, before.FromIcon);
    EXPECT_EQ(table.ToIcon, before.ToIcon);
  }
}

TEST_F(ParamForm, AnIconOutsideTheCatalogueSelectsNothingAndIsKeptUnlessAnotherIsPicked) {
  TTransTable table = NewEditorTable();
  table.FromIcon = 999;
  table.ToIcon = -3;
  const bool ok = Run(table, [](HWND dialog) {
    EXPECT_EQ(Selected(dialog, ParamId::ComboBox1), CB_ERR);
    EXPECT_EQ(Selected(dialog, ParamId::ComboBox2), CB_ERR);
    Select(dialog, ParamId::ComboBox2, 5);
    Press(dialog, static_cast<int>(ParamId::Button1));
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(table.FromIcon, 999);
  EXPECT_EQ(table.ToIcon, 5);
}

}  // namespace
}  // namespace velmar
