// Helpers shared by the window tests.
#pragma once
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <functional>

#include "gfx/lcd.h"
#include "host/palette.h"
#include "window/app/frm_main.h"
#include "window/app/run_loop.h"
#include "window/app/status_bar.h"
#include "window/app/window_names.h"
#include "window/connections/encoder_port.h"
#include "window/flight/flight_driver.h"
#include "window/lcd/lcd_pictures.h"
#include "window/lcd/lcd_views.h"
#include "window/lcd/lcd_window.h"
#include "window/panel/communications_box.h"
#include "window/panel/instrument_panel.h"
#include "window/panel/panel_widgets.h"
#include "window/panel/sensor_panel.h"
#include "window/scenario/scenario_dock.h"
#include "window/scenario/window_scenario.h"

// A control or part of the form (any object below it) by its object name,
// or the one of its type when no name is given. The test program stops at
// once, naming what it looked for, when there is none: every caller goes on
// to use it.
template <typename T>
T* child(const QObject* in, const char* name = nullptr)
{
    T* found = in->findChild<T*>(name == nullptr ? QString() : QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no %s %s below %s", T::staticMetaObject.className(), name == nullptr ? "at all" : name,
               qPrintable(in->objectName()));
    return found;
}

// Writes text to a file name in dir; its path, or empty when it could not be
// written.
inline QString write_test_file(const QTemporaryDir& dir, const char* name, const QByteArray& text)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(text);
    return path;
}

// Runs ktr7-sim with arguments and no display to open a window on; its exit
// status (-1 if it did not end normally) and what it wrote.
inline int run_sim_without_display(const QStringList& arguments, QString* out, QString* err)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KTR7_SIM_PATH), arguments);
    if (!program.waitForFinished(10000))
        return -1;
    *out = QString::fromLocal8Bit(program.readAllStandardOutput());
    *err = QString::fromLocal8Bit(program.readAllStandardError());
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

// Shows the form and waits until it and its LCD surface are on screen.
inline bool show_and_wait(TfrmMain& form)
{
    form.centre_on_screen();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 5000))
        return false;
    return QTest::qWaitFor([&] { return child<InstrumentPanel>(&form)->LcdDC->isExposed(); }, 5000);
}

// The columns of a data-driven test, in order.
template <typename... T>
void add_columns(const std::array<const char*, sizeof...(T)>& names)
{
    size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
}

// Compares a picture with buffer shown at scale (in the picture's pixels)
// from origin, with black all around it; describes the first mismatch.
inline QString compare_lcd_picture(const QImage& picture, const uint8_t* buffer, int scale, QPoint origin = {})
{
    const QRect lcd(origin, QSize(LCD_WIDTH * scale, LCD_HEIGHT * scale));
    for (int y = 0; y < picture.height(); y++) {
        for (int x = 0; x < picture.width(); x++) {
            const int index = (y - lcd.top()) / scale * LCD_WIDTH + (x - lcd.left()) / scale;
            const QRgb want = lcd.contains(x, y) ? lcd_palette[buffer[index]] & 0xFFFFFF : 0;
            const QRgb got = picture.pixel(x, y) & 0xFFFFFF;
            if (got != want)
                return QString::asprintf("pixel (%d, %d): got %06x, want %06x", x, y, got, want);
        }
    }
    return QString();
}

// Runs the instrument ("On") and calls each step at its time in
// milliseconds from the start, from inside the running loop. The last step
// should stop it; a guard presses "Off" after guard_ms in any case. The
// steps and the guard end with the run, so none of them fires in a later test.
inline void run_with(TfrmMain& form, const std::vector<std::pair<int, std::function<void()>>>& steps,
                     int guard_ms = 10000)
{
    QObject scope;
    for (const auto& step : steps)
        QTimer::singleShot(step.first, &scope, step.second);
    QTimer::singleShot(guard_ms, &scope, [&form] { child<QPushButton>(&form, "Button2")->click(); });
    QTest::mouseClick(child<QPushButton>(&form, "Button1"), Qt::LeftButton);
}

// Closes the next modal message box once it is up, and keeps its text.
class MessageBoxCatcher {
public:
    MessageBoxCatcher()
    {
        poll = new QTimer;
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            text = box->text();
            title = box->windowTitle();
            buttons = box->standardButtons();
            box->accept();
            poll->stop();
        });
        poll->start();
    }
    ~MessageBoxCatcher() { delete poll; }
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;

private:
    QTimer* poll;
};
