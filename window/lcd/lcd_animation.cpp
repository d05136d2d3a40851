#include "window/lcd/lcd_animation.h"

#include <QFile>
#include <QMessageBox>
#include <QWidget>

#include <string>

#include "files/session_gif.h"
#include "host/picture_scale.h"
#include "window/lcd/scaled_save_dialog.h"

namespace {

const scaled_file_kind ANIMATION = {"Record LCD Animation", "GIF animation", "gif", "animations/scale",
                                    GIF_SCALE_MIN, GIF_SCALE_MAX, LcdAnimation::DEFAULT_SCALE};

}  // namespace

LcdAnimation::LcdAnimation(std::shared_ptr<instrument_session> recorded, QWidget* parent)
    : QObject(parent), session(std::move(recorded)), window(parent)
{
}

LcdAnimation::~LcdAnimation()
{
    finish();
}

QStringList LcdAnimation::scale_filters()
{
    return ::scale_filters(ANIMATION);
}

void LcdAnimation::record_with_dialog()
{
    if (recording())
        return;
    const scaled_file chosen = ask_scaled_file(window, ANIMATION);
    if (!chosen.path.isEmpty())
        start(chosen.path, chosen.scale);
}

bool LcdAnimation::start(const QString& file, int scale)
{
    if (recording())
        return false;
    auto started = std::make_unique<session_gif>(*session, QFile::encodeName(file).constData(), scale);
    if (!started->is_open()) {
        QMessageBox::warning(window, QStringLiteral("Record LCD Animation"),
                             QStringLiteral("Cannot record to \"%1\": %2")
                                 .arg(file, QString::fromLocal8Bit(started->why().c_str())));
        return false;
    }
    gif = std::move(started);
    path = file;
    frames_shown = -1;
    // After the recording: a tick is counted once it has taken its frame.
    session->add_observer(this);
    session_ticked();
    emit recording_changed(true);
    emit said(QStringLiteral("Recording the LCD to %1").arg(path));
    return true;
}

void LcdAnimation::stop()
{
    if (!recording())
        return;
    long frames = 0;
    const QString failure = finish(&frames);
    emit recording_changed(false);
    emit frames_counted(QString());
    if (!failure.isEmpty()) {
        QMessageBox::warning(window, QStringLiteral("Record LCD Animation"), failure);
        return;
    }
    emit said(QStringLiteral("Wrote %1: %2 frames").arg(path).arg(frames));
}

QString LcdAnimation::finish(long* frames)
{
    if (!recording())
        return {};
    session->remove_observer(this);
    std::string why;
    const bool written = gif->finish(why);
    if (frames != nullptr)
        *frames = gif->frames();
    gif.reset();
    return written ? QString() : QStringLiteral("Cannot write \"%1\": %2").arg(path, QString::fromLocal8Bit(why.c_str()));
}

void LcdAnimation::session_ticked()
{
    if (!recording() || gif->frames() == frames_shown)
        return;
    frames_shown = gif->frames();
    emit frames_counted(QStringLiteral("LCD animation: %1 frame%2").arg(frames_shown).arg(frames_shown == 1 ? "" : "s"));
}
