// Test helper: the main of a public BMP suite replay. The suite lies beside the repository and is
// never copied in; where it is absent the replay says so and reports itself skipped to ctest (which
// then lists it among the tests that did not run) instead of passing unseen.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

// ctest's SKIP_RETURN_CODE for the replays.
inline constexpr int kSuiteSkippedExitCode = 77;

// Runs every test with `suite` set to the folder named on the command line, which holds `marker`
// (g/ of the BMP suite by default).
inline int RunSuiteReplay(int argc, char** argv, std::filesystem::path& suite, const char* marker = "g") {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SUITE_FOLDER (holding %s)\n", argv[0], marker);
        return 2;
    }
    suite = argv[1];
    if (!std::filesystem::exists(suite / marker)) {
        std::printf("The public suite is not at %s: replay skipped.\n", suite.string().c_str());
        return kSuiteSkippedExitCode;
    }
    return RUN_ALL_TESTS();
}
