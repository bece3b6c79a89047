// The "(A90)" formatted READ of a file name.
#include <string>

#include "textio/fmtin.h"
#include "textio/listin.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

std::string padded(const std::string& s) { return s + std::string(90 - s.size(), ' '); }

struct A90Case {
  std::string text;
  std::string name;  // the 90 characters read, without padding
};

TEST_F(TextIoTest, A90TakesTheFirst90CharactersOfOneRecord) {
  const std::string hundred = std::string(45, 'a') + std::string(55, 'b');
  const A90Case cases[] = {
      {"data.csv\n", "data.csv"},
      {"  lead and trail  \n", "  lead and trail  "},
      {"data.csv\r\n", "data.csv"},
      {"\n", ""},
      {hundred + "\n", hundred.substr(0, 90)},
      {"a\rb\n", "a\rb"},  // a carriage return not before a line feed is a character
  };
  for (const A90Case& c : cases) {
    for (std::size_t chunk : {0u, 1u}) {
      input(c.text + "7\n", chunk);
      char name[90];
      read_a(5, name, "(A90)");
      EXPECT_EQ(std::string(name, 90), padded(c.name)) << c.text;
      std::int32_t next = 0;
      read_list(5, {in(next)});  // the next READ starts on the next record
      EXPECT_EQ(next, 7);
    }
  }
}

TEST_F(TextIoTest, A90AtTheEndOfInput) {
  char name[90];
  input("short");  // ends inside the 90 characters
  EXPECT_EQ(where_of([&] { read_a(5, name, "(A90)"); }), "fmt");
  input("");
  EXPECT_EQ(where_of([&] { read_a(5, name, "(A90)"); }), "fmt");
  input(std::string(95, 'n'));  // ends after the 90th: completes, end of file met
  EXPECT_EQ(where_of([&] { read_a(5, name, "(A90)"); }), "");
  EXPECT_EQ(std::string(name, 90), std::string(90, 'n'));
  EXPECT_EQ(where_of([&] { read_list(5, {}); }), "read start");
  input("name\n");  // the final wait after a complete name line: end of input completes it
  read_a(5, name, "(A90)");
  EXPECT_EQ(where_of([&] { read_list(5, {}); }), "");
}

}  // namespace
}  // namespace smfreq::textio
