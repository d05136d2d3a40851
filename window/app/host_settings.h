// The window's own preferences (never the instrument's settings), kept
// between runs in the program's settings file.
#pragma once
#include <QSettings>

#include "window/app/window_names.h"

struct host_settings : QSettings {
    host_settings()
        : QSettings(QSettings::IniFormat, QSettings::UserScope, QLatin1String(PROGRAM_NAME),
                    QLatin1String(PROGRAM_NAME))
    {
    }
};
