// Internal to the engine and its tests: the rewriting steps of the lexical pass.
#pragma once

#include <string>
#include <string_view>

namespace kurvana {

// The vocabulary test: masks the lexicon entries, longer ones first and in
// lexicon order among equal lengths; true when every character was masked.
bool inVocabulary(std::string text);

// Replaces the first occurrence of `from` by `to` until none is left. `to`
// must be shorter than `from` or lack one of its characters, so that the
// rewriting ends.
std::string replaceEvery(const std::string& text, std::string_view from, std::string_view to);

// The renames that keep number and reference letters out of function names,
// in their order: PI to P, EXP to TR, SQRT to SRT, SINH, COSH, TANH to SINI,
// COSI, TANI.
std::string renameFunctions(std::string text);

}  // namespace kurvana
