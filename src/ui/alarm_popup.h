// The alarm pop-up: announced alarms over the home pages, acknowledged with "ACK".
#pragma once

// Whether the home screen shows the alarm pop-up (before any menu or pop-up of the pilot's).
bool alarmPopupShown();
// One pass of the alarm pop-up: draws it over the page and takes the pending key.
void alarmPopup();
