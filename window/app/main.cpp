// ktr7-sim: the simulator window.
#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "window/app/command_line.h"
#include "window/app/frm_main.h"
#include "window/app/window_names.h"
#include "window/app/window_system_failure.h"
#include "window/app/zoom_fit.h"

namespace {

// How long the status bar says that the zoom was lowered.
constexpr int ZOOM_MESSAGE_MS = 15000;

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

    // Qt takes its own options out of the argument list; a second
    // application object (at a lower zoom) needs them again.
    const std::vector<std::string> given(argv, argv + argc);
    int qt_argc = argc;
    std::vector<char*> qt_argv;
    std::unique_ptr<QApplication> app;
    // At zoom 1 the window keeps whatever scale the desktop asks for.
    const QByteArray outer_scale =
        qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR") : QByteArray();
    const auto make_application = [&](int zoom) {
        app.reset();
        // Every LCD pixel becomes zoom x zoom; Qt takes the factor from its
        // environment when the application object is made.
        if (zoom != 1)
            qputenv("QT_SCALE_FACTOR", QByteArray::number(zoom));
        else if (outer_scale.isNull())
            qunsetenv("QT_SCALE_FACTOR");
        else
            qputenv("QT_SCALE_FACTOR", outer_scale);
        qt_argv.clear();
        for (const std::string& argument : given)
            qt_argv.push_back(const_cast<char*>(argument.c_str()));
        qt_argv.push_back(nullptr);
        qt_argc = argc;
        hold_window_system_messages();
        app = std::make_unique<QApplication>(qt_argc, qt_argv.data());
        release_window_system_messages();
        QApplication::setApplicationName(QLatin1String(APPLICATION_NAME));
    };

    // An exception that escapes start-up or the event loop is shown, and
    // the program ends.
    try {
        make_application(options.zoom);
        frmMain = new TfrmMain;
        // A zoom too large for the screen is lowered to the largest that fits.
        QString lowered;
        const int zoom = fitting_zoom(*frmMain, options.zoom, &lowered);
        if (zoom < options.zoom) {
            delete frmMain;
            std::fprintf(stderr, "%s: %s.\n", PROGRAM_NAME, qPrintable(lowered));
            std::fflush(stderr);
            make_application(zoom);
            frmMain = new TfrmMain;
        }
        frmMain->restore_placement();
        frmMain->show();
        auto* status_bar = frmMain->findChild<QStatusBar*>();
        if (zoom < options.zoom && status_bar != nullptr)
            status_bar->showMessage(
                QStringLiteral("Zoom %1: --zoom %2 does not fit the screen").arg(zoom).arg(options.zoom),
                ZOOM_MESSAGE_MS);
        if (!frmMain->apply_options(options)) {
            const int status = frmMain->exit_status();
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
