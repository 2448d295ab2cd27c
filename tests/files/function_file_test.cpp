// Function files: the exact lines written in each mode, reading them back,
// loading into the other mode and damaged files.
#include "files/function_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "plot/fake_view.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class FunctionFile : public ::testing::Test {
 protected:
  void SetUp() override {
    view.texts = {{Field::kXMin, "0"},
                  {Field::kXMax, "10"},
                  {Field::kYMin, "-5"},
                  {Field::kYMax, "5"},
                  {Field::kFormulaF, "F(x)=SIN(X)"},
                  {Field::kFormulaG, "G(x)="},
                  {Field::kZMin, "0"},
                  {Field::kZMax, "10"},
                  {Field::kZCount, "1000"}};
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

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  PlotState& s = *state;
  testing::FakeView view;
};

TEST_F(FunctionFile, DefaultOneFunctionFileLineForLine) {
  EXPECT_EQ(functionFileText(s, view),
            "F(x)=SIN(X)\r\npolar = false\r\nx min = 0\r\nx max = 10\r\ny min = -5\r\n"
            "y max = 5\r\ncolor = 16736352\r\nfill  = false\r\nlines = false\r\n"
            "antia = false\r\nwback = false\r\naxes  = true\r\ngrid  = true\r\n"
            "dark  = true\r\nthick = false\r\nauto  = false\r\n");
}

TEST_F(FunctionFile, PolarAndTwoFunctionFilesCarryTheParameterLines) {
  s.optPolar = flagOn;
  const std::string polar = functionFileText(s, view);
  EXPECT_EQ(lineCount(polar), 19);
  EXPECT_EQ(line(polar, 7), "Zaxis = 1000");
  EXPECT_EQ(line(polar, 10), "color = 16736352");

  s.optPolar = flagOff;
  s.optTwoFunctions = flagOn;
  const std::string two = functionFileText(s, view);
  EXPECT_EQ(lineCount(two), 20);
  EXPECT_EQ(line(two, 2), "G(x)=");
  EXPECT_EQ(line(two, 8), "Zaxis = 1000");
  EXPECT_EQ(line(two, 20), "auto  = false");
}

TEST_F(FunctionFile, EveryFieldAndOptionRoundTrips) {
  for (const bool two : {false, true}) {
    for (const bool polar : {false, true}) {
      auto source = std::make_unique<PlotState>();
      source->optTwoFunctions = two ? flagOn : flagOff;
      source->optPolar = polar ? flagOn : flagOff;
      for (std::uint8_t PlotState::*f :
           {&PlotState::optFilled, &PlotState::optLines, &PlotState::optAntialias,
            &PlotState::optWhiteBack, &PlotState::optThick, &PlotState::optAutoScale}) {
        (*source).*f = flagOn;
      }
      source->optAxes = source->optGrid = source->optDarkNegative = flagOff;
      setCurveColor(*source, 0x123456);
      testing::FakeView typed;
      typed.texts = {{Field::kFormulaF, "f(x) = x^2"},
                     {Field::kFormulaG, "G(x)=cos(x)"},
                     {Field::kXMin, "-1,5"},
                     {Field::kXMax, " 2e3"},
                     {Field::kYMin, "abc"},
                     {Field::kYMax, "7"},
                     {Field::kZMin, "-3"},
                     {Field::kZMax, "3.5"},
                     {Field::kZCount, "250"}};
      const std::string text = functionFileText(*source, typed);

      auto target = std::make_unique<PlotState>();
      target->optTwoFunctions = source->optTwoFunctions;
      testing::FakeView loaded;
      applyFunctionFile(*target, loaded, text);
      for (auto [field, value] : typed.texts) {
        if (field == Field::kFormulaG && !two) continue;
        if ((field == Field::kZMin || field == Field::kZMax || field == Field::kZCount) && !two &&
            !polar) {
          continue;
        }
        EXPECT_EQ(loaded.texts[field], value) << two << polar;
      }
      EXPECT_EQ(target->optPolar, source->optPolar);
      EXPECT_EQ(target->optFilled, two ? flagOff : flagOn);  // no fill with two functions
      EXPECT_EQ(target->optLines, flagOn);
      EXPECT_EQ(target->optAntialias, flagOn);
      EXPECT_EQ(target->optWhiteBack, flagOn);
      EXPECT_EQ(target->backColor, 0xFFFFFFu);  // the scheme follows at once
      EXPECT_EQ(target->optThick, flagOn);
      EXPECT_EQ(target->optAutoScale, flagOn);
      EXPECT_EQ(target->optAxes, flagOff);
      EXPECT_EQ(target->optGrid, flagOff);
      EXPECT_EQ(target->optDarkNegative, flagOff);
      EXPECT_EQ(target->curveColor, 0x123456u);
      EXPECT_EQ(target->curveColorDark, c10(0x123456));
      EXPECT_EQ(loaded.swatch, 0x123456u);
      EXPECT_TRUE(loaded.toggles[Toggle::kAutoScale]);
      EXPECT_FALSE(loaded.isEnabled(Field::kYMin));  // auto disables the y fields at once
    }
  }
}

TEST_F(FunctionFile, TruthIsTrueInAnyCaseAndNothingElse) {
  const std::string base =
      "F(x)=x\npolar = false\nx min = 0\nx max = 1\ny min = 0\ny max = 1\n"
      "color = 255\n";
  for (const auto& [value, expected] :
       std::vector<std::pair<std::string, std::uint8_t>>{{"True", flagOn},
                                                         {"TRUE", flagOn},
                                                         {"tRuE", flagOn},
                                                         {"yes", flagOff},
                                                         {"1", flagOff},
                                                         {"", flagOff},
                                                         {"true ", flagOff}}) {
    s.optFilled = value == "yes" ? flagOn : flagOff;
    applyFunctionFile(s, view, base + "fill  = " + value + "\n");
    EXPECT_EQ(s.optFilled, expected) << value;
  }
}

TEST_F(FunctionFile, AShortFileSetsWhatItReaches) {
  s.optLines = flagOn;
  setCurveColor(s, 0x00FF00);
  applyFunctionFile(s, view, "F(x)=cos(x)\r\n");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=cos(x)");
  EXPECT_EQ(s.optPolar, flagOff);
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax}) {
    EXPECT_EQ(view.texts[f], "");
  }
  EXPECT_EQ(s.optLines, flagOn);
  EXPECT_EQ(s.curveColor, 0x00FF00u);
}

TEST_F(FunctionFile, AOneFunctionFileInTwoFunctionModeShiftsByALine) {
  const std::string one = functionFileText(s, view);
  s.optTwoFunctions = flagOn;
  testing::FakeView loaded;
  applyFunctionFile(s, loaded, one);
  EXPECT_EQ(loaded.texts[Field::kFormulaG], "polar = false");
  EXPECT_EQ(loaded.texts[Field::kXMin], "10");        // the x max line
  EXPECT_EQ(loaded.texts[Field::kYMax], "16736352");  // the color line
  EXPECT_EQ(loaded.texts[Field::kZCount], "false");   // the fill line
}

TEST_F(FunctionFile, AColourThatIsNoNumberKeepsThePreviousOne) {
  setCurveColor(s, 0x0000FF);
  std::string text = functionFileText(s, view);
  text.replace(text.find("color = 255"), 11, "color = red");
  setCurveColor(s, 0x00FF00);
  applyFunctionFile(s, view, text);
  EXPECT_EQ(s.curveColor, 0x00FF00u);
}

TEST_F(FunctionFile, AnyBytesLoadWithoutHarm) {
  std::mt19937 rng(3);
  for (int i = 0; i < 300; ++i) {
    std::string bytes(rng() % 400, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() % 7 == 0 ? '\n' : rng() % 256);
    s.optTwoFunctions = i % 2 ? flagOn : flagOff;
    applyFunctionFile(s, view, bytes);
    EXPECT_TRUE(s.optPolar == flagOn || s.optPolar == flagOff);
    EXPECT_EQ(s.curveColor & 0xFF000000u, 0u);
  }
  applyFunctionFile(s, view, "");
  applyFunctionFile(s, view, "\r\r\r\n\n");
}

TEST_F(FunctionFile, FilesOnDisk) {
  const fs::path folder = fs::temp_directory_path() / ("kurvana_ff_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path path = folder / "sine.kv1";
  ASSERT_EQ(saveFunctionFile(s, view, path), "");
  view.texts[Field::kFormulaF] = "changed";
  ASSERT_EQ(readFunctionFile(s, view, path), "");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=SIN(X)");

  // A failed save leaves the previous file as it was.
  const std::string before = functionFileText(s, view);
  EXPECT_EQ(saveFunctionFile(s, view, folder / "missing" / "x.kv1"),
            "Cannot write \"" + (folder / "missing" / "x.kv1").string() +
                "\": No such file or directory");
  EXPECT_EQ(readFunctionFile(s, view, folder / "nothing.kv1"),
            "Cannot read \"" + (folder / "nothing.kv1").string() + "\": No such file or directory");
  EXPECT_EQ(readFunctionFile(s, view, folder),
            "Cannot read \"" + folder.string() + "\": it is a folder");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), before);
  fs::remove_all(folder);
}

TEST(FunctionFileName, ModeFromTheName) {
  EXPECT_EQ(twoFunctionsFromName("/home/a/Circle.KV2"), true);
  EXPECT_EQ(twoFunctionsFromName("sine.kv1"), false);
  EXPECT_EQ(twoFunctionsFromName("notes.txt"), std::nullopt);
}

}  // namespace
}  // namespace kurvana
