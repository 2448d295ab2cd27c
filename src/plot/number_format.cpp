#include "plot/number_format.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kurvana {
namespace {

std::string_view effectiveSeparator(std::string_view separator) {
  return separator.empty() ? std::string_view(".") : separator;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The "C" locale for conversions that must not follow the process locale. Created
// once and kept for the life of the process; null only when allocation failed.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

// The value rounded to `significant` digits: printf rounds the exact binary
// value in the current rounding mode (to nearest, ties to even). Its radix
// character follows the global locale, so only the digits and the exponent
// of the first digit are taken from it.
struct Rounded {
  std::string digits;
  int exponent = 0;
  bool negative = false;
};

std::optional<Rounded> roundDecimal(long double value, int significant) {
  char buffer[64];
  const int length = std::snprintf(buffer, sizeof buffer, "%.*Le", significant - 1, value);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return std::nullopt;
  const std::string_view printed(buffer, static_cast<std::size_t>(length));
  const std::size_t ePos = printed.find_last_of("eE");
  if (ePos == std::string_view::npos) return std::nullopt;
  Rounded r;
  for (char c : printed.substr(0, ePos)) {
    if (isDigit(c)) r.digits += c;
  }
  std::string_view exponentText = printed.substr(ePos + 1);
  if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
  const auto [end, error] =
      std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), r.exponent);
  if (error != std::errc() || end != exponentText.data() + exponentText.size()) return std::nullopt;
  r.negative = printed.front() == '-';
  return r;
}

}  // namespace

std::string formatGeneral(long double value, std::string_view decimalSeparator, int significant) {
  if (!std::isfinite(value)) return "0";
  const std::string_view separator = effectiveSeparator(decimalSeparator);
  significant = std::clamp(significant, 1, 18);

  const auto rounded = roundDecimal(value, significant);
  if (!rounded) return "0";
  std::string digits = rounded->digits;
  const int exponent = rounded->exponent;
  if (digits.size() != static_cast<std::size_t>(significant) || digits[0] == '0') {
    return "0";  // zero, or unexpected output
  }
  while (digits.back() == '0') digits.pop_back();

  std::string result;
  if (rounded->negative) result += '-';

  // The rounded value is d.dddd... * 10^exponent, so its magnitude lies in
  // [0.0001, 10^significant) exactly when the exponent lies in -4..significant-1.
  if (exponent >= -4 && exponent <= significant - 1) {
    if (exponent >= 0) {
      const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= integerDigits) {
        result += digits;
        result.append(integerDigits - digits.size(), '0');
      } else {
        result += std::string_view(digits).substr(0, integerDigits);
        result += separator;
        result += std::string_view(digits).substr(integerDigits);
      }
    } else {
      result += '0';
      result += separator;
      result.append(static_cast<std::size_t>(-exponent - 1), '0');
      result += digits;
    }
    return result;
  }

  result += digits[0];
  if (digits.size() > 1) {
    result += separator;
    result += std::string_view(digits).substr(1);
  }
  result += 'E';
  if (exponent < 0) result += '-';
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude < 10) result += '0';
  result += std::to_string(magnitude);
  return result;
}

std::optional<long double> parseLocaleNumber(std::string_view text,
                                             std::string_view decimalSeparator) {
  const std::string_view separator = effectiveSeparator(decimalSeparator);
  text = trimSpaces(text);

  // Validate against the field syntax and rebuild the number in C syntax, so
  // that strtold cannot accept anything the field syntax does not (hex, "inf",
  // a point in a comma locale).
  std::string cText;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') cText += '-';
    ++pos;
  }
  int mantissaDigits = 0;
  bool seenSeparator = false;
  while (pos < text.size()) {
    if (isDigit(text[pos])) {
      cText += text[pos];
      ++mantissaDigits;
      ++pos;
    } else if (!seenSeparator && text.substr(pos).starts_with(separator)) {
      cText += '.';
      seenSeparator = true;
      pos += separator.size();
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;

  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    cText += 'e';
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) cText += text[pos++];
    int exponentDigits = 0;
    while (pos < text.size() && isDigit(text[pos])) {
      cText += text[pos++];
      ++exponentDigits;
    }
    if (exponentDigits == 0) return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;

  const locale_t locale = cLocale();
  if (locale == static_cast<locale_t>(0)) return std::nullopt;
  char* end = nullptr;
  const long double value = strtold_l(cText.c_str(), &end, locale);
  if (end != cText.c_str() + cText.size()) return std::nullopt;
  // Overflow gives an infinity, which a field must never hold. Underflow (ERANGE
  // with a denormal or zero) is an acceptable reading of a tiny number.
  if (std::isinf(value)) return std::nullopt;
  return value;
}

std::optional<std::int32_t> parseInteger(std::string_view text) {
  text = trimSpaces(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;

  constexpr std::int64_t kLimit = std::int64_t{1} << 31;  // |INT32_MIN|
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (!isDigit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value >= kLimit) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string userDecimalSeparator() {
  const locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return ".";
  const char* radix = nl_langinfo_l(RADIXCHAR, locale);
  std::string separator = radix != nullptr ? radix : "";
  freelocale(locale);
  return separator.empty() ? "." : separator;
}

}  // namespace kurvana

namespace kurvana {

std::string formatFixed(long double value, int precision, int decimals,
                        std::string_view decimalSeparator) {
  if (!std::isfinite(value)) return "0";
  precision = std::clamp(precision, 1, 18);
  decimals = std::clamp(decimals, 0, 18);
  const std::string_view separator = effectiveSeparator(decimalSeparator);

  const auto rounded = roundDecimal(value, precision);
  if (!rounded) return "0";
  std::string digits = rounded->digits;
  const int exponent = rounded->exponent;
  const bool negative = rounded->negative;
  const bool zero = digits.find_first_not_of('0') == std::string::npos;

  if (!zero && exponent >= precision) {  // too many digits before the point
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string result = negative ? "-" : "";
    result += digits[0];
    if (digits.size() > 1) result += std::string(separator) + digits.substr(1);
    result += 'E';
    if (exponent < 0) result += '-';
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) result += '0';
    return result + std::to_string(magnitude);
  }

  // Units: the digit string scaled so that its last kept position is 10^-decimals.
  // Place the digits: value = 0.d1d2... * 10^(exponent + 1).
  const int pointAt = exponent + 1;  // digits before the point (may be <= 0)
  std::string whole;                 // all digits up to 10^-decimals, leading zeros padded
  if (pointAt < 0) whole.append(static_cast<std::size_t>(-pointAt), '0');
  whole += digits;
  const int integerDigits = std::max(pointAt, 0);
  const std::size_t keep = static_cast<std::size_t>(integerDigits + decimals);
  if (whole.size() < keep) whole.append(keep - whole.size(), '0');
  // Round what lies beyond `keep` digits, halves to even.
  const std::string rest = whole.substr(keep);
  std::string kept = whole.substr(0, keep);
  bool up = false;
  if (!rest.empty() && rest[0] >= '5') {
    const bool exactHalf = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
    const bool lastOdd = !kept.empty() && (kept.back() - '0') % 2 == 1;
    up = !exactHalf || lastOdd;
  }
  if (up) {
    int i = static_cast<int>(kept.size()) - 1;
    for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i) {
      kept[static_cast<std::size_t>(i)] = '0';
    }
    if (i >= 0) {
      ++kept[static_cast<std::size_t>(i)];
    } else {
      kept.insert(kept.begin(), '1');
    }
  }
  const std::size_t intLength = kept.size() - static_cast<std::size_t>(decimals);
  std::string integerPart = kept.substr(0, intLength);
  const std::size_t firstNonZero = integerPart.find_first_not_of('0');
  integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
  const std::string fraction = kept.substr(intLength);
  const bool roundsToZero = kept.find_first_not_of('0') == std::string::npos;

  std::string result = negative && !roundsToZero ? "-" : "";
  result += integerPart;
  if (decimals > 0) result += std::string(separator) + fraction;
  return result;
}

}  // namespace kurvana
