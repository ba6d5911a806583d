#include "base/textnum.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace plotvue {
namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that long double holds exactly (5^27 < 2^64).
constexpr int kExactPowers = 28;
constexpr long double kPow10[kExactPowers] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
    1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
    1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

}  // namespace

long double TextToFloat(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Validate the shape and take the common case (at most 19 significant digits, no exponent)
  // directly: mantissa and power of ten are both exact, so one division rounds correctly.
  const std::size_t start = i;
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction = 0;
  bool seenPoint = false;
  bool anyDigit = false;
  bool commaSeen = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      anyDigit = true;
      if (mantissa != 0 || c != '0') ++digits;
      if (digits <= 19) mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      if (seenPoint) ++fraction;
    } else if ((c == '.' || (c == ',' && !commaSeen)) && !seenPoint) {
      if (c == ',') commaSeen = true;
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0L;
  if (i == n) {
    if (digits <= 19 && fraction < kExactPowers) {
      long double v = static_cast<long double>(mantissa) / kPow10[fraction];
      return negative ? -v : v;
    }
  } else {
    // Only an exponent may follow.
    if (text[i] != 'e' && text[i] != 'E') return 0.0L;
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j >= n) return 0.0L;
    for (; j < n; ++j)
      if (!IsDigit(text[j])) return 0.0L;
  }
  // General case: a validated decimal number; from_chars does not accept "+" or "," forms.
  std::string s(text.substr(start));
  for (char& c : s)
    if (c == ',') c = '.';
  if (s.front() == '.') s.insert(s.begin(), '0');
  long double v = 0.0L;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return 0.0L;
  return negative ? -v : v;
}

std::int32_t TextToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return 0;
  std::int64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (!IsDigit(c)) return 0;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return 0;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return 0;
  return static_cast<std::int32_t>(v);
}

}  // namespace plotvue
