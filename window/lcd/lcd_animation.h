// The LCD recorded as an animated GIF while the window runs (File > Record
// LCD Animation...): a frame a tick of the 100 ms timer, the LCD as the tick
// finds it, until Stop Recording Animation, or the end of the program,
// writes the file. The save dialog offers the scale among its file types and
// remembers the one chosen; the status bar counts the frames.
#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "session/session.h"

class QWidget;
class session_gif;

class LcdAnimation : public QObject, private session_observer {
    Q_OBJECT

public:
    static constexpr int DEFAULT_SCALE = 3;

    // Dialogs and message boxes open over window.
    LcdAnimation(std::shared_ptr<instrument_session> session, QWidget* window);
    ~LcdAnimation() override;  // writes a recording still going

    // The save dialog's file types, one a scale: "GIF animation, each LCD pixel 3 x 3 (*.gif)".
    static QStringList scale_filters();

    // Asks for the file and the scale, then starts recording.
    void record_with_dialog();
    // Starts recording into path; false, after a message box saying why,
    // when the file cannot be made or a recording is going.
    bool start(const QString& path, int scale);
    // Writes the animation; a message box says why it could not be.
    void stop();
    bool recording() const { return gif != nullptr; }

signals:
    void recording_changed(bool recording);
    // "LCD animation: 12 frames" while recording, empty once it has stopped.
    void frames_counted(const QString& text);
    // What was written, for the status bar.
    void said(const QString& text);

private:
    void session_ticked() override;
    // Writes the file; its failure, or empty. frames: how many it has.
    QString finish(long* frames = nullptr);

    std::shared_ptr<instrument_session> session;
    QWidget* window;
    std::unique_ptr<session_gif> gif;
    QString path;
    long frames_shown = -1;
};
