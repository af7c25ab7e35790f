// Picking the 100 courses from many simulated shots.
//
// Per band: shoot a few hundred balls at dial powers spread over the band
// (each with a slightly different hammer, spin and seat in the channel),
// keep the flights that end within 40 entries and pass the checker, then
// give the band's full-range-only patterns rewarding flights (pockets and
// tulips, as varied as the band offers) and its everyday patterns flights
// that end in the out hole, preferring those that touch the machine's
// active parts (gate, through gate, tulip mouths, windmills) and keeping
// them varied. Within each group the courses are ordered by launch speed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "course_check.h"
#include "course_sim.h"

namespace courses {

namespace {

// splitmix64: small, fast, and the same on every platform.
struct Rng {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }
};

constexpr int SHOTS_PER_ROUND = 500;
constexpr int MAX_ROUNDS = 6;

struct Candidate {
    Flight flight;
    double dial;
};

bool hasMarker(const Flight& f, int32_t m) {
    for (const Waypoint& w : f.entries)
        if (w.x == m) return true;
    return false;
}

int wingCount(const Flight& f) {
    int n = 0;
    for (const Waypoint& w : f.entries)
        if (w.x >= MARKER_WING_0 && w.x <= MARKER_WING_3) ++n;
    return n;
}

// The markers of a flight in order: flights with the same signature look
// alike to the player.
std::vector<int32_t> signature(const Flight& f) {
    std::vector<int32_t> s;
    for (const Waypoint& w : f.entries)
        if (w.x >= MARKER_MIN) s.push_back(w.x);
    return s;
}

void writePattern(BallPathTableData& table, int32_t index, const Flight& f) {
    BallPattern& p = table.pattern[index];
    for (int k = 0; k < STEPS; ++k) {
        if (k < static_cast<int>(f.entries.size())) {
            p.xs[k] = f.entries[k].x;
            p.ys[k] = f.entries[k].y;
        } else {
            // Past the removing marker nothing is ever reached; repeating it
            // keeps the tuning screen from drawing stray balls there.
            p.xs[k] = f.terminal;
            p.ys[k] = 0;
        }
    }
}

// Shoots a round of balls in [dialLow, dialHigh + 1) and keeps the usable ones.
void shoot(Rng& rng, double dialLow, double dialHigh, bool weak, std::vector<Candidate>& out) {
    BallPathTableData scratch{};
    for (int i = 0; i < SHOTS_PER_ROUND; ++i) {
        double dial = rng.between(dialLow, dialHigh + 1.0);
        ShotVariation v;
        v.speedFactor = 1.0 + rng.between(-0.003, 0.003);
        v.spin = rng.between(-25.0, 25.0);
        v.offsetX = rng.between(-0.8, 0.8);
        Flight f = simulateFlight(launchSpeedForDial(dial), v);
        if (f.escaped || f.terminal == 0 || f.entries.size() > STEPS) continue;
        if ((f.terminal == MARKER_RETURN) != weak) continue;
        writePattern(scratch, 0, f);
        CheckReport report;
        if (!checkPattern(scratch, 0, report)) continue;
        out.push_back({std::move(f), dial});
    }
}

// Picks n flights, most interesting first, at most `cap` of each feature.
std::vector<const Candidate*> pickEveryday(const std::vector<const Candidate*>& pool, int n) {
    auto score = [](const Flight& f) {
        return 4 * hasMarker(f, MARKER_NEAR_GATE) + 4 * hasMarker(f, MARKER_RIGHT_POCKET) +
               3 * (hasMarker(f, MARKER_NEAR_LEFT_TULIP) || hasMarker(f, MARKER_NEAR_RIGHT_TULIP)) +
               std::min(2, wingCount(f));
    };
    std::vector<const Candidate*> sorted(pool);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Candidate* a, const Candidate* b) { return score(a->flight) > score(b->flight); });
    // Caps keep the tulips and the gate from being fed by every course.
    const int capThrough = std::max(1, n / 4), capTulip = std::max(1, n / 3), capGate = std::max(1, n / 2);
    int through = 0, tulip = 0, gate = 0;
    std::set<std::vector<int32_t>> seen;
    std::vector<const Candidate*> picked;
    std::set<const Candidate*> used;
    for (int pass = 0; pass < 3 && static_cast<int>(picked.size()) < n; ++pass) {
        for (const Candidate* c : sorted) {
            if (static_cast<int>(picked.size()) >= n) break;
            if (used.count(c)) continue;
            const Flight& f = c->flight;
            bool t = hasMarker(f, MARKER_RIGHT_POCKET);
            bool u = hasMarker(f, MARKER_NEAR_LEFT_TULIP) || hasMarker(f, MARKER_NEAR_RIGHT_TULIP);
            bool g = hasMarker(f, MARKER_NEAR_GATE);
            if (pass < 2 && ((t && through >= capThrough) || (u && tulip >= capTulip) || (g && gate >= capGate)))
                continue;
            if (pass == 0 && seen.count(signature(f))) continue;
            picked.push_back(c);
            used.insert(c);
            seen.insert(signature(f));
            through += t;
            tulip += u;
            gate += g;
        }
    }
    return picked;
}

// Picks n rewarding flights, taking the kinds of entry in turn.
std::vector<const Candidate*> pickRewarding(const std::vector<const Candidate*>& pool, int n) {
    const int32_t kinds[4] = {MARKER_START_POCKET, MARKER_LEFT_TULIP, MARKER_RIGHT_TULIP, MARKER_TOP_POCKET};
    std::vector<const Candidate*> picked;
    std::set<const Candidate*> used;
    while (static_cast<int>(picked.size()) < n) {
        bool any = false;
        for (int32_t kind : kinds) {
            if (static_cast<int>(picked.size()) >= n) break;
            for (const Candidate* c : pool) {
                if (c->flight.terminal == kind && !used.count(c)) {
                    picked.push_back(c);
                    used.insert(c);
                    any = true;
                    break;
                }
            }
        }
        if (!any) break;
    }
    return picked;
}

void byLaunchSpeed(std::vector<const Candidate*>& v) {
    std::stable_sort(v.begin(), v.end(), [](const Candidate* a, const Candidate* b) {
        return a->flight.launchSpeed < b->flight.launchSpeed;
    });
}

}  // namespace

BallPathTableData generateTable(std::string* progress) {
    BallPathTableData table{};
    auto note = [&](const std::string& line) {
        if (progress) *progress += line + "\n";
    };

    // Weak launches: one shot at the middle of each weak band, no variation,
    // so the three climb a little higher each.
    for (const Band& b : WEAK_BANDS) {
        Flight f = simulateFlight(launchSpeedForDial((b.dialLow + b.dialHigh) / 2.0), ShotVariation{});
        writePattern(table, b.firstPattern, f);
    }
    // Spare weak courses 3 and 4.
    writePattern(table, 3, simulateFlight(launchSpeedForDial(16.0), ShotVariation{1.0, 10.0, 0.0}));
    writePattern(table, 4, simulateFlight(launchSpeedForDial(36.0), ShotVariation{1.0, -10.0, 0.0}));

    std::vector<std::vector<Candidate>> bandPools(BAND_COUNT);
    for (int bi = 0; bi < BAND_COUNT; ++bi) {
        const Band& b = BANDS[bi];
        Rng rng{0x7A6A0000ull + static_cast<uint64_t>(bi)};
        std::vector<Candidate>& all = bandPools[bi];
        int rounds = 0;
        int rewarding = 0, everyday = 0;
        // More rounds until the band has enough of both kinds.
        while (rounds < MAX_ROUNDS) {
            shoot(rng, b.dialLow, b.dialHigh, false, all);
            ++rounds;
            rewarding = everyday = 0;
            for (const Candidate& c : all) (isEntryMarker(c.flight.terminal) ? rewarding : everyday)++;
            if (rewarding >= b.fullRangeOnly + 2 && everyday >= 3 * (b.count - b.fullRangeOnly)) break;
        }
        std::vector<const Candidate*> rewardPool, everydayPool;
        for (const Candidate& c : all) (isEntryMarker(c.flight.terminal) ? rewardPool : everydayPool).push_back(&c);
        std::vector<const Candidate*> low = pickRewarding(rewardPool, b.fullRangeOnly);
        std::vector<const Candidate*> rest = pickEveryday(everydayPool, b.count - b.fullRangeOnly);
        byLaunchSpeed(low);
        byLaunchSpeed(rest);
        char line[160];
        std::snprintf(line, sizeof line, "patterns %d..%d: %zu usable flights in %d rounds (%d rewarding, %d everyday)",
                      b.firstPattern, b.firstPattern + b.count - 1, all.size(), rounds, rewarding, everyday);
        note(line);
        int32_t index = b.firstPattern;
        for (const Candidate* c : low) writePattern(table, index++, c->flight);
        for (const Candidate* c : rest) writePattern(table, index++, c->flight);
        if (index != b.firstPattern + b.count) {
            note("  not enough flights for this band");
            // Leave the rest as a plain weak course so the table stays
            // loadable; the checker reports the band.
            for (; index < b.firstPattern + b.count; ++index) table.pattern[index] = table.pattern[0];
        }
    }
    // Spare courses 80..99: two more from each band, one rewarding where the
    // band has one to spare, for whoever tunes the machine.
    int32_t spare = 80;
    for (int bi = 0; bi < BAND_COUNT && spare < PATTERNS; ++bi) {
        std::vector<const Candidate*> rewardPool, everydayPool;
        for (const Candidate& c : bandPools[bi])
            (isEntryMarker(c.flight.terminal) ? rewardPool : everydayPool).push_back(&c);
        // The picks above took the first of each kind; the last ones are free.
        const Candidate* a = rewardPool.empty() ? nullptr : rewardPool.back();
        const Candidate* b = everydayPool.empty() ? nullptr : everydayPool.back();
        for (const Candidate* c : {a, b}) {
            if (c && spare < PATTERNS) writePattern(table, spare++, c->flight);
        }
    }
    while (spare < PATTERNS) {
        table.pattern[spare] = table.pattern[spare - 20];
        ++spare;
    }
    return table;
}

}  // namespace courses
