#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace printdeck::bench {

// One figure measured against its floor: what the work would cost if the
// program added nothing to what the protocol, the kernel or the decoder must
// spend anyway.
struct FloorRow {
    std::string name;
    std::string unit;  // of value and floor
    double value = 0;
    double floor = 0;
    double ratio = 0;  // median of the per-pair ratios
    double goal = 0;
    bool atMost = true;  // the ratio must stay at or below the goal; else at or above
    bool Met() const { return atMost ? ratio <= goal : ratio >= goal; }
};

// A figure and its floor, taken together once.
struct Pair {
    double value = 0;
    double floor = 0;
};

// Takes `runs` pairs, each measuring the figure and its floor back to back in
// this process, so a busy machine slows both alike; the row holds the medians.
// ratioOf turns a pair into its ratio.
FloorRow MeasureRow(std::string name, std::string unit, double goal, bool atMost, int runs,
                    const std::function<Pair()>& measure,
                    const std::function<double(const Pair&)>& ratioOf);

double Median(std::vector<double> values);

void PrintTable(std::ostream& out, const std::vector<FloorRow>& rows);
void PrintJson(std::ostream& out, const std::vector<FloorRow>& rows);

// The groups of rows; each appends its own.
void AddSettingsRows(int runs, std::vector<FloorRow>& rows);
void AddStreamRows(int runs, std::vector<FloorRow>& rows);
void AddImageRows(int runs, std::vector<FloorRow>& rows);
void AddFleetRows(int runs, std::vector<FloorRow>& rows);

}  // namespace printdeck::bench
