// Data recording: one CSV line of engine data per slow step into DATALOG.CSV on the card, the
// create-file action, the card's free space, and the DATA RECORDING SETUP screens.
#pragma once
#include <cstddef>
#include <cstdint>

// Cells of the widest header line the instrument writes (every channel and sender): a reader
// refuses a wider one.
constexpr size_t kRecordingWidestHeader = 34;

extern uint32_t freeSpaceCount;    // free space on the card in units of 2^20 bytes; 0 until measured
extern uint8_t recordingPaused;    // 1 while the last write failed; the next slow step retries
extern uint32_t recordedLines;     // data lines written since power-on

// One slow step: the free space while the setup screen shows, and the recording line.
void recordingSlowStep();
// Power-on: nothing written yet, nothing paused.
void resetRecordingAtPowerOn();
// Starts a fresh DATALOG.CSV holding only its header; false when the card could not take it.
bool createRecordingFile();
// The header and the data line as they would be written now (each ends in CR LF).
void recordingHeader(char* text, size_t size);
void recordingLine(char* text, size_t size);

// The screens.
void dataRecordingSetupScreen();
void createRecordingFileScreen();

