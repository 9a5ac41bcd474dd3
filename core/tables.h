#pragma once
// Conversion tables and the table store.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmar {

// One pair: every occurrence of Source is replaced by Target, where its
// context (when it has one) allows.
struct TCharTable {
  std::string Source;
  std::string Target;
  std::int32_t Context = 0;  // 0: anywhere; k: the table's Contexts[k - 1]

  friend bool operator==(const TCharTable&, const TCharTable&) = default;
};

inline constexpr int kTablePairCapacity = 1000;

// Flag numbers the program itself relies on.
inline constexpr int kFlagRussia = 189;
inline constexpr int kFlagUkraine = 244;       // default FromIcon of a table file
inline constexpr int kFlagUnitedStates = 247;  // default ToIcon of a table file
inline constexpr int kFlagCount = 261;

// The encoding of a table's strings, and of the file it came from. A table
// read from a file with a Unicode byte order mark holds UTF-8 strings and is
// applied to Unicode characters; every other table holds Windows-1251 bytes.
enum class TableEncoding { Cp1251, Utf8, Utf16Le };

// Where a pair may apply, judged on the text as the user wrote it and not
// part of what the pair replaces. The left side (a word start, or the
// character before is one of `after`) and the right side (a word end, or the
// character after is one of `before`) must each hold when they say anything.
// Letters are small (lower-cased) characters of the table's text: bytes of a
// Windows-1251 table, code points of a Unicode table.
struct PairContext {
  bool start = false;
  std::u32string after;
  bool end = false;
  std::u32string before;

  bool Left() const { return start || !after.empty(); }
  bool Right() const { return end || !before.empty(); }
  friend bool operator==(const PairContext&, const PairContext&) = default;
};

// One conversion table. Strings are Windows-1251 bytes, or UTF-8 for a Unicode table.
struct TTransTable {
  std::string From;
  std::string To;
  std::string Description;
  std::array<TCharTable, kTablePairCapacity> Table{};  // applied pairs, below TableCount
  std::array<TCharTable, kTablePairCapacity> First{};  // read, never applied, below FirstCount
  std::filesystem::path FilePath;                      // empty for the built-in table and its reverse
  std::int32_t TableCount = 0;
  std::int32_t FirstCount = 0;
  std::int32_t FromIcon = kFlagUkraine;
  std::int32_t ToIcon = kFlagUnitedStates;
  TableEncoding Encoding = TableEncoding::Cp1251;
  std::vector<PairContext> Contexts;  // what the pairs' Context numbers name

  bool IsUnicode() const { return Encoding != TableEncoding::Cp1251; }
  // Some pair applies only in a context.
  bool HasContexts() const;

  // Appends a pair; returns false (and stores nothing) once the table is full.
  bool AddPair(std::string source, std::string target, std::int32_t context = 0);
  bool AddFirstPair(std::string source, std::string target);
};

// "From - To": the text of a table's row in the table list.
std::string TableCaption(const TTransTable& table);
// "To [ Description ]": the right-hand part of the table information line.
std::string TableInfoTarget(const TTransTable& table);

// The built-in Russian to English table and the reverse of a table.
TTransTable MakeBuiltInTable();
TTransTable MakeReverseTable(const TTransTable& table);

// All tables the program knows: slot 0 the built-in table, slot 1 its reverse,
// then every table file and its reverse. Slot i is row i of the table list.
// The store grows as needed, so every file of the table folder finds a slot.
class TTableStore {
 public:
  std::vector<TTransTable> Store;

  std::int32_t StoreCount() const { return static_cast<std::int32_t>(Store.size()); }
  void Clear() { Store.clear(); }

  // Slots 0 and 1; the store must be empty.
  void BuildBuiltInTables();
  // Fills slot k + 1 with the reverse of slot k (slot k + 1 is appended when missing).
  void DeriveReverseTable(std::int32_t k);

  std::vector<std::string> Captions() const;
};

}  // namespace velmar
