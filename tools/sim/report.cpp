// The three output forms of pachinko-sim. All of them carry the same fields
// in the same order, so a table read by eye and a CSV read by a script agree.
#include <cinttypes>
#include <cstdio>

#include "sim.h"

namespace sim {

namespace {

std::string format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string bandText(int32_t dial) {
    int b = bandOfDial(dial);
    if (b < 0) return "0";
    return format("%d-%d", DIAL_BANDS[b].low, DIAL_BANDS[b].high);
}

}  // namespace

std::string formatTable(const std::vector<RunCounts>& runs) {
    std::string out = format("%4s %4s %7s %10s %10s %10s %7s %8s %8s %7s %6s %6s %6s %10s %9s\n", "slot", "nail",
                             "dial", "bought", "launched", "paid", "ratio", "entries", "spins", "win10", "win30",
                             "w3000", "w6000", "gateticks", "perbig");
    for (const RunCounts& r : runs) {
        out += format("%4d %4d %7s %10" PRId64 " %10" PRId64 " %10" PRId64 " %7.3f %8" PRId64 " %8" PRId64
                      " %7" PRId64 " %6" PRId64 " %6" PRId64 " %6" PRId64 " %10" PRId64 " %9.0f\n",
                      r.slotSetting, r.nailSetting, bandText(r.dial).c_str(), r.ballsBought, r.launched, r.paid,
                      r.returnRatio(), r.entries, r.spins, r.wins[0], r.wins[1], r.wins[2], r.wins[3],
                      r.gateOpenTicks, r.ballsPerBigWin());
    }
    return out;
}

std::string formatCsv(const std::vector<RunCounts>& runs) {
    std::string out =
        "slot,nail,dial,ticks,bought,launched,paid,returned,gate_paid,ratio,entries,spins,"
        "wins_10,wins_30,wins_3000,wins_6000,gate_open_ticks,balls_per_big_win,balls_held\n";
    for (const RunCounts& r : runs) {
        out += format("%d,%d,%d,%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64 ",%.4f,",
                      r.slotSetting, r.nailSetting, r.dial, r.ticks, r.ballsBought, r.launched, r.paid, r.returned,
                      r.gatePaid, r.returnRatio());
        out += format("%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64 ",%" PRId64
                      ",%.1f,%" PRId64 "\n",
                      r.entries, r.spins, r.wins[0], r.wins[1], r.wins[2], r.wins[3], r.gateOpenTicks,
                      r.ballsPerBigWin(), r.ballsHeldAtEnd);
    }
    return out;
}

std::string formatJson(const std::vector<RunCounts>& runs) {
    std::string out = "[";
    for (size_t i = 0; i < runs.size(); ++i) {
        const RunCounts& r = runs[i];
        out += i == 0 ? "\n" : ",\n";
        out += format("  {\"slot\": %d, \"nail\": %d, \"dial\": %d, \"ticks\": %" PRId64 ", \"bought\": %" PRId64
                      ", \"launched\": %" PRId64 ", \"paid\": %" PRId64 ", \"returned\": %" PRId64
                      ", \"gate_paid\": %" PRId64 ", \"ratio\": %.4f,",
                      r.slotSetting, r.nailSetting, r.dial, r.ticks, r.ballsBought, r.launched, r.paid, r.returned,
                      r.gatePaid, r.returnRatio());
        out += format(" \"entries\": %" PRId64 ", \"spins\": %" PRId64 ", \"wins\": {\"10\": %" PRId64
                      ", \"30\": %" PRId64 ", \"3000\": %" PRId64 ", \"6000\": %" PRId64 "},",
                      r.entries, r.spins, r.wins[0], r.wins[1], r.wins[2], r.wins[3]);
        out += format(" \"gate_open_ticks\": %" PRId64 ", \"balls_per_big_win\": %.1f, \"balls_held\": %" PRId64 "}",
                      r.gateOpenTicks, r.ballsPerBigWin(), r.ballsHeldAtEnd);
    }
    out += runs.empty() ? "]\n" : "\n]\n";
    return out;
}

}  // namespace sim
