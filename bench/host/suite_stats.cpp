// Medians and ranges of the suite's samples.
#include "suite_stats.h"

#include <algorithm>
#include <cstdio>

double Series::Median() const {
  if (values.empty()) return 0;
  std::vector<double> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  std::size_t middle = sorted.size() / 2;
  return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

double Series::Min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
double Series::Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string MedianText(const Series& series, int decimals, const std::string& unit) {
  if (series.Empty()) return "n/a";
  return Fixed(series.Median(), decimals) + (unit.empty() ? "" : " " + unit);
}

std::string RangeText(const Series& series, int decimals) {
  if (series.Empty()) return "";
  return Fixed(series.Min(), decimals) + " – " + Fixed(series.Max(), decimals);
}
