// Files dropped onto a window, in process under Wine: a real HDROP (a
// DROPFILES block, as Explorer and Wine's X drag build it) is posted to a
// hidden window with a text box and a list, and what the drop did is looked at.
#include "drop_files.h"

#include <shlobj.h>  // DROPFILES

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace velmar {
namespace {

namespace fs = std::filesystem;

// A DROPFILES block with wide file names; `at` in the client coordinates of
// the window it is posted to.
HDROP MakeDrop(POINT at, const std::vector<std::wstring>& files) {
  std::wstring names;
  for (const std::wstring& f : files) names += f + L'\0';
  names += L'\0';
  const std::size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = at;
  drop->fNC = FALSE;
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// A hidden window laid out as the main window's two targets: a text box at
// the top, the table list below it; everything it is told and asked is kept.
class DropWindow {
 public:
  explicit DropWindow(const fs::path& tableFolder) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelmarDropTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 300, 400, nullptr, nullptr, wc.hInstance,
                            nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    box_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 200, 100, hwnd_, nullptr,
                           wc.hInstance, nullptr);
    list_ = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE, 0, 150, 200, 100, hwnd_, nullptr, wc.hInstance,
                            nullptr);
    DropHost host;
    host.window = hwnd_;
    host.sourceBox = box_;
    host.tableList = list_;
    host.tableFolder = tableFolder;
    host.busy = [this] { return busy; };
    host.openText = [this](const std::wstring& file) { opened.push_back(file); };
    host.reloadTables = [this] { ++reloads; };
    host.ask = [this](const std::wstring& question) {
      asked.push_back(question);
      return answer;
    };
    host.tell = [this](const std::wstring& message) { told.push_back(message); };
    drop_.Attach(std::move(host));
  }
  ~DropWindow() { DestroyWindow(hwnd_); }

  // Posts the drop as Windows does and handles it.
  void Drop(POINT at, const std::vector<std::wstring>& files) {
    PostMessageW(hwnd_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(at, files)), 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }

  static constexpr POINT kOnBox{50, 50}, kOnList{50, 200}, kElsewhere{250, 350};
  HWND hwnd() const { return hwnd_; }
  bool busy = false;
  bool answer = false;
  int reloads = 0;
  std::vector<std::wstring> opened, asked, told;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DropWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_DROPFILES) {
      self->drop_.OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_, box_ = nullptr, list_ = nullptr;
  FileDrop drop_;
};

class FileDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("velmar_dropwin_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_ / L"Рабочий стол");
    table_ = root_ / L"Table";
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path Write(const std::wstring& name, std::string_view bytes) {
    const fs::path p = root_ / L"Рабочий стол" / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::string Table(std::string_view from) {
    return "[Information]\r\nFrom=" + std::string(from) + "\r\nTo=Latin\r\n[Table]\r\na=b\r\n";
  }

  fs::path root_, table_;
};

TEST_F(FileDropTest, ATextFileOnTheBoxGoesToTheOpenCommand) {
  DropWindow window(table_);
  const fs::path letter = Write(L"Письмо.txt", "\xcf\xf0\xe8\xe2\xe5\xf2");
  window.Drop(DropWindow::kOnBox, {letter.wstring()});
  EXPECT_EQ(window.opened, std::vector<std::wstring>{letter.wstring()});
  EXPECT_TRUE(window.told.empty());

  // Two files, or a table, on the box: refused with the reason, nothing opened.
  window.opened.clear();
  window.Drop(DropWindow::kOnBox, {letter.wstring(), letter.wstring()});
  window.Drop(DropWindow::kOnBox, {Write(L"greek.table", Table("Greek")).wstring()});
  EXPECT_TRUE(window.opened.empty());
  ASSERT_EQ(window.told.size(), 2u);
  EXPECT_NE(window.told[1].find(L"на список таблиц"), std::wstring::npos);
  EXPECT_FALSE(fs::exists(table_));
}

TEST_F(FileDropTest, TablesOnTheListJoinTheFolderAndTheListFollows) {
  DropWindow window(table_);
  const fs::path a = Write(L"Греческий.table", Table("Greek")), b = Write(L"b.TABLE", Table("B"));
  window.Drop(DropWindow::kOnList, {a.wstring(), b.wstring()});
  EXPECT_EQ(Read(table_ / L"Греческий.table"), Table("Greek"));
  EXPECT_EQ(Read(table_ / L"b.TABLE"), Table("B"));
  EXPECT_EQ(window.reloads, 1);  // one reload for the whole drop
  EXPECT_TRUE(window.asked.empty());
  EXPECT_TRUE(window.told.empty());
}

TEST_F(FileDropTest, ATableOfTheSameNameIsReplacedOnlyWhenTheUserSaysSo) {
  fs::create_directories(table_);
  std::ofstream(table_ / L"греческий.table", std::ios::binary) << Table("Old");
  DropWindow window(table_);
  const fs::path dropped = Write(L"ГРЕЧЕСКИЙ.table", Table("New"));

  window.Drop(DropWindow::kOnList, {dropped.wstring()});
  ASSERT_EQ(window.asked.size(), 1u);
  EXPECT_NE(window.asked[0].find(L"«греческий.table»"), std::wstring::npos);
  EXPECT_EQ(Read(table_ / L"греческий.table"), Table("Old"));
  EXPECT_EQ(window.reloads, 0);

  window.answer = true;
  window.Drop(DropWindow::kOnList, {dropped.wstring()});
  EXPECT_EQ(window.asked.size(), 2u);
  EXPECT_EQ(Read(table_ / L"греческий.table"), Table("New"));
  EXPECT_EQ(window.reloads, 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(table_), fs::directory_iterator()), 1);
}

TEST_F(FileDropTest, WhatHasNoPlaceIsRefusedWithAWordWhy) {
  DropWindow window(table_);
  const fs::path text = Write(L"notes.txt", "text"), table = Write(L"greek.table", Table("Greek"));
  window.Drop(DropWindow::kOnList, {table.wstring(), text.wstring()});  // all or nothing
  window.Drop(DropWindow::kOnList, {(root_ / L"Рабочий стол").wstring()});
  window.Drop(DropWindow::kElsewhere, {table.wstring()});
  ASSERT_EQ(window.told.size(), 3u);
  EXPECT_NE(window.told[0].find(L"«notes.txt» — не таблица"), std::wstring::npos);
  EXPECT_NE(window.told[1].find(L"папка"), std::wstring::npos);
  EXPECT_NE(window.told[2].find(L"над списком таблиц"), std::wstring::npos);
  EXPECT_FALSE(fs::exists(table_));
  EXPECT_EQ(window.reloads, 0);

  // While a run holds the boxes and the list nothing is taken.
  window.busy = true;
  window.Drop(DropWindow::kOnBox, {text.wstring()});
  window.Drop(DropWindow::kOnList, {table.wstring()});
  EXPECT_TRUE(window.opened.empty());
  EXPECT_FALSE(fs::exists(table_));
  ASSERT_EQ(window.told.size(), 5u);
  EXPECT_NE(window.told[4].find(L"Подождите"), std::wstring::npos);

  // Nor while another window of the program holds this one disabled.
  window.busy = false;
  EnableWindow(window.hwnd(), FALSE);
  window.Drop(DropWindow::kOnBox, {text.wstring()});
  window.Drop(DropWindow::kOnList, {table.wstring()});
  EXPECT_TRUE(window.opened.empty());
  EXPECT_FALSE(fs::exists(table_));
  ASSERT_EQ(window.told.size(), 7u);
  EXPECT_NE(window.told[6].find(L"закройте открытое окно"), std::wstring::npos);
}

}  // namespace
}  // namespace velmar
