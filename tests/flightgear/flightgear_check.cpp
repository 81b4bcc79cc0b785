// corvex-flightgear-check SECONDS [PORT [NMEA_PORT [GPS_PNG]]]: the instrument without a window,
// linked to a running FlightGear over UDP (127.0.0.1:PORT, 5500, its engine values;
// 127.0.0.1:NMEA_PORT, PORT + 1, its NMEA sentences) for SECONDS of real time from the first packet
// with the engine running (waiting up to 15 minutes for it), the c172p's engine set up.
// Each packet sets the inputs as the window's link does and the instrument runs a pass per
// millisecond of real time in between. Before each packet the readings are compared with the
// previous packet's values (the instrument has had that packet's inputs since): RPM within 1 %,
// EGT, CHT, oil temperature and pressure within the step of their input (a thermocouple count is a
// degree C, 1.8 F) plus one for the display's rounding, fuel flow within 0.2 gal/h, both tanks'
// levels within 0.1 gal. From a minute after the engine runs (at cruise) to the end no alarm may
// be announced.
// The NMEA datagrams go through the window's network line-end repair into the receiver, byte by
// byte as the runner's nmea command feeds it; at the end the GPS values must be the last $GPRMC's
// (position within 0.00002 degrees, ground speed and track within the one whole knot or degree
// the instrument keeps) with a valid fix, and the GPS page is written to GPS_PNG if given.
// Prints one line per quantity and exits 1 when any comparison failed or fewer than 30 packets
// came. Used by scripts/corvex flightgear-check.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <sstream>
#include <string>

#include "device_readings.h"
#include "engine/alarm_messages.h"
#include "engine/engine.h"
#include "engine/fuel.h"
#include "engine/inputs.h"
#include "engine/senders.h"
#include "engine/thermocouples.h"
#include "gps/gps.h"
#include "gps/nmea.h"
#include "links/flightgear.h"
#include "links/nmea_net.h"
#include "scenario/scenario.h"
#include "time/clock.h"

namespace {

struct Check {
    const char* name;
    int samples = 0, within = 0;
    double worst = 0;
    void add(double shown, double flown, double tolerance)
    {
        ++samples;
        const double off = std::fabs(shown - flown);
        if (off <= tolerance) ++within;
        worst = std::max(worst, off);
    }
};

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The reading one count more or less changes at a position, and one for the rounding.
int32_t senderStep(InputControl id, int32_t position)
{
    const auto here = settledValue(id, position), up = settledValue(id, position + 1), down = settledValue(id, position - 1);
    int32_t step = 1;
    if (here && up) step = std::max(step, std::abs(*up - *here));
    if (here && down) step = std::max(step, std::abs(*down - *here));
    return step + 1;
}

int listenUdp(int port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<uint16_t>(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d: %s\n", port, std::strerror(errno));
        std::exit(2);
    }
    return fd;
}

// A $GPRMC line's position, ground speed and track.
struct Rmc {
    bool valid = false, fix = false;
    double latitude = 0, longitude = 0, knots = 0, track = 0;
};

Rmc parseRmc(const std::string& line)
{
    Rmc r;
    char status = 0, northSouth = 0, eastWest = 0;
    double latitude = 0, longitude = 0;
    if (std::sscanf(line.c_str(), "$GPRMC,%*[^,],%c,%lf,%c,%lf,%c,%lf,%lf", &status, &latitude, &northSouth, &longitude,
                    &eastWest, &r.knots, &r.track) != 7)
        return r;
    const auto degrees = [](double v, char side) {
        const double d = std::trunc(v / 100) + std::fmod(v, 100) / 60;
        return side == 'S' || side == 'W' ? -d : d;
    };
    r = {true, status == 'A', degrees(latitude, northSouth), degrees(longitude, eastWest), r.knots, r.track};
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvex-flightgear-check SECONDS [PORT [NMEA_PORT [GPS_PNG]]]\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const int port = argc > 2 ? std::atoi(argv[2]) : 5500;
    const int nmeaPort = argc > 3 ? std::atoi(argv[3]) : port + 1;
    const char* gpsPng = argc > 4 ? argv[4] : nullptr;

    std::istringstream setup("include c172p.scn\nset gpsMode 1\n");
    ScenarioOptions options;
    options.scriptDir = CORVEX_SOURCE_DIR "/data/flightgear";
    std::ostringstream out;
    std::string error;
    if (!runScenario(setup, options, out, error)) {
        std::fprintf(stderr, "c172p.scn: %s\n", error.c_str());
        return 2;
    }

    const int fd = listenUdp(port);
    const int nmeaFd = listenUdp(nmeaPort);

    Check checks[] = {{"RPM (1 %)"}, {"EGT (input step)"}, {"CHT (input step)"}, {"oil temperature (sender step)"},
                      {"oil pressure (sender step)"}, {"fuel flow (0.2 gal/h)"}, {"fuel level 1 (0.1 gal)"},
                      {"fuel level 2 (0.1 gal)"}};
    constexpr auto kCruiseAfter = std::chrono::seconds(60);  // from then on no alarm may be announced
    uint32_t announcedInCruise = 0;
    int cruiseSamples = 0;
    SimulatedHost host;
    flightgear::Packet packet, previous;
    flightgear::Inputs inputs;
    bool havePrevious = false;
    int packets = 0;
    double linkCpuMs = 0, firstCpuMs = 0;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point opened = Clock::now();
    Clock::time_point ran = opened;
    bool running = false;
    Clock::time_point start = opened;  // the first packet with the engine running
    char buffer[flightgear::kMaxPacketBytes + 1];
    // The NMEA side: the repair the window's network sources use, the last $GPRMC line as
    // FlightGear sent it (less its line end), and the receiver's counts.
    LineEndRepair lineEnds;
    std::string repaired, line, lastRmc;
    repaired.reserve(4096);
    line.reserve(256);
    lastRmc.reserve(256);
    char nmeaBuffer[4096];
    int datagrams = 0, accepted = 0, acceptedRmc = 0;
    size_t repairedLineEnds = 0;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (running ? now - start > std::chrono::duration<double>(seconds) : now - opened > std::chrono::minutes(15)) break;
        pollfd p[2] = {{fd, POLLIN, 0}, {nmeaFd, POLLIN, 0}};
        const int ready = poll(p, 2, 20);
        // The instrument keeps pace with real time.
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - ran).count();
        host.advanceMs(static_cast<uint64_t>(ms), true);
        ran += std::chrono::milliseconds(ms);
        if (ready > 0 && (p[1].revents & POLLIN) != 0) {
            const ssize_t size = recv(nmeaFd, nmeaBuffer, sizeof nmeaBuffer, 0);
            if (size > 0) {
                ++datagrams;
                repaired.clear();
                repairedLineEnds += lineEnds.repair(std::string_view(nmeaBuffer, static_cast<size_t>(size)), repaired);
                for (const char ch : repaired) {
                    if (ch == '\n') {
                        if (line.rfind("$GPRMC,", 0) == 0) lastRmc.assign(line, 0, line.size() - 1);  // less its CR
                        line.clear();
                    } else if (line.size() < 255) {
                        line += ch;
                    }
                    if (!nmeaReceiveByte(static_cast<uint8_t>(ch))) continue;
                    ++accepted;
                    if (std::strncmp(nmeaAcceptedSentence(), "GPRMC,", 6) == 0) ++acceptedRmc;
                }
            }
        }
        if (ready <= 0 || (p[0].revents & POLLIN) == 0) continue;
        const ssize_t size = recv(fd, buffer, sizeof buffer, 0);
        const double cpuBefore = threadCpuMs();
        if (size <= 0 || !flightgear::parsePacket(std::string_view(buffer, static_cast<size_t>(size)), packet)) continue;
        ++packets;
        if (!running && packet.present[1] && packet.values[1] > 500) {
            running = true;
            start = now;
        }
        // Compared once the engine runs and the readings have had 10 s to come up.
        if (running && havePrevious && previous.values[1] > 500 && now - start > std::chrono::seconds(10)) {
            checks[0].add(rpm, previous.values[1], previous.values[1] * 0.01);
            checks[1].add(tc[0], previous.values[3], senderStep(InputControl::Tc1, tcInput[0]));
            checks[2].add(tc[4], previous.values[4], senderStep(InputControl::Tc5, tcInput[4]));
            checks[3].add(tempValue[0], previous.values[5], senderStep(InputControl::Input1, rawAnalog[0]));
            checks[4].add(pressureValue[1], previous.values[6], senderStep(InputControl::Input2, rawAnalog[1]));
            checks[5].add(fuelFlow[0] / 10.0, previous.values[7], 0.2);
            checks[6].add(fuelLevel[0] / 10.0, previous.values[15], 0.1);  // tenths of a gallon
            checks[7].add(fuelLevel[1] / 10.0, previous.values[16], 0.1);
        }
        if (running && now - start > kCruiseAfter) {
            ++cruiseSamples;
            announcedInCruise |= alarmAnnounced;
        }
        flightgear::inputsForPacket(flightgear::defaultMap(), packet, inputs);
        flightgear::applyInputs(inputs);
        // The link's own work: the first packet also fills the conversion tables.
        (packets == 1 ? firstCpuMs : linkCpuMs) += threadCpuMs() - cpuBefore;
        previous = packet;
        havePrevious = true;
    }
    close(fd);
    close(nmeaFd);
    // The sentences of the last datagram to their handlers.
    host.advanceMs(10, true);

    bool ok = packets >= 30 && running;
    std::printf("packets received: %d, %.0f s with the engine running%s\n", packets, seconds,
                running ? "" : " (it never ran: no check)");
    std::printf("last packet: RPM %.1f, EGT %.1f F, CHT %.1f F, oil %.1f F at %.1f psi, flow %.2f gal/h\n",
                previous.values[1], previous.values[3], previous.values[4], previous.values[5], previous.values[6],
                previous.values[7]);
    std::printf("instrument:  RPM %d, EGT %d F, CHT %d F, oil %d F at %d psi, flow %.1f gal/h\n", static_cast<int>(rpm),
                tc[0], tc[4], tempValue[0], pressureValue[1], fuelFlow[0] / 10.0);
    for (const Check& c : checks) {
        const bool pass = c.samples > 0 && c.within == c.samples;
        ok = ok && pass;
        std::printf("%-32s %s: %d of %d samples within, worst off by %.2f\n", c.name, pass ? "ok" : "FAILED", c.within,
                    c.samples, c.worst);
    }
    // The alarms announced at cruise, by their texts as the pop-up shows them.
    std::string texts;
    if (announcedInCruise != 0) {
        const uint32_t now = alarmAnnounced;
        alarmAnnounced = announcedInCruise;
        AlarmLine lines[ALARM_LINE_LIMIT];
        const int n = announcedAlarmLines(lines);
        for (int i = 0; i < n; ++i) texts += std::string(i ? ", " : "") + lines[i].text;
        alarmAnnounced = now;
    }
    const bool quiet = cruiseSamples > 0 && announcedInCruise == 0;
    ok = ok && quiet;
    std::printf("%-32s %s: %d samples from %lld s on, announced: %s\n", "no alarm at cruise", quiet ? "ok" : "FAILED",
                cruiseSamples, static_cast<long long>(kCruiseAfter.count()), texts.empty() ? "none" : texts.c_str());
    std::printf("tanks: last packet %.2f and %.2f gal, instrument %.1f and %.1f gal\n", previous.values[15],
                previous.values[16], fuelLevel[0] / 10.0, fuelLevel[1] / 10.0);
    if (packets > 1)
        std::printf("link cost: %.1f ms CPU for the first packet (tables), then %.3f ms a packet: %.2f %% of a core at 10 packets/s\n",
                    firstCpuMs, linkCpuMs / (packets - 1), linkCpuMs / (packets - 1) * 10 / 1000 * 100);

    const Rmc sent = parseRmc(lastRmc);
    std::printf("NMEA datagrams received: %d, sentences accepted: %d (%d $GPRMC), line ends repaired: %zu\n",
                datagrams, accepted, acceptedRmc, repairedLineEnds);
    std::printf("last $GPRMC: %s\n", lastRmc.empty() ? "(none)" : lastRmc.c_str());
    std::printf("instrument:  gpsDataReceived %d, gpsFixValid %d, %.6f %.6f, %d kt, track %d\n",
                gpsDataReceived, gpsFixValid, gpsLatitude, gpsLongitude, gpsGroundSpeed, gpsTrack);
    const double trackOff = std::fabs(std::remainder(gpsTrack - sent.track, 360.0));
    const bool gpsOk = sent.valid && sent.fix && acceptedRmc > 0 && gpsDataReceived == 1 && gpsFixValid == 1 &&
                       std::fabs(gpsLatitude - sent.latitude) <= 2e-5 &&
                       std::fabs(gpsLongitude - sent.longitude) <= 2e-5 && std::fabs(gpsGroundSpeed - sent.knots) < 1 &&
                       trackOff < 1;
    std::printf("%-32s %s: off by %.6f and %.6f degrees, %.2f kt, track %.2f degrees\n",
                "GPS position, speed and track", gpsOk ? "ok" : "FAILED", std::fabs(gpsLatitude - sent.latitude),
                std::fabs(gpsLongitude - sent.longitude), std::fabs(gpsGroundSpeed - sent.knots), trackOff);
    ok = ok && gpsOk;
    if (gpsPng) {
        // The GPS page (the third home page; the engine's alarms take the keys) through the
        // runner's screenshot, its clock where this run's stands.
        const DateTime t = secondsToDateTime(host.utcNow());
        char clock[48];
        std::snprintf(clock, sizeof clock, "clock %04d-%02d-%02dT%02d:%02d:%02dZ\n", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        std::istringstream page(clock + std::string("set homePage 2\npass 2\nscreenshot ") + gpsPng + "\n");
        ScenarioOptions pageOptions;
        if (runScenario(page, pageOptions, out, error))
            std::printf("GPS page: %s\n", gpsPng);
        else
            std::printf("GPS page: not written (%s)\n", error.c_str());
    }
    std::printf("%s\n", ok ? "flightgear-check: passed" : "flightgear-check: FAILED");
    return ok ? 0 : 1;
}
