// The install manifest as the tests expect it, typed apart from the
// product's table (base/manifest.cpp): what the product's rows are
// compared with, and what installed files' attributes are checked against.
// No Windows header here (the pure tests are also built natively).
#pragma once

#include <cstddef>
#include <cstring>

struct ExpectedRow {
  int row;  // 1-based
  int progress;
  int id;
  const char* fileName;
  int readOnly;
  int hidden;
  bool stops;
  bool wordBaseOnly;
};

inline constexpr ExpectedRow kExpectedRows[] = {
#include "tests/support/manifest_rows.inc"
};
inline constexpr std::size_t kExpectedRowCount = sizeof kExpectedRows / sizeof kExpectedRows[0];

// The expected row of fileName (exact spelling), or null.
inline const ExpectedRow* FindExpectedRow(const char* fileName) {
  for (const ExpectedRow& row : kExpectedRows) {
    if (std::strcmp(row.fileName, fileName) == 0) return &row;
  }
  return nullptr;
}
