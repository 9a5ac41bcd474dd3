#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cli.h"
#include "text_tools_cmd.h"
#include "tools_test_util.h"

namespace velmar {
namespace {
using test::Cp;
namespace fs = std::filesystem;

// The command runs with its streams on files of a temporary folder, which the
// test then reads back.
class TextToolsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmar-tools-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string File(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return PathToUtf8(path);
  }

  struct Result { int status; std::string out; std::string err; };

  template <typename Run>
  Result Capture(const std::string& input, Run run) {
    std::FILE* in = Open("in", input);
    std::FILE* out = Open("out", "");
    std::FILE* err = Open("err", "");
    Result result{run(in, out, err), ReadBack(out), ReadBack(err)};
    std::fclose(in);
    return result;
  }
  Result Stats(std::vector<std::string> args, const std::string& input = "") {
    return Capture(input, [&](std::FILE* in, std::FILE* out, std::FILE* err) { return RunStatsCommand(args, in, out, err); });
  }
  Result Amount(std::vector<std::string> args) {
    return Capture("", [&](std::FILE*, std::FILE* out, std::FILE* err) { return RunAmountCommand(args, out, err); });
  }

 private:
  std::FILE* Open(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / ("stream-" + name);
    std::ofstream(path, std::ios::binary) << bytes;
    std::FILE* f = std::fopen(PathToUtf8(path).c_str(), "r+b");
    EXPECT_NE(f, nullptr);
    return f;
  }
  static std::string ReadBack(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
    return text;
  }

  fs::path dir_;
};

std::string Report(int words, int without, int with, int spaces, int lines, int digits, int cyrillic, int latin,
                   const std::string& size) {
  return "Слов: " + std::to_string(words) + "\nСимволов (без пробелов): " + std::to_string(without) +
         "\nСимволов (с пробелами): " + std::to_string(with) + "\nПробелов: " + std::to_string(spaces) +
         "\nСтрок: " + std::to_string(lines) + "\nЦифры: " + std::to_string(digits) +
         "\nКирилица: " + std::to_string(cyrillic) + "\nЛатиница: " + std::to_string(latin) +
         "\nРазмер: " + size + "\n";
}

TEST_F(TextToolsCommandTest, StatsOfAUtf8File) {
  const std::string file = File("a.txt", "Привет, World 2024\n");
  const Result r = Stats({file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Report(3, 18, 20, 2, 1, 4, 5, 4, "20 Байт"));
}

TEST_F(TextToolsCommandTest, StatsInWindows1251) {
  const std::string file = File("a.txt", Cp("Привет, World 2024"));
  const Result r = Stats({"--encoding", "cp1251", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Cp(Report(3, 18, 20, 2, 1, 4, 5, 4, "20 Байт")));
}

TEST_F(TextToolsCommandTest, StatsOfSeveralInputsTogether) {
  // Standard input ("-") between two files; a byte order mark is skipped and a
  // character outside Windows-1251 counts as one.
  const std::string a = File("a.txt", "\xEF\xBB\xBF" "ab\r\ncd");
  const std::string b = File("b.txt", "a☃b\n");
  const Result r = Stats({a, "-", b}, "x y\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Report(5, 19, 20, 1, 5, 0, 0, 8, "20 Байт"));
}

TEST_F(TextToolsCommandTest, StatsDecimalSeparator) {
  const std::string file = File("big.txt", std::string(1534, 'x') + "\n");
  EXPECT_EQ(Stats({file}).out, Report(1, 1536, 1536, 0, 1, 0, 0, 1534, "1.50 Кб"));
  EXPECT_EQ(Stats({"--decimal=,", file}).out, Report(1, 1536, 1536, 0, 1, 0, 0, 1534, "1,50 Кб"));
  EXPECT_EQ(Stats({"--decimal", ",", file}).out, Report(1, 1536, 1536, 0, 1, 0, 0, 1534, "1,50 Кб"));
}

TEST_F(TextToolsCommandTest, StatsFailures) {
  struct Case { std::vector<std::string> args; std::string input; int status; std::string message; };
  const std::string missing = PathToUtf8(fs::temp_directory_path() / "velmar-no-such-file.txt");
  const Case cases[] = {
      {{missing}, "", 1, "cannot read"},
      {{}, "ok \xFF\xFE", 1, "not valid UTF-8 (byte 3)"},
      {{"--bogus"}, "", 2, "unknown option --bogus"},
      {{"--encoding", "koi8-r"}, "", 2, "unknown encoding"},
      {{"--encoding"}, "", 2, "--encoding needs a value"},
      {{"--decimal", "☃"}, "", 2, "--decimal"},
      {{"--decimal", ""}, "", 2, "--decimal"},
  };
  for (const auto& c : cases) {
    const Result r = Stats(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(TextToolsCommandTest, Amount) {
  struct Case { std::vector<std::string> args; std::string out; };
  const Case cases[] = {
      {{"1", "250,75", "руб."}, "одна тысяча двести пятьдесят рублей 75 копеек\n"},
      {{"12,5"}, "двенадцать рублей 50 копеек\n"},
      {{"1\u00A0000.01"}, "одна тысяча рублей 01 копейка\n"},
      {{"--hryvnia", "21"}, "двадцать одна гривна 00 копеек\n"},
      {{"00000000000000000042"}, "сорок два рубля 00 копеек\n"},
      {{"0"}, "00 копеек\n"},
  };
  for (const auto& c : cases) {
    const Result r = Amount(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
  }
  EXPECT_EQ(Amount({"--encoding=cp1251", "--hryvnia", "2"}).out, Cp("две гривны 00 копеек\n"));
}

TEST_F(TextToolsCommandTest, AmountFailures) {
  struct Case { std::vector<std::string> args; std::string message; };
  const Case cases[] = {
      {{"000000000000000000042"}, "Слишком длинное число (макс. длина 20 символов)."},
      {{"abc"}, "no digits"},
      {{}, "missing NUMBER"},
      {{"--hryvnia"}, "missing NUMBER"},
      {{"-5"}, "unknown option -5"},
      {{"--", "-5"}, "Не удалось прочитать сумму"},
      {{"1,234"}, "Не удалось прочитать сумму"},
      {{"12", "abc", "34"}, "Не удалось прочитать сумму"},
      {{"--encoding", "latin1", "5"}, "unknown encoding"},
  };
  for (const auto& c : cases) {
    const Result r = Amount(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(TextToolsCommandTest, ReachedThroughTheCommandLine) {
  const Result r = Capture("", [](std::FILE* in, std::FILE* out, std::FILE* err) {
    return RunVelmar({"amount", "--hryvnia", "1001"}, in, out, err);
  });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "одна тысяча одна гривна 00 копеек\n");
}

}  // namespace
}  // namespace velmar
