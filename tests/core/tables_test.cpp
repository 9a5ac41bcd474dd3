#include <gtest/gtest.h>

#include "convert.h"
#include "tables.h"
#include "test_util.h"

namespace velmar {
namespace {
using test::W;

TEST(BuiltInTable, HeaderAndAllSixtySixPairsByteForByte) {
  TTransTable t = MakeBuiltInTable();
  EXPECT_EQ(t.From, W("Русский"));
  EXPECT_EQ(t.To, W("Английский"));
  EXPECT_EQ(t.Description, "BGN/PCGN (1965)");
  EXPECT_EQ(t.FromIcon, 189);
  EXPECT_EQ(t.ToIcon, 247);
  EXPECT_EQ(t.FirstCount, 0);
  EXPECT_TRUE(t.FilePath.empty());
  ASSERT_EQ(t.TableCount, 66);

  const unsigned char bytes[33] = {0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xB8, 0xE6, 0xE7, 0xE8, 0xE9,
                                   0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4,
                                   0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
  const char* small[33] = {"a", "b", "v", "g", "d", "e", "ye", "zh", "z", "i", "y", "k",
                           "l", "m", "n", "o", "p", "r", "s", "t", "u", "f", "kh", "z",
                           "ch", "sh", "sch", "'", "y", "'", "e", "yu", "ya"};
  const char* capital[33] = {"A", "B", "V", "G", "D", "E", "Ye", "Zh", "Z", "I", "Y", "K",
                             "L", "M", "N", "O", "P", "R", "S", "T", "U", "F", "Kh", "Z",
                             "Ch", "Sh", "Sch", "'", "Y", "'", "E", "Yu", "Ya"};
  for (int i = 0; i < 33; ++i) {
    unsigned char cap = bytes[i] == 0xB8 ? 0xA8 : static_cast<unsigned char>(bytes[i] - 0x20);
    EXPECT_EQ(t.Table[i], (TCharTable{std::string(1, static_cast<char>(bytes[i])), small[i]})) << i;
    EXPECT_EQ(t.Table[33 + i], (TCharTable{std::string(1, static_cast<char>(cap)), capital[i]})) << i;
  }
}

TEST(ReverseTable, SwapsEveryPairInPlaceAndTheHeader) {
  TTransTable t;
  t.From = "A";
  t.To = "B";
  t.Description = "d";
  t.FromIcon = 3;
  t.ToIcon = 4;
  t.FilePath = "x/y.table";
  t.AddPair("a", "1");
  t.AddPair("b", "1");
  t.AddFirstPair("f", "g");
  TTransTable r = MakeReverseTable(t);
  EXPECT_EQ(r.From, "B");
  EXPECT_EQ(r.To, "A");
  EXPECT_EQ(r.Description, "d");
  EXPECT_EQ(r.FromIcon, 4);
  EXPECT_EQ(r.ToIcon, 3);
  EXPECT_EQ(r.FilePath, t.FilePath);
  ASSERT_EQ(r.TableCount, 2);
  EXPECT_EQ(r.Table[0], (TCharTable{"1", "a"}));
  EXPECT_EQ(r.Table[1], (TCharTable{"1", "b"}));  // shared targets stay, nothing merged
  ASSERT_EQ(r.FirstCount, 1);
  EXPECT_EQ(r.First[0], (TCharTable{"g", "f"}));
}

TEST(TableStore, BuiltInSlotsCaptionsAndInformationLine) {
  TTableStore store;
  store.BuildBuiltInTables();
  ASSERT_EQ(store.StoreCount(), 2);
  EXPECT_EQ(store.Captions(), (std::vector<std::string>{W("Русский - Английский"), W("Английский - Русский")}));
  EXPECT_EQ(TableInfoTarget(store.Store[0]), W("Английский [ BGN/PCGN (1965) ]"));
  EXPECT_EQ(store.Store[1].FromIcon, 247);
  EXPECT_EQ(store.Store[1].ToIcon, 189);

  TTransTable empty;
  EXPECT_EQ(TableCaption(empty), " - ");
  EXPECT_EQ(TableInfoTarget(empty), " [  ]");
}

TEST(TableStore, ReverseOfBuiltInPrefersLongerSourcesAndEarlierPairs) {
  TTableStore store;
  store.BuildBuiltInTables();
  const TTransTable& reverse = store.Store[1];
  EXPECT_EQ(ConvertLine("sch", reverse, false, false), W("щ"));
  EXPECT_EQ(ConvertLine("zh ye", reverse, false, false), W("ж ё"));
  EXPECT_EQ(ConvertLine("z y ' e", reverse, false, false), W("з й ъ е"));
  EXPECT_EQ(ConvertLine("Z Y ' E", reverse, false, false), W("З Й ъ Е"));
}

TEST(TableCapacity, PairsBeyondOneThousandAreRefused) {
  TTransTable t;
  for (int i = 0; i < kTablePairCapacity; ++i) ASSERT_TRUE(t.AddPair("a", "b"));
  EXPECT_FALSE(t.AddPair("c", "d"));
  EXPECT_EQ(t.TableCount, kTablePairCapacity);
}

}  // namespace
}  // namespace velmar
