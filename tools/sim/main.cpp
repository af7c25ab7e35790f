// pachinko-sim: plays a machine without a window, for as many launches as
// asked, and reports what it paid.
//
//   pachinko-sim [--courses FILE] [MACHINE] [DIAL] [LENGTH] [--discard N]
//                [--format table|csv|json] [--plot PNG]
//
// MACHINE: --seat DAY PARLOUR MACHINE (the day's schedule), or --slot S and
//          --nail N, each a setting 0..6 or "all" (default: all 49 machines)
// DIAL:    --dial D (1..170), --sweep (every dial band), or --best (the
//          counted bands; only each machine's best is reported)
// LENGTH:  --launches N (default 100000) or --ticks N
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "course_sim.h"
#include "plot.h"
#include "sim.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: pachinko-sim [--courses FILE] [--seat DAY PARLOUR MACHINE | --slot S|all --nail N|all]\n"
                 "                    [--dial D | --sweep | --best] [--launches N | --ticks N] [--discard N]\n"
                 "                    [--format table|csv|json] [--plot PNG] [--quiet]\n");
    return 2;
}

bool parseInt(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

// A setting 0..6 or "all".
bool parseSettings(const std::string& text, std::vector<int32_t>& out) {
    out.clear();
    if (text == "all") {
        for (int32_t s = 0; s < 7; ++s) out.push_back(s);
        return true;
    }
    int64_t v;
    if (!parseInt(text, 0, 6, v)) return false;
    out.push_back(static_cast<int32_t>(v));
    return true;
}

bool readCourses(const std::string& path, BallPathTableData& table) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return courses::tableFromBytes(bytes, table);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string coursesPath = "tama.dat", format = "table", plotPath;
    std::vector<int32_t> slots, nails;
    bool fromSchedule = false, sweep = false, best = false, quiet = false;
    int64_t day = 0, parlour = 0, machine = 0, dial = 0, launches = 100000, ticks = 0, discard = 0;
    parseSettings("all", slots);
    parseSettings("all", nails);

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto next = [&](std::string& value) {
            if (i + 1 >= args.size()) return false;
            value = args[++i];
            return true;
        };
        std::string v;
        if (a == "--courses" && next(coursesPath)) continue;
        if (a == "--format" && next(format) && (format == "table" || format == "csv" || format == "json")) continue;
        if (a == "--plot" && next(plotPath)) continue;
        if (a == "--slot" && next(v) && parseSettings(v, slots)) continue;
        if (a == "--nail" && next(v) && parseSettings(v, nails)) continue;
        if (a == "--dial" && next(v) && parseInt(v, 1, 170, dial)) continue;
        if (a == "--launches" && next(v) && parseInt(v, 1, INT64_MAX / 16, launches)) {
            ticks = 0;
            continue;
        }
        if (a == "--ticks" && next(v) && parseInt(v, 1, INT64_MAX / 16, ticks)) {
            launches = 0;
            continue;
        }
        if (a == "--discard" && next(v) && parseInt(v, 0, INT64_MAX, discard)) continue;
        if (a == "--seat" && i + 3 < args.size() && parseInt(args[i + 1], 0, INT32_MAX, day) &&
            parseInt(args[i + 2], 0, 2, parlour) && parseInt(args[i + 3], 0, 6, machine)) {
            fromSchedule = true;
            i += 3;
            continue;
        }
        if (a == "--sweep") {
            sweep = true;
            continue;
        }
        if (a == "--best") {
            best = true;
            continue;
        }
        if (a == "--quiet") {
            quiet = true;
            continue;
        }
        std::fprintf(stderr, "pachinko-sim: bad argument '%s'\n", a.c_str());
        return usage();
    }
    if (dial != 0 && (sweep || best)) return usage();
    if (dial == 0 && !sweep && !best) best = true;

    BallPathTableData table;
    if (!readCourses(coursesPath, table)) {
        std::fprintf(stderr, "pachinko-sim: %s is no course table of 32,000 bytes\n", coursesPath.c_str());
        return 1;
    }

    // The machines: one seat of the schedule, or every chosen setting pair.
    std::vector<sim::Seat> seats;
    if (fromSchedule) {
        sim::Seat s;
        s.fromSchedule = true;
        s.day = static_cast<int32_t>(day);
        s.parlour = static_cast<int32_t>(parlour);
        s.machine = static_cast<int32_t>(machine);
        seats.push_back(s);
    } else {
        for (int32_t slot : slots)
            for (int32_t nail : nails) {
                sim::Seat s;
                s.slotSetting = slot;
                s.nailSetting = nail;
                seats.push_back(s);
            }
    }
    std::vector<int32_t> dials;
    if (dial != 0) dials.push_back(static_cast<int32_t>(dial));
    else
        for (int32_t d : sim::sweepDials()) {
            int band = sim::bandOfDial(d);
            if (sweep || sim::DIAL_BANDS[band].counted) dials.push_back(d);
        }

    std::vector<sim::RunCounts> rows, chart;
    for (const sim::Seat& seat : seats) {
        std::vector<sim::RunCounts> runs;
        for (int32_t d : dials) {
            sim::RunSpec spec;
            spec.seat = seat;
            spec.dial = d;
            spec.launches = launches;
            spec.ticks = ticks;
            spec.discardDraws = discard;
            runs.push_back(sim::runSeat(table, spec));
            if (!quiet) {
                const sim::RunCounts& r = runs.back();
                std::fprintf(stderr, "slot %d nail %d dial %3d: ratio %.3f\n", r.slotSetting, r.nailSetting, d,
                             r.returnRatio());
            }
        }
        const sim::RunCounts* top = sim::bestCounted(runs);
        if (best) {
            if (top) rows.push_back(*top);
        } else {
            rows.insert(rows.end(), runs.begin(), runs.end());
        }
        chart.push_back(top ? *top : runs.front());
    }

    std::string out = format == "csv" ? sim::formatCsv(rows) : format == "json" ? sim::formatJson(rows)
                                                                               : sim::formatTable(rows);
    std::fputs(out.c_str(), stdout);

    if (!plotPath.empty()) {
        char subtitle[160];
        std::snprintf(subtitle, sizeof subtitle, "%s, %lld %s per machine from a fresh seat",
                      dial != 0 ? "fixed dial" : "best counted dial band",
                      static_cast<long long>(launches > 0 ? launches : ticks), launches > 0 ? "launches" : "ticks");
        if (!sim::writeGridChart(chart, "Return ratio by slot and nail setting", subtitle, plotPath)) {
            std::fprintf(stderr, "pachinko-sim: cannot write %s\n", plotPath.c_str());
            return 1;
        }
        if (!quiet) std::fprintf(stderr, "wrote %s\n", plotPath.c_str());
    }
    return 0;
}
