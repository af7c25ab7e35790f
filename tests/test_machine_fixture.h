// A seated machine for the machine tests: a small hand-made course table (so
// the tests do not depend on the generated courses), ticks that record their
// frame and counters, and a look ahead at the random source.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "machine/machine_logic.h"
#include "machine/random.h"
#include "machine/tables.h"
#include "state/game_state.h"
#include "test_support.h"

namespace machine_fixture {

// Every course of the table runs down the board, one waypoint per step, all
// 40 steps long; tests put markers where they need them.
inline int32_t plainX(int32_t pattern, int32_t step) { return 120 + pattern * 3 + step * 2; }
inline int32_t plainY(int32_t step) { return 10 + step * 9; }

inline void fillPlainCourses() {
    for (int32_t p = 0; p < PATTERNS; ++p) {
        for (int32_t k = 0; k < STEPS; ++k) {
            BallPathTable.pattern[p].xs[k] = plainX(p, k);
            BallPathTable.pattern[p].ys[k] = plainY(k);
        }
    }
}

// Writes the table as "tama.dat" is laid out: little-endian, pattern 0 first.
inline void writeCourseTable(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    auto put = [&bytes](int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    for (const BallPattern& p : BallPathTable.pattern) {
        for (int32_t x : p.xs) put(x);
        for (int32_t y : p.ys) put(y);
    }
    testing_support::writeBytes(path, bytes);
}

inline void setMarker(int32_t pattern, int32_t step, int32_t marker) {
    BallPathTable.pattern[pattern].xs[step] = marker;
    BallPathTable.pattern[pattern].ys[step] = 0;
}

// The next n results of the random source, leaving it where it was.
inline std::vector<int32_t> peekRandom(int n) {
    RandomStateWords saved = RandomState;
    std::vector<int32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(NextRandom());
    RandomState = saved;
    return out;
}

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDaySchedule();
        fillPlainCourses();
    }

    // One machine tick with its frame recorded.
    MachineFrame tick() {
        MachineFrame frame;
        MachineTickIo io;
        io.frame = &frame;
        io.stats = &stats;
        io.refusalBox = onRefusal ? &MachineTest::refusalThunk : nullptr;
        io.context = this;
        machineTick(io);
        return frame;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) tick();
    }
    // Puts a ball in flight in slot i.
    void fly(int i, int32_t pattern, int32_t step) { game.machine.ballSlots[i] = BallSlot{pattern, step}; }
    int32_t stepOf(int i) const { return game.machine.ballSlots[i].step; }

    testing_support::GameDir dir;
    MachineStats stats;
    // Runs in place of the refusal box when set.
    std::function<void()> onRefusal;

private:
    static void refusalThunk(void* context) { static_cast<MachineTest*>(context)->onRefusal(); }
};

}  // namespace machine_fixture
