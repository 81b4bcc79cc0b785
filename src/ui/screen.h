// The screen model: the current screen function, the pending key and its codes.
#pragma once
#include <cstdint>

using ScreenFunction = void (*)();

enum KeyCode : uint8_t {
    KeyNone = 0,
    KeySoft1 = 1,  // push buttons under the display, left to right
    KeySoft2 = 2,
    KeySoft3 = 3,
    KeySoft4 = 4,
    KeySoft5 = 5,
    KeyKnobPress = 6,
    KeyKnobPlus = 7,   // knob turned clockwise
    KeyKnobMinus = 8,  // knob turned anticlockwise
};

extern ScreenFunction currentScreen;
extern ScreenFunction returnScreen;
extern uint8_t pendingKey;

// The pending key, consumed: every screen takes it once per pass, whether it acts on it or not.
inline uint8_t takeKey()
{
    const uint8_t key = pendingKey;
    pendingKey = KeyNone;
    return key;
}

// Shared list-editing state of the menus and setup screens.
extern uint8_t cursorLine;      // selected line (or icon)
extern uint8_t listTop;         // first list line shown in the top row of a long list
extern uint8_t editMode;        // 1 while the value on the cursor line is being changed
extern uint16_t stepMultiplier; // knob step when editing a number: 1, 10 or 100
// 1 while the screen of the last pass moves a cursor with the knob (clockwise: down the list, on
// to the next tile, further into a document) rather than change a value; every pass starts at 0.
extern uint8_t knobMovesCursor;

// The home screen hosts the home pages; it is the screen after program start (ui/home.h).
void homeScreen();

// The home screen, with no pop-up and no edit in progress.
void goHome();
// The MAIN MENU with its cursor on item.
void openMainMenu(uint8_t item);
// A screen opened: by its entry in the screen table (ui/screen_registry.h), its own entry run and
// the list-editing state reset; a screen opened from a menu has its first line selected at the top
// of its list, step 1, not editing.
void openScreen(ScreenFunction screen);
// Back to a parent screen with one of its lines selected, not editing.
void returnToScreen(ScreenFunction screen, uint8_t line);
// Back from a message to the screen under it, as that screen was left.
void returnToScreen(ScreenFunction screen);
void mainMenuScreen();

// Shared drawing of the menus and setup screens.
void drawPageTitle(const char* line1, const char* line2);
void drawSoftKeyBar(uint8_t flags);  // bit 0: "BACK" on the second key
constexpr uint8_t SoftKeysExit = 0;
constexpr uint8_t SoftKeysExitBack = 1;
// The "EXIT" / "BACK" bar drawn and the pending key taken: EXIT goes home, BACK runs back when
// given. The key is returned for the screen's own handling.
uint8_t exitBackKey(void (*back)());
void drawPopupKeyBar(const char* caption, const char* label1, const char* label2, const char* label3,
                     const char* label4, const char* label5);
void drawMenuRow(int row, const char* label, const char* value);
void drawScrollIndicator(int index, int count);
void drawKnobSymbol();
void drawRightArrow();
void drawLeftArrow(int x);
void drawTileFrame(uint8_t tile);

// "MESSAGE" / "DONE", or "FAILED" while messageFailed is 1 (a file action that did not complete);
// any key returns to returnScreen and clears messageFailed.
void messageScreen();
extern uint8_t messageFailed;
// Shows the message, "DONE" or, when done is false, "FAILED"; it returns to returnScreen, which
// the caller sets.
void showMessage(bool done);
