// The event log: one line for everything the game shows or plays that a
// player would notice (message boxes, dialogs, help, sounds started and
// stopped). The headless backend keeps it so that tests and the scripted
// runner can check and print it; the Qt backend records the same lines, which
// costs nothing and helps when a player reports a problem.
#pragma once

#include <string>
#include <vector>

namespace platform {

void logEvent(std::string line);
const std::vector<std::string>& eventLog();
void clearEventLog();

}  // namespace platform
