#include "FloorTable.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace printdeck::bench {

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

FloorRow MeasureRow(std::string name, std::string unit, double goal, bool atMost, int runs,
                    const std::function<Pair()>& measure,
                    const std::function<double(const Pair&)>& ratioOf) {
    std::vector<double> values;
    std::vector<double> floors;
    std::vector<double> ratios;
    for (int run = 0; run < runs; ++run) {
        const Pair pair = measure();
        values.push_back(pair.value);
        floors.push_back(pair.floor);
        ratios.push_back(ratioOf(pair));
    }
    FloorRow row;
    row.name = std::move(name);
    row.unit = std::move(unit);
    row.value = Median(values);
    row.floor = Median(floors);
    row.ratio = Median(ratios);
    row.goal = goal;
    row.atMost = atMost;
    return row;
}

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value >= 100 ? "%.0f" : "%.3g", value);
    return text;
}

std::string GoalText(const FloorRow& row) {
    char text[32];
    std::snprintf(text, sizeof text, "%s %.2f", row.atMost ? "<=" : ">=", row.goal);
    return text;
}

}  // namespace

void PrintTable(std::ostream& out, const std::vector<FloorRow>& rows) {
    int nameWidth = 6;
    for (const FloorRow& row : rows) {
        nameWidth = std::max(nameWidth, static_cast<int>(row.name.size()));
    }
    char line[512];
    std::snprintf(line, sizeof line, "%-*s %10s %10s %-6s %7s %8s  %s\n", nameWidth, "figure",
                  "value", "floor", "unit", "ratio", "goal", "met");
    out << line;
    for (const FloorRow& row : rows) {
        std::snprintf(line, sizeof line, "%-*s %10s %10s %-6s %7.3f %8s  %s\n", nameWidth,
                      row.name.c_str(), Number(row.value).c_str(), Number(row.floor).c_str(),
                      row.unit.c_str(), row.ratio, GoalText(row).c_str(), row.Met() ? "yes" : "NO");
        out << line;
    }
}

void PrintJson(std::ostream& out, const std::vector<FloorRow>& rows) {
    nlohmann::json all = nlohmann::json::array();
    for (const FloorRow& row : rows) {
        all.push_back({{"name", row.name},
                       {"unit", row.unit},
                       {"value", row.value},
                       {"floor", row.floor},
                       {"ratio", row.ratio},
                       {"goal", row.goal},
                       {"direction", row.atMost ? "at most" : "at least"},
                       {"met", row.Met()}});
    }
    out << all.dump(2) << "\n";
}

}  // namespace printdeck::bench
