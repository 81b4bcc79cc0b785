// Rules every registered screen keeps: it answers to its name, consumes whatever key is pending,
// and redraws the whole display on every pass; pop-ups the same through the home screen.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "device.h"
#include "display/framebuffer.h"
#include "test_support.h"
#include "ui/home.h"
#include "ui/screen.h"
#include "ui/screen_registry.h"

namespace {

constexpr uint8_t kStale = 171;  // a palette index no screen draws

TEST(ScreenRegistry, NamesAndFunctionsAnswerForEachOther)
{
    size_t count = 0;
    const RegisteredScreen* screens = registeredScreens(count);
    std::set<std::string> names;
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(screens[i].name);
        EXPECT_TRUE(names.insert(screens[i].name).second) << "registered twice";
        ASSERT_NE(screens[i].function, nullptr);
        EXPECT_STREQ(screenName(screens[i].function), screens[i].name);
        ScreenFunction found = nullptr;
        EXPECT_TRUE(findScreen(screens[i].name, found));
        EXPECT_EQ(found, screens[i].function);
    }
    ScreenFunction none = homeScreen;
    EXPECT_TRUE(findScreen("none", none));
    EXPECT_EQ(none, nullptr);
    EXPECT_STREQ(screenName(nullptr), "none");
    EXPECT_FALSE(findScreen("homescreen", none));
}

TEST(ScreenRegistry, OpeningAScreenResetsWhatItsEntrySaysAndNothingElse)
{
    size_t count = 0;
    const RegisteredScreen* screens = registeredScreens(count);
    for (size_t i = 0; i < count; ++i) {
        if (screens[i].overlay) continue;
        SCOPED_TRACE(screens[i].name);
        resetDevice();
        cursorLine = 5, listTop = 3, stepMultiplier = 100, editMode = 1;
        openScreen(screens[i].function);
        const uint8_t r = screens[i].resets;
        EXPECT_EQ(currentScreen, screens[i].function);
        EXPECT_EQ(cursorLine, r & ResetCursor ? 0 : 5);
        EXPECT_EQ(listTop, r & ResetListTop ? 0 : 3);
        EXPECT_EQ(stepMultiplier, r & ResetStep ? 1 : 100);
        EXPECT_EQ(editMode, r & ResetEdit ? 0 : 1);
    }
    resetDevice();
}

TEST(ScreenRegistry, EveryScreenConsumesEveryKeyAndRedrawsTheWholeDisplay)
{
    size_t count = 0;
    const RegisteredScreen* screens = registeredScreens(count);
    for (size_t i = 0; i < count; ++i) {
        for (uint8_t key = KeyNone; key <= KeyKnobMinus; ++key) {
            SCOPED_TRACE(std::string(screens[i].name) + " key " + std::to_string(key));
            resetDevice();
            ScreenFunction pass = screens[i].function;
            if (screens[i].overlay) {
                overlayScreen = screens[i].function;
                overlayTimeout = 5;
                pass = homeScreen;
            }
            currentScreen = pass;
            std::memset(framebuffer, kStale, FRAMEBUFFER_SIZE);
            pendingKey = key;
            pass();
            EXPECT_EQ(pendingKey, KeyNone);
            int stale = 0;
            for (size_t p = 0; p < FRAMEBUFFER_SIZE; ++p) stale += framebuffer[p] == kStale;
            EXPECT_EQ(stale, 0) << "pixels left from the pass before";
        }
    }
    resetDevice();
}

}  // namespace
