// The window program's command line: what to do at start, checked before any window opens.
#pragma once
#include <QString>
#include <QStringList>

#include <memory>

#include "trends/recording.h"

struct WindowOptions {
    QString memory;   // --memory FILE: the instrument's memory file ("" = the data folder's)
    QString sdcard;   // --sdcard DIR
    bool powerOn = false;
    int zoom = -1;    // --zoom 1|2|3|fit (fit = 0); -1 = as last time
    QString play;     // --play SCRIPT
    QString nmea;     // --nmea FILE
    QString port;     // --port PATH
    QString recording;  // --recording FILE, read whole before the window opens
    std::shared_ptr<Recording> recordingRead;
    bool flightgear = false;  // --flightgear [PORT|ADDRESS:PORT]: listen for FlightGear at start
    QString flightgearAt;     // "" = the tab's default, 127.0.0.1:5500
    QString flightgearMap;    // --flightgear-map FILE
    bool drawEveryPass = false;  // --draw-every-pass
};

class TfrmMain;

enum class CommandLineResult { Run, Exit, Error };

// Parses arguments (with the program name first). Exit: --help or --version, with the text to
// print in message; Error: message names the problem.
CommandLineResult parseWindowCommandLine(const QStringList& arguments, WindowOptions& options, QString& message);

// What the options ask of a shown window: power, zoom, the GPS port and log, a scenario, a recording.
void applyWindowOptions(TfrmMain& window, const WindowOptions& options);
