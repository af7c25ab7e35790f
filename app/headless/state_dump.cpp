#include "state_dump.h"

#include <cstdint>
#include <sstream>

#include "machine/random.h"
#include "state/game_state.h"

namespace {

class Json {
public:
    void open(const char* key) { name(key) << '{'; first_ = true; }
    void close() { out_ << '}'; first_ = false; }
    template <typename T>
    void field(const char* key, T value) { name(key) << static_cast<int64_t>(value); }
    template <typename T>
    void array(const char* key, const T* values, int count) {
        name(key) << '[';
        for (int i = 0; i < count; ++i) out_ << (i ? "," : "") << static_cast<int64_t>(values[i]);
        out_ << ']';
    }
    void raw(const char* key, const std::string& json) { name(key) << json; }
    std::string str() const { return out_.str(); }

private:
    std::ostream& name(const char* key) {
        if (!first_) out_ << ',';
        first_ = false;
        if (key) out_ << "\n\"" << key << "\":";
        return out_;
    }
    std::ostringstream out_;
    bool first_ = true;
};

}  // namespace

std::string gameStateJson() {
    const GameState& g = game;
    const PlayerRecord& p = g.player;
    const MachineState& m = g.machine;
    Json j;
    j.open(nullptr);
    j.open("PlayerRecord");
    j.field("day", p.day);
    j.field("cash", p.cash);
    j.field("deposit", p.deposit);
    std::ostringstream loans;
    loans << '[';
    for (int i = 0; i < 3; ++i)
        loans << (i ? "," : "") << "{\"active\":" << p.loans[i].active << ",\"amountDue\":" << p.loans[i].amountDue
              << ",\"dueDay\":" << p.loans[i].dueDay << '}';
    loans << ']';
    j.raw("loans", loans.str());
    j.field("loanCount", p.loanCount);
    j.field("creditLimit", p.creditLimit);
    j.field("balls", p.balls);
    j.field("introDisabled", p.introDisabled);
    j.close();
    j.field("dayTicks", g.dayTicks);
    j.field("notMinimized", g.notMinimized);
    j.field("ticksPaused", g.ticksPaused);
    j.field("promptGuard", g.promptGuard);
    j.field("tuningMode", g.tuningMode);
    j.field("walkerX", g.walkerX);
    j.field("walkerY", g.walkerY);
    j.field("walkerFrame", g.walkerFrame);
    j.field("backdropTick", g.backdropTick);
    j.field("homeState", g.homeState);
    j.field("bankState", g.bankState);
    j.array("parlourState", g.parlourState, 3);
    j.field("exchangeState", g.exchangeState);
    j.field("introShown", g.introShown);
    j.field("moveX", g.moveX);
    j.field("moveY", g.moveY);
    j.field("inParlour", g.inParlour);
    j.field("leaveParlour", g.leaveParlour);
    j.field("lenderState", g.lenderState);
    j.field("launchStopped", g.launchStopped);
    j.field("dialPower", g.dialPower);
    j.field("dialDragging", g.dialDragging);
    j.field("dragStartY", g.dragStartY);
    j.field("dragStartDial", g.dragStartDial);
    j.field("slotPrizeLeft", g.slotPrizeLeft);
    j.field("editPattern", g.editPattern);
    j.field("editStep", g.editStep);
    j.field("copySource", g.copySource);
    j.field("soundOff", g.soundOff);
    j.field("noSoundDevice", g.noSoundDevice);
    j.field("tamadeNext", g.tamadeNext);
    j.open("MachineState");
    j.field("slotSetting", m.slotSetting);
    j.field("nailSetting", m.nailSetting);
    j.field("nailInterval", m.nailInterval);
    j.field("nailCountdown", m.nailCountdown);
    j.field("reelMode", m.reelMode);
    j.field("reelReload", m.reelReload);
    j.field("reelCountdown", m.reelCountdown);
    j.array("reelPos", m.reelPos, 3);
    j.field("reelState", m.reelState);
    j.field("reelTimer", m.reelTimer);
    j.field("spinStock", m.spinStock);
    j.field("entryCount", m.entryCount);
    std::ostringstream slots;
    slots << '[';
    for (int i = 0; i < BALL_SLOTS; ++i)
        slots << (i ? "," : "") << "{\"pattern\":" << m.ballSlots[i].pattern << ",\"step\":" << m.ballSlots[i].step
              << '}';
    slots << ']';
    j.raw("ballSlots", slots.str());
    j.array("wingTicks", m.wingTicks, 4);
    j.array("tulipOpen", m.tulipOpen, 2);
    j.field("launchTick", m.launchTick);
    j.close();
    j.open("RandomState");
    j.field("low", RandomState.low);
    j.field("high", RandomState.high);
    j.close();
    j.close();
    return j.str() + "\n";
}
