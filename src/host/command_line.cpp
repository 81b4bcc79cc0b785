// Options of corvex-ems-sim, parsed with QCommandLineParser; files and folders must exist.
#include "host/command_line.h"

#include <QAction>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "device.h"
#include "host/flight_sim_tab.h"
#include "host/gps_tab.h"
#include "host/main_window.h"
#include "host/trends_tab.h"

CommandLineResult parseWindowCommandLine(const QStringList& given, WindowOptions& options, QString& message)
{
    // --flightgear takes an optional value, which the parser cannot: a following word that is a
    // port or ADDRESS:PORT is its value.
    QStringList arguments;
    for (qsizetype i = 0; i < given.size(); ++i) {
        if (i > 0 && (given[i] == "--flightgear" || given[i].startsWith("--flightgear="))) {
            options.flightgear = true;
            if (given[i].startsWith("--flightgear=")) {
                options.flightgearAt = given[i].mid(13);
            } else if (i + 1 < given.size() && !given[i + 1].startsWith('-') &&
                       (given[i + 1].contains(':') || given[i + 1].toUInt() > 0)) {
                options.flightgearAt = given[++i];
            }
            continue;
        }
        arguments << given[i];
    }
    QCommandLineParser parser;
    parser.setApplicationDescription("The Corvex EMS simulator's window.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption version({"v", "version"}, "Shows the program's version.");
    const QCommandLineOption memory("memory", "Keeps the instrument's memory in FILE.", "FILE");
    const QCommandLineOption sdcard("sdcard", "Uses the folder DIR as the SD card.", "DIR");
    const QCommandLineOption on("on", "Switches the instrument on at start.");
    const QCommandLineOption zoom("zoom", "Display zoom: 1, 2, 3 or fit.", "N");
    const QCommandLineOption play("play", "Plays a scenario script in the window.", "SCRIPT");
    const QCommandLineOption nmea("nmea", "Plays an NMEA log to the GPS receiver.", "FILE");
    const QCommandLineOption port("port", "Connects the GPS receiver to the serial port PATH.", "PATH");
    const QCommandLineOption recording("recording", "Shows the recording FILE (a DATALOG.CSV) on the Trends tab.", "FILE");
    const QCommandLineOption flightgear("flightgear",
                                        "Listens for FlightGear's corvex-ems packets at start, on PORT or ADDRESS:PORT "
                                        "if given (127.0.0.1:5500).");
    const QCommandLineOption flightgearMap("flightgear-map", "Maps FlightGear's fields to the inputs with FILE.", "FILE");
    const QCommandLineOption drawEveryPass("draw-every-pass",
                                           "Draws every pass, not only those whose frame is shown (for checking).");
    parser.addOptions({help, version, memory, sdcard, on, zoom, play, nmea, port, recording, flightgear, flightgearMap,
                       drawEveryPass});

    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return CommandLineResult::Error;
    }
    if (parser.isSet(help)) {
        // Before the application exists Qt knows no program name; the help names it.
        message = parser.helpText();
        const qsizetype end = message.indexOf(" [options]");
        if (message.startsWith("Usage: ") && end > 7) message.replace(7, end - 7, "corvex-ems-sim");
        return CommandLineResult::Exit;
    }
    if (parser.isSet(version)) {
        message = "corvex-ems-sim " CORVEX_VERSION "\n";
        return CommandLineResult::Exit;
    }
    if (!parser.positionalArguments().isEmpty()) {
        message = "unexpected argument: " + parser.positionalArguments().first();
        return CommandLineResult::Error;
    }
    const auto existing = [&](const QCommandLineOption& option, bool folder, QString& into) {
        if (!parser.isSet(option)) return true;
        into = parser.value(option);
        const QFileInfo info(into);
        if (folder ? info.isDir() : info.isFile()) return true;
        message = QString("--%1: %2 %3").arg(option.names().first(), folder ? "no folder" : "no file", into);
        return false;
    };
    if (!existing(sdcard, true, options.sdcard) || !existing(play, false, options.play) ||
        !existing(nmea, false, options.nmea) || !existing(flightgearMap, false, options.flightgearMap))
        return CommandLineResult::Error;
    // The memory file may be new (its folder is made when it is first written).
    if (parser.isSet(memory)) {
        options.memory = parser.value(memory);
        if (options.memory.isEmpty() || QFileInfo(options.memory).isDir()) {
            message = "--memory: cannot keep a file at " + options.memory;
            return CommandLineResult::Error;
        }
    }
    if (parser.isSet(port)) {
        options.port = parser.value(port);
        if (options.port.contains('/') && !QFileInfo::exists(options.port)) {
            message = "--port: no device " + options.port;
            return CommandLineResult::Error;
        }
    }
    if (parser.isSet(zoom)) {
        const QString z = parser.value(zoom).toLower();
        options.zoom = z == "fit" ? 0 : z == "1" ? 1 : z == "2" ? 2 : z == "3" ? 3 : -1;
        if (options.zoom < 0) {
            message = "--zoom: want 1, 2, 3 or fit, not " + parser.value(zoom);
            return CommandLineResult::Error;
        }
    }
    if (options.flightgear && !options.flightgearAt.isEmpty()) {
        const QString at = options.flightgearAt;
        const qsizetype colon = at.lastIndexOf(':');
        const uint number = at.mid(colon + 1).toUInt();
        if (number == 0 || number > 65535) {
            message = "--flightgear: want PORT or ADDRESS:PORT, not " + at;
            return CommandLineResult::Error;
        }
    }
    if (parser.isSet(recording)) {
        options.recording = parser.value(recording);
        options.recordingRead = std::make_shared<Recording>();
        if (!readRecordingFile(QFile::encodeName(options.recording).toStdString(), *options.recordingRead)) {
            message = "--recording: cannot read " + options.recording;
            return CommandLineResult::Error;
        }
        if (options.recordingRead->sessions.empty()) {
            message = "--recording: no data line in " + options.recording;
            return CommandLineResult::Error;
        }
    }
    options.powerOn = parser.isSet(on);
    options.drawEveryPass = parser.isSet(drawEveryPass);
    return CommandLineResult::Run;
}

void applyWindowOptions(TfrmMain& window, const WindowOptions& options)
{
    deviceDrawEveryPass = options.drawEveryPass;
    if (options.zoom >= 0) window.setZoom(static_cast<TfrmMain::Zoom>(options.zoom));
    if (options.powerOn) window.powerToggle()->trigger();
    if (!options.port.isEmpty()) window.gps()->connectPort(options.port);
    if (!options.nmea.isEmpty()) window.gps()->playFile(options.nmea);
    if (!options.flightgearMap.isEmpty()) window.flightSim()->setMapFile(options.flightgearMap);
    if (options.flightgear) {
        if (!options.flightgearAt.isEmpty()) window.flightSim()->setAddress(options.flightgearAt);
        window.flightSim()->setListening(true);
    }
    if (!options.play.isEmpty()) window.playScenario(options.play);
    if (options.recordingRead && window.trends()->showRecording(std::move(*options.recordingRead), options.recording))
        window.tabs()->setCurrentWidget(window.trends());
}
