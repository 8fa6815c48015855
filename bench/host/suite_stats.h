// Samples of one measure across the runs of the suite.
#pragma once

#include <string>
#include <vector>

struct Series {
  std::vector<double> values;

  void Add(double value) { values.push_back(value); }
  bool Empty() const { return values.empty(); }
  double Median() const;
  double Min() const;
  double Max() const;
};

// "1.234" style numbers with the given decimals; "n/a" for an empty series.
std::string Fixed(double value, int decimals);
std::string MedianText(const Series& series, int decimals, const std::string& unit);
std::string RangeText(const Series& series, int decimals);
