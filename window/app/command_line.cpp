#include "window/app/command_line.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHostAddress>

#include <cstdio>

#include <sys/stat.h>

#include "window/connections/control_socket.h"
#include "window/connections/encoder_port.h"
#include "host/version.h"
#include "window/app/window_names.h"

namespace {

// Options Qt itself takes from the command line; accepted here so that they
// reach the application object untouched.
struct qt_option {
    const char* name;
    bool takes_value;
};
constexpr qt_option QT_OPTIONS[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"display", true},  {"geometry", true},           {"qwindowgeometry", true}, {"qwindowtitle", true},
    {"qwindowicon", true}, {"style", true},           {"stylesheet", true},     {"reverse", false},
};

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The parser is used before the application object exists, so it cannot
// know the program's name.
QString help_text(const QCommandLineParser& parser)
{
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QLatin1String(PROGRAM_NAME));
    return text;
}

command_line_result refuse(const QCommandLineParser& parser, const QString& why)
{
    const QString usage = help_text(parser).section(QLatin1Char('\n'), 0, 0);
    print(stderr, QStringLiteral("%1: %2\n%3\nTry \"%1 --help\" for the options.\n")
                      .arg(QLatin1String(PROGRAM_NAME), why, usage));
    return command_line_result::refused;
}

// Qt's parser names an unknown option without its dashes ("bogus"); the
// message names it as it was written ("--bogus", "-x"), without a value
// given with "=".
QString unknown_option_text(const QCommandLineParser& parser, const QStringList& arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    for (qsizetype i = 1; i < arguments.size(); i++) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1Char('-')))
            continue;
        const QString written = argument.section(QLatin1Char('='), 0, 0);
        QString name = written;
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        if (name == unknown.first())
            return QStringLiteral("unknown option \"%1\"").arg(written);
    }
    return parser.errorText();
}

// The encoder port's rates as a list in words: "1200, 2400 or 4800".
QString baud_rates_text()
{
    QStringList rates;
    for (int rate : encoder_baud_rates())
        rates << QString::number(rate);
    const QString last = rates.takeLast();
    return rates.isEmpty() ? last : QStringLiteral("%1 or %2").arg(rates.join(QStringLiteral(", ")), last);
}

// The link's UDP ports.
constexpr int LINK_PORT_MIN = 1;
constexpr int LINK_PORT_MAX = 65535;

// A whole number in low..high, or false.
bool whole_number(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

// "HOST:PORT" (or "HOST", or ":PORT") over the defaults given; false when
// the address or the port is no such thing.
bool address_and_port(const QString& text, QString& address, quint16& port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const QString host = (colon < 0 ? text : text.left(colon)).trimmed();
    if (!host.isEmpty()) {
        if (QHostAddress(host).isNull())
            return false;
        address = host;
    }
    if (colon >= 0) {
        int value = 0;
        if (!whole_number(text.mid(colon + 1), LINK_PORT_MIN, LINK_PORT_MAX, value))
            return false;
        port = quint16(value);
    }
    return true;
}

}  // namespace

command_line_result parse_sim_command_line(const QStringList& arguments, sim_options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The KTR-7 panel instrument simulator: its LCD, keys and knob in a window,\n"
                       "with sliders for the sensors, an alarm lamp and the encoder's Communications\n"
                       "box. "
                       "The scenario language of --play and --record is described in ktr7-replay(1)\n"
                       "and in docs/scenarios.md."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help_option({QStringLiteral("h"), QStringLiteral("help")},
                                         QStringLiteral("Show this help and exit."));
    const QCommandLineOption version_option(QStringLiteral("version"),
                                            QStringLiteral("Show the version and exit."));
    const QCommandLineOption zoom_option(
        QStringLiteral("zoom"), QStringLiteral("Scale the whole window N times, 1..4 (default 1)."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption lcd_window_option(QStringLiteral("lcd-window"),
                                               QStringLiteral("Open the large LCD window at start."));
    const QCommandLineOption play_option(QStringLiteral("play"),
                                         QStringLiteral("Play a scenario in the window, in real time."),
                                         QStringLiteral("SCENARIO"));
    const QCommandLineOption exit_option(
        QStringLiteral("exit-when-done"),
        QStringLiteral("With --play: close when the scenario ends; exit status 0 when it ran and every "
                       "expectation held, 1 when an expectation failed, 2 for a bad line."));
    const QCommandLineOption record_option(
        QStringLiteral("record"), QStringLiteral("Record what is done in the window as a scenario."),
        QStringLiteral("FILE"));
    const QCommandLineOption flight_option(
        QStringLiteral("flight"),
        QStringLiteral("Fly a recorded flight (IGC, GPX, or a log gpsbabel reads) in the window, switching "
                       "the instrument on (docs/flights.md)."),
        QStringLiteral("FILE"));
    const QCommandLineOption serial_option(
        QStringLiteral("serial"),
        QStringLiteral("Send the encoder sentences to a serial port (8N1, no flow control)."),
        QStringLiteral("PORT"));
    const QCommandLineOption baud_option(
        QStringLiteral("baud"),
        QStringLiteral("The port's baud rate: %1 (default %2).").arg(baud_rates_text()).arg(DEFAULT_BAUD),
        QStringLiteral("RATE"), QString::number(DEFAULT_BAUD));
    const QCommandLineOption link_option(
        QStringLiteral("link"),
        QStringLiteral("Listen for FlightGear's lines on this UDP port (1..65535; the protocol files and the "
                       "line: docs/link.md), or xplane[:HOST[:PORT]] to subscribe to X-Plane (default "
                       "127.0.0.1:49000) from a port of this window's own."),
        QStringLiteral("PORT"));
    const QCommandLineOption link_qnh_option(
        QStringLiteral("link-qnh"),
        QStringLiteral("With --link PORT: FlightGear's generic input socket the QNH goes back to "
                       "(default 127.0.0.1:5506)."),
        QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption link_record_option(
        QStringLiteral("link-record"),
        QStringLiteral("With --link: write what the link takes to FILE, one line each (for ktr7-replay --link)."),
        QStringLiteral("FILE"));
    const QCommandLineOption link_address_option(
        QStringLiteral("link-address"),
        QStringLiteral("With --link: the address to listen on (default 127.0.0.1, this computer only)."),
        QStringLiteral("ADDRESS"), options.link_address);
    const QCommandLineOption control_option(
        QStringLiteral("control"),
        QStringLiteral("Take scenario lines from one client at a time on this Unix-domain socket (a name without "
                       "'/' is made in $XDG_RUNTIME_DIR), each run in the window and answered in lines ending "
                       "with \"ok\" or \"error N: message\"."),
        QStringLiteral("SOCKET"));
    parser.addOptions({help_option, version_option, zoom_option, lcd_window_option, play_option, exit_option,
                       record_option, flight_option, serial_option, baud_option, link_option, link_address_option,
                       link_qnh_option, link_record_option, control_option});
    for (const qt_option& qt : QT_OPTIONS) {
        QCommandLineOption pass_through(QString::fromLatin1(qt.name));
        if (qt.takes_value)
            pass_through.setValueName(QStringLiteral("VALUE"));
        pass_through.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(pass_through);
    }

    if (!parser.parse(arguments))
        return refuse(parser, unknown_option_text(parser, arguments));
    if (parser.isSet(help_option)) {
        print(stdout, help_text(parser));
        return command_line_result::finished;
    }
    if (parser.isSet(version_option)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(QLatin1String(PROGRAM_NAME), QStringLiteral(KTR7_VERSION)));
        return command_line_result::finished;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(parser, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    if (!whole_number(parser.value(zoom_option), ZOOM_MIN, ZOOM_MAX, options.zoom))
        return refuse(parser, QStringLiteral("--zoom takes a whole number from 1 to 4, not \"%1\"")
                                  .arg(parser.value(zoom_option)));
    options.lcd_window = parser.isSet(lcd_window_option);
    options.play = parser.value(play_option);
    options.exit_when_done = parser.isSet(exit_option);
    options.record = parser.value(record_option);
    if (parser.isSet(play_option) && options.play.isEmpty())
        return refuse(parser, QStringLiteral("--play needs a scenario file"));
    if (options.exit_when_done && options.play.isEmpty())
        return refuse(parser, QStringLiteral("--exit-when-done goes with --play"));
    if (parser.isSet(record_option) && options.record.isEmpty())
        return refuse(parser, QStringLiteral("--record needs a file name"));
    options.flight = parser.value(flight_option);
    if (parser.isSet(flight_option) && options.flight.isEmpty())
        return refuse(parser, QStringLiteral("--flight needs a flight log"));

    options.serial = parser.value(serial_option);
    if (parser.isSet(serial_option) && options.serial.trimmed().isEmpty())
        return refuse(parser, QStringLiteral("--serial needs a port, such as /dev/ttyUSB0"));
    const QString baud = parser.value(baud_option);
    bool baud_ok = false;
    options.baud = baud.toInt(&baud_ok);
    if (!baud_ok || !encoder_baud_rates().contains(options.baud))
        return refuse(parser, QStringLiteral("--baud takes %1, not \"%2\"").arg(baud_rates_text(), baud));
    if (parser.isSet(baud_option) && options.serial.isEmpty())
        return refuse(parser, QStringLiteral("--baud goes with --serial"));
    int link_port = 0;
    const QString link = parser.value(link_option).trimmed();
    const QLatin1String xplane("xplane");
    if (link == xplane || link.startsWith(QStringLiteral("xplane:"))) {
        options.link_xplane = true;
        if (link != xplane && !address_and_port(link.mid(xplane.size() + 1), options.xplane_host, options.xplane_port))
            return refuse(parser, QStringLiteral("--link xplane takes xplane:HOST:PORT, such as "
                                                 "xplane:127.0.0.1:49000, not \"%1\"")
                                      .arg(link));
        if (parser.isSet(link_address_option) || parser.isSet(link_qnh_option))
            return refuse(parser, QStringLiteral("--link-address and --link-qnh go with FlightGear's --link PORT"));
    } else if (parser.isSet(link_option) && !whole_number(link, LINK_PORT_MIN, LINK_PORT_MAX, link_port)) {
        return refuse(parser, QStringLiteral("--link takes a UDP port from 1 to 65535 or xplane:HOST:PORT, not \"%1\"")
                                  .arg(parser.value(link_option)));
    }
    options.link_port = quint16(link_port);
    if (parser.isSet(link_qnh_option) &&
        !address_and_port(parser.value(link_qnh_option), options.link_qnh_address, options.link_qnh_port))
        return refuse(parser, QStringLiteral("--link-qnh takes ADDRESS:PORT, such as 127.0.0.1:5506, not \"%1\"")
                                  .arg(parser.value(link_qnh_option)));
    if ((parser.isSet(link_qnh_option) || parser.isSet(link_record_option)) && !parser.isSet(link_option))
        return refuse(parser, QStringLiteral("--link-qnh and --link-record go with --link"));
    options.link_record = parser.value(link_record_option);
    options.link_address = parser.value(link_address_option).trimmed();
    if (parser.isSet(link_address_option) && !parser.isSet(link_option))
        return refuse(parser, QStringLiteral("--link-address goes with --link"));
    if (QHostAddress(options.link_address).isNull())
        return refuse(parser, QStringLiteral("--link-address takes an IP address such as 127.0.0.1, not \"%1\"")
                                  .arg(options.link_address));
    if (parser.isSet(control_option)) {
        QString why;
        options.control = ControlSocket::socket_path(parser.value(control_option).trimmed(), why);
        if (options.control.isEmpty())
            return refuse(parser, why);
    }
    // The port last: the values are all checked before a device is opened to
    // look at it.
    if (!options.serial.isEmpty()) {
        const QString device = EncoderPort::device_path(options.serial.trimmed());
        struct stat about {};
        if (stat(QFile::encodeName(device).constData(), &about) != 0)
            return refuse(parser, QStringLiteral("--serial: there is no port %1").arg(device));
        if (!S_ISCHR(about.st_mode) || !EncoderPort::may_be_serial_port(device))
            return refuse(parser, QStringLiteral("--serial: %1 is not a serial port").arg(device));
    }
    return command_line_result::run;
}
