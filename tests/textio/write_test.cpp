// Whole records of list-directed and formatted WRITE statements.
#include <string>

#include "textio/fmtout.h"
#include "textio/listout.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

TEST_F(TextIoTest, ListDirectedRecords) {
  capture();
  write_list(6, {"NT and DT=", 4096, 0.01});
  write_list(6, {-123.456});
  write_list(6, {-5});
  write_list(6, {0.0});
  write_list(6, {0});
  write_list(6, {});
  write_list(6, {" Change +/-? (YES=1)?? :"});
  write_list(6, {"ab", "cd"});  // two text items join with no blank
  write_list(6, {"New nt =", -1});
  EXPECT_EQ(output(),
            " NT and DT= 4096  0.01\n"
            " -123.456\n"
            " -5\n"
            "  0.\n"
            " 0\n"
            "\n"
            "  Change +/-? (YES=1)?? :\n"
            " abcd\n"
            " New nt = -1\n");
}

TEST_F(TextIoTest, ListDirectedRecordWidth) {
  capture();
  // Doubles of 17 characters: the fifth would reach column 80.
  write_list(6, {1.23456789e11, 1.23456789e11, 1.23456789e11, 1.23456789e11, 1.23456789e11,
                 1.23456789e11});
  const std::string item = "  1.23456789E+011";
  EXPECT_EQ(output(), item + item + item + item + "\n" + item + item + "\n");
  capture();
  // Text: current length plus its length reaching 80 ends the record; the text then
  // starts the next record with its blank.
  write_list(6, {std::string_view(std::string(70, 't')), "0123456789"});
  EXPECT_EQ(output(), " " + std::string(70, 't') + "\n 0123456789\n");
  capture();
  write_list(6, {std::string_view(std::string(69, 't')), "012345678"});
  EXPECT_EQ(output(), " " + std::string(69, 't') + "012345678\n");
  capture();
  // Integers: only their digits count against the limit.
  write_list(6, {std::string_view(std::string(74, 'i')), -1234});
  EXPECT_EQ(output(), " " + std::string(74, 'i') + " -1234\n");
  capture();
  write_list(6, {std::string_view(std::string(74, 'i')), 123456});
  EXPECT_EQ(output(), " " + std::string(74, 'i') + "\n 123456\n");
  capture();
  // An item longer than the limit stands alone.
  write_list(6, {"x", std::string_view(std::string(100, 'y'))});
  EXPECT_EQ(output(), " x\n " + std::string(100, 'y') + "\n");
}

TEST_F(TextIoTest, FormattedRecords) {
  const Format input_prompt("(1X,/,'Enter input file of waveform data')");
  const Format output_prompt("(/,1X,'Enter output file name of waveform (csv format file)')");
  const Format spectrum("(F8.4,6(',',E12.4))");
  const Format waveform("(F8.3,4(',',E12.4))");
  const Format quotes("('it''s',2X,F4.1,2X)");
  capture();
  write_formatted(6, input_prompt, {});
  write_formatted(6, output_prompt, {});
  write_formatted(6, waveform, {0.01, 1.234, -0.5, 0.0});
  write_formatted(6, spectrum, {0.09765625, 1.0, 2.0, 3.0});
  write_formatted(6, spectrum, {});
  write_formatted(6, quotes, {1.0});
  write_formatted(6, quotes, {});
  EXPECT_EQ(output(),
            "\nEnter input file of waveform data\n"
            "\n Enter output file name of waveform (csv format file)\n"
            "   0.010,  0.1234E+01, -0.5000E+00,  0.0000E+00,\n"
            "  0.0977,  0.1000E+01,  0.2000E+01,  0.3000E+01,\n"
            "\n"
            "it's   1.0\n"
            "it's\n");
}

}  // namespace
}  // namespace smfreq::textio
