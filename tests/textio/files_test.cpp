// OPEN, CLOSE, implicit connection and the exit action on real files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "textio/fmtout.h"
#include "textio/listin.h"
#include "textio/listout.h"
#include "support/readonly.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

namespace fs = std::filesystem;

class FilesTest : public TextIoTest {
 protected:
  void SetUp() override {
    TextIoTest::SetUp();
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("smfreq-files-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    TextIoTest::TearDown();
    smfreq::testing::make_writable((dir_ / "ro.csv").string());
    fs::current_path(old_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static std::string slurp(const char* name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }
  static void spit(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }

 private:
  fs::path old_, dir_;
};

TEST_F(FilesTest, WritingReplacesAndCloseCuts) {
  std::string old;
  for (int i = 0; i < 10; ++i) old += "a much longer old record number " + std::to_string(i) + "\n";
  spit("out.csv", old);
  open_unit(11, "out.csv   ");  // trailing blanks are not part of the name
  write_list(11, {1.0});
  write_list(11, {2.0});
  write_list(11, {3.0});
  close_unit(11);
  EXPECT_EQ(slurp("out.csv"), "  1.\n  2.\n  3.\n");
}

TEST_F(FilesTest, ReadingLeavesTheFileAsItWas) {
  spit("in.txt", "1 2 3\n4 5 6\n");
  open_unit(11, "in.txt");
  double v = 0;
  read_list(11, {in(v)});
  close_unit(11);
  EXPECT_EQ(v, 1.0);
  EXPECT_EQ(slurp("in.txt"), "1 2 3\n4 5 6\n");
}

TEST_F(FilesTest, OpenCreatesAMissingFile) {
  open_unit(11, "new name.txt");
  double v = 0;
  EXPECT_EQ(where_of([&] { read_list(11, {in(v)}); }), "list in");
  close_unit(11);
  EXPECT_TRUE(fs::exists("new name.txt"));
  EXPECT_EQ(fs::file_size("new name.txt"), 0u);
}

TEST_F(FilesTest, LeadingBlanksStayInTheName) {
  open_unit(10, "  lead");
  write_list(10, {"x"});
  close_unit(10);
  EXPECT_EQ(slurp("  lead"), " x\n");
}

TEST_F(FilesTest, OpenFailures) {
  fs::create_directory("folder");
  struct Case {
    std::string name;
    const char* message;
  };
  const Case cases[] = {
      {"", "null file name"},
      {"        ", "null file name"},
      {"folder", "Is a directory"},
      {"missing/out.csv", "No such file or directory"},
      {std::string("a\0b", 3), "Invalid argument"},
  };
  for (const Case& c : cases) {
    try {
      open_unit(11, c.name);
      FAIL() << c.name;
    } catch (const IoError& e) {
      EXPECT_EQ(e.where, "open");
      EXPECT_EQ(e.message, c.message);
      EXPECT_EQ(e.unit, 11);
      EXPECT_TRUE(e.named);
    }
  }
}

TEST_F(FilesTest, ImplicitConnectionUsesTheDefaultName) {
  write_list(99, {0.0, 1.5, -2.0, 0.01});
  write_list(99, {0.01, 1.0, 2.0, 3.0});
  const char* where = nullptr;
  EXPECT_EQ(close_all_units(&where), 0);
  EXPECT_EQ(slurp("fort.99"), "  0.  1.5 -2.  0.01\n  0.01  1.  2.  3.\n");
}

TEST_F(FilesTest, ExitActionCutsAnOlderLongerFile) {
  spit("fort.99", std::string(10000, 'x'));
  write_list(99, {1.0});
  const char* where = nullptr;
  EXPECT_EQ(close_all_units(&where), 0);
  EXPECT_EQ(slurp("fort.99"), "  1.\n");
}

TEST_F(FilesTest, ImplicitConnectionFailureIsReported) {
  fs::create_directory("fort.99");  // the default name cannot be opened as a file
  try {
    write_list(99, {1.0});
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.where, "lio");
    EXPECT_EQ(e.message, "formatted io not allowed");
    EXPECT_EQ(e.unit, 99);
  }
}

// A file that opens for reading only: its first WRITE fails, list-directed or formatted.
TEST_F(FilesTest, ReadOnlyFileRefusesWrites) {
  spit("ro.csv", "old contents\n");
  if (!smfreq::testing::make_read_only("ro.csv")) GTEST_SKIP() << "no read-only file here";
  const char* ro = "ro.csv";
  open_unit(11, ro);
  EXPECT_EQ(where_of([&] { write_list(11, {"time(s),comp1, comp2, comp3"}); }),
            "list output start");
  const Format f("(F8.3)");
  EXPECT_EQ(where_of([&] { write_formatted(11, f, {1.0}); }), "write start");
  close_unit(11);
  smfreq::testing::make_writable(ro);
  EXPECT_EQ(slurp(ro), "old contents\n");
}

TEST_F(FilesTest, FailedWriteIsReportedAtClose) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  open_unit(11, "/dev/full");
  write_list(11, {1.0});
  EXPECT_EQ(where_of([&] { close_unit(11); }), "write");
}

}  // namespace
}  // namespace smfreq::textio
