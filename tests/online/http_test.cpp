#include "http.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "loopback_server.h"
#include "sha256.h"

namespace velmar::online {
namespace {

namespace fs = std::filesystem;
using test::LoopbackServer;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Pattern(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(i * 31 + i / 256);
  return text;
}

class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTimeouts({3000, 3000});
    folder_ = fs::temp_directory_path() / ("velmar_http_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Only the destination itself may be in the folder afterwards: no ".part".
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
    return names;
  }

  LoopbackServer server_;
  fs::path folder_;
};

TEST_F(HttpTest, FetchGivesTheBodyByteForByteWithItsStatus) {
  const std::string body = std::string("[m]\r\nName=A\0B\r\n", 16) + "\xC0\xFF";
  server_.SetBody("/cat.ini", body);
  const FetchResult ok = FetchUrl(server_.Url("/cat.ini"));
  EXPECT_EQ(ok.body, body);
  EXPECT_EQ(ok.status, 200u);
  EXPECT_TRUE(ok.Ok());
  EXPECT_FALSE(ok.cut);
  EXPECT_EQ(FetchText(server_.Url("/cat.ini")), body);

  server_.SetBody("/empty.ini", "");
  const FetchResult empty = FetchUrl(server_.Url("/empty.ini"));
  EXPECT_EQ(empty.body, "");
  EXPECT_EQ(empty.status, 200u);

  // An error page is a body like any other; the status tells it apart.
  const FetchResult missing = FetchUrl(server_.Url("/nothing.ini"));
  EXPECT_EQ(missing.body, "not found");
  EXPECT_EQ(missing.status, 404u);
  EXPECT_FALSE(missing.Ok());
}

TEST_F(HttpTest, FetchReadsOnce64KiBAndSaysWhenTheBodyWasLonger) {
  const std::string body = Pattern(70000);
  server_.SetBody("/big.ini", body);
  const FetchResult big = FetchUrl(server_.Url("/big.ini"));
  EXPECT_EQ(big.body, body.substr(0, 65536));
  EXPECT_TRUE(big.cut);

  server_.SetBody("/exact.ini", body.substr(0, 65536));
  const FetchResult exact = FetchUrl(server_.Url("/exact.ini"));
  EXPECT_EQ(exact.body.size(), 65536u);
  EXPECT_FALSE(exact.cut);
}

TEST_F(HttpTest, FetchWithoutAServerOrFromAServerThatNeverAnswersGivesNothing) {
  LoopbackServer* gone = new LoopbackServer;
  const std::string refused = gone->Url("/cat.ini");
  delete gone;
  EXPECT_EQ(FetchUrl(refused).body, "");
  EXPECT_EQ(FetchUrl(refused).status, 0u);

  SetTimeouts({1000, 1000});
  server_.SetHang("/hang.ini");
  const FetchResult hung = FetchUrl(server_.Url("/hang.ini"));
  EXPECT_EQ(hung.body, "");
  EXPECT_EQ(hung.status, 0u);
}

TEST_F(HttpTest, DownloadWritesTheWholeBodyAndReplacesAnOldFile) {
  const std::string body = Pattern(5000);
  server_.SetBody("/m.table", body);
  const fs::path target = folder_ / "m.table";
  std::ofstream(target, std::ios::binary) << "old";
  const DownloadResult result = DownloadFile(server_.Url("/m.table"), target);
  EXPECT_TRUE(result.Ok()) << static_cast<int>(result.error);
  EXPECT_EQ(result.bytes, 5000u);
  EXPECT_EQ(result.announced, 5000u);
  EXPECT_EQ(ReadAll(target), body);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"m.table"});

  server_.SetBody("/empty.table", "");
  EXPECT_TRUE(DownloadFile(server_.Url("/empty.table"), folder_ / "empty.table").Ok());
  EXPECT_EQ(fs::file_size(folder_ / "empty.table"), 0u);
}

TEST_F(HttpTest, AFailedDownloadLeavesNoFileAndTheOldOneAlone) {
  const fs::path target = folder_ / "m.table";
  server_.SetCutShort("/cut.table", Pattern(3000), 10000);
  server_.SetBody("/error.table", "<html>Server error</html>", "500 Internal Server Error");
  server_.SetHang("/hang.table");
  server_.SetStalled("/stalled.table", Pattern(2000), 10000);
  LoopbackServer* gone = new LoopbackServer;
  const std::string refused = gone->Url("/m.table");
  delete gone;

  struct Case {
    std::string url;
    DownloadError error;
    unsigned status;
    std::wstring told;  // what the user is told, in Russian
    // A server that never answers is either timed out or cut off by WinINet,
    // depending on the timing: both are "not answering" to the user.
    std::wstring orTold = {};
  };
  SetTimeouts({1000, 1000});
  for (const Case& c : {Case{server_.Url("/missing.table"), DownloadError::HttpStatus, 404, L"сервер ответил кодом 404"},
                        Case{server_.Url("/error.table"), DownloadError::HttpStatus, 500, L"сервер ответил кодом 500"},
                        Case{server_.Url("/cut.table"), DownloadError::Broken, 200,
                             L"связь прервалась, получено байт: 3000 из 10000"},
                        Case{server_.Url("/hang.table"), DownloadError::OpenFailed, 0,
                             L"сервер не отвечает (сервер не ответил вовремя)",
                             L"сервер не отвечает (соединение прервано)"},
                        Case{server_.Url("/stalled.table"), DownloadError::Broken, 200,
                             L"связь прервалась, получено байт: 2000 из 10000"},
                        Case{refused, DownloadError::OpenFailed, 0, L"сервер не отвечает (не удалось соединиться с сервером)"},
                        Case{"file:///C:/windows/win.ini", DownloadError::BadUrl, 0,
                             L"адрес не начинается с http:// или https://"}}) {
    for (bool existing : {false, true}) {
      if (existing) {
        std::ofstream(target, std::ios::binary) << "old";
      } else {
        fs::remove(target);
      }
      const DownloadResult result = DownloadFile(c.url, target);
      EXPECT_EQ(result.error, c.error) << c.url;
      EXPECT_EQ(result.status, c.status) << c.url;
      const std::wstring told = DownloadFailureText(result);
      EXPECT_TRUE(told == c.told || (!c.orTold.empty() && told == c.orTold))
          << c.url << ": " << ::testing::PrintToString(told);
      EXPECT_EQ(FolderNames(), existing ? std::vector<std::string>{"m.table"} : std::vector<std::string>{}) << c.url;
      if (existing) {
        EXPECT_EQ(ReadAll(target), "old") << c.url;
      }
    }
  }
}

TEST_F(HttpTest, DownloadChecksTheDigestWhenOneIsGiven) {
  const std::string body = Pattern(2500);
  server_.SetBody("/m.table", body);
  DownloadOptions options;
  options.sha256 = Sha256Hex(body);
  EXPECT_TRUE(DownloadFile(server_.Url("/m.table"), folder_ / "good.table", options).Ok());
  EXPECT_EQ(ReadAll(folder_ / "good.table"), body);

  options.sha256 = Sha256Hex(body + "x");
  EXPECT_EQ(DownloadFile(server_.Url("/m.table"), folder_ / "bad.table", options).error, DownloadError::Checksum);
  EXPECT_FALSE(fs::exists(folder_ / "bad.table"));
  EXPECT_FALSE(fs::exists(folder_ / "bad.table.part"));
}

TEST_F(HttpTest, DownloadIntoAFolderThatDoesNotExistIsAFileError) {
  server_.SetBody("/m.table", "abc");
  const DownloadResult result = DownloadFile(server_.Url("/m.table"), folder_ / "no" / "such" / "m.table");
  EXPECT_EQ(result.error, DownloadError::File);
  EXPECT_EQ(result.status, 200u);
  EXPECT_NE(result.systemError, 0u);
  EXPECT_EQ(DownloadFailureText(result), L"файл не записан (папка не найдена)");
}

TEST_F(HttpTest, DownloadWithProgressReportsEveryChunkAndTheFinalEmptyRead) {
  server_.SetBody("/setup.exe", Pattern(2048 + 100));
  DownloadOptions options;
  options.withProgress = true;
  std::vector<std::uint64_t> chunks;
  options.onChunk = [&](std::uint64_t n) { chunks.push_back(n); };
  const DownloadResult result = DownloadFile(server_.Url("/setup.exe"), folder_ / "setup.exe", options);
  EXPECT_TRUE(result.Ok());
  EXPECT_EQ(chunks, (std::vector<std::uint64_t>{1024, 1024, 100, 0}));
}

TEST_F(HttpTest, ABackgroundDownloadEndsAtOnceWhenCancelledOrOverItsLimit) {
  // A server that sends a part of the body and then nothing: each read waits
  // for its whole time-out, longer than the user or the limit waits.
  SetTimeouts({4000, 4000});
  server_.SetStalled("/stalled.table", Pattern(2000), 10000);
  const fs::path target = folder_ / "m.table";
  struct Case {
    bool cancel;
    unsigned long overallMs;
    DownloadError error;
  };
  for (const Case& c : {Case{true, 60000, DownloadError::Cancelled}, Case{false, 500, DownloadError::TimedOut}}) {
    for (bool existing : {false, true}) {
      if (existing) {
        std::ofstream(target, std::ios::binary) << "old";
      } else {
        fs::remove(target);
      }
      BackgroundDownload background;
      background.overallMs = c.overallMs;
      std::uint64_t seen = 0;
      const auto start = std::chrono::steady_clock::now();
      background.progress = [&](std::uint64_t total) { seen = total; };
      background.cancelled = [&] {
        return c.cancel && std::chrono::steady_clock::now() - start > std::chrono::milliseconds(500);
      };
      const DownloadResult result = DownloadInBackground(server_.Url("/stalled.table"), target, background);
      const auto took = std::chrono::steady_clock::now() - start;
      EXPECT_EQ(result.error, c.error);
      EXPECT_LT(took, std::chrono::milliseconds(2500));  // not the read's 4 s
      EXPECT_GT(seen, 0u);  // what had come was shown while it waited
      // Nothing half is left once the worker has let go of it (its read
      // times out), and a file that was there is as it was.
      const std::vector<std::string> expected =
          existing ? std::vector<std::string>{"m.table"} : std::vector<std::string>{};
      for (int i = 0; i < 100 && FolderNames() != expected; ++i) Sleep(100);
      EXPECT_EQ(FolderNames(), expected);
      if (existing) {
        EXPECT_EQ(ReadAll(target), "old");
      }
    }
  }
}

TEST_F(HttpTest, ABackgroundDownloadKeepsTheCallingThreadAnsweringAndEndsWhole) {
  const std::string body = Pattern(300000);
  server_.SetBody("/m.table", body);
  const fs::path target = folder_ / "m.table";
  // A message posted to this thread is handled while the download runs.
  HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"handled"));
  BackgroundDownload background;
  std::uint64_t seen = 0;
  background.progress = [&](std::uint64_t total) { seen = total; };
  const DownloadResult result = DownloadInBackground(server_.Url("/m.table"), target, background);
  wchar_t text[16] = {};
  GetWindowTextW(window, text, 16);
  DestroyWindow(window);
  EXPECT_TRUE(result.Ok()) << static_cast<int>(result.error);
  EXPECT_EQ(seen, body.size());
  EXPECT_EQ(ReadAll(target), body);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"m.table"});
}

TEST_F(HttpTest, LeftOverPartsOfDownloadsAreRemovedAndNothingElse) {
  const fs::path tables = folder_ / "Table", temp = folder_ / "Temp";
  fs::create_directories(tables);
  fs::create_directories(temp);
  for (const fs::path& file : {tables / "a.table.part", tables / "a.table", tables / "notes.txt",
                               UpdatePartPath(temp, L"setup.exe"), temp / "setup.exe", temp / "other.part"})
    std::ofstream(file, std::ios::binary) << "x";
  RemoveLeftOverParts(tables, temp);
  std::vector<std::string> left;
  for (const fs::path& folder : {tables, temp})
    for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a.table", "notes.txt", "other.part", "setup.exe"}));
}

TEST(TempFolderPath, IsAnExistingFolderEndingWithASeparator) {
  const std::wstring temp = TempFolderPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), L'\\');
  EXPECT_TRUE(fs::is_directory(temp));
}

}  // namespace
}  // namespace velmar::online
