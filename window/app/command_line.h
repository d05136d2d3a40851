// The simulator window's command line: options for the window, the LCD view,
// scenario playback and recording, and the encoder port. Parsed before the
// application object exists, so --help, --version and refusals work without a
// display.
#pragma once
#include <QString>
#include <QStringList>

#include "window/connections/encoder_port.h"

constexpr int ZOOM_MIN = 1;
constexpr int ZOOM_MAX = 4;

struct sim_options {
    int zoom = 1;                 // Qt's scale factor for the whole window
    bool lcd_window = false;      // open the large LCD view at start
    QString play;                 // scenario to play live
    bool exit_when_done = false;  // close when the scenario ends
    QString record;               // scenario file to record into
    QString flight;               // flight log to play, empty for none
    QString serial;               // encoder port, empty for none
    int baud = DEFAULT_BAUD;
    quint16 link_port = 0;        // the flight simulator link's UDP port, 0 for none
    QString link_address = QStringLiteral("127.0.0.1");  // where the link listens
    // --link xplane[:HOST[:PORT]]: X-Plane asked at host:port instead.
    bool link_xplane = false;
    QString xplane_host = QStringLiteral("127.0.0.1");
    quint16 xplane_port = 49000;
    // FlightGear's generic input socket the QNH goes back to.
    QString link_qnh_address = QStringLiteral("127.0.0.1");
    quint16 link_qnh_port = 5506;
    QString link_record;  // file the link's values are recorded into, empty for none
    QString control;      // the control socket's path, empty for none
};

enum class command_line_result {
    run,       // options in sim_options; open the window
    finished,  // --help or --version printed; exit 0
    refused,   // message printed; exit 2
};

// Exit status for a refused command line.
constexpr int COMMAND_LINE_REFUSED = 2;

// Parses arguments (argv as a list, program name first). Prints the help or
// version on standard output, a refusal (one line and the usage) on standard
// error.
command_line_result parse_sim_command_line(const QStringList& arguments, sim_options& options);
