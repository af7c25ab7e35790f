// The slot × nail chart of pachinko-sim: one cell per machine setting,
// coloured by its return ratio, as a PNG.
#pragma once

#include <string>
#include <vector>

#include "sim.h"

namespace sim {

// Draws the runs (one per slot and nail setting; missing cells stay grey)
// with their ratio and dial band written in, under a title and a subtitle. Returns false when the file
// cannot be written.
bool writeGridChart(const std::vector<RunCounts>& cells, const std::string& title, const std::string& subtitle,
                    const std::string& pngPath);

}  // namespace sim
