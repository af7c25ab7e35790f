#include "recorder.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace platform {
namespace recorder {
namespace {

// Long quiet stretches are written in pieces, so that a session that ends
// badly (a crash) loses at most this many ticks of its tail.
constexpr int64_t TICKS_PER_LINE = 100;

struct OpenBox {
    size_t heldLine;  // its answer's place among the held lines
    std::string what;  // caption and text
    int64_t ticks = 0;
};

enum class Context { none, tick, event };

struct State {
    std::ofstream out;
    bool on = false;
    int depth = 0;              // dispatches in progress (ticks under a box nest)
    int64_t pendingTicks = 0;   // ticks of the main loop not yet written
    Context context = Context::none;
    std::string eventLine;      // the message being dispatched, written after its answers
    std::vector<std::string> held;  // lines waiting for an open box's answer
    std::vector<OpenBox> boxes;
};

State state;

void write(const std::string& line) {
    state.out << line << '\n';
    state.out.flush();
}

void writeTicks() {
    if (state.pendingTicks > 0) write("tick " + std::to_string(state.pendingTicks));
    state.pendingTicks = 0;
}

void writeHeld() {
    for (const std::string& line : state.held) write(line);
    state.held.clear();
}

bool topLevel() { return state.depth == 0 && state.boxes.empty(); }

}  // namespace

bool start(const std::string& fileName, const std::string& header) {
    stop();
    state = State();
    // The name is UTF-8; Windows would read a plain string in its ANSI code page.
    state.out.open(std::filesystem::path(std::u8string(fileName.begin(), fileName.end())),
                   std::ios::binary | std::ios::trunc);
    if (!state.out) return false;
    state.on = true;
    state.out << header;
    state.out.flush();
    return static_cast<bool>(state.out);
}

void stop() {
    if (!state.on) return;
    // Boxes still open cannot be answered any more; say so.
    for (const OpenBox& box : state.boxes) state.held[box.heldLine] = "# a message box was still open here";
    writeHeld();
    if (!state.eventLine.empty()) write(state.eventLine);
    writeTicks();
    state.out.close();
    state.on = false;
}

bool active() { return state.on; }

void beginDispatch(bool tick, const std::string& line) {
    if (!state.on) return;
    if (!state.boxes.empty()) {
        // Under a box the game receives ticks only; they are counted in the
        // box's answer, not written.
        if (tick) ++state.boxes.back().ticks;
        else if (!line.empty()) state.held.push_back(line + "   # arrived under a message box");
        ++state.depth;
        return;
    }
    if (state.depth > 0) {
        ++state.depth;
        if (tick) ++state.pendingTicks;
        else if (!line.empty()) state.held.push_back(line);
        return;
    }
    ++state.depth;
    if (tick) {
        if (state.pendingTicks >= TICKS_PER_LINE) writeTicks();
        ++state.pendingTicks;
        state.context = Context::tick;
    } else if (!line.empty()) {
        writeTicks();
        state.context = Context::event;
        state.eventLine = line;
    } else {
        state.context = Context::none;
    }
}

void endDispatch() {
    if (!state.on || state.depth == 0) return;
    --state.depth;
    if (!topLevel()) return;
    writeHeld();
    if (state.context == Context::event) write(state.eventLine);
    state.eventLine.clear();
    state.context = Context::none;
}

void boxOpened(const std::string& caption, const std::string& text) {
    if (!state.on) return;
    if (state.boxes.empty()) {
        if (state.context == Context::tick && state.depth == 1) {
            // The box opened inside this tick: its answer must be queued
            // before the tick is run.
            --state.pendingTicks;
            writeTicks();
            state.pendingTicks = 1;
        } else if (state.depth == 0) {
            writeTicks();  // start-up, or shutdown
        }
    }
    std::string what = caption + ": " + text;
    for (char& c : what)
        if (c == '\n' || c == '\r') c = ' ';
    state.boxes.push_back({state.held.size(), what});
    state.held.emplace_back();
}

void boxAnswered(int32_t answer) {
    if (!state.on || state.boxes.empty()) return;
    const OpenBox box = state.boxes.back();
    state.boxes.pop_back();
    std::string line = answer == IDYES ? "answer yes" : answer == IDNO ? "answer no" : "answer ok";
    if (box.ticks > 0) line += " after " + std::to_string(box.ticks);
    state.held[box.heldLine] = line + "   # " + box.what;
    if (topLevel()) writeHeld();
}

void typed(int templateId, int controlId, const std::string& text) {
    if (!state.on) return;
    std::string line = "dialog type " + std::to_string(templateId) + " " + std::to_string(controlId) + " " + text;
    if (!topLevel()) {
        state.held.push_back(line);
        return;
    }
    writeTicks();
    write(line);
}

}  // namespace recorder
}  // namespace platform
