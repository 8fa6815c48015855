// Renders the suite's rows as one markdown table.
#include "suite_report.h"

namespace {

// A '|' inside a cell would end it.
std::string Cell(const std::string& text) {
  std::string cell;
  for (char c : text) cell += c == '|' ? std::string("\\|") : std::string(1, c);
  return cell;
}

}  // namespace

std::string RenderTable(const std::vector<ReportRow>& rows) {
  std::string table = "| Measure | Median | Min – max | Compared | Target | Result |\n"
                      "|---|---:|---:|---|---|---|\n";
  for (const ReportRow& row : rows) {
    table += "| " + Cell(row.measure) + " | " + Cell(row.median) + " | " + Cell(row.range) + " | " +
             Cell(row.compared) + " | " + Cell(row.target) + " | " + Cell(row.verdict) + " |\n";
  }
  return table;
}
