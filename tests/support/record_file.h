// Record-level CSV files for benchmarks: `records` rows of 16 columns
// "Variable1".."Variable16" with values "Cat1".."Cat16" and a whole-number
// weight column "Weight" (0..9), from a fixed pseudo-random sequence.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace kelvo::test {

inline std::filesystem::path WeightedRecordFile(int records) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kelvo-bench-weighted-" + std::to_string(records) + ".csv");
    if (std::filesystem::exists(path)) return path;
    const auto partial = path.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        for (int c = 1; c <= 16; ++c) out << "Variable" << c << ",";
        out << "Weight\r\n";
        std::uint32_t state = 1;
        std::string row;
        for (int r = 0; r < records; ++r) {
            row.clear();
            for (int c = 1; c <= 16; ++c) {
                state = state * 1664525u + 1013904223u;
                row += "Cat" + std::to_string(1 + (state >> 16) % 16) + ",";
            }
            state = state * 1664525u + 1013904223u;
            row += std::to_string((state >> 16) % 10) + "\r\n";
            out << row;
        }
    }
    std::filesystem::rename(partial, path);
    return path;
}

}  // namespace kelvo::test
