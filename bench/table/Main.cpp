// Prints every benchmark figure beside its floor: one table, or with --json
// an array of {name, value, floor, ratio, goal, met}.
// Usage: bench_table [--json] [--runs N] [--only settings|streams|images|fleet]

#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "FloorTable.h"

int main(int argc, char** argv) {
    using namespace printdeck::bench;
    bool json = false;
    int runs = 5;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::cerr << "usage: bench_table [--json] [--runs N] [--only "
                         "settings|streams|images|fleet]\n";
            return 2;
        }
    }
    std::vector<FloorRow> rows;
    try {
        if (only.empty() || only == "settings") {
            AddSettingsRows(runs, rows);
        }
        if (only.empty() || only == "streams") {
            AddStreamRows(runs, rows);
        }
        if (only.empty() || only == "images") {
            AddImageRows(runs, rows);
        }
        if (only.empty() || only == "fleet") {
            AddFleetRows(runs, rows);
        }
    } catch (const std::exception& e) {
        std::cerr << "bench_table: " << e.what() << "\n";
        return 1;
    }
    if (json) {
        PrintJson(std::cout, rows);
    } else {
        PrintTable(std::cout, rows);
    }
    return 0;
}
