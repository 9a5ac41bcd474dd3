#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cli.h"
#include "test_util.h"

namespace velmar {
namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

std::string ReadAll(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  return s;
}

Result Velmar(std::vector<std::string> args, const std::string& input = "") {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), in);
  std::rewind(in);
  Result r{RunVelmar(args, in, out, err), ReadAll(out), ReadAll(err)};
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  return r;
}

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

TEST(VelmarConvert, LinesAndLineBreaks) {
  struct Case { const char* input; const char* expected; };
  const Case cases[] = {
      {"", ""},
      {"\xD0\xA9\xD1\x83\xD0\xBA\xD0\xB0", "Schuka\r\n"},           // "Щука": a last line without a break
      {"a\r\nb\rc\nd\r\n", "a\r\nb\r\nc\r\nd\r\n"},                  // CR LF, lone CR, lone LF
      {"\r\n\r\n", "\r\n\r\n"},                                      // empty lines stay
      {"x\n\ry", "x\r\n\r\ny\r\n"},                                 // LF CR is two breaks
  };
  for (const auto& c : cases) {
    Result r = Velmar({"convert"}, c.input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.expected) << c.input;
  }
  EXPECT_EQ(Velmar({"convert", "--eol", "lf"}, "a\r\nb").out, "a\nb\n");
}

TEST(VelmarConvert, ABreakSplitAcrossReadBlocksCountsOnce) {
  // The reader takes 1 MiB at a time: put the CR of a CR LF at the block's end.
  std::string input(1 << 20, 'a');
  input[(1 << 20) - 1] = '\r';
  input += "\nb";
  Result r = Velmar({"convert", "--encoding", "cp1251"}, input);
  std::string expected = std::string((1 << 20) - 1, 'a') + "\r\nb\r\n";
  EXPECT_EQ(r.out, expected);
}

TEST(VelmarConvert, OptionsReverseAndCompress) {
  EXPECT_EQ(Velmar({"convert", "--underscore"}, "\xD0\xA9\xD1\x83\xD0\xBA\xD0\xB0 \xD0\xB5\xD1\x81\xD1\x82").out,
            "Schuka_est\r\n");
  EXPECT_EQ(Velmar({"convert", "--hyphen"}, "a b").out, "a-b\r\n");
  EXPECT_EQ(Velmar({"convert", "--compress"}, "\xD0\xA9\xD1\x83\xD0\xBA\xD0\xB0 \r\n  \xD0\xB5\xD1\x81\xD1\x82\r\n").out,
            "Schuka est");
  EXPECT_EQ(Velmar({"convert", "--table", "1"}, "Schuka").out, "\xD0\xA9\xD1\x83\xD0\xBA\xD0\xB0\r\n");
  EXPECT_EQ(Velmar({"convert", "--table", "0", "--reverse"}, "zh").out, "\xD0\xB6\r\n");
}

TEST(VelmarConvert, WordsInCapitalsStayInCapitalsOnEveryPath) {
  struct Case {
    std::vector<std::string> options;
    std::string input, expected;
  } cases[] = {
      // UTF-8 through the one-letter map, a line cut across read blocks included.
      {{}, "ЩУКА ЖУК, Щука, Я\nОБЪЁМ", "SCHUKA ZHUK, Schuka, Ya\r\nOB'YEM\r\n"},
      {{}, std::string(70000, 'x') + " ЖУК", std::string(70000, 'x') + " ZHUK\r\n"},
      // Windows-1251 through the line-by-line engines.
      {{"--encoding", "cp1251"}, "\xD9\xD3\xCA\xC0", "SCHUKA\r\n"},
      {{"--reverse"}, "SCHUKA CHAY Schuka", "ЩУКА ЧАЙ Щука\r\n"},
      {{"--literal-case"}, "ЩУКА ЖУК", "SchUKA ZhUK\r\n"},
      {{"--literal-case", "--reverse"}, "SCHUKA", "СCHУКА\r\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"convert"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    Result r = Velmar(args, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.expected) << c.input.substr(0, 40);
  }
}

TEST(VelmarConvert, Cp1251ModePassesEveryByteItDoesNotConvert) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') all += static_cast<char>(b);
  Result r = Velmar({"convert", "--encoding", "cp1251", "--table", "x/none.table"}, all);
  EXPECT_EQ(r.status, 1);  // a table file that cannot be read is an error here
  test::TempDir dir;
  auto table = dir.Write("empty.table", "[Information]\r\nFrom=A\r\n");
  r = Velmar({"convert", "--encoding", "cp1251", "--table", table.string()}, all);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, all + "\r\n");
}

TEST(VelmarConvert, Utf8CharactersOutsideTheCodePageSurviveInOrder) {
  // "Ω" and "😀" have no Windows-1251 byte; "ж" converts around them.
  EXPECT_EQ(Velmar({"convert"}, "\xCE\xA9\xD0\xB6\xF0\x9F\x98\x80|\xCE\xA9").out,
            "\xCE\xA9zh\xF0\x9F\x98\x80|\xCE\xA9\r\n");
  // A pair that deletes the leading blank makes the line lose its first
  // character, here a kept-aside one: the next ones must stay in place.
  test::TempDir dir;
  auto table = dir.Write("eat.table", "[Table]\r\n_=\r\n");
  Result r = Velmar({"convert", "--table", table.string()}, "\xCE\xA9x\xE2\x82\xAC\xCE\xB2\nq\xCE\xB3");
  EXPECT_EQ(r.out, "x\xE2\x82\xAC\xCE\xB2\r\n\xCE\xB3\r\n");
}

TEST(VelmarConvert, MalformedUtf8NamesTheOffset) {
  Result r = Velmar({"convert"}, "ab\xC3(");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("byte offset 2"), std::string::npos) << r.err;
  r = Velmar({"convert"}, "abc\xE2\x82");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("byte offset 3"), std::string::npos) << r.err;
  for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF5\x80\x80\x80", "\x80"})
    EXPECT_EQ(Velmar({"convert"}, bad).status, 1) << bad;
}

TEST(VelmarConvert, OutputFileIsReplacedOnlyOnSuccess) {
  test::TempDir dir;
  auto out = dir.Write("out.txt", "keep me");
  auto good = dir.Write("good.txt", "\xD0\xB6");
  auto bad = dir.Write("bad.txt", "\xD0\xB6\xFF");
  Result r = Velmar({"convert", "--output", out.string(), good.string(), bad.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Slurp(out), "keep me");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);  // no temp file left
  r = Velmar({"convert", "-o", out.string(), good.string(), good.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Slurp(out), "zhzh\r\n");  // the files are one text, as if joined
}

TEST(VelmarConvert, Errors) {
  EXPECT_EQ(Velmar({"convert", "--table", "7"}).status, 1);
  EXPECT_EQ(Velmar({"convert", "/no/such/file"}).status, 1);
  EXPECT_EQ(Velmar({"convert", "--bogus"}).status, 2);
  EXPECT_EQ(Velmar({"convert", "--table"}).status, 2);
  EXPECT_EQ(Velmar({"convert", "--encoding", "koi8"}).status, 2);
  EXPECT_EQ(Velmar({"convert", "--underscore", "--hyphen"}).status, 2);
  EXPECT_EQ(Velmar({"frobnicate"}).status, 2);
  EXPECT_EQ(Velmar({}).status, 2);
  Result help = Velmar({"convert", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("velmar convert"), std::string::npos);
}

TEST(VelmarCommandLine, EveryOptionTakesItsValueEitherWay) {
  // "--name value" and "--name=value" in every subcommand.
  const std::string zh = "\xD0\xB6";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"convert", "--encoding", "cp1251", "--eol", "lf", "--table", "0"},
           {"convert", "--encoding=cp1251", "--eol=lf", "--table=0"}}) {
    EXPECT_EQ(Velmar(args, "\xE6").out, "zh\n");
  }
  test::TempDir dir;
  EXPECT_EQ(Velmar({"tables", "--tables-dir=" + dir.path().string(), "--encoding=cp1251"}).out,
            Velmar({"tables", "--tables-dir", dir.path().string(), "--encoding", "cp1251"}).out);
  EXPECT_EQ(Velmar({"stats", "--encoding=cp1251"}, "ab").out, Velmar({"stats", "--encoding", "cp1251"}, "ab").out);
  EXPECT_EQ(Velmar({"amount", "--encoding=utf-8", "5"}).out, Velmar({"amount", "--encoding", "utf-8", "5"}).out);
  // "-" is standard input in convert as in stats.
  EXPECT_EQ(Velmar({"convert", "-"}, zh).out, "zh\r\n");
}

TEST(VelmarCommandLine, OneErrorFormatInEverySubcommand) {
  for (const char* command : {"convert", "tables", "stats", "amount"}) {
    const Result unknown = Velmar({command, "--bogus"});
    EXPECT_EQ(unknown.status, 2) << command;
    EXPECT_EQ(unknown.err, std::string("velmar ") + command + ": unknown option --bogus\nTry 'velmar " + command +
                               " --help'.\n");
    const Result missing = Velmar({command, "--encoding"});
    EXPECT_EQ(missing.status, 2) << command;
    EXPECT_EQ(missing.err, std::string("velmar ") + command + ": --encoding needs a value\nTry 'velmar " + command +
                               " --help'.\n");
  }
  const Result unreadable = Velmar({"convert", "/no/such/file"});
  EXPECT_EQ(unreadable.err, "velmar convert: cannot read /no/such/file\n");
  EXPECT_EQ(Velmar({"stats", "/no/such/file"}).err, "velmar stats: cannot read /no/such/file\n");
  EXPECT_EQ(Velmar({"convert", "--reverse=yes"}).status, 2);
}

TEST(VelmarConvert, ALongLineOverManyReadBlocks) {
  // One line of three read blocks, with "ж" and a kept-aside character cut
  // between blocks, and a short line after it.
  std::string input, expected;
  while (input.size() < (3u << 20)) {
    input += "\xD0\xB6\xE2\x98\x83 ab ";
    expected += "zh\xE2\x98\x83 ab ";
  }
  input += "\nq";
  expected += "\nq\n";
  const Result r = Velmar({"convert", "--eol=lf"}, input);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.size(), expected.size());
  EXPECT_TRUE(r.out == expected);
}

TEST(VelmarStats, ManyEmptyLinesAndOneLongLine) {
  const Result feeds = Velmar({"stats", "--encoding=cp1251"}, std::string(3u << 20, '\n'));
  ASSERT_EQ(feeds.status, 0) << feeds.err;
  EXPECT_NE(feeds.out.find(": 3145728\n"), std::string::npos) << feeds.out;  // lines
  const Result longLine = Velmar({"stats", "--encoding=cp1251"}, std::string(3u << 20, 'x'));
  EXPECT_NE(longLine.out.find(": 1\n"), std::string::npos) << longLine.out;
  EXPECT_NE(longLine.out.find(": 3145730\n"), std::string::npos) << longLine.out;
}

#ifndef _WIN32
// Output files that are not plain files of their own.
TEST(VelmarConvert, OutputIntoLinksDevicesAndFifos) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const std::string zh = "\xD0\xB6";

  // A symbolic link: the file it names gets the text, the link stays.
  const auto target = dir.Write("target.txt", "old");
  fs::create_symlink(target, dir.path() / "link.txt");
  ASSERT_EQ(Velmar({"convert", "--output", (dir.path() / "link.txt").string()}, zh).status, 0);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "link.txt")));
  EXPECT_EQ(Slurp(target), "zh\r\n");

  // A file only its owner may read keeps its permissions.
  const auto secret = dir.Write("secret.txt", "old");
  fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(Velmar({"convert", "--output", secret.string()}, zh).status, 0);
  EXPECT_EQ(fs::status(secret).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Slurp(secret), "zh\r\n");

  // A hard link sees the new text.
  const auto shared = dir.Write("shared.txt", "old");
  fs::create_hard_link(shared, dir.path() / "other-name.txt");
  ASSERT_EQ(Velmar({"convert", "--output", shared.string()}, zh).status, 0);
  EXPECT_EQ(Slurp(dir.path() / "other-name.txt"), "zh\r\n");

  // A device is written, not replaced.
  EXPECT_EQ(Velmar({"convert", "--output", "/dev/null"}, zh).status, 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  // A FIFO is written into.
  const auto fifo = dir.path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string read;
  std::thread reader([&] { read = Slurp(fifo); });
  const Result r = Velmar({"convert", "--output", fifo.string()}, zh);
  reader.join();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read, "zh\r\n");
  EXPECT_TRUE(fs::is_fifo(fifo));

  // No temporary file is left anywhere.
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().string().find("velmar-tmp"), std::string::npos) << entry.path();
}
#endif

TEST(VelmarTables, OneLinePerSlotFromTheTablesFolder) {
  test::TempDir dir;
  dir.Write("uk.table",
            "[Information]\r\nFrom=\xD3\xEA\xF0\r\nTo=Eng\r\nDescription=d\r\nFromIcon=5\r\n[Table]\r\n\xC6=Zh\r\n");
  Result r = Velmar({"tables", "--tables-dir", dir.path().string()});
  ASSERT_EQ(r.status, 0);
  std::string path = (dir.path() / "uk.table").string();
  EXPECT_EQ(r.out,
            "0\t\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9 - "
            "\xD0\x90\xD0\xBD\xD0\xB3\xD0\xBB\xD0\xB8\xD0\xB9\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9\tBGN/PCGN (1965)\t189\t247\t66\t\n"
            "1\t\xD0\x90\xD0\xBD\xD0\xB3\xD0\xBB\xD0\xB8\xD0\xB9\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9 - "
            "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9\tBGN/PCGN (1965)\t247\t189\t66\t\n"
            "2\t\xD0\xA3\xD0\xBA\xD1\x80 - Eng\td\t5\t247\t2\t" + path + "\n"
            "3\tEng - \xD0\xA3\xD0\xBA\xD1\x80\td\t247\t5\t2\t" + path + "\n");
  Result cp = Velmar({"tables", "--tables-dir", dir.path().string(), "--encoding", "cp1251"});
  EXPECT_NE(cp.out.find("2\t\xD3\xEA\xF0 - Eng"), std::string::npos);
  // Slot 2 converts through the folder's table.
  EXPECT_EQ(Velmar({"convert", "--tables-dir", dir.path().string(), "--table", "2"}, "\xD0\x96\xD0\xB6").out,
            "Zhzh\r\n");
}

// A small Unicode table: Serbian letters and a word-initial pair.
const char* const kSerbianTable =
    "\xEF\xBB\xBF[Information]\r\nFrom=Српски\r\nTo=Srpski\r\nDescription=Ćirilica\r\n"
    "[Table]\r\nЉ=Lj\r\nЖ=Ž\r\nЕ=E\r\nА=A\r\nБ=B\r\nВ=V\r\nУ=U\r\n_Ш=_Š\r\n";

TEST(VelmarConvertUnicodeTable, Utf8InAndOutLosesNothing) {
  test::TempDir dir;
  const std::string table = dir.Write("sr.table", kSerbianTable).string();
  struct Case {
    std::vector<std::string> options;
    std::string input, expected;
  } cases[] = {
      {{}, "Љубав 😀 жаба\r\nшаш\nЉУБАВ", "Ljubav 😀 žaba\r\nšaш\r\nLJUBAV\r\n"},
      {{"--literal-case"}, "ЉУБАВ", "LjUBAV\r\n"},
      {{"--reverse"}, "LJUBAV", "ЉУБАВ\r\n"},
      {{"--reverse"}, "Ljubav Ža", "Љубав Жа\r\n"},
      {{"--compress"}, "  Љуба\r\n\r\n ва\t\xC2\x85ж", "Ljuba va ž"},
      {{"--underscore", "--eol", "lf"}, "ба ба", "ba_ba\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"convert", "--table", table};
    args.insert(args.end(), c.options.begin(), c.options.end());
    Result r = Velmar(args, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.expected) << c.input;
  }
  // Windows-1251 input ("Жаба") converts to UTF-8.
  EXPECT_EQ(Velmar({"convert", "--table", table, "--encoding", "cp1251"}, "\xC6\xE0\xE1\xE0").out, "Žaba\r\n");
}

TEST(VelmarConvertUnicodeTable, CharactersSplitAcrossReadBlocksAndMalformedInput) {
  test::TempDir dir;
  const std::string table = dir.Write("sr.table", kSerbianTable).string();
  // The reader takes 1 MiB at a time: the block ends inside the two bytes of "ж".
  const std::string input = std::string((1 << 20) - 1, 'a') + "\xD0\xB6\xD0\xB6";
  Result r = Velmar({"convert", "--table", table}, input);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(r.out.size() - 6), "žž\r\n");

  // The same report as with any other table.
  for (std::string malformed : {std::string("ab\xFF"), std::string("ab\xD0"), std::string(1 << 20, 'a') + "b\xC0\xAF"}) {
    Result e = Velmar({"convert", "--table", table}, malformed);
    EXPECT_EQ(e.status, 1);
    EXPECT_EQ(e.err, Velmar({"convert"}, malformed).err);
    EXPECT_NE(e.err.find("malformed UTF-8 at byte offset " + std::to_string(malformed.find_first_of("\xFF\xD0\xC0"))),
              std::string::npos)
        << e.err;
  }
  const std::string broken = dir.Write("broken.table", "\xEF\xBB\xBF[Table]\r\n\xD0=x\r\n").string();
  Result e = Velmar({"convert", "--table", broken}, "x");
  EXPECT_EQ(e.status, 1);
  EXPECT_EQ(e.err, "velmar convert: cannot read table file " + broken +
                       ": malformed UTF-8 at byte offset 12 (the file begins with the UTF-8 byte order mark)\n");
}

TEST(VelmarTables, UnicodeTableNames) {
  test::TempDir dir;
  dir.Write("sr.table", kSerbianTable);
  Result r = Velmar({"tables", "--tables-dir", dir.path().string()});
  EXPECT_NE(r.out.find("2\tСрпски - Srpski\tĆirilica\t244\t247\t16\t"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("3\tSrpski - Српски\tĆirilica\t247\t244\t16\t"), std::string::npos) << r.out;
  // In Windows-1251 what the code page has not becomes "?".
  Result cp = Velmar({"tables", "--tables-dir", dir.path().string(), "--encoding", "cp1251"});
  EXPECT_NE(cp.out.find("2\t\xD1\xF0\xEF\xF1\xEA\xE8 - Srpski\t?irilica\t"), std::string::npos);
}

}  // namespace
}  // namespace velmar
