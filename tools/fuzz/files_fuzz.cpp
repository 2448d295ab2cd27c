// libFuzzer target: any bytes as a function file (both modes), a settings
// record, a language file or a chosen-language name must load without harm
// and leave the state usable.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "app/function_files.h"
#include "app/memory_view.h"
#include "files/function_file.h"
#include "files/language_file.h"
#include "files/settings_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const auto mode : {kurvana::flagOff, kurvana::flagOn}) {
    auto state = std::make_unique<kurvana::PlotState>();
    state->optTwoFunctions = mode;
    kurvana::MemoryView view;
    kurvana::applyFunctionFile(*state, view,
                               kurvana::parseFunctionFile(bytes, kurvana::isOn(mode)));
    if (!kurvana::isOn(state->optPolar) && state->optPolar != kurvana::flagOff) std::abort();
    if ((state->curveColor >> 24) != 0) std::abort();
  }

  auto state = std::make_unique<kurvana::PlotState>();
  kurvana::WindowExtent window;
  kurvana::decodeSettings(std::span(data, size), *state, window);
  if (!std::isfinite(state->xMin) || !std::isfinite(state->yMax) || !std::isfinite(state->zMin)) {
    std::abort();
  }

  kurvana::LanguageFile language;
  const auto lines = kurvana::decodeUtf16Lines(bytes);
  for (std::size_t k = 1; k < lines.size() && language.texts.size() < kurvana::kTextCount; ++k) {
    language.texts.push_back(lines[k]);
  }
  kurvana::InterfaceTexts texts;
  kurvana::applyLanguage(texts, language);
  const auto again = kurvana::decodeUtf16Lines(kurvana::encodeUtf16(bytes));
  (void)again;
  // Any bytes in any encoding a language file may use: text lines without
  // control characters, or nothing.
  if (const auto text = kurvana::decodeTextLines(bytes)) {
    for (const std::string& line : *text) {
      for (const char c : line) {
        if (c == '\r' || c == '\n' || c == '\0') std::abort();
      }
    }
  }
  return 0;
}
