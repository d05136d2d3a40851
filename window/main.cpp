// ktr7-sim: the simulator window.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "window/command_line.h"
#include "window/frm_main.h"
#include "window/window_names.h"

namespace {

bool has_value(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Whether the window system has anything to open the window on: an X or
// Wayland display, or a platform chosen explicitly (offscreen, vnc, ...).
bool display_available(int argc, char** argv)
{
    if (has_value("DISPLAY") || has_value("WAYLAND_DISPLAY") || has_value("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-platform") == 0 || std::strcmp(arg, "--platform") == 0 ||
            std::strncmp(arg, "-platform=", 10) == 0 || std::strncmp(arg, "--platform=", 11) == 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; i++)
        arguments << QString::fromLocal8Bit(argv[i]);
    sim_options options;
    switch (parse_sim_command_line(arguments, options)) {
    case command_line_result::finished: return 0;
    case command_line_result::refused: return COMMAND_LINE_REFUSED;
    case command_line_result::run: break;
    }

    if (!display_available(argc, argv)) {
        std::fprintf(stderr,
                     "ktr7-sim: no display to open the simulator window on "
                     "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Run it on a desktop, or on a virtual X server with:  xvfb-run -a ktr7-sim\n");
        return 1;
    }

    // Every LCD pixel becomes zoom x zoom; Qt takes the factor from its
    // environment when the application object is made.
    if (options.zoom != 1)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(options.zoom));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(APPLICATION_NAME));

    // An exception that escapes start-up or the event loop is shown, and
    // the program ends.
    try {
        frmMain = new TfrmMain;
        frmMain->centre_on_screen();
        frmMain->show();
        if (!frmMain->apply_options(options)) {
            const int status = frmMain->exit_status;
            delete frmMain;
            return status;
        }
        const int status = QApplication::exec();
        delete frmMain;
        return status;
    } catch (const std::exception& failure) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(failure.what()));
        return 1;
    }
}
