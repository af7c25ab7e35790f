// The session recorder: every input the game receives in the real window,
// written as a pachinko-headless script so that the session replays exactly
// (docs/recording.md).
//
// The window backend reports what it hands to the game; the recorder keeps
// the order the game saw:
// - each message at its dispatch, with the ticks between messages counted
//   and written as "tick N";
// - a message box's answer queued ahead of it in the script, as the
//   headless runner needs ("answer yes after N", N = ticks that ran under the
//   box), placed right before the message or tick during which it opened;
//   boxes opened during start-up, before any message, lead the script;
// - text typed into a dialog's edit box when it changes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

namespace platform {
namespace recorder {

// Starts writing to fileName (truncated). False when it cannot be written.
bool start(const std::string& fileName, const std::string& header);
// Writes what is still held and closes the file.
void stop();
bool active();

// A message is about to be handed to the game; `line` is its script line
// (empty for messages the script does not carry), `tick` marks a timer
// message of the main window.
void beginDispatch(bool tick, const std::string& line);
void endDispatch();

// A message box opens and, later, is answered (IDOK, IDYES or IDNO). Its
// caption and text go on the answer's line as a comment, for the reader.
void boxOpened(const std::string& caption, const std::string& text);
void boxAnswered(int32_t answer);

// Text typed into a dialog's edit box.
void typed(int templateId, int controlId, const std::string& text);

}  // namespace recorder
}  // namespace platform
