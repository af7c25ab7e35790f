// Builds without Qt draw no charts: --plot says so and fails.
#include <cstdio>

#include "plot.h"

namespace sim {

bool writeGridChart(const std::vector<RunCounts>&, const std::string&, const std::string&, const std::string&) {
    std::fputs("pachinko-sim: this build draws no charts (--plot needs the Linux build)\n", stderr);
    return false;
}

}  // namespace sim
