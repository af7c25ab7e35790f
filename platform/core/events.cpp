#include "platform/events.h"

#include <utility>

namespace platform {
namespace {
std::vector<std::string> lines;
}  // namespace

void logEvent(std::string line) { lines.push_back(std::move(line)); }
const std::vector<std::string>& eventLog() { return lines; }
void clearEventLog() { lines.clear(); }

}  // namespace platform
