#include "window/lcd/lcd_animation.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

#include <string>

#include "files/session_gif.h"
#include "host/picture_scale.h"
#include "window/app/host_settings.h"

namespace {

// The scale chosen last in the save dialog.
const char SETTINGS_SCALE[] = "animations/scale";

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
    QStringList filters;
    for (int scale = GIF_SCALE_MIN; scale <= GIF_SCALE_MAX; scale++)
        filters << QStringLiteral("GIF animation, each LCD pixel %1 x %1 (*.gif)").arg(scale);
    return filters;
}

void LcdAnimation::record_with_dialog()
{
    if (recording())
        return;
    const QStringList filters = scale_filters();
    const int remembered = host_settings().value(QLatin1String(SETTINGS_SCALE), DEFAULT_SCALE).toInt();
    QFileDialog dialog(window, QStringLiteral("Record LCD Animation"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(remembered - GIF_SCALE_MIN, filters.value(DEFAULT_SCALE - GIF_SCALE_MIN)));
    dialog.setDefaultSuffix(QStringLiteral("gif"));
    dialog.selectFile(QStringLiteral("ktr7-lcd.gif"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const int scale = int(filters.indexOf(dialog.selectedNameFilter())) + GIF_SCALE_MIN;
    if (scale < GIF_SCALE_MIN)
        return;
    host_settings().setValue(QLatin1String(SETTINGS_SCALE), scale);
    start(dialog.selectedFiles().first(), scale);
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
