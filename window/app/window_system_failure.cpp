#include "window/app/window_system_failure.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// The exit status when there is no window system to open the window on.
constexpr int NO_WINDOW_SYSTEM = 1;

// Qt's generic line after a plugin failed, which says nothing of the reason.
const char GENERIC_PLUGIN_FAILURE[] = "Could not load the Qt platform plugin";

struct held_message {
    QtMsgType type;
    const char* file;  // the places Qt's messages come from are static
    int line;
    const char* function;
    QByteArray category;
    QString text;
};

QList<held_message> held;
QtMessageHandler qt_handler = nullptr;

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        held.append({type, context.file, context.line, context.function, QByteArray(context.category), text});
        return;
    }
    QStringList warnings;
    for (const held_message& message : std::as_const(held)) {
        if (message.category.startsWith("qt.qpa") && message.type != QtDebugMsg && message.type != QtInfoMsg)
            warnings << message.text;
    }
    const QByteArray line = window_system_failure_line(warnings, text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
    // Qt is half made and would abort on return: leave without running
    // anyone's clean-up.
    std::_Exit(NO_WINDOW_SYSTEM);
}

}  // namespace

QString window_system_failure_line(const QStringList& platform_warnings, const QString& fatal_message)
{
    QStringList reasons;
    for (QString warning : platform_warnings) {
        warning = warning.trimmed();
        if (warning.isEmpty() || warning.startsWith(QLatin1String(GENERIC_PLUGIN_FAILURE)))
            continue;
        warning.remove(QStringLiteral(" in \"\""));
        // The X platform names the display it tried; none at all when
        // DISPLAY is unset.
        if (warning.endsWith(QLatin1String("display")))
            warning += QStringLiteral(" (DISPLAY is not set)");
        reasons << warning;
    }
    if (reasons.isEmpty())
        reasons << fatal_message.section(QLatin1Char('\n'), 0, 0).trimmed();
    return QStringLiteral("ktr7-sim: cannot open the window: %1").arg(reasons.join(QStringLiteral("; ")));
}

void hold_window_system_messages()
{
    held.clear();
    qt_handler = qInstallMessageHandler(hold);
}

void release_window_system_messages()
{
    qInstallMessageHandler(qt_handler);
    const QList<held_message> messages = std::exchange(held, {});
    for (const held_message& message : messages) {
        const QMessageLogContext context(message.file, message.line, message.function, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}
