// The suite's one markdown table.
#pragma once

#include <string>
#include <vector>

struct ReportRow {
  std::string measure;
  std::string median;
  std::string range;     // min – max over the runs
  std::string compared;  // ratio or difference against another row
  std::string target;
  std::string verdict;   // "met", "missed: ..." or empty
};

std::string RenderTable(const std::vector<ReportRow>& rows);
