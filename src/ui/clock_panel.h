// The clock panel across the top of the engine page and the time-remaining lines under the fuel
// area: times, flight time, TIMER, Hobbs, maintenance, endurance, speed and range.
#pragma once

// Compact when the page draws a corner readout (OAT or CO) top right, wide otherwise.
void drawClockPanel(bool compact);
void drawTimeRemainingLines();
