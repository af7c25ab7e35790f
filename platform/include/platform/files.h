// Binary file access for the two data files, relative to the working
// directory. No text translation, no buffering surprises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Reads at most maxBytes from the start of the file. False when the file
// cannot be opened or is not a regular file (a folder, a FIFO, a device: the
// open never waits); a short file gives fewer bytes and true.
bool readFilePrefix(const std::string& name, std::size_t maxBytes, std::vector<uint8_t>& out);

// Replaces the file with the given bytes so that it never tears: the bytes go
// to a temporary file in the same folder, are flushed to disk, and the
// temporary is renamed over the old file. False when anything fails, in which
// case the old file is left exactly as it was.
// - A symbolic link is written through: the file it names is replaced and the
//   link stays.
// - A new file gets the mode the user's umask gives (0666 & ~umask); a file
//   that was there keeps its mode.
// - When the folder takes no temporary file but the file exists and can be
//   written, the bytes are written into it in place instead (that write can
//   tear, but the progress is not lost).
// - Temporary files that a killed save left behind are removed by the next
//   save, once the process that made them is gone.
bool writeFileAtomically(const std::string& name, const uint8_t* bytes, std::size_t size);

// Test hook: the next n atomic writes fail after writing part of the
// temporary file (as a full disk would).
void failNextFileWrites(int count);

}  // namespace platform
