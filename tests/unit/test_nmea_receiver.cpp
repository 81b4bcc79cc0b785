// The NMEA receiver byte by byte: framing, checksum, the 200-character limit, parking per type,
// sentences in pieces, and the hand-over of parked sentences between two threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "nmea_test_support.h"

namespace {

const std::string kGga = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
const std::string kRmc = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
const std::string kGsa = "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1";
const std::string kGsv = "GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45";

uint8_t pendingOf(uint8_t& flag) { return std::atomic_ref<uint8_t>(flag).load(std::memory_order_acquire); }

// A body of exactly `length` characters that starts with `address`.
std::string bodyOfLength(const std::string& address, size_t length)
{
    std::string body = address + ",";
    while (body.size() < length) body += static_cast<char>('0' + body.size() % 10);
    return body;
}

// A body whose XOR is `sum` (below 16), so that its checksum can be written with one digit.
std::string bodyWithSum(unsigned sum)
{
    std::string body = "GPTXT,";
    unsigned x = 0;
    for (unsigned char c : body) x ^= c;
    body += static_cast<char>(x ^ sum ^ 'Q');
    body += 'Q';
    return body;
}

struct FramingCase {
    const char* what;
    std::string bytes;
    int accepted;
    uint8_t state = 0;  // where the receiver is left
};

TEST(NmeaReceiver, FramingAndChecksum)
{
    std::string lower = nmeaLine(kRmc, "%02x");
    ASSERT_NE(lower, nmeaLine(kRmc)) << "the checksum must contain a letter for this case";
    std::string wrong = nmeaLine(kRmc);
    wrong[wrong.size() - 3] ^= 1;
    const std::string good = nmeaLine(kGga);
    const std::string noStar = "$" + kGga + "\r\n";
    const std::string noCr = good.substr(0, good.size() - 2) + "\n";
    const std::string noLf = good.substr(0, good.size() - 1);
    const std::string blank = "$" + bodyWithSum(0xA) + "* A\r\n";
    const std::string tab = "$" + bodyWithSum(0xA) + "*\tA\r\n";
    const std::string trailing = "$" + bodyWithSum(0xA) + "*A \r\n";
    const std::string junkDigit = "$" + bodyWithSum(0xA) + "*AG\r\n";
    const FramingCase cases[] = {
        {"GGA with its checksum", good, 1},
        {"checksum in lower case", lower, 1},
        {"wrong checksum", wrong, 0},
        {"noise before the $", "\r\n#x,1*00\r\n" + good, 1},
        {"no CR before the LF", noCr, 0},
        {"CR but no LF", noLf, 0, 5},
        // The byte where the LF belonged ends the sentence, so a "$" there is lost with it.
        {"no LF, next sentence straight after", noLf + good, 0},
        {"no LF, then two sentences", noLf + good + good, 1},
        // Without "*" the next sentence's bytes, "$" included, become part of the body.
        {"no *, next sentence swallowed", noStar + good, 0},
        {"no *, then two sentences", noStar + good + good, 1},
        {"$ inside the body is text", "$" + good, 0},
        {"checksum with a leading blank", blank, 1},
        {"checksum with a leading tab", tab, 1},
        {"reading the checksum stops at a blank", trailing, 1},
        {"reading the checksum stops at a non-hex digit", junkDigit, 1},
        {"200 characters", nmeaLine(bodyOfLength("GPTXT", 200)), 1},
        {"201 characters", nmeaLine(bodyOfLength("GPTXT", 201)), 0},
        {"201 characters, then a good one", nmeaLine(bodyOfLength("GPTXT", 201)) + good, 1},
        {"empty body", nmeaLine(""), 1},
        {"three in a row", good + good + good, 3},
    };
    for (const FramingCase& c : cases) {
        freshGps();
        EXPECT_EQ(feedNmea(c.bytes), c.accepted) << c.what;
        EXPECT_EQ(gpsDataReceived, c.accepted > 0 ? 1 : 0) << c.what;
        EXPECT_EQ(nmeaState, c.state) << c.what;
    }
}

TEST(NmeaReceiver, OnlyTheLineFeedReportsAcceptanceAndTheBodyIsShown)
{
    freshGps();
    const std::string line = nmeaLine(kGga);
    for (size_t i = 0; i < line.size(); ++i)
        EXPECT_EQ(nmeaReceiveByte(static_cast<uint8_t>(line[i])), i + 1 == line.size()) << "byte " << i;
    EXPECT_EQ(std::string(nmeaAcceptedSentence()), kGga);
    EXPECT_EQ(std::string(nmeaChecksumText), line.substr(line.size() - 4, 2));
    EXPECT_EQ(nmeaLength, kGga.size());
}

TEST(NmeaReceiver, EachWantedTypeIsParkedInItsOwnSlot)
{
    struct Case {
        std::string body;
        uint8_t rmc, gga, gsa, gsv;
    } cases[] = {
        {kRmc, 1, 0, 0, 0},
        {kGga, 0, 1, 0, 0},
        {kGsa, 0, 0, 1, 0},
        {kGsv, 0, 0, 0, 1},
        {"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", 0, 0, 0, 0},
        {"GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 0, 0, 0, 0},
        {"GLGSV,1,1,01,65,40,083,46", 0, 0, 0, 0},
        {"BDGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", 0, 0, 0, 0},
        {"PSTI,030,232712.000,A", 0, 0, 0, 0},
        {"GPRM", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        freshGps();
        EXPECT_EQ(feedNmea(nmeaLine(c.body)), 1) << c.body;
        EXPECT_EQ(pendingOf(rmcPending), c.rmc) << c.body;
        EXPECT_EQ(pendingOf(ggaPending), c.gga) << c.body;
        EXPECT_EQ(pendingOf(gsaPending), c.gsa) << c.body;
        EXPECT_EQ(pendingOf(gsvPending), c.gsv) << c.body;
        const char* slots[] = {rmcSentence, ggaSentence, gsaSentence, gsvSentence};
        const uint8_t wanted[] = {c.rmc, c.gga, c.gsa, c.gsv};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(std::string(slots[i]), wanted[i] ? c.body : "") << c.body;
    }
}

TEST(NmeaReceiver, ParkedBodiesAreAtMost199Characters)
{
    for (size_t length : {198u, 199u, 200u}) {
        freshGps();
        const std::string body = bodyOfLength("GPRMC", length);
        EXPECT_EQ(feedNmea(nmeaLine(body)), 1) << length;
        EXPECT_EQ(pendingOf(rmcPending), length <= 199 ? 1 : 0) << length;
        if (length <= 199) {
            EXPECT_EQ(std::string(rmcSentence), body);
        }
    }
}

TEST(NmeaReceiver, ASentenceMayArriveInTwoPiecesSplitAnywhere)
{
    const std::string line = nmeaLine(kRmc);
    for (size_t split = 0; split < line.size(); ++split) {
        freshGps();
        EXPECT_EQ(feedNmea(line.substr(0, split)), 0) << split;
        EXPECT_EQ(pendingOf(rmcPending), 0) << split;
        EXPECT_EQ(feedNmea(line.substr(split)), 1) << split;
        EXPECT_EQ(std::string(rmcSentence), kRmc) << split;
    }
}

TEST(NmeaReceiver, OfTwoSentencesOfOneTypeBetweenPassesTheFirstIsProcessed)
{
    freshGps();
    const std::string second = "GPRMC,123520,A,5000.000,N,01131.000,E,022.4,084.4,230394,003.1,W";
    EXPECT_EQ(feedNmea(nmeaLine(kRmc) + nmeaLine(second)), 2);  // both accepted and shown
    EXPECT_EQ(std::string(rmcSentence), kRmc);
    runPendingGpsHandlers();
    EXPECT_NEAR(gpsLatitude, 48.1173, 1e-4);
    EXPECT_EQ(pendingOf(rmcPending), 0);
    runPendingGpsHandlers();  // the second was dropped: a further pass changes nothing
    EXPECT_NEAR(gpsLatitude, 48.1173, 1e-4);
    feedNmea(nmeaLine(second));
    runPendingGpsHandlers();
    EXPECT_NEAR(gpsLatitude, 50.0, 1e-4);
}

TEST(NmeaReceiver, HandlersRunInTypeOrderAndClearTheirFlags)
{
    freshGps();
    // GSA after RMC in the same pass: its fix type decides gpsFixValid, whatever order they came in.
    feedNmea(nmeaLine("GPGSA,A,1,,,,,,,,,,,,,0.0,0.0,0.0") + nmeaLine(kRmc));
    runPendingGpsHandlers();
    EXPECT_EQ(gpsFixValid, 0);
    EXPECT_NEAR(gpsLatitude, 48.1173, 1e-4);
    EXPECT_EQ(pendingOf(rmcPending) + pendingOf(ggaPending) + pendingOf(gsaPending) + pendingOf(gsvPending), 0);
}

TEST(NmeaReceiver, ResetForAFreshProgram)
{
    freshGps();
    feedNmea(nmeaLine(kRmc) + nmeaLine(kGga) + "$GPGSA,A");
    ASSERT_EQ(gpsDataReceived, 1);
    resetNmeaReceiver();
    EXPECT_EQ(gpsDataReceived, 0);
    EXPECT_EQ(nmeaState, 0);
    EXPECT_EQ(pendingOf(rmcPending) + pendingOf(ggaPending), 0);
    EXPECT_EQ(std::string(rmcSentence), "");
    // The half sentence is gone: its rest alone is not accepted.
    EXPECT_EQ(feedNmea(",3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*3D\r\n"), 0);
}

// The reader thread feeds sentences while the main loop runs the handlers. Each RMC carries the
// same number in its latitude and longitude minutes, each GGA ties its altitude to its satellite
// count; a slot read half written would break those ties. Before each sentence the reader waits
// until the main loop has taken the last one of its type, so every sentence is parked and the
// main loop sees them all, in order, however the two threads are scheduled. Each sentence is also
// sent a second time straight away: that copy meets a slot still pending or one just handed
// back, which is the hand-over itself; parked or dropped, it changes no value. Run under
// ThreadSanitizer too.
TEST(NmeaReceiver, ReaderThreadAndMainLoopShareOnlyTheSlots)
{
    freshGps();
    constexpr int kSentences = 4000;
    std::atomic<bool> done{false};
    std::atomic<bool> stuck{false};
    // Reader side: until the main loop has handed the slot back (with a generous bound, so that
    // a receiver that never frees a slot fails the test instead of hanging it), or has given up.
    auto waitUntilTaken = [&](uint8_t& flag) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pendingOf(flag) != 0) {
            if (stuck.load() || std::chrono::steady_clock::now() > giveUp) {
                stuck.store(true);
                return false;
            }
            std::this_thread::yield();
        }
        return true;
    };
    std::thread reader([&] {
        char body[128];
        // From 1, so that the first GGA (one satellite) differs from the values at start.
        for (int k = 1; k <= kSentences && !stuck.load(); ++k) {
            const int m = k % 60;
            if (!waitUntilTaken(rmcPending)) break;
            std::snprintf(body, sizeof body, "GPRMC,1200%02d,A,48%02d.000,N,011%02d.000,E,%d.0,0.0,010126,,", m, m, m, m);
            feedNmea(nmeaLine(body) + nmeaLine(body));
            if (!waitUntilTaken(ggaPending)) break;
            std::snprintf(body, sizeof body, "GPGGA,1200%02d,4800.000,N,01100.000,E,1,%02d,0.9,%d0.0,M,,M,,", m, m, m);
            feedNmea(nmeaLine(body) + nmeaLine(body));
        }
        waitUntilTaken(rmcPending);
        waitUntilTaken(ggaPending);
        done.store(true);
    });
    // Main loop: consecutive sentences of one type differ (the number counts up modulo 60), so a
    // change of value is the next sentence taken, and it must be the one after the last. The
    // first broken tie or gap ends the loop (the reader then stops too) with that one failure.
    int rmcTaken = 0, ggaTaken = 0;
    long lastMinutes = -1;
    int lastSatellites = 0;
    bool ok = true;
    for (bool last = false; !last && ok;) {
        last = done.load();
        if (pendingOf(rmcPending) == 0 && pendingOf(ggaPending) == 0) std::this_thread::yield();
        runPendingGpsHandlers();
        if (gpsLatitude != 0) {
            const long latMinutes = std::lround((gpsLatitude - 48) * 60);
            const long lonMinutes = std::lround((gpsLongitude - 11) * 60);
            const int speed = static_cast<int>(std::trunc(static_cast<float>(latMinutes) * 1.15077945f));
            if (latMinutes != lonMinutes || gpsGroundSpeed != speed) {
                ADD_FAILURE() << "RMC read half written: " << latMinutes << " " << lonMinutes << " " << gpsGroundSpeed;
                ok = false;
            }
            if (latMinutes != lastMinutes) {
                ++rmcTaken;
                lastMinutes = latMinutes;
                if (latMinutes != rmcTaken % 60) {
                    ADD_FAILURE() << "RMC number " << rmcTaken << " carried " << latMinutes;
                    ok = false;
                }
            }
        }
        if (gpsAltitudeMetres != gpsSatellitesUsed * 10) {
            ADD_FAILURE() << "GGA read half written: " << gpsAltitudeMetres << " " << int(gpsSatellitesUsed);
            ok = false;
        }
        if (gpsSatellitesUsed != lastSatellites) {
            ++ggaTaken;
            lastSatellites = gpsSatellitesUsed;
            if (lastSatellites != ggaTaken % 60) {
                ADD_FAILURE() << "GGA number " << ggaTaken << " carried " << lastSatellites;
                ok = false;
            }
        }
    }
    if (!ok) stuck.store(true);  // the reader gives up at its next wait
    reader.join();
    ASSERT_TRUE(ok);
    EXPECT_FALSE(stuck.load()) << "a slot was never handed back";
    EXPECT_EQ(rmcTaken, kSentences);
    EXPECT_EQ(ggaTaken, kSentences);
    EXPECT_EQ(pendingOf(rmcPending) + pendingOf(ggaPending), 0);
}

}  // namespace
