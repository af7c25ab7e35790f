#include "save/save_files.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/files.h"
#include "platform/window.h"
#include "state/game_state.h"

namespace {

constexpr uint32_t ERROR_BOX = platform::MB_ICONWARNING | platform::MB_SETFOREGROUND;

void putWords(const int32_t* words, std::size_t count, uint8_t* out) {
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t v = static_cast<uint32_t>(words[i]);
        out[4 * i] = static_cast<uint8_t>(v);
        out[4 * i + 1] = static_cast<uint8_t>(v >> 8);
        out[4 * i + 2] = static_cast<uint8_t>(v >> 16);
        out[4 * i + 3] = static_cast<uint8_t>(v >> 24);
    }
}

void getWords(const uint8_t* in, std::size_t count, int32_t* words) {
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t v = static_cast<uint32_t>(in[4 * i]) | static_cast<uint32_t>(in[4 * i + 1]) << 8 |
                     static_cast<uint32_t>(in[4 * i + 2]) << 16 | static_cast<uint32_t>(in[4 * i + 3]) << 24;
        words[i] = static_cast<int32_t>(v);
    }
}

// A record (made of signed 32-bit fields only) to and from its file image.
template <typename Record>
void encode(const Record& record, uint8_t* out) {
    std::vector<int32_t> words(sizeof(Record) / 4);
    std::memcpy(words.data(), &record, sizeof(Record));
    putWords(words.data(), words.size(), out);
}

// Only the bytes present replace the record's; the rest keep their values.
template <typename Record>
void decode(Record& record, const uint8_t* bytes, std::size_t size) {
    std::vector<uint8_t> image(sizeof(Record));
    encode(record, image.data());
    if (size > image.size()) size = image.size();
    if (size > 0) std::memcpy(image.data(), bytes, size);
    std::vector<int32_t> words(sizeof(Record) / 4);
    getWords(image.data(), words.size(), words.data());
    std::memcpy(&record, words.data(), sizeof(Record));
}

}  // namespace

int loadGame() {
    std::vector<uint8_t> bytes;
    if (platform::readFilePrefix(COURSE_FILE, COURSE_FILE_SIZE, bytes)) {
        decode(BallPathTable, bytes.data(), bytes.size());
    } else {
        platform::messageBox(nullptr, "設定ファイル読み出しに失敗", "Error", ERROR_BOX);
        if (!game.tuningMode) return 1;
    }
    if (platform::readFilePrefix(PLAYER_FILE, PLAYER_FILE_SIZE, bytes)) {
        decode(game.player, bytes.data(), bytes.size());
        game.player.day = wrapAdd(game.player.day, 1);
    } else {
        platform::messageBox(nullptr, "記憶ファイル読出失敗 新規作成", "Error", ERROR_BOX);
        newGame();
    }
    return 0;
}

int saveGame() {
    if (game.tuningMode) {
        std::vector<uint8_t> table(COURSE_FILE_SIZE);
        encode(BallPathTable, table.data());
        bool written = platform::writeFileAtomically(COURSE_FILE, table.data(), table.size());
        platform::logEvent(std::string("save ") + COURSE_FILE + (written ? "" : " failed"));
    }
    uint8_t record[PLAYER_FILE_SIZE];
    encode(game.player, record);
    bool written = platform::writeFileAtomically(PLAYER_FILE, record, sizeof record);
    platform::logEvent(std::string("save ") + PLAYER_FILE + (written ? "" : " failed"));
    return written ? 0 : -1;
}
