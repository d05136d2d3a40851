// The LCD surface: pixel-format request, what the drawn surface holds (read
// back with glReadPixels) and what reaches the screen, and the failure path.
// Also run with QT_SCALE_FACTOR=2, where each LCD pixel is a 2 x 2 square.
#include <QLabel>
#include <QOpenGLContext>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <cstring>

#include "core/state.h"
#include "gfx/lcd.h"
#include "window/panel/bezel_jpeg.h"
#include "window_support.h"

class tst_lcd_surface : public QObject {
    Q_OBJECT

    TfrmMain* form = nullptr;
    int ratio = 1;

    QImage drawn(const uint8_t* buffer)
    {
        child<InstrumentPanel>(form)->LcdDC->DrawLcd(buffer);
        return child<InstrumentPanel>(form)->LcdDC->read_back();
    }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationName(QLatin1String(APPLICATION_NAME));
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
        QCOMPARE(child<InstrumentPanel>(form)->surface_status, lcd_surface_status::ok);
        const qreal r = child<InstrumentPanel>(form)->LcdDC->devicePixelRatio();
        ratio = int(std::lround(r));
        QCOMPARE(qreal(ratio), r);
        qInfo("device pixel ratio %d", ratio);
    }
    void cleanupTestCase()
    {
        delete form;
    }
    void init()
    {
        std::memset(lcd_buffer, 0, sizeof lcd_buffer);
    }

    void pixel_format_request()
    {
        const QSurfaceFormat request = child<InstrumentPanel>(form)->LcdDC->requested_format();
        QCOMPARE(request.swapBehavior(), QSurfaceFormat::DoubleBuffer);
        QCOMPARE(request.renderableType(), QSurfaceFormat::OpenGL);
        QVERIFY(request.redBufferSize() + request.greenBufferSize() + request.blueBufferSize() >= 24);
        QCOMPARE(request.alphaBufferSize(), 0);
        QCOMPARE(request.depthBufferSize(), 32);
        QCOMPARE(request.stencilBufferSize(), 0);
        // What the system chose: a true-colour context, current on the panel.
        QOpenGLContext* context = child<InstrumentPanel>(form)->LcdDC->context();
        QVERIFY(context != nullptr);
        QVERIFY(context->isValid());
        QCOMPARE(QOpenGLContext::currentContext(), context);
        QCOMPARE(context->surface(), static_cast<QSurface*>(child<InstrumentPanel>(form)->LcdDC));
        QVERIFY(context->format().redBufferSize() >= 8);
        QVERIFY(context->format().depthBufferSize() >= 24);
    }

    void surface_covers_panel()
    {
        QCOMPARE(child<InstrumentPanel>(form)->LcdDC->size(), QSize(163, 129));
        QCOMPARE(child<QWidget>(form, "LcdContainer")->geometry(), QRect(0, 0, 163, 129));
        QCOMPARE(child<QWidget>(form, "LcdContainer")->parentWidget(), child<QWidget>(form, "Panel1"));
    }

    void drawn_surface_shows_the_buffer_data()
    {
        // Black; two opposite corners lit, one for one and not mirrored;
        // every pixel in its place and every index in many places, in the
        // palette's colour (its worked values are the palette's own tests),
        // neighbours told apart: rows, columns and palette all at once; and
        // the main display as the running instrument drew it in a few passes.
        add_columns<QByteArray>({"buffer"});
        const QByteArray black(sizeof lcd_buffer, 0);
        QByteArray corners = black, every = black;
        corners[0] = corners[127 * LCD_WIDTH + 159] = 15;
        for (int y = 0; y < LCD_HEIGHT; y++)
            for (int x = 0; x < LCD_WIDTH; x++)
                every[y * LCD_WIDTH + x] = char((x * 7 + y * 13 + x * y) & 0xFF);
        QTest::newRow("black") << black;
        QTest::newRow("two corners") << corners;
        QTest::newRow("every pixel and colour") << every;
        run_with(*form, {{300, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        const QByteArray running(reinterpret_cast<const char*>(lcd_buffer), sizeof lcd_buffer);
        QVERIFY(running.count('\0') < running.size());  // it drew something
        QTest::newRow("running main display") << running;
    }
    void drawn_surface_shows_the_buffer()
    {
        QFETCH(QByteArray, buffer);
        std::memcpy(lcd_buffer, buffer.constData(), sizeof lcd_buffer);
        const QImage picture = drawn(lcd_buffer);
        QCOMPARE(picture.size(), QSize(163 * ratio, 129 * ratio));
        QCOMPARE(compare_lcd_picture(picture, lcd_buffer, ratio), QString());
    }

    void presented_frame_reaches_the_screen()
    {
        // What a person sees: the swapped frame, in the window, at the LCD
        // opening. Pixel (x, y) of the LCD is at (40 + x, 57 + y) of the client.
        for (int y = 0; y < LCD_HEIGHT; y++)
            for (int x = 0; x < LCD_WIDTH; x++)
                lcd_buffer[y * LCD_WIDTH + x] = uint8_t((x + y) % 3 == 0 ? 15 : (x == y ? 9 : 0));
        child<LcdViews>(form)->present();
        QImage seen;
        QString mismatch = QStringLiteral("not grabbed");
        const QPoint origin = child<QWidget>(form, "Panel1")->mapToGlobal(QPoint(0, 0));
        // The X server shows the swap a moment later.
        for (int attempt = 0; attempt < 50 && !mismatch.isEmpty(); attempt++) {
            QTest::qWait(40);
            seen = form->screen()->grabWindow(0, origin.x(), origin.y(), 163, 129).toImage();
            seen = seen.convertToFormat(QImage::Format_RGB32);
            mismatch = compare_lcd_picture(seen, lcd_buffer, ratio);
        }
        QCOMPARE(mismatch, QString());
        QCOMPARE(seen.size(), QSize(163 * ratio, 129 * ratio));
    }

    void bezel_picture_decoded()
    {
        QCOMPARE(child<InstrumentPanel>(form)->bezel.size(), QSize(620, 620));
        QVERIFY(!child<QLabel>(form, "Image1")->pixmap().isNull());
        // A damaged picture yields nothing instead of ending the program.
        const unsigned char junk[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00};
        QVERIFY(decode_jpeg(junk, sizeof junk).isNull());
        QVERIFY(decode_jpeg(nullptr, 0).isNull());
    }

    void bezel_parts_under_their_controls()
    {
        // The picture has its dark opening under Panel1 and lighter parts
        // (keys, knob) under Image2, Image3 and Image8.
        const QImage image = child<InstrumentPanel>(form)->bezel;
        auto at_window = [&](double wx, double wy) {
            return image.pixelColor(int(wx * 620 / 241), int(wy * 620 / 249));
        };
        // Opening: inside Panel1 near its edges it is nearly black.
        for (QPointF p : {QPointF(42, 59), QPointF(200, 59), QPointF(42, 184), QPointF(200, 184), QPointF(120, 120)})
            QVERIFY2(at_window(p.x(), p.y()).lightness() < 40, qPrintable(QString::number(p.x())));
        // The knob's top is bright metal, the keys lighter than the face.
        QVERIFY(at_window(110, 222).lightness() > 100);
        const int face = at_window(120, 44).lightness();
        QVERIFY(at_window(62, 202).lightness() > face);
        QVERIFY(at_window(177, 202).lightness() > face);
    }

    void failure_to_create_context_is_reported()
    {
        // A context of a kind the system cannot make: the message, then the
        // window opens all the same and the instrument still runs.
        QSurfaceFormat impossible = LcdSurface::SetupPixelFormat();
        impossible.setRenderableType(QSurfaceFormat::OpenVG);
        MessageBoxCatcher catcher;
        TfrmMain failed(impossible);
        QCOMPARE(catcher.text, QStringLiteral("Creating Rendering Context failed."));
        QCOMPARE(catcher.title, QLatin1String(APPLICATION_NAME));
        QCOMPARE(catcher.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(child<InstrumentPanel>(&failed)->surface_status, lcd_surface_status::create_failed);
        QVERIFY(!child<InstrumentPanel>(&failed)->LcdDC->has_context());
        QVERIFY(show_and_wait(failed));
        run_with(failed, {{200, [&] { child<QPushButton>(&failed, "Button2")->click(); }}});
        QVERIFY(!child<RunLoop>(&failed)->running());
        // The form in use again is the first one.
        delete form;
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
    }
};

QTEST_MAIN(tst_lcd_surface)
#include "tst_lcd_surface.moc"
