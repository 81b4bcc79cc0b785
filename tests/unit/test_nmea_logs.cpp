// Real receiver logs through the scenario runner's nmea command: a line per pass ends on the values
// of the log's last fix; fed at once, the first sentence of each type is the one used.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "device.h"
#include "gps/gps.h"
#include "log_test_support.h"
#include "nmea_test_support.h"
#include "scenario/scenario.h"
#include "script_support.h"
#include "time/sun.h"

namespace {

const std::string kLogs = std::string(CORVEX_SOURCE_DIR) + "/tests/data/nmea/";

ScriptRun run(const std::string& script) { return runScript(script, kLogs); }

// Power on and end both notices with a key, so that the next pass is a main-loop pass.
const std::string kRunning = "power on\nkey 1\npass 1\nkey 1\npass 1\n";

struct LastFix {
    const char* file;
    int16_t manualVariation;  // the log's own variation, whole degrees east
    uint8_t fixValid, fixType;
    float latitude, longitude;
    int16_t track, magneticTrack;
    int32_t metres, feet;
    uint8_t used;
    uint8_t usedPrn[12];
    float pdop, hdop, vdop;
    uint8_t inView;
    uint8_t prn[16], snr[16];
    int spotEntry, spotElevation, spotAzimuth;
};

const LastFix kLastFixes[] = {
    // 3D fix after four sentences without; 11 satellites in three GSV messages.
    {"bn-9015.log", 0, 1, 3, 52.0141900f, 4.3630850f, 0, 0, 7, 25, 9,
     {14, 30, 12, 9, 29, 2, 27, 4, 31}, 1.8f, 0.9f, 1.5f, 11,
     {12, 30, 14, 9, 29, 2, 27, 4, 31, 32, 20},
     {33, 38, 33, 26, 26, 27, 28, 37, 30, 0, 0}, 10, 2, 354},
    // Simulator mode: RMC status V, but the GSA that follows in the same pass reports a 3D fix.
    {"GPSmap-76S.log", -10, 1, 3, 38.9084783f, -77.4408717f, 0, 10, 268, 881, 10,
     {3, 7, 8, 11, 13, 16, 19, 23, 24, 28}, 3.6f, 2.0f, 3.0f, 10,
     {3, 7, 8, 11, 13, 16, 19, 23, 24, 28},
     {46, 49, 45, 45, 46, 43, 50, 37, 35, 37}, 9, 9, 271},
    // Signal loss with empty RMC and GGA on the way; 2D fix; a fifth GSV message was dropped.
    {"quectel.log", 18, 1, 2, -36.7459914f, 174.7345484f, 301, 283, 56, 184, 8,
     {3, 6, 7, 11, 19, 22, 28, 30}, 1.3f, 1.0f, 0.8f, 16,
     {3, 6, 7, 11, 15, 19, 22, 28, 30, 1, 13, 17, 24, 33, 44, 46},
     {40, 39, 50, 40, 30, 30, 44, 31, 55, 0, 0, 0, 0, 34, 40, 50}, 8, 46, 8},
    // Seven decimals of minutes; PRN 193 in the last GSV message.
    {"skytraq-fix.log", 15, 1, 3, 44.0687299f, -121.3141208f, 159, 144, 1132, 3715, 5,
     {28, 9, 11, 17, 1}, 9.4f, 5.6f, 7.5f, 14,
     {30, 28, 7, 13, 51, 11, 8, 17, 5, 9, 15, 1, 20, 193},
     {14, 21, 28, 16, 34, 27, 15, 40, 0, 27, 0, 16, 0, 0}, 13, 0, 293},
};

TEST(NmeaLogs, ALinePerPassEndsOnTheLastFix)
{
    for (const LastFix& log : kLastFixes) {
        const ScriptRun r = run(kRunning + "set gpsVariationMode 1\nset gpsManualVariation " +
                                std::to_string(log.manualVariation) + "\nnmea " + log.file + " 1\n");
        ASSERT_TRUE(r.ok) << log.file << ": " << r.error;
        ASSERT_EQ(devicePhase, DevicePhase::Running) << log.file;
        EXPECT_EQ(gpsDataReceived, 1) << log.file;
        EXPECT_EQ(gpsFixValid, log.fixValid) << log.file;
        EXPECT_EQ(gpsFixType, log.fixType) << log.file;
        EXPECT_FLOAT_EQ(gpsLatitude, log.latitude) << log.file;
        EXPECT_FLOAT_EQ(gpsLongitude, log.longitude) << log.file;
        EXPECT_EQ(gpsGroundSpeed, 0) << log.file;
        EXPECT_EQ(gpsTrack, log.track) << log.file;
        EXPECT_EQ(gpsMagneticTrack, log.magneticTrack) << log.file;
        EXPECT_EQ(gpsAltitudeMetres, log.metres) << log.file;
        EXPECT_EQ(gpsAltitudeFeet, log.feet) << log.file;
        EXPECT_EQ(gpsSatellitesUsed, log.used) << log.file;
        for (int k = 0; k < 16; ++k) EXPECT_EQ(gpsUsedPrn[k], k < 12 ? log.usedPrn[k] : 0) << log.file << " " << k;
        EXPECT_FLOAT_EQ(gpsPdop, log.pdop) << log.file;
        EXPECT_FLOAT_EQ(gpsHdop, log.hdop) << log.file;
        EXPECT_FLOAT_EQ(gpsVdop, log.vdop) << log.file;
        EXPECT_EQ(gpsSatellitesInView, log.inView) << log.file;
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(gpsSatellites[i].prn, log.prn[i]) << log.file << " entry " << i;
            EXPECT_EQ(gpsSatellites[i].snr, log.snr[i]) << log.file << " entry " << i;
        }
        EXPECT_EQ(gpsSatellites[log.spotEntry].elevation, log.spotElevation) << log.file;
        EXPECT_EQ(gpsSatellites[log.spotEntry].azimuth, log.spotAzimuth) << log.file;
        EXPECT_EQ(rmcPending + ggaPending + gsaPending + gsvPending, 0) << log.file;
    }
}

TEST(NmeaLogs, FedAtOnceTheFirstSentenceOfEachTypeIsUsed)
{
    // Received while the instrument is off: the parked sentences wait for the first main-loop pass.
    const ScriptRun r = run("nmea bn-9015.log\n" + kRunning +
                            "print rmcPending gpsFixValid gpsAltitudeMetres gpsSatellitesUsed gpsSatellitesInView "
                            "gpsSatellites.prn gpsLatitude\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(gpsDataReceived, 1);
    // $GPGGA,170958.972,...,0,00,0.0,48.8,M  $GPGSA,A,1  $GPGSV,3,1,11,12,..,30,..,14,..,09  $GPRMC,...,V,5200.8499
    EXPECT_EQ(gpsFixValid, 0);
    EXPECT_EQ(gpsFixType, 0);
    EXPECT_EQ(gpsAltitudeMetres, 48);
    EXPECT_EQ(gpsAltitudeFeet, 160);
    EXPECT_FLOAT_EQ(gpsLatitude, 52.0141650f);
    const std::string expected = "rmcPending=0\ngpsFixValid=0\ngpsAltitudeMetres=48\ngpsSatellitesUsed=0\n"
                                 "gpsSatellitesInView=11\n"
                                 "gpsSatellites.prn[0]=12\ngpsSatellites.prn[1]=30\ngpsSatellites.prn[2]=14\n"
                                 "gpsSatellites.prn[3]=9\ngpsSatellites.prn[4]=0\ngpsSatellites.prn[5]=0\n"
                                 "gpsSatellites.prn[6]=0\ngpsSatellites.prn[7]=0\ngpsSatellites.prn[8]=0\n"
                                 "gpsSatellites.prn[9]=0\ngpsSatellites.prn[10]=0\ngpsSatellites.prn[11]=0\n"
                                 "gpsSatellites.prn[12]=0\ngpsSatellites.prn[13]=0\ngpsSatellites.prn[14]=0\n"
                                 "gpsSatellites.prn[15]=0\ngpsLatitude=52.0142\n";
    EXPECT_EQ(r.out, expected);
}

TEST(NmeaLogs, AnyPacingOfEveryLogLeavesConsistentValues)
{
    for (const LastFix& log : kLastFixes) {
        for (const char* pacing : {"", " 2", " 3", " 7", " 50"}) {
            const ScriptRun r = run(kRunning + "nmea " + log.file + pacing + "\npass 1\n");
            ASSERT_TRUE(r.ok) << log.file << pacing << ": " << r.error;
            EXPECT_EQ(gpsDataReceived, 1);
            EXPECT_LE(gpsFixType, 3) << log.file << pacing;
            EXPECT_LE(gpsFixValid, 1) << log.file << pacing;
            EXPECT_GE(gpsTrack, 0);
            EXPECT_LT(gpsTrack, 360);
            EXPECT_GE(gpsMagneticTrack, 0);
            EXPECT_LT(gpsMagneticTrack, 360);
            EXPECT_LE(gpsSatellitesInView, 19) << log.file << pacing;
            for (int i = gpsSatellitesInView; i < 16; ++i) EXPECT_EQ(gpsSatellites[i].prn, 0) << log.file << pacing;
            EXPECT_EQ(rmcPending + ggaPending + gsaPending + gsvPending, 0) << log.file << pacing;
        }
    }
}

TEST(NmeaLogs, AFixReportedBeforeItsPositionWaitsForThePosition)
{
    // The log's first GGA, GLL and GSA (fix type 3) a slow step before their RMC, as a receiver at
    // 4800 baud sends them on a first fix.
    std::istringstream log(logtest::readText(kLogs + "skytraq-fix.log"));
    std::string head, rest;
    for (std::string line; std::getline(log, line);)
        (rest.empty() && head.find("$GPGSA") == std::string::npos ? head : rest) += line + "\n";
    const logtest::fs::path dir = freshCardFolder("fix_before_position_");
    std::ofstream(dir / "head.log") << head;
    std::ofstream(dir / "rest.log") << rest;
    const ScriptRun r = run(kRunning + "sdcard " + dir.string() + "\nset dataRecordingOn 1\nnmea " +
                            (dir / "head.log").string() + " 1\nwait 2\nnmea " + (dir / "rest.log").string() +
                            " 1\nwait 1\n");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(gpsFixValid, 1);
    const float own = autoVariation;
    computeMagneticVariation();
    EXPECT_NEAR(own, autoVariation, 0.01f);
    // No position is recorded before it arrives (no 0 N 0 E), the real one after.
    const auto rows = logtest::parseCsv(logtest::readText(dir / "DATALOG.CSV"));
    ASSERT_EQ(rows.size(), 4u);
    const size_t latitude = rows[0].size() - 4;
    ASSERT_EQ(rows[0][latitude], "LATITUDE (DEG)");
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(rows[i].size(), rows[0].size());
        EXPECT_EQ(rows[i][latitude] + rows[i][latitude + 1] + rows[i][latitude + 2], "") << "line " << i;
    }
    EXPECT_EQ(rows[3][latitude].substr(0, 7), "44.0687");
}

TEST(NmeaLogs, TheRunnersNmeaCommandErrors)
{
    const struct {
        const char* script;
        std::string error;
    } cases[] = {
        {"nmea", "line 1: usage: nmea FILE [LINES]"},
        {"nmea a b c", "line 1: usage: nmea FILE [LINES]"},
        {"\nnmea no-such.log", "line 2: cannot read " + kLogs + "no-such.log"},
        {"nmea .", "line 1: cannot read " + kLogs + "."},
        {"nmea quectel.log 0", "line 1: bad line count: 0"},
        {"nmea quectel.log x", "line 1: bad line count: x"},
    };
    for (const auto& c : cases) {
        const ScriptRun r = run(c.script);
        EXPECT_FALSE(r.ok) << c.script;
        EXPECT_EQ(r.error, c.error) << c.script;
    }
}

TEST(NmeaLogs, AScenarioResetForgetsTheReceiverAndTheGpsValues)
{
    ASSERT_TRUE(run(kRunning + "nmea skytraq-fix.log 1\n").ok);
    ASSERT_NE(gpsSatellitesInView, 0);
    const ScriptRun r = run("print gpsDataReceived gpsFixValid gpsSatellitesInView gpsLatitude gpsSpeedMax nmeaState "
                            "rmcSentence\n");
    EXPECT_EQ(r.out, "gpsDataReceived=0\ngpsFixValid=0\ngpsSatellitesInView=0\ngpsLatitude=0\ngpsSpeedMax=0\n"
                     "nmeaState=0\nrmcSentence=\n");
}

}  // namespace
