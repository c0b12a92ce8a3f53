#include <gtest/gtest.h>

#include "DiagnosticLog.h"

namespace {

// Warnings and errors show in every category by default, SDL's own default would hide
// errors of the device; one setting raises or lowers every category at once.
TEST(DiagnosticLog, PrioritiesFromTheSetting) {
    const int categories[] = {SDL_LOG_CATEGORY_APPLICATION, SDL_LOG_CATEGORY_VIDEO,
                              SDL_LOG_CATEGORY_RENDER, SDL_LOG_CATEGORY_AUDIO};
    EXPECT_TRUE(configureDiagnosticLog(nullptr));
    for (int category : categories) {
        EXPECT_EQ(SDL_LOG_PRIORITY_WARN, SDL_LogGetPriority(category)) << category;
    }
    EXPECT_TRUE(configureDiagnosticLog("Debug"));
    for (int category : categories) {
        EXPECT_EQ(SDL_LOG_PRIORITY_DEBUG, SDL_LogGetPriority(category)) << category;
    }
    EXPECT_TRUE(configureDiagnosticLog("critical"));
    EXPECT_EQ(SDL_LOG_PRIORITY_CRITICAL, SDL_LogGetPriority(SDL_LOG_CATEGORY_RENDER));
    // A word that is no priority leaves the default, not what was set before.
    EXPECT_FALSE(configureDiagnosticLog("loud"));
    EXPECT_EQ(SDL_LOG_PRIORITY_WARN, SDL_LogGetPriority(SDL_LOG_CATEGORY_RENDER));
    EXPECT_TRUE(configureDiagnosticLog(""));
    EXPECT_EQ(SDL_LOG_PRIORITY_WARN, SDL_LogGetPriority(SDL_LOG_CATEGORY_VIDEO));
}

} // namespace
