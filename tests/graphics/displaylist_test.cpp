// The display list: record texts, the 8-digit rounding, records read from text, walking and
// random access across storage blocks, and the memory a line record takes.
#include "graphics/displaylist.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>

namespace plotvue {
namespace {

std::string Printf8(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.8Lg", v);
  return buf;
}

TEST(DisplayListTest, RecordTextsOfEveryKind) {
  DisplayList list;
  list.AddMove(1, 2);
  list.AddDraw(-3.25L, 4);
  list.AddCircle(5, 6, 0.5L);
  list.AddLine(10, 20, 30.5L, 40);
  list.AddArc({-10, -10, 10, 10, 10, 0, 0, 10});
  list.AddText(1.5L, 2.5L, "a;b c");
  list.AddSolid({0, 0, 1, 0, 1, 1, 0, 1});
  list.AddColor(16);
  list.AddTextStyle(2.5L, 2, 2, 90);
  list.AddWindow(1, 1, 638, 478, 0, 0, 100, 50);
  list.AddLineStyle(3);
  list.AddLineWidth(2);
  list.AddPause(500);
  const std::vector<std::string> expected = {"1;1;2",
                                             "2;-3.25;4",
                                             "3;5;6;0.5",
                                             "4;10;20;30.5;40",
                                             "5;-10;-10;10;10;10;0;0;10",
                                             "6;1.5;2.5;a;b c",
                                             "7;0;0;1;0;1;1;0;1",
                                             "8;16",
                                             "9;2.5;2;2;90",
                                             "10;1;1;638;478;0;0;100;50",
                                             "11;3",
                                             "12;2",
                                             "13;500"};
  ASSERT_EQ(list.Count(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(list.Text(i), expected[i]) << i;
}

TEST(DisplayListTest, RealsKeepEightSignificantDigits) {
  DisplayList list;
  list.AddLine(123456.789L, 1.0L / 3.0L, -2e-7L, 12345678912.0L);
  EXPECT_EQ(list.Text(0), "4;123456.79;0.33333333;-2e-07;1.2345679e+10");
  // The replay sees the value of the text form.
  DisplayList::Reader reader(list);
  Record r;
  ASSERT_TRUE(reader.Next(r));
  EXPECT_EQ(r.v[0], 123456.79);
  EXPECT_EQ(r.v[1], 0.33333333);
}

// The rounding must give exactly what "%.8Lg" writes, and the stored double must be the one that
// reading that text gives, for values of every size, ties included.
TEST(DisplayListTest, RoundingMatchesTheTextFormForManyValues) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-20, 32);
  std::vector<long double> values = {0.5L,         1.25L,       0.125L, 2.5e-8L,    123456785L,
                                     999999995.0L, 99999999.5L, 1e-15L, 1e29L,      4.9999999950L,
                                     1.00000005L,  0.0L,        -0.0L,  7.0L / 3.0L};
  for (int k = 0; k < 20000; ++k) {
    long double v = static_cast<long double>(mantissa(rng)) *
                    std::pow(10.0L, static_cast<long double>(exponent(rng)));
    if (k % 3 == 0) v = -v;
    // Values with few digits, where ties to the ninth digit occur.
    if (k % 5 == 0) v = std::nearbyint(v * 1e4L) / 1e4L;
    values.push_back(v);
  }
  for (long double v : values) {
    const double d = RoundSignificant8(v);
    const std::string text = Printf8(v);
    double parsed = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), parsed);
    ASSERT_EQ(d, parsed) << text;
    DisplayList list;
    list.AddCircle(v, 0, 0);
    ASSERT_EQ(list.Text(0), "3;" + text + ";0;0");
  }
}

TEST(DisplayListTest, NonFiniteValuesAreKeptAndShown) {
  DisplayList list;
  list.AddLine(INFINITY, -INFINITY, NAN, 1);
  EXPECT_EQ(list.Text(0).substr(0, 11), "4;inf;-inf;");
}

TEST(DisplayListTest, RecordsReadFromText) {
  DisplayList list;
  list.AddRecordText("4;10;20;30.5;40");
  list.AddRecordText("6;1;2;text;with;semicolons");
  list.AddRecordText("8;x");      // a colour that is not a number gives 0
  list.AddRecordText("4;1;2");    // missing fields give 0
  list.AddRecordText("abc;1;2");  // kind not an integer: kept, skipped by the replay
  list.AddRecordText("14;1;2");   // kind outside 1..13
  list.AddRecordText("10;0;0;639;479;0;0;0;50");
  list.AddRecordText("3;1,5;2;3");  // the first "," counts as the decimal point
  EXPECT_EQ(list.Text(0), "4;10;20;30.5;40");
  EXPECT_EQ(list.Text(1), "6;1;2;text;with;semicolons");
  EXPECT_EQ(list.Text(2), "8;0");
  EXPECT_EQ(list.Text(3), "4;1;2;0;0");
  EXPECT_EQ(list.Text(4), "abc;1;2");
  EXPECT_EQ(list.Text(5), "14;1;2");
  EXPECT_EQ(list.Text(6), "10;0;0;639;479;0;0;0;50");
  EXPECT_EQ(list.Text(7), "3;1.5;2;3");
  EXPECT_EQ(list.At(4).kind, RecordKind::Unknown);
  EXPECT_EQ(list.At(5).kind, RecordKind::Unknown);
  EXPECT_EQ(*list.At(1).text, "text;with;semicolons");
}

// Records of all sizes over many blocks: the reader and random access agree with what was
// appended, across block ends and checkpoints.
// Record k of a mixed list: records of 1 to 8 values and texts, so that records meet the ends
// of the storage blocks in every way.
void AddMixed(DisplayList& list, int k) {
  switch (k % 5) {
    case 0:
      list.AddLine(k, k + 1, k + 2, k + 3);
      break;
    case 1:
      list.AddColor(k % 17);
      break;
    case 2:
      list.AddArc({1, 2, 3, 4, 5, 6, 7, static_cast<long double>(k)});
      break;
    case 3:
      list.AddText(k, 0, "t" + std::to_string(k));
      break;
    default:
      list.AddCircle(k, 0, 1);
      break;
  }
}

// The reader and random access agree with what was appended, across block ends and
// checkpoints.
TEST(DisplayListTest, WalkAndRandomAccessAcrossBlocks) {
  DisplayList list;
  const int n = 20000;
  for (int k = 0; k < n; ++k) AddMixed(list, k);
  ASSERT_EQ(list.Count(), static_cast<std::size_t>(n));
  DisplayList::Reader reader(list);
  Record r;
  int k = 0;
  for (; reader.Next(r); ++k) {
    DisplayList one;
    AddMixed(one, k);
    const Record expected = one.At(0);
    ASSERT_EQ(r.kind, expected.kind) << k;
    for (int f = 0; f < RecordValueCount(r.kind); ++f) {
      if (r.kind != RecordKind::RecText || f < 2) {
        ASSERT_EQ(r.v[f], expected.v[f]) << k;
      }
    }
    if (r.text) {
      ASSERT_EQ(*r.text, *expected.text) << k;
    }
  }
  EXPECT_EQ(k, n);
  for (int i : {0, 1, 1023, 1024, 1025, 4095, 9999, 19999}) {
    DisplayList one;
    AddMixed(one, i);
    EXPECT_EQ(list.Text(static_cast<std::size_t>(i)), one.Text(0)) << i;
  }
}

TEST(DisplayListTest, ClearEmptiesAndChangesGeneration) {
  DisplayList list;
  list.AddColor(3);
  const auto version = list.Version();
  const auto generation = list.Generation();
  list.AddColor(4);
  EXPECT_NE(list.Version(), version);
  EXPECT_EQ(list.Generation(), generation);
  list.Clear();
  EXPECT_TRUE(list.Empty());
  EXPECT_NE(list.Generation(), generation);
  list.AddLine(1, 2, 3, 4);
  EXPECT_EQ(list.Text(0), "4;1;2;3;4");
}

TEST(DisplayListTest, AtMostFortyEightBytesPerLineRecord) {
  DisplayList list;
  const std::size_t n = 1000000;
  for (std::size_t k = 0; k < n; ++k) list.AddLine(k * 0.001L, 2, 3, 4);
  EXPECT_LE(list.MemoryBytes(), 48 * n);
}

}  // namespace
}  // namespace plotvue
