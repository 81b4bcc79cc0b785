// The NMEA receiver: bytes from the serial reader thread are framed, checksummed and parked per
// sentence type; the main loop runs the RMC, GGA, GSA and GSV handlers of parked sentences.
#pragma once
#include <cstdint>

// Longest body (text between "$" and "*") the receiver frames; a longer sentence is dropped.
constexpr uint16_t NMEA_MAX_BODY = 200;
// A sentence slot; a parked body keeps one byte for its terminator, so bodies of 200 characters
// are accepted (and shown) but never parked.
constexpr uint16_t NMEA_SLOT_SIZE = 200;

// Receiver state, touched only by the thread that feeds the bytes.
extern uint8_t nmeaState;  // 0 idle, 1 body, 2 and 3 checksum characters, 4 CR expected, 5 LF expected
extern uint16_t nmeaLength;
extern char nmeaBody[NMEA_MAX_BODY + 1];
extern char nmeaChecksumText[3];

// The four slots of wanted sentences (GP talker only). A slot belongs to the receiver while its
// pending flag is 0 and to the main loop while it is 1. While the reader thread runs, the flags
// are accessed only inside this module, through the atomic loads and stores below: set with
// release after the slot is written, read with acquire before the slot is read, cleared with release.
extern char rmcSentence[NMEA_SLOT_SIZE];
extern char ggaSentence[NMEA_SLOT_SIZE];
extern char gsaSentence[NMEA_SLOT_SIZE];
extern char gsvSentence[NMEA_SLOT_SIZE];
extern uint8_t rmcPending, ggaPending, gsaPending, gsvPending;

// 1 once any sentence was accepted; never cleared while the program runs. The reader thread
// writes it once (an atomic store); a reader on another thread that must be race-free loads it
// with loadSharedFlag.
extern uint8_t gpsDataReceived;

// Atomic access to a one-byte flag shared with the reader thread: what std::atomic_ref<uint8_t>
// does, through the compiler's builtins, which every standard library here has.
inline uint8_t loadSharedFlag(const uint8_t& flag) { return __atomic_load_n(&flag, __ATOMIC_ACQUIRE); }
inline void storeSharedFlag(uint8_t& flag, uint8_t value) { __atomic_store_n(&flag, value, __ATOMIC_RELEASE); }

// Reader thread: one received byte. Returns true when this byte completed a sentence that the
// receiver accepted; nmeaAcceptedSentence() then holds its text (after "$", up to "*") until the
// next byte is received, for the host's communications window.
bool nmeaReceiveByte(uint8_t byte);
const char* nmeaAcceptedSentence();

// Main loop: each handler whose sentence is pending, RMC, GGA, GSA, GSV in that order; each flag
// is cleared after its handler ran.
void runPendingGpsHandlers();

// The handlers, each over its own slot. A sentence that does not have the shape the handler
// expects, or a number that does not fit the value it sets, drops the whole sentence.
void handleRmc();
void handleGga();
void handleGsa();
void handleGsv();

// A fix lasts only while the receiver keeps talking: once the handlers have taken no RMC or GGA
// for more than GPS_FIX_TIMEOUT_SECONDS slow steps, the fix is lost (gpsFixValid and gpsFixType
// 0) as if the receiver had reported none. gpsSentenceAge counts those seconds; GPS_AGE_IDLE
// while no sentence has been taken since the fix was last lost, the power-on or the start.
constexpr uint8_t GPS_FIX_TIMEOUT_SECONDS = 5;
constexpr uint8_t GPS_AGE_IDLE = 255;
extern uint8_t gpsSentenceAge;
void gpsSlowStep();

// A freshly started program: receiver idle, slots empty, nothing received. Power cycles of the
// instrument do not call this. Not while a reader thread is feeding bytes.
void resetNmeaReceiver();
// Every GPS value (and the automatic variation) back to 0, as at program start.
void resetGpsValues();
