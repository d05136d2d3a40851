#include "window/lcd/lcd_pictures.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMessageBox>

#include <cstring>

#include "gfx/lcd.h"
#include "host/picture_scale.h"
#include "picture/lcd_png.h"
#include "window/lcd/lcd_window.h"
#include "window/lcd/scaled_save_dialog.h"

namespace {

const scaled_file_kind PICTURE = {"Save LCD Picture", "PNG", "png", "pictures/scale",
                                  PNG_SCALE_MIN, PNG_SCALE_MAX, LcdPictures::DEFAULT_SCALE};

}  // namespace

LcdPictures::LcdPictures(QWidget* window) : QObject(window), window(window)
{
}

QStringList LcdPictures::scale_filters()
{
    return ::scale_filters(PICTURE);
}

bool LcdPictures::save(const QString& path, int scale, const uint8_t* buffer)
{
    char why[160];
    if (write_png_of(buffer, QFile::encodeName(path).constData(), scale, why, sizeof why)) {
        emit said(QStringLiteral("Wrote %1 (%2 x %3, each LCD pixel %4 x %4)")
                      .arg(path)
                      .arg(LCD_WIDTH * scale)
                      .arg(LCD_HEIGHT * scale)
                      .arg(scale));
        return true;
    }
    QMessageBox::warning(window, QApplication::applicationName(),
                         QStringLiteral("Cannot write \"%1\": %2").arg(path, QString::fromLocal8Bit(why)));
    return false;
}

void LcdPictures::save_with_dialog()
{
    // The picture is the LCD at the moment of the command, not after the
    // dialog has been answered.
    static uint8_t taken[sizeof lcd_buffer];
    std::memcpy(taken, lcd_buffer, sizeof taken);
    const scaled_file chosen = ask_scaled_file(window, PICTURE);
    if (!chosen.path.isEmpty())
        save(chosen.path, chosen.scale, taken);
}

void LcdPictures::copy()
{
    const QImage picture = lcd_picture(lcd_buffer, DEFAULT_SCALE);
    QApplication::clipboard()->setImage(picture);
    emit said(QStringLiteral("Copied the LCD to the clipboard (%1 x %2)").arg(picture.width()).arg(picture.height()));
}
