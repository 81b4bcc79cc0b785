// The GPS home page: the information panel on the left, the sky view of the satellites at the top
// right and their signal bars at the bottom right; crossed out until the first sentence arrives.
#pragma once
#include <cstddef>

// The whole page (home page 2).
void drawGpsPage();
void drawGpsInfoPanel();
void drawSkyView();
void drawSignalBars();

// Position text in the format of the position-format setting: "N48°30.000", "N48°30'00.00" or
// "N48.50000°"; longitudes with "E"/"W" and three-digit degrees. 24 characters always suffice.
void formatLatitude(float value, char* text, size_t size);
void formatLongitude(float value, char* text, size_t size);
// Course over ground, true or magnetic by the course-reference setting: "123°T", "---°M".
void formatCourse(char* text, size_t size);
// A sunrise or sunset hour (any decimal hour, folded into the day) as "HH:MM".
void formatSunHours(float hours, char* text, size_t size);
// A variation in degrees, east positive, as whole degrees and minutes: "2°30E", "0°45W".
void formatAutoVariation(float variation, char* text, size_t size);
