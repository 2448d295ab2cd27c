// Nanoseconds per sample of the formula engine on five formulas, beside
// hand-written long double code that computes the very same bits (the
// practical limit) and beside the literal text-rewriting evaluator; and the
// compiler on one short and on several 100,000-character formulas.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/elementary.h"
#include "engine/formula.h"
#ifdef KURVANA_HAVE_ORACLE
#include "engine/text_oracle.h"
#endif

namespace {

using kurvana::Formula;

constexpr int kSamples = 2000;

std::vector<long double> arguments() {
  std::vector<long double> xs(kSamples);
  const long double step = (10.0L - 0.1L) / (kSamples - 1);
  for (int i = 0; i < kSamples; ++i) xs[i] = 0.1L + i * step;
  return xs;
}

// Written the way a careful programmer would compute each formula, in the
// order of operations the formula language prescribes, so the values match
// the engine's bit for bit.
long double square(long double v) {
  return v * v;
}

long double handA(long double x) {
  return square(std::sin(x)) + square(std::cos(x));
}

long double handB(long double x) {
  static const long double kPi = std::atan2(0.0L, -1.0L);
  return 2.0L * square(std::sin(x + kPi / 4.0L));
}

long double handC(long double x) {
  return std::sqrt(std::fabs(x)) * std::exp(0.0L - x / 3.0L) + std::log(x);
}

long double handD(long double x) {
  return ((kurvana::hyperbolicSine(x / 4.0L) - kurvana::hyperbolicCosine(x / 5.0L)) +
          kurvana::hyperbolicTangent(x)) +
         std::atan(x);
}

long double handE(long double x) {
  const long double ratio = ((x * (x * x) - 2.0L * (x * x)) + (x - 1.0L)) / (x * x + 1.0L);
  return ratio * std::sin(3.0L * x) + (square(std::cos(x / 2.0L)) - kurvana::decimalLogarithm(x));
}

struct Case {
  const char* name;
  const char* text;
  long double (*hand)(long double);
};

const Case kCases[] = {
    {"a", "F(x)=sin(x)^2+cos(x)^2", handA},
    {"b", "F(x)=2*sin(x+pi/4)^2", handB},
    {"c", "F(x)=sqrt(abs(x))*exp(0-x/3)+ln(x)", handC},
    {"d", "F(x)=sinh(x/4)-cosh(x/5)+tanh(x)+atan(x)", handD},
    {"e", "F(x)=((x^3-2*x^2+x-1)/(x^2+1))*sin(3*x)+cos(x/2)^2-log(x)", handE},
};

Formula compiled(const Case& c) {
  kurvana::CompileResult r = kurvana::compile(c.text);
  if (!r.ok()) {
    std::fprintf(stderr, "benchmark formula does not compile: %s\n", c.text);
    std::abort();
  }
  return r.formula;
}

// A hand-written version that computes other bits measures something else.
void checkSameBits(const Case& c, const Formula& f) {
  kurvana::EvalWorkspace ws;
  const auto xs = arguments();
  std::vector<long double> values(xs.size());
  if (kurvana::evaluateSamples(f, xs, values, ws) != xs.size()) std::abort();
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const long double hand = c.hand(xs[i]);
    if (std::memcmp(&hand, &values[i], 10) != 0) {
      std::fprintf(stderr, "hand-written %s differs at x = %Lg\n", c.name, xs[i]);
      std::abort();
    }
  }
}

void perSample(benchmark::State& state) {
  state.counters["per_sample"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The Draw command's path: all samples of a plot in one call.
void replay(benchmark::State& state, const Case* c) {
  const Formula f = compiled(*c);
  checkSameBits(*c, f);
  const auto xs = arguments();
  std::vector<long double> values(xs.size());
  kurvana::EvalWorkspace ws;
  for (auto _ : state) {
    if (kurvana::evaluateSamples(f, xs, values, ws) != xs.size()) std::abort();
    benchmark::DoNotOptimize(values.data());
    benchmark::ClobberMemory();
  }
  perSample(state);
}

// One argument at a time, as the command-line evaluator does.
void replaySingle(benchmark::State& state, const Case* c) {
  const Formula f = compiled(*c);
  const auto xs = arguments();
  kurvana::EvalWorkspace ws;
  for (auto _ : state) {
    for (long double x : xs) {
      kurvana::evaluateFormula(f, x, ws);
      benchmark::DoNotOptimize(ws.evalResult);
    }
  }
  perSample(state);
}

void handWritten(benchmark::State& state, const Case* c) {
  const auto xs = arguments();
  for (auto _ : state) {
    for (long double x : xs) {
      long double v = c->hand(x);
      benchmark::DoNotOptimize(v);
    }
  }
  perSample(state);
}

#ifdef KURVANA_HAVE_ORACLE
void textRewriting(benchmark::State& state, const Case* c) {
  const Formula f = compiled(*c);
  const auto xs = arguments();
  for (auto _ : state) {
    for (long double x : xs) {
      long double v = 0;
      kurvana::testing::oracleEvaluate(*f.compiled(), x, v);
      benchmark::DoNotOptimize(v);
    }
  }
  perSample(state);
}
#endif

void compileOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(compiled(kCases[4]));
}

// Long field texts: the label and then `unit` repeated until the formula
// behind the label holds 100,000 characters, ended by `tail`. Compiling or
// rejecting any of them must stay well below 50 ms.
struct LongCase {
  const char* name;
  const char* unit;
  const char* tail;
};

const LongCase kLongCases[] = {
    {"pi", "PI", ""},                   // masking and renaming over one long run
    {"pi_product", "PI*", "PI"},        // more than 100 numbers
    {"sum", "1+", "1"},                 // more than 100 numbers
    {"power", "X^", "X"},               // one piece; its reduction runs out of constants
    {"brackets", "(", ""},              // 50,000 levels deep: far beyond nine
    {"exp", "EXP", "X"},                // a rename at every third character
    {"hyperbolic", "SINHX+", "X"},      // masking and renaming interleaved
    {"arcsin_overlap", "ARCSIN", "X"},  // SIN and ARCSIN overlap everywhere
    {"digits", "1", ""},                // one number of 99,995 digits
};

std::string longText(const LongCase& c) {
  constexpr std::size_t kLength = 100000;
  const std::string unit = c.unit;
  std::string body;
  if (unit == "(") {
    body = std::string(kLength / 2, '(') + std::string(kLength / 2, ')');
  } else {
    const std::string tail = c.tail;
    while (body.size() + unit.size() + tail.size() <= kLength) body += unit;
    body += tail;
  }
  return "F(x)=" + body;
}

void compileLong(benchmark::State& state, const LongCase* c) {
  const std::string text = kurvana::upperCaseFormula(longText(*c));
  bool ok = false;
  for (auto _ : state) {
    kurvana::CompileResult r = kurvana::compile(text);
    ok = r.ok();
    benchmark::DoNotOptimize(r);
  }
  state.counters["length"] = static_cast<double>(text.size());
  state.counters["compiled"] = ok;
}

int registerAll() {
  for (const Case& c : kCases) {
    benchmark::RegisterBenchmark((std::string("replay/") + c.name).c_str(), replay, &c);
    benchmark::RegisterBenchmark((std::string("hand_written/") + c.name).c_str(), handWritten, &c);
    benchmark::RegisterBenchmark((std::string("replay_single/") + c.name).c_str(), replaySingle,
                                 &c);
#ifdef KURVANA_HAVE_ORACLE
    benchmark::RegisterBenchmark((std::string("text_rewriting/") + c.name).c_str(), textRewriting,
                                 &c);
#endif
  }
  benchmark::RegisterBenchmark("compile/e", compileOnly);
  for (const LongCase& c : kLongCases) {
    benchmark::RegisterBenchmark((std::string("compile_100k/") + c.name).c_str(), compileLong, &c)
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}

const int kRegistered = registerAll();

}  // namespace

BENCHMARK_MAIN();
