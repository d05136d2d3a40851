// The OpenGL surface that carries the LCD picture: a native window of OpenGL
// surface type placed on Panel1, with its own rendering context. The context
// is made current once when the surface is created and stays current; every
// pass of the run loop redraws the frame buffer and swaps.
#pragma once
#include <QImage>
#include <QSurfaceFormat>
#include <QWindow>

#include <cstdint>

class QOpenGLContext;

enum class lcd_surface_status {
    ok,
    create_failed,        // no rendering context
    make_current_failed,  // context made, but it could not be made current
};

class LcdSurface : public QWindow {
    Q_OBJECT

public:
    LcdSurface();
    ~LcdSurface() override;

    // The pixel-format request: double-buffered RGB, 8 bits a channel, no
    // alpha, a 32-bit depth buffer, OpenGL 1.1 functions (compatibility).
    static QSurfaceFormat SetupPixelFormat();

    // Creates the native window with the requested format (LcdPixelFormat),
    // creates LcdRC on it, makes it current and clears to black. The caller
    // reports a failure; the surface stays usable as a black panel either way.
    lcd_surface_status create_surface(const QSurfaceFormat& request);

    // Viewport and projection for the current size and device pixel ratio.
    void FormResize();
    // Clears and sends every non-black pixel of buffer (160 x 128 palette
    // indices) as one batch of points.
    void DrawLcd(const uint8_t* buffer);
    // DrawLcd and flush.
    void RedrawLcd(const uint8_t* buffer);
    // Shows the frame just drawn. Skipped while the window is not exposed
    // (hidden, minimised), where a swap has nothing to show.
    void swap();
    // Makes no context current and deletes LcdRC.
    void release();

    // The back buffer as it stands, top row first, size in device pixels.
    QImage read_back();

    bool has_context() const { return LcdRC != nullptr && current_ok; }
    QOpenGLContext* context() const { return LcdRC; }
    const QSurfaceFormat& requested_format() const { return LcdPixelFormat; }

    // The frame buffer shown by expose events (the last one presented).
    const uint8_t* shown_buffer = nullptr;

signals:
    // A key press that reached the surface (Qt::Key), for the window's
    // keyboard handling.
    void key_pressed(int qt_key);

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool ensure_current();
    void FormPaint();

    QSurfaceFormat LcdPixelFormat;
    QOpenGLContext* LcdRC = nullptr;
    bool current_ok = false;
};
