// Load time of each generated map: the whole Terrain::Load (read, parse,
// check, convert), best and mean of several loads, in milliseconds.
#include "world/Terrain.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

int main()
{
    std::filesystem::current_path(KV_BENCH_DATA_DIR);
    constexpr int kLoads = 10;
    for (const char* name : {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"}) {
        Terrain terrain;
        double best = 1e30;
        double total = 0.0;
        for (int i = 0; i < kLoads; ++i) {
            const auto start = std::chrono::steady_clock::now();
            if (!terrain.Load(name)) {
                return 1;
            }
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            best = std::min(best, took.count());
            total += took.count();
        }
        std::printf("%-16s load %7.2f ms best, %7.2f ms mean of %d\n", name, best, total / kLoads, kLoads);
    }
    return 0;
}
