// The main of every GoogleTest program under Wine: given --as-windows-xp, it runs the tests as
// Windows XP would, every function newer than XP that the file layer looks up missing from the
// start (no test program here asks the player a question, the window layer's other one).
#include <gtest/gtest.h>

#include <cstring>

#include "win32_newer.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--as-windows-xp") == 0) kov::detail::Newer() = {};
    return RUN_ALL_TESTS();
}
