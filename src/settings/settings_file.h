// The settings file "CORVEX.EMS" on the SD card: the raw image of the settings record.
#pragma once

// The menu actions "SAVE SETTINGS TO SD CARD" and "RECALL SETTINGS FROM SD CARD". With no card
// present they do nothing (the caller shows its "INSERT" / "SD CARD" screen instead); otherwise
// each ends on the message screen, "DONE" when the file was written or read and "FAILED" when it
// was not (the record then stays as it was), and returns which. A save replaces the old file only once the new one is complete. A recall replaces as
// many leading bytes of the record as the file holds (at most the whole record), repairs
// out-of-range fields, restores the format code and recomputes the derived values.
bool saveSettingsFile();
bool recallSettingsFile();
// The recall's reading and repair without its message screen, for a host that recalls at
// power-on: false (the record as it was) when the file cannot be read.
bool loadSettingsFile();

// The file's name on the card, and the name a save writes before replacing the file.
constexpr const char* SETTINGS_FILE_NAME = "CORVEX.EMS";
constexpr const char* SETTINGS_FILE_NEW_NAME = "CORVEX.EMS.NEW";
