// Separators, null values, the slash, repeat counts, text values, and where a READ
// leaves its unit.
#include <cstdint>
#include <cstring>
#include <vector>
#include <string>

#include "textio/listin.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

struct FourCase {
  const char* text;
  double a, b, c, d;  // the items start at -1
};

TEST_F(TextIoTest, SeparatorsNullsSlashAndRepeats) {
  const FourCase cases[] = {
      {"1,2,3,4\n", 1, 2, 3, 4},
      {"1 2 3 4\n", 1, 2, 3, 4},
      {"1, 2 ,3\t4\n", 1, 2, 3, 4},
      {"1 2\n3 4\n", 1, 2, 3, 4},          // one READ takes as many records as it needs
      {"1,,3,4\n", 1, -1, 3, 4},           // a null value leaves its item
      {",2,3,4\n", -1, 2, 3, 4},           // a comma at the start is a null value
      {"1,\n2,\n3,\n4\n", 1, 2, 3, 4},     // a comma at the end of a line only separates
      {"1,2/\n3 4\n", 1, 2, -1, -1},       // a slash ends the READ
      {"/\n", -1, -1, -1, -1},
      {"1 2/3 4\n", 1, 2, -1, -1},         // right after a number too
      {"4*5\n", 5, 5, 5, 5},
      {"2*5,3*6\n", 5, 5, 6, 6},
      {"2*,3,4\n", -1, -1, 3, 4},          // r* alone is r null values
      {"2* 3 4\n", -1, -1, 3, 4},
      {"1,+,3,4\n", 1, -1, 3, 4},          // a lone sign before a comma is a null value
      {"1,.,3,4\n", 1, -1, 3, 4},          // so is a lone point in a double item
      {"1 2 -/\n", 1, 2, -1, -1},
      {"  \n\t\n1 2 3 4 5 6\n", 1, 2, 3, 4},
      {"1\r\n2\r\n3\r\n4\r\n", 1, 2, 3, 4},
      {"1.5Q2 3 4\n", 1.5, -1, -1, -1},    // Q is no value: see the next test
  };
  for (const FourCase& c : cases) {
    if (std::string(c.text).find('Q') != std::string::npos) continue;
    for (std::size_t chunk : {0u, 1u}) {
      input(c.text, chunk);
      double a = -1, b = -1, x = -1, d = -1;
      read_list(5, {in(a), in(b), in(x), in(d)});
      EXPECT_EQ(a, c.a) << c.text;
      EXPECT_EQ(b, c.b) << c.text;
      EXPECT_EQ(x, c.c) << c.text;
      EXPECT_EQ(d, c.d) << c.text;
    }
  }
}

// Each READ drops the rest of its last record: the next READ starts on a fresh line.
TEST_F(TextIoTest, RestOfRecordIsDropped) {
  input("1 0 0\n2\n\n\n3, 9\n");
  std::int32_t a = 0, b = 0, c = 0;
  read_list(5, {in(a)});
  read_list(5, {in(b)});
  read_list(5, {in(c)});
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 3);
}

// A READ with no items skips one whole record.
TEST_F(TextIoTest, ReadWithNoItemsSkipsOneRecord) {
  input("anything at all, 1 2 3\n5\n");
  std::int32_t a = 0;
  read_list(5, {});
  read_list(5, {in(a)});
  EXPECT_EQ(a, 5);
}

struct TextCase {
  const char* text;
  const char* first;  // the first of two items, without its padding
  const char* second;
};

TEST_F(TextIoTest, TextValues) {
  const TextCase cases[] = {
      {"abc def\n", "abc", "def"},
      {"'it''s' x\n", "it's", "x"},
      {"\"say \"\"hi\"\"\" x\n", "say \"hi\"", "x"},
      {"'a b,c/d' x\n", "a b,c/d", "x"},
      {"'two\nlines' x\n", "twolines", "x"},        // a line end inside quotes is dropped
      {"'two\\\nlines' x\n", "two\nlines", "x"},    // backslash-line end is a line feed
      {"'two\r\nlines' x\n", "twolines", "x"},
      {"2*word\n", "word", "word"},
      {"0*word x\n", "0*word", "x"},                // a zero count is no count
      {"123 x\n", "123", "x"},                      // digits are text like any other
      {"a,b\n", "a", "b"},
      {"a,,b\n", "a", "keep"},
      {"2011/03/11 12:00 a b\n", "2011", "keep"},   // the slash ends the READ
      {"2* x\n", "keep", "keep"},
      {"x'y z\n", "x'y", "z"},
  };
  for (const TextCase& c : cases) {
    input(c.text);
    char a[90], b[90];
    std::memset(a, 'k', sizeof a);
    std::memcpy(b, "keep", 4);
    std::memset(b + 4, ' ', sizeof b - 4);
    std::memcpy(a, "keep", 4);
    std::memset(a + 4, ' ', sizeof a - 4);
    read_list(5, {in(a), in(b)});
    std::string sa(a, 90), sb(b, 90);
    EXPECT_EQ(sa, std::string(c.first) + std::string(90 - std::strlen(c.first), ' ')) << c.text;
    EXPECT_EQ(sb, std::string(c.second) + std::string(90 - std::strlen(c.second), ' ')) << c.text;
  }
}

TEST_F(TextIoTest, LongTextIsCutToItsLength) {
  std::string word(100, 'w');
  std::string quoted = "'" + std::string(5000000, 'q') + "'";
  input(word + " " + quoted + "\n", 65536);
  char a[90], b[90];
  read_list(5, {in(a), in(b)});
  EXPECT_EQ(std::string(a, 90), std::string(90, 'w'));
  EXPECT_EQ(std::string(b, 90), std::string(90, 'q'));
}

// Where the file ends decides between completion, the end-of-file branch and failure.
struct EofCase {
  const char* text;
  int values;        // items of the READ (doubles)
  bool completes;    // with a branch: completes (true) or takes the branch (false)
  const char* next;  // where-text of the next READ without a branch ("" if it works)
};

TEST_F(TextIoTest, EndOfFileCases) {
  const EofCase cases[] = {
      {"1 2\n", 2, true, "list in"},
      {"1 2", 2, true, "read start"},        // the last value runs into the end
      {"1 2  \t", 2, true, "read start"},    // blanks after it change nothing
      {"1 2,", 2, false, "read start"},      // a trailing comma: the branch
      {"1 2 3", 2, false, "read start"},     // a further value: the branch
      {"1 2/", 2, false, "read start"},      // a slash and no line end: the branch
      {"1/", 2, false, "read start"},
      {"1/\n", 2, true, "list in"},
      {"1", 2, false, "read start"},         // a value ended at the end, another wanted
      {"1\n", 2, false, "read start"},       // the end where a value should begin
      {"", 2, false, "read start"},
      {"\n\n  \n", 2, false, "read start"},
  };
  for (const EofCase& c : cases) {
    for (std::size_t chunk : {0u, 1u}) {
      input(c.text, chunk);
      double v[2] = {0, 0};
      EXPECT_EQ(read_list_doubles(5, v, static_cast<std::size_t>(c.values), true), c.completes)
          << '"' << c.text << '"';
      double w = 0;
      EXPECT_EQ(where_of([&] { read_list(5, {in(w)}); }), c.next) << '"' << c.text << '"';
    }
  }
}

TEST_F(TextIoTest, EndOfFileWithoutBranchFails) {
  input("1\n");
  double a = 0, b = 0;
  EXPECT_EQ(where_of([&] { read_list(5, {in(a), in(b)}); }), "list in");
  EXPECT_EQ(a, 1.0);  // values already stored stay stored
  input("1 2,");
  EXPECT_EQ(where_of([&] { read_list(5, {in(a), in(b)}); }), "");  // completes
  input("");
  try {
    read_list(5, {in(a)});
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.where, "list in");
    EXPECT_EQ(e.message, "end of file");
  }
}

// A quoted string still open at the end of the file is dropped.
TEST_F(TextIoTest, UnclosedQuoteAtEndOfFile) {
  input("a 'open\n");
  char x[90], y[90], z[90];
  std::memset(y, 'y', 90);
  EXPECT_EQ(where_of([&] { read_list(5, {in(x), in(y), in(z)}); }), "list in");
  EXPECT_EQ(std::string(y, 90), std::string(90, 'y'));
  input("a 'open\n");
  read_list(5, {in(x), in(y)});  // the last item: the READ completes
  EXPECT_EQ(where_of([&] { read_list(5, {}); }), "read start");
}

// Rows of 43 doubles as the record reader reads them, blank or comma separated.
TEST_F(TextIoTest, RowsMatchAcrossSeparatorsAndChunks) {
  std::string blank, comma;
  for (int r = 0; r < 50; ++r) {
    for (int k = 0; k < 43; ++k) {
      std::string v = std::to_string(r * 0.01 + k * 1.25e-3 - 0.02);
      blank += (k ? " " : "") + v;
      comma += (k ? "," : "") + v;
    }
    blank += "\n";
    comma += "\r\n";
  }
  std::vector<double> a, b;
  for (auto [text, out] : {std::pair{&blank, &a}, std::pair{&comma, &b}}) {
    input(*text, 777);
    double row[43];
    while (read_list_doubles(5, row, 43, true)) out->insert(out->end(), row, row + 43);
  }
  ASSERT_EQ(a.size(), 50u * 43u);
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace smfreq::textio
