// pachinko-sim's library on a small hand-made course table: the ledger it
// keeps agrees with the tray and the gate, runs are repeatable, and the
// report forms carry the same numbers (the JSON parses).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>

#include "sim.h"
#include "test_machine_fixture.h"

using namespace machine_fixture;

namespace {

class SimTest : public MachineTest {
protected:
    // The hand-made table: weak shots fall back at their third waypoint;
    // in the band 39..51 the full-range-only course 5 ends in the bottom
    // pocket, everyday courses 6..9 cross the gate before going out, 10..14
    // go straight out. Band 130..142 (71..74) ends in the bottom pocket.
    BallPathTableData table() {
        for (int32_t p : {0, 1, 2}) setMarker(p, 3, MARKER_RETURN);
        setMarker(5, 8, MARKER_START_POCKET);
        for (int32_t p = 6; p <= 9; ++p) {
            setMarker(p, 12, MARKER_NEAR_GATE);
            setMarker(p, 15, MARKER_OUT);
        }
        for (int32_t p = 10; p <= 14; ++p) setMarker(p, 14, MARKER_OUT);
        for (int32_t p = 71; p <= 74; ++p) setMarker(p, 10, MARKER_START_POCKET);
        return BallPathTable;
    }

    sim::RunCounts run(int32_t slot, int32_t nail, int32_t dial, int64_t launches, int64_t discard = 0) {
        sim::RunSpec spec;
        spec.seat.slotSetting = slot;
        spec.seat.nailSetting = nail;
        spec.dial = dial;
        spec.launches = launches;
        spec.discardDraws = discard;
        return sim::runSeat(table(), spec);
    }

    // What the tray and the gate must agree with, after any run.
    static void expectLedgerBalances(const sim::RunCounts& r) {
        // Balls held = bought + paid - launched: nothing appears or vanishes.
        EXPECT_EQ(r.ballsHeldAtEnd, r.ballsBought + r.paid - r.launched);
        EXPECT_EQ(r.ballsHeldAtEnd, game.player.balls);
        // Every prize opened the gate for its ticks; the ones not yet counted
        // down are still on the gate.
        int64_t prizeTicks = 0;
        for (int i = 0; i < 4; ++i) prizeTicks += r.wins[i] * sim::WIN_TICKS[i];
        EXPECT_EQ(r.gateOpenTicks, prizeTicks - game.slotPrizeLeft);
        EXPECT_EQ(r.gatePaid % 10, 0);
    }
};

TEST_F(SimTest, ACountedBandPaysItsPocketAndTheGateAndTheLedgerBalances) {
    sim::RunCounts r = run(6, 6, 45, 40000);
    // One launch in three draws from the full range, one of those in ten
    // takes the pocket: about 1,300 entries.
    EXPECT_GT(r.entries, 1000);
    EXPECT_LT(r.entries, 1700);
    EXPECT_EQ(r.paid, 6 * r.entries + r.gatePaid);
    EXPECT_GT(r.wins[2] + r.wins[3], 0);  // slot setting 6 forces a win every 16 spins
    expectLedgerBalances(r);
}

TEST_F(SimTest, TickLimitAndScheduleSeat) {
    sim::RunSpec spec;
    spec.seat.fromSchedule = true;  // day 0, parlour 0, seat 2: slot setting 6
    spec.seat.machine = 2;
    spec.dial = 45;
    spec.launches = 0;
    spec.ticks = 1234;
    sim::RunCounts r = sim::runSeat(table(), spec);
    EXPECT_EQ(r.ticks, 1234);
    EXPECT_EQ(r.slotSetting, 6);
    // A launch chance every five ticks; the first may pass while the first
    // purchase is still on its way to the tray.
    EXPECT_GE(r.launched, 1234 / 5 - 1);
    EXPECT_LE(r.launched, 1234 / 5 + 1);
    expectLedgerBalances(r);
}

TEST_F(SimTest, TheBestCountedBand) {
    // Band 130..142 pays every ball into the pocket, but the nails do not
    // count it: the best counted band is 39..51 even though it pays less.
    std::vector<sim::RunCounts> runs;
    for (int32_t dial : {20, 45, 60, 135}) runs.push_back(run(0, 6, dial, 3000));
    ASSERT_GT(runs[3].returnRatio(), runs[1].returnRatio());
    ASSERT_NE(sim::bestCounted(runs), nullptr);
    EXPECT_EQ(sim::bestCounted(runs)->dial, 45);
}

TEST_F(SimTest, RunsRepeatAndTheReportFormsCarryTheSameNumbers) {
    std::vector<sim::RunCounts> runs = {run(6, 6, 45, 8000), run(1, 2, 20, 500)};
    EXPECT_EQ(sim::formatCsv({runs[0]}), sim::formatCsv({run(6, 6, 45, 8000)})) << "runs repeat from the same draws";
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(sim::formatJson(runs)), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(doc.array().size(), 2);
    for (int i = 0; i < 2; ++i) {
        QJsonObject o = doc.array()[i].toObject();
        EXPECT_EQ(o["dial"].toInt(), runs[i].dial);
        EXPECT_EQ(o["paid"].toInteger(), runs[i].paid);
        EXPECT_EQ(o["wins"].toObject()["3000"].toInteger(), runs[i].wins[2]);
        EXPECT_NEAR(o["ratio"].toDouble(), runs[i].returnRatio(), 1e-4);
    }
    // CSV: a header and one line per run, each with the header's fields.
    std::istringstream csv(sim::formatCsv(runs));
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(std::count(lines[2].begin(), lines[2].end(), ','), std::count(lines[0].begin(), lines[0].end(), ','));
    EXPECT_EQ(lines[1].rfind("6,6,45,", 0), 0u) << lines[1];
}

}  // namespace
