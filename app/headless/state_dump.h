// The game state as JSON, keyed by the records' own field names.
#pragma once

#include <string>

std::string gameStateJson();
