#include "tables.h"

#include <utility>

namespace velmar {

bool TTransTable::AddPair(std::string source, std::string target, std::int32_t context) {
  if (TableCount >= kTablePairCapacity) return false;
  Table[TableCount++] = {std::move(source), std::move(target), context};
  return true;
}

bool TTransTable::HasContexts() const {
  for (int i = 0; i < TableCount; ++i)
    if (Table[i].Context != 0) return true;
  return false;
}

bool TTransTable::AddFirstPair(std::string source, std::string target) {
  if (FirstCount >= kTablePairCapacity) return false;
  First[FirstCount++] = {std::move(source), std::move(target)};
  return true;
}

std::string TableCaption(const TTransTable& table) { return table.From + " - " + table.To; }

std::string TableInfoTarget(const TTransTable& table) {
  return table.To + " [ " + table.Description + " ]";
}

TTransTable MakeBuiltInTable() {
  // Small letters а..я with ё after е, then the capitals in the same order.
  static const char* const kTargets[33] = {
      "a", "b", "v", "g", "d", "e", "ye", "zh", "z", "i", "y", "k", "l", "m", "n", "o", "p",
      "r", "s", "t", "u", "f", "kh", "z", "ch", "sh", "sch", "'", "y", "'", "e", "yu", "ya"};
  static const char* const kCapitalTargets[33] = {
      "A", "B", "V", "G", "D", "E", "Ye", "Zh", "Z", "I", "Y", "K", "L", "M", "N", "O", "P",
      "R", "S", "T", "U", "F", "Kh", "Z", "Ch", "Sh", "Sch", "'", "Y", "'", "E", "Yu", "Ya"};
  auto letter = [](int index, bool capital) {
    // index 0..32 in alphabet order with ё at 6.
    unsigned char base = capital ? 0xC0 : 0xE0;
    unsigned char byte;
    if (index == 6) byte = capital ? 0xA8 : 0xB8;
    else byte = static_cast<unsigned char>(base + (index < 6 ? index : index - 1));
    return std::string(1, static_cast<char>(byte));
  };

  TTransTable t;
  t.From = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9";              // Русский
  t.To = "\xC0\xED\xE3\xEB\xE8\xE9\xF1\xEA\xE8\xE9";    // Английский
  t.Description = "BGN/PCGN (1965)";
  t.FromIcon = kFlagRussia;
  t.ToIcon = kFlagUnitedStates;
  for (int i = 0; i < 33; ++i) t.AddPair(letter(i, false), kTargets[i]);
  for (int i = 0; i < 33; ++i) t.AddPair(letter(i, true), kCapitalTargets[i]);
  return t;
}

TTransTable MakeReverseTable(const TTransTable& table) {
  TTransTable r;
  r.From = table.To;
  r.To = table.From;
  r.Description = table.Description;
  r.TableCount = table.TableCount;
  r.FirstCount = table.FirstCount;
  r.FromIcon = table.ToIcon;
  r.ToIcon = table.FromIcon;
  r.FilePath = table.FilePath;
  r.Encoding = table.Encoding;
  // A word start or end is one in any script and stays; a side that names
  // letters names those of the other script and is dropped.
  for (const PairContext& c : table.Contexts) {
    PairContext back;
    if (c.after.empty()) back.start = c.start;
    if (c.before.empty()) back.end = c.end;
    r.Contexts.push_back(back);
  }
  for (int i = 0; i < table.TableCount; ++i) {
    const TCharTable& p = table.Table[i];
    const bool kept = p.Context != 0 && (r.Contexts[p.Context - 1].Left() || r.Contexts[p.Context - 1].Right());
    r.Table[i] = {p.Target, p.Source, kept ? p.Context : 0};
  }
  for (int i = 0; i < table.FirstCount; ++i) r.First[i] = {table.First[i].Target, table.First[i].Source, 0};
  return r;
}

void TTableStore::BuildBuiltInTables() {
  Store.push_back(MakeBuiltInTable());
  Store.push_back(MakeReverseTable(Store[0]));
}

void TTableStore::DeriveReverseTable(std::int32_t k) {
  TTransTable reverse = MakeReverseTable(Store.at(k));
  if (static_cast<std::size_t>(k) + 1 < Store.size()) Store[k + 1] = std::move(reverse);
  else Store.push_back(std::move(reverse));
}

std::vector<std::string> TTableStore::Captions() const {
  std::vector<std::string> captions;
  captions.reserve(Store.size());
  for (const auto& t : Store) captions.push_back(TableCaption(t));
  return captions;
}

}  // namespace velmar
