// Every picture, readout, message, report and file the core makes for a fixed
// set of sessions, pinned by their digests: each mode and style, automatic
// scale, zooms, pans with their previews, the ring, a live resize, saved
// pictures in three formats, function files, the history and the settings
// record. A change that moves one byte of any of them fails here and names
// the artefact. KURVANA_WRITE_GOLDEN=FILE writes the digests anew.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/controller.h"
#include "app/memory_view.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

const fs::path kDigests = fs::path(KURVANA_TESTS_DIR) / "app/golden_digests.txt";
// The labels are drawn with the face fontconfig finds for Verdana: DejaVu
// Sans on Debian. Pictures with labels are compared where that file is the
// one the digests were made with.
const fs::path kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr std::uintmax_t kDejaVuSize = 759720;

// 64-bit FNV-1a: stable across machines and compilers.
std::string digest(const void* data, std::size_t size) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    h ^= p[i];
    h *= 0x100000001b3ull;
  }
  std::ostringstream out;
  out << std::hex << h;
  return out.str();
}
std::string digest(const std::string& bytes) {
  return digest(bytes.data(), bytes.size());
}

class Session {
 public:
  Session(const fs::path& root, bool labels) : root_(root) {
    fs::create_directories(root / "home");
    view.window = {1024, 768};
    ControllerSetup setup = ControllerSetup::headless();
    vars_ = {{"HOME", (root / "home").string()},
             {"XDG_CONFIG_HOME", (root / "config").string()},
             {"XDG_DATA_HOME", (root / "data").string()}};
    setup.environment = testing::environmentOf(vars_);
    setup.reportPath = root / "report.txt";
    controller = std::make_unique<Controller>(view, setup);
    controller->app().decimalSeparator = ".";
    if (!labels) controller->app().labelFont.reset();
    const Status started = controller->startUp(Size{1920, 1080}, std::nullopt);
    for (const std::string& m : started.messages()) ADD_FAILURE() << m;
    (void)controller->firstDraw();
  }

  void set(Field f, const std::string& text) { view.texts[f] = text; }
  void ranges(const std::string& xMin, const std::string& xMax, const std::string& yMin,
              const std::string& yMax) {
    set(Field::kXMin, xMin);
    set(Field::kXMax, xMax);
    set(Field::kYMin, yMin);
    set(Field::kYMax, yMax);
  }

  // The digests were made of the words 0xFFBBGGRR the pixels were once
  // stored as (little-endian): the picture is hashed in that layout.
  std::string picture() const {
    const Bitmap& b = controller->picture();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(4u * static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height()));
    for (int y = 0; y < b.height(); ++y) {
      for (int x = 0; x < b.width(); ++x) {
        const Color c = b.pixel(x, y);
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                   static_cast<std::uint8_t>(c >> 16), 0xFF});
      }
    }
    return std::to_string(b.width()) + "x" + std::to_string(b.height()) + ":" +
           digest(bytes.data(), bytes.size());
  }
  // The readouts, the range fields and the message, as the window shows them.
  std::string texts() const {
    std::string all;
    for (const auto& [label, text] : view.labels) all += text + "|";
    for (const auto& [field, text] : view.texts) all += text + "|";
    if (view.message) all += (*view.message)[0] + (*view.message)[1] + (*view.message)[2];
    return digest(all);
  }
  std::string file(const fs::path& path) const {
    return fs::exists(path) ? digest(testing::readWhole(path)) : "missing";
  }
  fs::path folder() const { return root_ / "home/Documents/Talvoren/Kurvana"; }

  MemoryView view;
  std::unique_ptr<Controller> controller;

 private:
  fs::path root_;
  std::map<std::string, std::string> vars_;  // the environment looks here
};

class Golden : public ::testing::Test {
 protected:
  void TearDown() override {
    if (const char* out = std::getenv("KURVANA_WRITE_GOLDEN")) {
      std::ofstream file(out, std::ios::app);
      for (const auto& [name, value] : found) file << name << ' ' << value << '\n';
      return;
    }
    const std::map<std::string, std::string> expected = read();
    for (const auto& [name, value] : found) {
      const auto it = expected.find(name);
      if (it == expected.end()) {
        ADD_FAILURE() << name << " has no recorded digest";
      } else {
        EXPECT_EQ(value, it->second) << name;
      }
    }
  }

  static std::map<std::string, std::string> read() {
    std::map<std::string, std::string> out;
    std::ifstream in(kDigests);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream words(line);
      std::string name, value;
      if (words >> name >> value) out[name] = value;
    }
    return out;
  }

  void record(const std::string& name, const std::string& value) { found[name] = value; }
  void shot(Session& s, const std::string& name) {
    record(name + ".picture", s.picture());
    record(name + ".texts", s.texts());
    s.view.message.reset();
  }
  static bool labelFaceAsRecorded() {
    std::error_code e;
    return fs::file_size(kDejaVu, e) == kDejaVuSize;
  }

  testing::TemporaryFolder temp{"golden"};
  std::map<std::string, std::string> found;
};

// One function: the styles, each alone and in pairs that meet in one pixel.
TEST_F(Golden, CartesianStyles) {
  Session s(temp.path(), false);
  s.set(Field::kFormulaF, "F(x)=sin(x)*x/3");
  s.ranges("0", "20", "-7", "7");
  (void)s.controller->draw();
  shot(s, "cartesian.dots");
  (void)s.controller->toggleLines();
  shot(s, "cartesian.lines");
  s.controller->toggleOption(Option::kAntialias);
  (void)s.controller->applySettings(0);
  shot(s, "cartesian.antialiased");
  (void)s.controller->toggleFilled();
  shot(s, "cartesian.filled");
  s.controller->toggleOption(Option::kDarkNegative);
  s.controller->toggleOption(Option::kThick);
  (void)s.controller->applySettings(0);
  shot(s, "cartesian.filled-dark-thick");
  s.controller->toggleOption(Option::kWhiteBack);
  s.controller->toggleOption(Option::kGrid);
  (void)s.controller->applySettings(0);
  shot(s, "cartesian.white-nogrid");
  s.controller->toggleOption(Option::kAxes);
  (void)s.controller->toggleFilled();
  (void)s.controller->applySettings(0);
  shot(s, "cartesian.white-noaxes-lines");
  // Breaks, poles and values beyond the range.
  s.set(Field::kFormulaF, "F(x)=tan(x)+1/(x-3.01)");
  s.ranges("-5", "5", "-4", "4");
  (void)s.controller->draw();
  shot(s, "cartesian.poles");
  s.set(Field::kFormulaF, "F(x)=x^2-3");
  s.ranges("-2.5", "2.5", "-0.5", "1.5");
  (void)s.controller->draw();
  shot(s, "cartesian.half-defined");
}

TEST_F(Golden, AutomaticScaleZoomsAndPans) {
  Session s(temp.path(), false);
  s.set(Field::kFormulaF, "F(x)=x^3-2*x");
  s.ranges("-3", "3", "-1", "1");
  s.controller->toggleAutoScale();
  (void)s.controller->toggleLines();
  (void)s.controller->draw();
  shot(s, "auto.drawn");
  s.controller->toggleAutoScale();
  (void)s.controller->zoom(ZoomDirection::kIn, Keys{}, Point{300, 200});
  shot(s, "auto.zoom-in-x");
  (void)s.controller->zoom(ZoomDirection::kOut, Keys{.shift = true}, Point{310, 210});
  shot(s, "auto.zoom-out-y");
  (void)s.controller->pointerPressed(MouseButton::kLeft, Point{400, 300});
  (void)s.controller->pointerMoved(Keys{}, Point{437, 281});
  shot(s, "auto.pan-preview");
  (void)s.controller->pointerMoved(Keys{}, Point{480, 352});
  shot(s, "auto.pan-preview-2");
  (void)s.controller->pointerReleased();
  shot(s, "auto.panned");
  // The ring and the readout where the pointer rests, then one column on.
  s.controller->toggleCircle();
  (void)s.controller->pointerMoved(Keys{}, Point{250, 100});
  shot(s, "auto.ring");
  (void)s.controller->pointerMoved(Keys{}, Point{251, 100});
  shot(s, "auto.ring-next");
  // Filled area and the edge bands under a pan.
  (void)s.controller->toggleFilled();
  (void)s.controller->pointerPressed(MouseButton::kLeft, Point{20, 20});
  (void)s.controller->pointerMoved(Keys{}, Point{783, 627});
  shot(s, "auto.filled-pan-preview");
  (void)s.controller->pointerReleased();
  shot(s, "auto.filled-panned");
}

TEST_F(Golden, PolarAndParametric) {
  Session s(temp.path(), false);
  s.controller->toggleOption(Option::kPolar);
  (void)s.controller->applySettings(0);
  s.set(Field::kFormulaF, "F(x)=cos(4*x)");
  s.set(Field::kZCount, "500");
  s.set(Field::kZMin, "0");
  s.set(Field::kZMax, "6.2832");
  s.ranges("-1.2", "1.2", "-1", "1");
  (void)s.controller->draw();
  shot(s, "polar.dots");
  (void)s.controller->toggleLines();
  shot(s, "polar.lines");
  s.controller->toggleCircle();
  (void)s.controller->pointerMoved(Keys{}, Point{500, 300});
  shot(s, "polar.ring");
  (void)s.controller->pointerPressed(MouseButton::kLeft, Point{300, 300});
  (void)s.controller->pointerMoved(Keys{}, Point{350, 260});
  shot(s, "polar.pan-preview");
  (void)s.controller->pointerReleased();
  shot(s, "polar.panned");

  s.controller->toggleOption(Option::kPolar);
  s.controller->toggleOption(Option::kTwoFunctions);
  (void)s.controller->applySettings(0);
  s.set(Field::kFormulaF, "F(x)=cos(3*x)");
  s.set(Field::kFormulaG, "G(x)=sin(2*x)");
  s.ranges("-1.5", "1.5", "-1.2", "1.2");
  (void)s.controller->draw();
  shot(s, "parametric.lines");
  s.controller->toggleAutoScale();
  (void)s.controller->draw();
  shot(s, "parametric.auto");
  s.controller->toggleAutoScale();
  (void)s.controller->pointerPressed(MouseButton::kLeft, Point{300, 300});
  (void)s.controller->pointerMoved(Keys{}, Point{260, 340});
  shot(s, "parametric.pan-preview");
  (void)s.controller->pointerReleased();
  shot(s, "parametric.panned");
  (void)s.controller->zoom(ZoomDirection::kIn, Keys{.ctrl = true}, Point{100, 100});
  shot(s, "parametric.zoom-in-y");
  (void)s.controller->pointerMoved(Keys{}, Point{420, 333});
  shot(s, "parametric.ring");
  s.controller->toggleOption(Option::kAntialias);
  s.controller->toggleOption(Option::kThick);
  (void)s.controller->applySettings(0);
  shot(s, "parametric.antialiased-thick");
}

TEST_F(Golden, MessagesResizeAndFiles) {
  Session s(temp.path(), false);
  s.controller->toggleOption(Option::kReport);
  (void)s.controller->applySettings(0);
  s.set(Field::kFormulaF, "F(x)=sin(x");
  (void)s.controller->draw();
  shot(s, "message.syntax");
  s.set(Field::kFormulaF, "F(x)=exp(x*x)");
  s.ranges("-100", "100", "-1", "1");
  (void)s.controller->draw();
  shot(s, "message.overflow");
  s.ranges("3", "1", "-1", "1");
  (void)s.controller->draw();
  shot(s, "message.range");

  s.set(Field::kFormulaF, "F(x)=x*sin(x)-1");
  s.ranges("-10", "10", "-10", "10");
  (void)s.controller->toggleLines();
  (void)s.controller->draw();
  shot(s, "report.drawn");
  record("report.text", s.file(temp.path() / "report.txt"));

  s.view.window = {1400, 900};
  s.controller->windowLaidOut(Size{1400, 900});
  (void)s.controller->resizeStep();
  shot(s, "resize.step");
  (void)s.controller->resizeFinished();
  shot(s, "resize.finished");

  ASSERT_TRUE(s.controller->prepareSavePicture());
  const fs::path out = temp.path();
  ASSERT_TRUE(s.controller->savePicture(out / "p.bmp", PictureFormat::kBmp).ok());
  ASSERT_TRUE(s.controller->savePicture(out / "p.jpg", PictureFormat::kJpeg).ok());
  ASSERT_TRUE(s.controller->savePicture(out / "p.png", PictureFormat::kPng).ok());
  for (const char* name : {"p.bmp", "p.jpg", "p.png"}) {
    record(std::string("saved.") + name, s.file(out / name));
  }
  ASSERT_TRUE(s.controller->saveFunction(out / "one.kv1").ok());
  record("saved.one.kv1", s.file(out / "one.kv1"));
  s.controller->toggleOption(Option::kTwoFunctions);
  (void)s.controller->applySettings(0);
  s.set(Field::kFormulaF, "F(x)=x*sin(x)-1");
  s.set(Field::kFormulaG, "G(x)=cos(x)/2");
  EXPECT_EQ(s.controller->draw().outcome, DrawOutcome::kDrawn);
  ASSERT_TRUE(s.controller->saveFunction(out / "two.kv2").ok());
  record("saved.two.kv2", s.file(out / "two.kv2"));
  ASSERT_TRUE(s.controller->loadFunction(out / "two.kv2").ok());
  shot(s, "loaded.two");
  ASSERT_TRUE(s.controller->exit().ok());
  for (const char* name : {"Kurvana.ini", "Kurvana.lst", "Kurvana2.lst", "Kurvana3.lst"}) {
    record(std::string("data.") + name, s.file(s.folder() / name));
  }
}

TEST_F(Golden, LabelledPictures) {
  if (!labelFaceAsRecorded()) GTEST_SKIP() << "DejaVu Sans differs from the one recorded";
  Session s(temp.path(), true);
  s.set(Field::kFormulaF, "F(x)=sin(x)*x/3");
  s.ranges("0", "20", "-7", "7");
  (void)s.controller->toggleLines();
  (void)s.controller->draw();
  shot(s, "labelled.cartesian");
  s.ranges("-0.00012", "0.00035", "-123456", "987654");
  (void)s.controller->draw();
  shot(s, "labelled.odd-ranges");
  s.controller->toggleOption(Option::kWhiteBack);
  s.controller->toggleOption(Option::kPolar);
  (void)s.controller->applySettings(0);
  s.set(Field::kFormulaF, "F(x)=1+cos(x)");
  s.set(Field::kZMin, "0");
  s.set(Field::kZMax, "6.3");
  s.ranges("-1", "2.5", "-1.5", "1.5");
  (void)s.controller->draw();
  shot(s, "labelled.polar-white");
}

}  // namespace
}  // namespace kurvana
