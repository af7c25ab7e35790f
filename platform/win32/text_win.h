// Text conversions of the Windows backend: Windows speaks UTF-16, the game
// UTF-8; and the help files, which are HTML, shown as plain text.
#pragma once

#include <string>

namespace platform {

// Invalid UTF-8 becomes U+FFFD, as everywhere else in the game.
std::wstring utf8ToWide(const std::string& utf8);
std::string wideToUtf8(const std::wstring& wide);

// The readable text of an HTML page: its body without tags, one line for
// each heading, paragraph, list item and line break, list items marked "・",
// entities decoded, runs of white space made one space (none where the
// source breaks a line between two Japanese characters).
std::string helpPlainText(const std::string& html);

}  // namespace platform
