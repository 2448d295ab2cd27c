// Function files: the exact lines written in each mode, reading them back,
// reading into the other mode and damaged files.
#include "files/function_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class FunctionFile : public ::testing::Test {
 protected:
  // The fields and options of a fresh window.
  void SetUp() override {
    textOf(c.texts, Field::kXMin) = "0";
    textOf(c.texts, Field::kXMax) = "10";
    textOf(c.texts, Field::kYMin) = "-5";
    textOf(c.texts, Field::kYMax) = "5";
    textOf(c.texts, Field::kFormulaF) = "F(x)=SIN(X)";
    textOf(c.texts, Field::kFormulaG) = "G(x)=";
    textOf(c.texts, Field::kZMin) = "0";
    textOf(c.texts, Field::kZMax) = "10";
    textOf(c.texts, Field::kZCount) = "1000";
    c.colorLine = true;
    c.color = 16736352;
    c.filled = c.lines = c.antialias = c.whiteBack = c.thick = c.autoScale = false;
    c.axes = c.grid = c.darkNegative = true;
  }
  int lineCount(const std::string& text) {
    int n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
      ++n;
    }
    return n;
  }
  std::string line(const std::string& text, int number) {
    std::istringstream in(text);
    std::string l;
    for (int i = 0; i < number; ++i) std::getline(in, l);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    return l;
  }

  FunctionFileContents c;
};

TEST_F(FunctionFile, DefaultOneFunctionFileLineForLine) {
  EXPECT_EQ(functionFileText(c),
            "F(x)=SIN(X)\r\npolar = false\r\nx min = 0\r\nx max = 10\r\ny min = -5\r\n"
            "y max = 5\r\ncolor = 16736352\r\nfill  = false\r\nlines = false\r\n"
            "antia = false\r\nwback = false\r\naxes  = true\r\ngrid  = true\r\n"
            "dark  = true\r\nthick = false\r\nauto  = false\r\n");
}

TEST_F(FunctionFile, PolarAndTwoFunctionFilesCarryTheParameterLines) {
  c.polar = true;
  const std::string polar = functionFileText(c);
  EXPECT_EQ(lineCount(polar), 19);
  EXPECT_EQ(line(polar, 7), "Zaxis = 1000");
  EXPECT_EQ(line(polar, 10), "color = 16736352");

  c.polar = false;
  c.twoFunctions = true;
  const std::string two = functionFileText(c);
  EXPECT_EQ(lineCount(two), 20);
  EXPECT_EQ(line(two, 2), "G(x)=");
  EXPECT_EQ(line(two, 8), "Zaxis = 1000");
  EXPECT_EQ(line(two, 20), "auto  = false");
}

TEST_F(FunctionFile, LineEndsInAFieldBecomeSpacesAndTheColourLosesItsTopByte) {
  textOf(c.texts, Field::kFormulaF) = "F(x)=x\r\n+1";
  textOf(c.texts, Field::kXMin) = "-\n1";
  c.color = 0xFF123456u;
  const std::string text = functionFileText(c);
  EXPECT_EQ(line(text, 1), "F(x)=x  +1");
  EXPECT_EQ(line(text, 3), "x min = - 1");
  EXPECT_EQ(line(text, 7), "color = " + std::to_string(0x123456));
  EXPECT_EQ(lineCount(text), 16);
}

TEST_F(FunctionFile, EveryFieldAndOptionRoundTrips) {
  for (const bool two : {false, true}) {
    for (const bool polar : {false, true}) {
      FunctionFileContents source;
      source.twoFunctions = two;
      source.polar = polar;
      source.texts = {"-1,5", " 2e3", "abc", "7", "f(x) = x^2", "G(x)=cos(x)", "-3", "3.5", "250"};
      source.colorLine = true;
      source.color = 0x123456;
      source.filled = source.lines = source.antialias = source.whiteBack = source.thick =
          source.autoScale = true;
      source.axes = source.grid = source.darkNegative = false;

      const FunctionFileContents read = parseFunctionFile(functionFileText(source), two);
      for (std::size_t k = 0; k < kFieldCount; ++k) {
        const auto field = static_cast<Field>(k);
        const bool z = field == Field::kZMin || field == Field::kZMax || field == Field::kZCount;
        const bool written = (field != Field::kFormulaG || two) && (!z || two || polar);
        EXPECT_EQ(read.texts[k], written ? source.texts[k] : "") << two << polar << k;
      }
      EXPECT_EQ(read.polar, polar);
      EXPECT_TRUE(read.colorLine);
      EXPECT_EQ(read.color, 0x123456u);
      // Two functions have no fill: the line is read past, never taken.
      EXPECT_EQ(read.filled, two ? std::nullopt : std::optional(true));
      for (const auto& on :
           {read.lines, read.antialias, read.whiteBack, read.thick, read.autoScale}) {
        EXPECT_EQ(on, true) << two << polar;
      }
      for (const auto& off : {read.axes, read.grid, read.darkNegative}) {
        EXPECT_EQ(off, false) << two << polar;
      }
    }
  }
}

TEST_F(FunctionFile, TruthIsTrueInAnyCaseAndNothingElse) {
  const std::string base =
      "F(x)=x\npolar = false\nx min = 0\nx max = 1\ny min = 0\ny max = 1\n"
      "color = 255\n";
  for (const auto& [value, expected] :
       std::vector<std::pair<std::string, bool>>{{"True", true},
                                                 {"TRUE", true},
                                                 {"tRuE", true},
                                                 {"yes", false},
                                                 {"1", false},
                                                 {"", false},
                                                 {"true ", false}}) {
    EXPECT_EQ(parseFunctionFile(base + "fill  = " + value + "\n", false).filled, expected) << value;
  }
}

TEST_F(FunctionFile, AShortFileReachesOnlyItsLines) {
  const FunctionFileContents read = parseFunctionFile("F(x)=cos(x)\r\n", false);
  EXPECT_EQ(textOf(read.texts, Field::kFormulaF), "F(x)=cos(x)");
  EXPECT_FALSE(read.polar);
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax}) {
    EXPECT_EQ(textOf(read.texts, f), "");
  }
  EXPECT_FALSE(read.colorLine);
  EXPECT_EQ(read.lines, std::nullopt);
  EXPECT_EQ(read.autoScale, std::nullopt);

  // The block stops exactly at the end: nine options, the tenth not reached.
  std::string text = functionFileText(c);
  text.erase(text.rfind("auto  = "));
  const FunctionFileContents cut = parseFunctionFile(text, false);
  EXPECT_EQ(cut.thick, false);
  EXPECT_EQ(cut.autoScale, std::nullopt);
}

TEST_F(FunctionFile, AOneFunctionFileInTwoFunctionModeShiftsByALine) {
  const FunctionFileContents read = parseFunctionFile(functionFileText(c), true);
  EXPECT_EQ(textOf(read.texts, Field::kFormulaG), "polar = false");
  EXPECT_EQ(textOf(read.texts, Field::kXMin), "10");        // the x max line
  EXPECT_EQ(textOf(read.texts, Field::kYMax), "16736352");  // the color line
  EXPECT_EQ(textOf(read.texts, Field::kZCount), "false");   // the fill line
}

TEST_F(FunctionFile, AColourThatIsNoNumberIsNone) {
  std::string text = functionFileText(c);
  for (const char* colour : {"red", "", "12a", "99999999999"}) {
    std::string changed = text;
    changed.replace(changed.find("color = 16736352"), 16, std::string("color = ") + colour);
    const FunctionFileContents read = parseFunctionFile(changed, false);
    EXPECT_TRUE(read.colorLine) << colour;
    EXPECT_EQ(read.color, std::nullopt) << colour;
    EXPECT_EQ(read.filled, false) << colour;  // the lines after it still count
  }
}

TEST_F(FunctionFile, AnyBytesParseWithoutHarm) {
  std::mt19937 rng(3);
  for (int i = 0; i < 300; ++i) {
    std::string bytes(rng() % 400, '\0');
    for (char& b : bytes) b = static_cast<char>(rng() % 7 == 0 ? '\n' : rng() % 256);
    const FunctionFileContents read = parseFunctionFile(bytes, i % 2 == 1);
    EXPECT_EQ(read.color.value_or(0) & 0xFF000000u, 0u);
  }
  EXPECT_EQ(textOf(parseFunctionFile("", false).texts, Field::kFormulaF), "");
  EXPECT_FALSE(parseFunctionFile("\r\r\r\n\n", true).colorLine);
}

TEST_F(FunctionFile, FilesOnDisk) {
  const fs::path folder = fs::temp_directory_path() / ("kurvana_ff_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path path = folder / "sine.kv1";
  ASSERT_EQ(writeFunctionFile(path, c).message(), "");
  const FunctionFileRead read = readFunctionFile(path, false);
  ASSERT_EQ(read.status.message(), "");
  ASSERT_TRUE(read.contents);
  EXPECT_EQ(functionFileText(*read.contents), functionFileText(c));

  // A failed save leaves the previous file as it was.
  EXPECT_EQ(writeFunctionFile(folder / "missing" / "x.kv1", c).message(),
            "Cannot write \"" + (folder / "missing" / "x.kv1").string() +
                "\": No such file or directory");
  const FunctionFileRead missing = readFunctionFile(folder / "nothing.kv1", false);
  EXPECT_FALSE(missing.contents);
  EXPECT_EQ(missing.status.message(),
            "Cannot read \"" + (folder / "nothing.kv1").string() + "\": No such file or directory");
  EXPECT_EQ(readFunctionFile(folder, false).status.message(),
            "Cannot read \"" + folder.string() + "\": it is a folder");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), functionFileText(c));
  fs::remove_all(folder);
}

TEST(FunctionFileName, ModeFromTheName) {
  EXPECT_EQ(twoFunctionsFromName("/home/a/Circle.KV2"), true);
  EXPECT_EQ(twoFunctionsFromName("sine.kv1"), false);
  EXPECT_EQ(twoFunctionsFromName("notes.txt"), std::nullopt);
}

}  // namespace
}  // namespace kurvana
