// Load time of each generated map: the whole Terrain::Load (read, parse,
// check, convert), best and mean of several loads, in milliseconds; one load
// of each in the short form.
#include "BenchRun.h"
#include "world/Terrain.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    const bool shortForm = bench::ShortForm(argc, argv);
    bench::RunLimit limit("bench_map_load", bench::RunSeconds(shortForm));
    std::filesystem::current_path(KV_BENCH_DATA_DIR);
    const int loads = shortForm ? 1 : 10;
    limit.Stage("loading the maps");
    for (const char* name : {"Desert.kvm", "Grassland.kvm", "Tundra.kvm", "Ex-Cathedra.kvm"}) {
        Terrain terrain;
        double best = 1e30;
        double total = 0.0;
        for (int i = 0; i < loads; ++i) {
            const auto start = std::chrono::steady_clock::now();
            if (!terrain.Load(name)) {
                std::fprintf(stderr, "bench_map_load: %s did not load\n", name);
                return 1;
            }
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            best = std::min(best, took.count());
            total += took.count();
        }
        std::printf("%-16s load %7.2f ms best, %7.2f ms mean of %d\n", name, best, total / loads, loads);
    }
    return 0;
}
