// Picking the 100 courses from many simulated shots.
//
// Per band: shoot a few hundred balls at dial powers spread over the band
// (each with a slightly different hammer, spin and seat in the channel),
// keep the flights that end within 40 entries and pass the checker, sort
// them into kinds by what they do to the machine (out, over the gate, over
// the right tulip, top pocket, through the right pocket, bottom pocket,
// into a tulip), and fill the band's patterns by its recipe: a string of
// kinds, one per pattern. The recipes are the machine's economy; they were
// tuned with pachinko-sim (docs/economy.md) and are the thing to change when
// the machine pays too much or too little.
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
constexpr int MAX_ROUNDS = 8;

// What a flight does to the machine. Windmills (981..984) may come anywhere;
// they change nothing but the picture.
enum Kind : char {
    KIND_OUT = 'O',          // to the out hole, past no tulip, gate or through gate
    KIND_GATE = 'G',         // to the out hole over the gate (987): pays 10 while the gate is open
    KIND_NEAR_LEFT = 'L',    // to the out hole over the left tulip (985): an entry when it is open
    KIND_NEAR_RIGHT = 'R',   // to the out hole over the right tulip (986): an entry when it is open
    KIND_TOP = 'T',          // into the top pocket (992): 6 balls, flips the left tulip
    KIND_THROUGH = 'X',      // through the right pocket (994) and out: opens both tulips
    KIND_START = 'E',        // into the bottom pocket (996): an entry
    KIND_LEFT_TULIP = 'l',   // into the left tulip (993, or 985 when open): an entry
    KIND_RIGHT_TULIP = 'r',  // into the right tulip (995, or 986 when open): an entry
    KIND_NONE = '?',
};

// Each band's courses, one kind per pattern: first its full-range-only
// patterns (launched only when the nail countdown runs out), then the
// everyday ones. Only full-range launches open the tulips or earn spins, so
// the nail setting decides the spin rate; everyday courses pay through the
// top pocket, the open right tulip and the open gate.
//
// The best band is 78..90: one full-range course opens the tulips, the right
// tulip then takes an everyday ball, two everyday courses cross the gate and
// one pays at the top pocket. Its neighbours pay less, the far bands little,
// and the bands the nail setting does not count (130..142, 156..169) nothing,
// so that reading the nails pays more than hunting the dial.
struct Recipe {
    const char* fullRangeOnly;
    const char* everyday;
};
constexpr Recipe RECIPES[BAND_COUNT] = {
    {"E", "GOOOOOOOO"},   // 39..51
    {"EE", "GLOOOOOO"},   // 52..64
    {"E", "TOOOOOOOO"},   // 65..77
    {"X", "TGGROOOOO"},   // 78..90: the best
    {"EEE", "LROOOOO"},   // 91..103
    {"EEEE", "OOOOOO"},   // 104..116
    {"EE", "OOOO"},       // 117..129
    {"", "GOOO"},         // 130..142, not counted
    {"E", "OOO"},         // 143..155
    {"", "G"},            // 156..169, not counted
};

// When a band's shots hold too few flights of a kind, the nearest kind that
// does the same to the reels takes its place.
char fallbackKind(char kind) {
    switch (kind) {
        case KIND_THROUGH: return KIND_START;
        case KIND_NEAR_LEFT:
        case KIND_NEAR_RIGHT:
        case KIND_GATE:
        case KIND_TOP: return KIND_OUT;
        case KIND_LEFT_TULIP:
        case KIND_RIGHT_TULIP: return KIND_START;
        default: return KIND_NONE;
    }
}

struct Candidate {
    Flight flight;
    double dial;
    char kind;
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

char kindOf(const Flight& f) {
    const bool nearLeft = hasMarker(f, MARKER_NEAR_LEFT_TULIP), nearRight = hasMarker(f, MARKER_NEAR_RIGHT_TULIP);
    const bool gate = hasMarker(f, MARKER_NEAR_GATE), through = hasMarker(f, MARKER_RIGHT_POCKET);
    switch (f.terminal) {
        case MARKER_OUT:
            // One active part per course keeps each kind's effect plain.
            if (gate + nearLeft + nearRight + through > 1) return KIND_NONE;
            return through ? KIND_THROUGH : gate ? KIND_GATE : nearLeft ? KIND_NEAR_LEFT
                                                : nearRight ? KIND_NEAR_RIGHT : KIND_OUT;
        case MARKER_TOP_POCKET: return KIND_TOP;
        case MARKER_START_POCKET: return nearLeft || nearRight ? KIND_NONE : KIND_START;
        case MARKER_LEFT_TULIP: return through ? KIND_NONE : KIND_LEFT_TULIP;
        case MARKER_RIGHT_TULIP: return through ? KIND_NONE : KIND_RIGHT_TULIP;
        default: return KIND_NONE;
    }
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
void shoot(Rng& rng, double dialLow, double dialHigh, std::vector<Candidate>& out) {
    BallPathTableData scratch{};
    for (int i = 0; i < SHOTS_PER_ROUND; ++i) {
        double dial = rng.between(dialLow, dialHigh + 1.0);
        ShotVariation v;
        v.speedFactor = 1.0 + rng.between(-0.003, 0.003);
        v.spin = rng.between(-25.0, 25.0);
        v.offsetX = rng.between(-0.8, 0.8);
        Flight f = simulateFlight(launchSpeedForDial(dial), v);
        if (f.escaped || f.terminal == 0 || f.entries.size() > STEPS || f.terminal == MARKER_RETURN) continue;
        char kind = kindOf(f);
        if (kind == KIND_NONE) continue;
        writePattern(scratch, 0, f);
        CheckReport report;
        if (!checkPattern(scratch, 0, report)) continue;
        out.push_back({std::move(f), dial, kind});
    }
}

// How many flights of each kind a recipe asks for.
std::vector<std::pair<char, int>> kindsWanted(const Recipe& r) {
    std::vector<std::pair<char, int>> wanted;
    for (const char* part : {r.fullRangeOnly, r.everyday}) {
        for (const char* c = part; *c; ++c) {
            auto it = std::find_if(wanted.begin(), wanted.end(), [&](const auto& w) { return w.first == *c; });
            if (it == wanted.end()) wanted.push_back({*c, 1});
            else ++it->second;
        }
    }
    return wanted;
}

bool enoughOfEach(const std::vector<Candidate>& all, const Recipe& r) {
    for (const auto& [kind, n] : kindsWanted(r)) {
        int have = 0;
        for (const Candidate& c : all) have += c.kind == kind;
        // One more than needed, for the spare courses.
        if (have < n + 1) return false;
    }
    return true;
}

// Takes the next flight of a kind, varied first: an unseen marker sequence
// before a repeated one, more windmills before fewer.
const Candidate* take(const std::vector<Candidate>& all, char kind, std::set<const Candidate*>& used,
                      std::set<std::vector<int32_t>>& seen) {
    const Candidate* best = nullptr;
    int bestScore = -1;
    for (const Candidate& c : all) {
        if (c.kind != kind || used.count(&c)) continue;
        int score = (seen.count(signature(c.flight)) ? 0 : 10) + std::min(3, wingCount(c.flight));
        if (score > bestScore) {
            best = &c;
            bestScore = score;
        }
    }
    if (best) {
        used.insert(best);
        seen.insert(signature(best->flight));
    }
    return best;
}

// Fills n patterns from a string of kinds, falling back where a kind ran out;
// the courses of the group are then ordered by launch speed.
std::vector<const Candidate*> pickGroup(const std::vector<Candidate>& all, const char* kinds,
                                        std::set<const Candidate*>& used, std::set<std::vector<int32_t>>& seen,
                                        std::string& notes) {
    std::vector<const Candidate*> picked;
    for (const char* k = kinds; *k; ++k) {
        char kind = *k;
        const Candidate* c = take(all, kind, used, seen);
        while (!c && (kind = fallbackKind(kind)) != KIND_NONE) {
            notes += std::string(" ") + *k + "->" + kind;
            c = take(all, kind, used, seen);
        }
        if (c) picked.push_back(c);
    }
    std::stable_sort(picked.begin(), picked.end(), [](const Candidate* a, const Candidate* b) {
        return a->flight.launchSpeed < b->flight.launchSpeed;
    });
    return picked;
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

    int32_t spare = 80;
    for (int bi = 0; bi < BAND_COUNT; ++bi) {
        const Band& b = BANDS[bi];
        const Recipe& recipe = RECIPES[bi];
        Rng rng{0x7A6A0000ull + static_cast<uint64_t>(bi)};
        std::vector<Candidate> all;
        int rounds = 0;
        // More rounds until the band has enough of every kind its recipe asks for.
        while (rounds < MAX_ROUNDS) {
            shoot(rng, b.dialLow, b.dialHigh, all);
            ++rounds;
            if (enoughOfEach(all, recipe)) break;
        }
        std::set<const Candidate*> used;
        std::set<std::vector<int32_t>> seen;
        std::string notes;
        std::vector<const Candidate*> rewarding = pickGroup(all, recipe.fullRangeOnly, used, seen, notes);
        std::vector<const Candidate*> everyday = pickGroup(all, recipe.everyday, used, seen, notes);
        char line[200];
        std::snprintf(line, sizeof line, "patterns %d..%d: %zu usable flights in %d rounds, recipe %s|%s%s%s",
                      b.firstPattern, b.firstPattern + b.count - 1, all.size(), rounds, recipe.fullRangeOnly,
                      recipe.everyday, notes.empty() ? "" : ", substituted", notes.c_str());
        note(line);
        int32_t index = b.firstPattern;
        for (const Candidate* c : rewarding) writePattern(table, index++, c->flight);
        for (const Candidate* c : everyday) writePattern(table, index++, c->flight);
        if (index != b.firstPattern + b.count) {
            note("  not enough flights for this band");
            // Leave the rest as a plain weak course so the table stays
            // loadable; the checker reports the band.
            for (; index < b.firstPattern + b.count; ++index) table.pattern[index] = table.pattern[0];
        }
        // Spare courses 80..99 for whoever tunes the machine: two more from
        // each band, of its first rewarding and its first everyday kind.
        for (const char* kinds : {recipe.fullRangeOnly, recipe.everyday}) {
            if (!*kinds || spare >= PATTERNS) continue;
            const Candidate* c = take(all, kinds[0], used, seen);
            if (!c) c = take(all, KIND_OUT, used, seen);
            if (c) writePattern(table, spare++, c->flight);
        }
    }
    while (spare < PATTERNS) {
        table.pattern[spare] = table.pattern[spare - 20];
        ++spare;
    }
    return table;
}

}  // namespace courses
