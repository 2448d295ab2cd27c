#include "explore/report.h"

#include <algorithm>

#include "explore/integral.h"
#include "plot/number_format.h"

namespace kurvana {
namespace {

enum class Direction { kNone, kDown, kUp };

std::vector<long double> findTurns(const SampleRun& run, Direction before, Direction after) {
  std::vector<long double> found;
  const auto& v = run.v;
  Direction previous = Direction::kNone;
  std::size_t previousIndex = 0;
  for (std::size_t i = 1; i < v.size(); ++i) {
    const Direction direction = v[i - 1] > v[i]   ? Direction::kDown
                                : v[i - 1] < v[i] ? Direction::kUp
                                                  : Direction::kNone;
    if (previous == before && direction == after) {
      found.push_back(run.position(static_cast<long double>(previousIndex + i) / 2));
    }
    if (direction != Direction::kNone) {
      previous = direction;
      previousIndex = i;
    }
  }
  return found;
}

void appendList(std::vector<std::string>& lines, const std::vector<long double>& positions,
                std::string_view separator) {
  for (std::size_t k = 0; k < positions.size(); ++k) {
    lines.push_back("#" + std::to_string(k + 1) + " = " + formatGeneral(positions[k], separator));
  }
  if (positions.empty()) lines.emplace_back("-----");
}

SampleRun runOf(const std::array<long double, kSampleCapacity>& samples, int n, long double start,
                long double end) {
  const auto count = static_cast<std::size_t>(std::clamp(n, 0, kSampleCapacity));
  return SampleRun{std::span<const long double>(samples.data(), count), start, end};
}

}  // namespace

std::vector<long double> findRoots(const SampleRun& run) {
  std::vector<long double> found;
  const auto& v = run.v;
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (v[i] == 0) found.push_back(run.position(static_cast<long double>(i)));
    if ((v[i] > 0 && v[i - 1] < 0) || (v[i] < 0 && v[i - 1] > 0)) {
      found.push_back(run.position(static_cast<long double>(i) - 0.5L));
    }
  }
  return found;
}

std::vector<long double> findMinima(const SampleRun& run) {
  return findTurns(run, Direction::kDown, Direction::kUp);
}

std::vector<long double> findMaxima(const SampleRun& run) {
  return findTurns(run, Direction::kUp, Direction::kDown);
}

std::vector<std::string> reportLines(const PlotState& s, const FieldTexts& fields,
                                     const InterfaceTexts& texts, std::string_view separator) {
  const auto field = [&fields](Field f) { return textOf(fields, f); };
  std::vector<std::string> lines;
  lines.push_back(texts[TextId::kTxtFunctionFormula] + ":");
  lines.push_back(field(Field::kFormulaF));
  const std::string& roots = texts[TextId::kTxtRoots];

  if (isOn(s.optTwoFunctions)) {
    lines.push_back(field(Field::kFormulaG));
    lines.push_back("x min  = " + field(Field::kZMin));
    lines.push_back("x max  = " + field(Field::kZMax));
    lines.push_back(texts[TextId::kTxtPoints] + " = " + field(Field::kZCount));
    lines.emplace_back(" ");
    lines.push_back("F(x) " + roots + ":");
    appendList(lines, findRoots(runOf(s.samplesA, s.zCount, s.zMin, s.zMax)), separator);
    lines.emplace_back(" ");
    lines.push_back("G(x) " + roots + ":");
    appendList(lines, findRoots(runOf(s.samplesB, s.zCount, s.zMin, s.zMax)), separator);
    return lines;
  }

  const SampleRun run = runOf(s.samplesA, s.plotWidth, s.xMin, s.xMax);
  lines.push_back("x min  = " + field(Field::kXMin));
  lines.push_back("x max  = " + field(Field::kXMax));
  lines.push_back(texts[TextId::kTxtPoints] + " = " + std::to_string(s.plotWidth));
  lines.emplace_back(" ");
  lines.push_back(roots + ":");
  appendList(lines, findRoots(run), separator);
  lines.emplace_back(" ");
  lines.push_back(texts[TextId::kTxtMinima] + ":");
  appendList(lines, findMinima(run), separator);
  lines.emplace_back(" ");
  lines.push_back(texts[TextId::kTxtMaxima] + ":");
  appendList(lines, findMaxima(run), separator);
  lines.emplace_back(" ");
  lines.push_back(texts[TextId::kTxtIntegral] + " x min..x max :");
  lines.push_back("F(x)dx = " + integralText(s.integralValue, separator));
  return lines;
}

}  // namespace kurvana
