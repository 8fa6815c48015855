// Seeded printf-style conversions for the formatter's tests: a random
// numeric conversion with its argument, the text the C library prints for
// it, and a call of RefString::Format with arguments of their own C types.
// Header only and window-free, so a natively built test can use it too.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/ref_string.h"

inline int Pick(std::mt19937& random, int count) {
  return std::uniform_int_distribution<int>(0, count - 1)(random);
}
inline char PickOf(std::mt19937& random, const char* set) {
  return set[Pick(random, static_cast<int>(std::strlen(set)))];
}

struct Argument {
  char type;  // 'i' int, 'l' long long, 'd' double, 's' text, 'p' pointer
  int i = 0;
  long long ll = 0;
  double d = 0;
  std::string s;
  void* p = nullptr;
};

// A format text, its arguments and what Format must make of them.
struct Generated {
  std::string format;
  std::vector<Argument> args;
  std::string expected;
};

constexpr std::size_t kMaxArguments = 3;

// Calls Format with the generated arguments, each with its own C type.
template <typename... Done>
void CallFormat(RefString& out, const char* format, const std::vector<Argument>& args,
                std::size_t next, Done... done) {
  if (next == args.size()) {
    out.Format(format, done...);
    return;
  }
  if constexpr (sizeof...(Done) < kMaxArguments) {
    const Argument& a = args[next];
    switch (a.type) {
      case 'i':
        return CallFormat(out, format, args, next + 1, done..., a.i);
      case 'l':
        return CallFormat(out, format, args, next + 1, done..., a.ll);
      case 'd':
        return CallFormat(out, format, args, next + 1, done..., a.d);
      case 's':
        return CallFormat(out, format, args, next + 1, done..., a.s.c_str());
      default:
        return CallFormat(out, format, args, next + 1, done..., a.p);
    }
  }
}

template <typename Value>
std::string CPrinted(const std::string& spec, Value value) {
  int needed = std::snprintf(nullptr, 0, spec.c_str(), value);
  if (needed <= 0) return "";
  std::vector<char> out(static_cast<std::size_t>(needed) + 1);
  std::snprintf(out.data(), out.size(), spec.c_str(), value);
  return out.data();  // up to a NUL that "%c" of 0 would write
}

// Flags, width and precision, as a C spec after "%" (no length modifier).
inline std::string NumericSpec(std::mt19937& random) {
  std::string spec;
  for (int k = Pick(random, 4); k > 0; --k) spec += PickOf(random, "-+0 #");
  if (Pick(random, 2)) spec += std::to_string(1 + Pick(random, 40));
  if (Pick(random, 2)) spec += "." + std::to_string(Pick(random, 21));
  return spec;
}

// Appends one numeric conversion to g: a double (exponents up to +-1000,
// so "%f" runs to hundreds of digits; an "L" is collected and dropped), 64
// bits through "ll", a pointer, or an int with "h", "hh", "l" or a "*"
// that takes no argument.
inline void AddNumericConversion(std::mt19937& random, Generated& g) {
  Argument a;
  std::string spec = NumericSpec(random);
  int kind = Pick(random, 5);
  if (kind == 0) {
    a.type = 'd';
    a.d = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                     Pick(random, 2001) - 1000);
    char conversion = PickOf(random, "eEfgG");
    std::string length = Pick(random, 4) == 0 ? "L" : Pick(random, 4) == 0 ? "l" : "";
    g.format += "%" + spec + length + conversion;
    g.expected += CPrinted("%" + spec + (length == "l" ? "l" : "") + conversion, a.d);
  } else if (kind == 1) {
    a.type = 'l';
    a.ll = static_cast<long long>((static_cast<unsigned long long>(random()) << 32) ^ random());
    char conversion = PickOf(random, "diouxX");
    g.format += "%" + spec + "ll" + conversion;
    g.expected += CPrinted("%" + spec + "ll" + conversion, a.ll);
  } else if (kind == 2) {
    a.type = 'p';
    a.p = reinterpret_cast<void*>(static_cast<std::uintptr_t>(random()));
    g.format += "%" + spec + "p";
    g.expected += CPrinted("%" + spec + "p", a.p);
  } else {
    a.type = 'i';
    a.i = static_cast<int>(random());
    char conversion = PickOf(random, "diouxXc");
    if (conversion == 'c') a.i = 32 + Pick(random, 95);
    const char* lengths[] = {"", "", "h", "hh", "l"};
    std::string length = lengths[Pick(random, 5)];
    bool star = Pick(random, 6) == 0;
    g.format += "%" + std::string(star ? "*" : "") + spec + length + conversion;
    g.expected += CPrinted("%" + spec + length + conversion, a.i);
  }
  g.args.push_back(a);
}
