// A picture of the playfield with a dozen courses drawn as ball trails and
// their markers labelled: how a person checks that courses, nails and art
// agree.
#pragma once

#include <string>

#include "state/machine_records.h"

namespace courses {

// Draws over backPath (back3.bmp) when it exists, else over a plain drawing
// of the board's geometry. False (with a message) when the PNG cannot be written.
bool writePreview(const BallPathTableData& table, const std::string& backPath, const std::string& pngPath, int argc,
                  char** argv);

}  // namespace courses
