// The engine page's layout rules, exposed for tests: which sender slots are shown and where the
// right-hand bar widgets go for a given gauge area, slot count and AMPS widget.
#pragma once
#include <cstdint>

enum class WidgetColumns : uint8_t { Wide, Single, Double };
enum class RightWidget : uint8_t { Volts, Oat, Amps, Slot };

struct WidgetPlacement {
    RightWidget widget;
    uint8_t slot;  // for Slot: 0..3
    int16_t x, y, width, height;
};

// The sender slots shown, in slot order; returns their count (0..4).
int shownSenderSlots(uint8_t* slots);
// Fills out (room for 8) and returns how many widgets are placed.
int placeRightWidgets(WidgetColumns columns, int n, bool amps, const uint8_t* slots, WidgetPlacement* out);
