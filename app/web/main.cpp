// The game in the browser page. The page has already loaded the content into
// the game folder, read the saves from the browser's storage and made the
// game folder the working one; the address's "?tuning" becomes the
// command line's "T".
#include <emscripten.h>

#include "platform/window.h"
#include "shell/main_window.h"

// clang-format off
EM_JS(void, pachinko_game_over, (int code), {
    FS.syncfs(false, () => {});
    Module.pachinko.ended(code);
});
// clang-format on

int main(int argc, char** argv) {
    platform::initApplication(argc, argv);
    const int code = winMain(argc > 1 ? argv[1] : "", 1);
    pachinko_game_over(code);
    return code;
}
