// The window people keep open: the paced loop, the LCD window, LCD pictures
// and the command line.
#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/state.h"
#include "gfx/lcd.h"
#include "window/lcd/lcd_window.h"
#include "screens/framework.h"
#include "window_support.h"

class tst_living_window : public QObject {
    Q_OBJECT

    TfrmMain* form = nullptr;
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // The LCD window's place is a host preference; keep the tests' own.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
    }
    void cleanupTestCase() { delete form; }

    void the_loop_waits_for_the_next_frame_and_takes_a_click_on_the_next_pass()
    {
        uint64_t start = 0, at_click = 0, taken_after = 0, at_end = 0;
        QTimer watch;
        watch.setInterval(1);
        connect(&watch, &QTimer::timeout, [&] {
            if (at_click != 0 && taken_after == 0 && st.pending_key == 0)
                taken_after = form->passes_run() - at_click;
        });
        run_with(*form, {{0, [&] { start = form->passes_run(); }},
                         {500,
                          [&] {
                              QTest::mouseClick(child<TClickImage>(form, "Image3"), Qt::LeftButton);
                              QCOMPARE(int(st.pending_key), int(KEY_RIGHT));
                              at_click = form->passes_run();
                              watch.start();
                          }},
                         {1000,
                          [&] {
                              at_end = form->passes_run();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        const uint64_t passes = at_end - start;
        // Unpaced, a second is several hundred passes here; paced, one a
        // refresh (about 60).
        QVERIFY2(passes < 200 && passes > 20, qPrintable(QString::number(passes)));
        QCOMPARE(taken_after, uint64_t(1));
    }

    void the_lcd_window_shows_the_lcd_at_the_largest_whole_scale()
    {
        for (int i = 0; i < LCD_WIDTH * LCD_HEIGHT; i++)
            lcd_buffer[i] = uint8_t((i / LCD_WIDTH + i % LCD_WIDTH) % 16);
        child<QAction>(form, "LcdWindow1")->trigger();
        QVERIFY(child<LcdViews>(form)->window() != nullptr && child<LcdViews>(form)->window()->isVisible());
        QCOMPARE(child<LcdViews>(form)->window()->windowTitle(), QStringLiteral("KTR-7 LCD"));
        struct size_case {
            QSize size;
            int scale;
        } cases[] = {{{500, 400}, 3}, {{700, 520}, 4}, {{659, 900}, 4}, {{900, 300}, 2}, {{200, 130}, 1}};
        for (const size_case& c : cases) {
            child<LcdViews>(form)->window()->resize(c.size);
            QTRY_COMPARE(child<LcdViews>(form)->window()->size(), c.size);
            child<LcdViews>(form)->present();
            QCOMPARE(child<LcdViews>(form)->window()->scale(), c.scale);
            const QImage shot = child<LcdViews>(form)->window()->grab().toImage();
            const QRect lcd = child<LcdViews>(form)->window()->lcd_rect();
            QCOMPARE(lcd.size(), QSize(LCD_WIDTH * c.scale, LCD_HEIGHT * c.scale));
            const QString mismatch = compare_lcd_picture(shot, lcd_buffer, c.scale, lcd.topLeft());
            QVERIFY2(mismatch.isEmpty(), qPrintable(QStringLiteral("%1 at %2x%3")
                                                        .arg(mismatch)
                                                        .arg(c.size.width())
                                                        .arg(c.size.height())));
        }
        // Keys there act as over the knob; closing it unchecks the menu.
        st.pending_key = 0;
        QTest::keyClick(child<LcdViews>(form)->window(), Qt::Key_Return);
        QCOMPARE(int(st.pending_key), int(KEY_PUSH));
        st.pending_key = 0;
        child<LcdViews>(form)->window()->close();
        QVERIFY(!child<QAction>(form, "LcdWindow1")->isChecked());
        QVERIFY(!LcdWindow::was_open());
    }

    void a_saved_picture_equals_the_replay_tools_for_the_same_scenario()
    {
        const QString scenario = dir.filePath(QStringLiteral("menu.scn"));
        const QString replay_png = dir.filePath(QStringLiteral("replay.png"));
        QFile file(scenario);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("on\nasi 1000\naltitude 3250\nwait 12\nkey push\npass 2\noff\n");
        file.close();
        QVERIFY(child<WindowScenario>(form)->play(scenario));
        QTRY_VERIFY_WITH_TIMEOUT(!child<QAction>(form, "StopScenario1")->isEnabled(), 10000);
        QTRY_VERIFY(!child<RunLoop>(form)->running());
        QCOMPARE(form->exit_status(), 0);
        const QString window_png = dir.filePath(QStringLiteral("window.png"));
        QVERIFY(child<LcdPictures>(form)->save(window_png, 3, lcd_buffer));

        // The replay tool, the same scenario, and its picture.
        QProcess again;
        again.start(QStringLiteral(KTR7_REPLAY_PATH), {QStringLiteral("-")});
        QVERIFY(again.waitForStarted());
        QFile steps(scenario);
        QVERIFY(steps.open(QIODevice::ReadOnly));
        again.write(steps.readAll() + "png " + replay_png.toLocal8Bit() + " 3\n");
        again.closeWriteChannel();
        QVERIFY(again.waitForFinished(10000));
        QCOMPARE(again.exitCode(), 0);
        QFile a(window_png), b(replay_png);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }

    void a_failed_picture_write_names_the_file_and_the_reason()
    {
        MessageBoxCatcher catcher;
        const QString path = dir.filePath(QStringLiteral("no/such/folder/lcd.png"));
        QVERIFY(!child<LcdPictures>(form)->save(path, 3, lcd_buffer));
        QVERIFY2(catcher.text.contains(path) && catcher.text.contains(QStringLiteral("No such file")),
                 qPrintable(catcher.text));
    }

    void a_minimised_window_keeps_its_sentences_for_later()
    {
        child<QPlainTextEdit>(form, "Memo1")->clear();
        form->showMinimized();
        QTRY_VERIFY(form->isMinimized());
        for (const char* line : {"ALT 00001\r", "ALT 00002\r", "ALT 00003\r"})
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence(line);
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->toPlainText(), QString());
        form->showNormal();
        QTRY_VERIFY(!form->isMinimized());
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->toPlainText(), QStringLiteral("ALT 00001\nALT 00002\nALT 00003"));
        QVERIFY(show_and_wait(*form));
    }

    void the_command_line_without_a_display()
    {
        struct option_case {
            QStringList arguments;
            int status;
            const char* in_out;
            const char* in_err;
        } cases[] = {
            {{QStringLiteral("--version")}, 0, "ktr7-sim 1.", ""},
            {{QStringLiteral("--help")}, 0, "--lcd-window", ""},
            {{QStringLiteral("--zoom"), QStringLiteral("0")}, 2, "", "--zoom takes a whole number from 1 to 4"},
            {{QStringLiteral("--zoom"), QStringLiteral("5")}, 2, "", "--zoom takes a whole number from 1 to 4"},
            {{QStringLiteral("--zoom"), QStringLiteral("two")}, 2, "", "--zoom"},
            // Unknown options named as they were written.
            {{QStringLiteral("--frobnicate")}, 2, "", "ktr7-sim: unknown option \"--frobnicate\"\n"},
            {{QStringLiteral("-x"), QStringLiteral("--zoom=2")}, 2, "", "ktr7-sim: unknown option \"-x\"\n"},
            {{QStringLiteral("--zoom=2"), QStringLiteral("--bogus=3")}, 2, "", "ktr7-sim: unknown option \"--bogus\"\n"},
            // A character device that is no terminal is no serial port.
            {{QStringLiteral("--serial"), QStringLiteral("/dev/null")}, 2, "", "--serial: /dev/null is not a serial port"},
            {{QStringLiteral("--exit-when-done")}, 2, "", "goes with --play"},
            {{QStringLiteral("--flight=")}, 2, "", "--flight needs a flight log"},
            {{QStringLiteral("--flight")}, 2, "", "Missing value after '--flight'"},
            // The log is read once the window is up.
            {{QStringLiteral("--flight"), QStringLiteral("no/such.igc")}, 1, "", "no display"},
            {{QStringLiteral("--baud"), QStringLiteral("300"), QStringLiteral("--serial"),
              QStringLiteral("/dev/null")},
             2, "", "--baud takes"},
            // Without a display, a good command line says so after parsing.
            {{QStringLiteral("--zoom"), QStringLiteral("1")}, 1, "", "no display"},
            {{QStringLiteral("--zoom"), QStringLiteral("4")}, 1, "", "no display"},
        };
        for (const option_case& c : cases) {
            QString out, err;
            QCOMPARE(run_sim_without_display(c.arguments, &out, &err), c.status);
            QVERIFY2(out.contains(QLatin1String(c.in_out)), qPrintable(out));
            QVERIFY2(err.contains(QLatin1String(c.in_err)), qPrintable(err));
            if (c.status == 2)
                QVERIFY2(err.contains(QStringLiteral("Usage: ktr7-sim")), qPrintable(err));
        }
    }
};

QTEST_MAIN(tst_living_window)
#include "tst_living_window.moc"
