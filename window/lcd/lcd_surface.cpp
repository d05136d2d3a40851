#include "window/lcd/lcd_surface.h"

#include <QExposeEvent>
#include <QKeyEvent>
#include <QOpenGLContext>
#include <QResizeEvent>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "gfx/lcd.h"
#include "host/lcd_points.h"

namespace {

// Room for every pixel of the LCD; filled afresh by each redraw.
lcd_point point_batch[LCD_WIDTH * LCD_HEIGHT];

int device_length(int logical, qreal ratio)
{
    return int(std::lround(logical * ratio));
}

}  // namespace

LcdSurface::LcdSurface()
{
    setSurfaceType(QSurface::OpenGLSurface);
    // Clicks and the wheel go to the controls beneath (Panel1), so the
    // surface never takes the keyboard focus from the form.
    setFlag(Qt::WindowTransparentForInput, true);
    // A move to a screen of another pixel ratio changes the device size.
    connect(this, &QWindow::screenChanged, this, [this] { FormResize(); });
}

LcdSurface::~LcdSurface()
{
    release();
}

QSurfaceFormat LcdSurface::SetupPixelFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(1, 1);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(32);
    format.setStencilBufferSize(0);
    format.setSamples(0);
    return format;
}

lcd_surface_status LcdSurface::create_surface(const QSurfaceFormat& request)
{
    LcdPixelFormat = request;
    setFormat(request);
    create();

    LcdRC = new QOpenGLContext;
    LcdRC->setFormat(request);
    if (!LcdRC->create()) {
        delete LcdRC;
        LcdRC = nullptr;
        return lcd_surface_status::create_failed;
    }
    if (!LcdRC->makeCurrent(this))
        return lcd_surface_status::make_current_failed;
    current_ok = true;

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FormResize();
    return lcd_surface_status::ok;
}

bool LcdSurface::ensure_current()
{
    if (!has_context())
        return false;
    // The context was made current at creation and nothing else in the
    // window uses OpenGL, so this normally costs one comparison.
    if (QOpenGLContext::currentContext() != LcdRC || LcdRC->surface() != this)
        return LcdRC->makeCurrent(this);
    return true;
}

void LcdSurface::FormResize()
{
    if (!ensure_current())
        return;
    const qreal ratio = devicePixelRatio();
    const int w = device_length(width(), ratio);
    const int h = device_length(height(), ratio);
    // One unit of the projection is one device pixel, y growing downward
    // with row 0 at the top edge of the panel.
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, w, h, 0.0);
    glMatrixMode(GL_MODELVIEW);
}

void LcdSurface::DrawLcd(const uint8_t* buffer)
{
    if (!ensure_current())
        return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // Each LCD pixel is one square point of ratio x ratio device pixels,
    // centred on its square so it covers exactly that square.
    const qreal ratio = devicePixelRatio();
    const GLfloat size = GLfloat(ratio);
    glPointSize(size);
    const int n = lcd_collect_points(buffer, point_batch);
    glBegin(GL_POINTS);
    for (int i = 0; i < n; i++) {
        const lcd_point& p = point_batch[i];
        glColor3ub(p.r, p.g, p.b);
        glVertex2f((GLfloat(p.x) + 0.5f) * size, (GLfloat(p.y) + 0.5f) * size);
    }
    glEnd();
}

void LcdSurface::RedrawLcd(const uint8_t* buffer)
{
    if (!has_context())
        return;
    DrawLcd(buffer);
    glFlush();
    shown_buffer = buffer;
}

void LcdSurface::swap()
{
    if (!has_context() || !isExposed())
        return;
    LcdRC->swapBuffers(this);
}

void LcdSurface::release()
{
    if (LcdRC == nullptr)
        return;
    LcdRC->doneCurrent();
    delete LcdRC;
    LcdRC = nullptr;
    current_ok = false;
}

QImage LcdSurface::read_back()
{
    if (!ensure_current())
        return QImage();
    const qreal ratio = devicePixelRatio();
    const int w = device_length(width(), ratio);
    const int h = device_length(height(), ratio);
    QImage image(w, h, QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    // OpenGL rows run bottom up.
    return image.mirrored(false, true);
}

void LcdSurface::FormPaint()
{
    if (!has_context())
        return;
    if (shown_buffer != nullptr) {
        DrawLcd(shown_buffer);
    } else {
        ensure_current();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glFlush();
    // A newly exposed native window has no picture until a swap, so the
    // paint shows its redraw too; the run loop swaps after every pass anyway.
    swap();
}

void LcdSurface::exposeEvent(QExposeEvent*)
{
    if (isExposed())
        FormPaint();
}

void LcdSurface::resizeEvent(QResizeEvent*)
{
    FormResize();
}

void LcdSurface::keyPressEvent(QKeyEvent* event)
{
    emit key_pressed(event->key());
    event->accept();
}
