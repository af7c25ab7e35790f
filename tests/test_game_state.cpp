#include <gtest/gtest.h>
#include "shell/game_state.h"
TEST(Placeholder, Builds) { EXPECT_EQ(sizeof(PlayerRecord), 64u); }
