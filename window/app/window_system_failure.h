// Opening the window system without Qt's abort. When the application object
// cannot connect (DISPLAY names no X server, QT_QPA_PLATFORM=xcb with no
// display, a platform that is not installed), Qt prints several lines ending
// in advice to reinstall and aborts. Between these two calls its messages are
// held back instead; such a failure is said in one line on standard error and
// the program exits with status 1.
#pragma once
#include <QString>
#include <QStringList>

// Before the application object is made.
void hold_window_system_messages();
// Once it is made: the messages held back go out as Qt would have printed
// them, and Qt's own message handling is back.
void release_window_system_messages();

// The one line for a failure, from the messages Qt gave before it gave up
// (warnings of its platform plugins, then its fatal message).
// "ktr7-sim: cannot open the window: could not connect to display :99"
QString window_system_failure_line(const QStringList& platform_warnings, const QString& fatal_message);
