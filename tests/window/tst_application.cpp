// The program as a whole: it ends, its run loop stopped, when its window
// closes or File/Exit is chosen, also while the instrument runs, and the LCD
// window is remembered as it was; without a window system it says so in a
// line; a zoom too large for the screen is lowered.
#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>

#include "core/state.h"
#include "host/version.h"
#include "window/app/help_texts.h"
#include "window/panel/keyboard_keys.h"
#include "window/lcd/lcd_window.h"
#include "window/app/zoom_fit.h"
#include "window_support.h"

class tst_application : public QObject {
    Q_OBJECT

    QTemporaryDir config;

    // Runs the application's event loop with "On" pressed in it and the
    // given way of ending at end_ms. Returns exec's status; 99 means the
    // program did not end by itself.
    int run_program(TfrmMain& form, int end_ms, const std::function<void()>& end)
    {
        // The timers end with the scope, so none fires in a later test.
        QObject scope;
        bool loop_was_running = false;
        QTimer::singleShot(0, &scope, [&] { QTest::mouseClick(child<QPushButton>(&form, "Button1"), Qt::LeftButton); });
        QTimer::singleShot(end_ms, &scope, [&] {
            loop_was_running = child<RunLoop>(&form)->running();
            end();
        });
        QTimer::singleShot(10000, &scope, [] {
            st.stop_requested = 1;
            QCoreApplication::exit(99);
        });
        const int status = QApplication::exec();
        if (!loop_was_running)
            return 98;
        return status;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config.isValid());
        // The window's preferences go to a folder of the test's own.
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }

    void ending_while_running_ends_the_program_data()
    {
        add_columns<bool>({"by_closing"});
        QTest::newRow("window closed") << true;
        QTest::newRow("File/Exit") << false;
    }
    void ending_while_running_ends_the_program()
    {
        QFETCH(bool, by_closing);
        TfrmMain form;
        QVERIFY(show_and_wait(form));
        QCOMPARE(run_program(form, 300, [&] { by_closing ? void(form.close()) : child<QAction>(&form, "Exit1")->trigger(); }), 0);
        QVERIFY(!child<RunLoop>(&form)->running());
        QCOMPARE(int(st.stop_requested), 1);
        if (by_closing)
            QVERIFY(!form.isVisible());
    }

    void the_lcd_window_is_remembered_as_the_program_ends_data()
    {
        add_columns<QString, bool>({"ending", "open_next_time"});
        QTest::newRow("File/Exit with it open") << "exit" << true;
        QTest::newRow("main window closed with it open") << "close" << true;
        QTest::newRow("closed by the user, then File/Exit") << "close it, exit" << false;
    }
    void the_lcd_window_is_remembered_as_the_program_ends()
    {
        QFETCH(QString, ending);
        QFETCH(bool, open_next_time);
        const QSize size(555, 444);
        {
            TfrmMain form;
            QVERIFY(show_and_wait(form));
            child<QAction>(&form, "LcdWindow1")->trigger();
            QVERIFY(child<LcdViews>(&form)->window() != nullptr && QTest::qWaitForWindowExposed(child<LcdViews>(&form)->window()));
            child<LcdViews>(&form)->window()->resize(size);
            QTRY_COMPARE(child<LcdViews>(&form)->window()->size(), size);
            QCOMPARE(run_program(form, 300,
                                 [&] {
                                     if (ending == QLatin1String("close")) {
                                         form.close();
                                         return;
                                     }
                                     if (ending.startsWith(QLatin1String("close it")))
                                         child<LcdViews>(&form)->window()->close();
                                     child<QAction>(&form, "Exit1")->trigger();
                                 }),
                     0);
        }
        QCOMPARE(LcdWindow::was_open(), open_next_time);
        LcdWindow again;
        again.restore_placement();
        QCOMPARE(again.size(), size);
    }

    void the_help_names_every_key_the_instrument_takes()
    {
        // Each row's keyboard keys give its key, and the text names them.
        const QString map = keyboard_map_text();
        int listed = 0;
        for (const control_map_row& row : CONTROL_MAP) {
            QVERIFY2(map.contains(QLatin1String(row.control)), row.control);
            for (int qt_key : row.keyboard) {
                if (qt_key == 0)
                    continue;
                listed++;
                uint8_t key = 0;
                QVERIFY2(instrument_key(qt_key, key) && key == row.key, row.control);
                const QString name = QKeySequence(qt_key).toString(QKeySequence::NativeText);
                QVERIFY2(map.contains(QStringLiteral("<b>%1").arg(name)) ||
                             map.contains(QStringLiteral(" or %1</b>").arg(name)),
                         qPrintable(name));
            }
        }
        // And no other key reaches the instrument.
        int taken = 0;
        for (int qt_key = Qt::Key_Space; qt_key <= Qt::Key_ydiaeresis; qt_key++) {
            uint8_t key = 0;
            taken += instrument_key(qt_key, key) ? 1 : 0;
        }
        for (int qt_key = Qt::Key_Escape; qt_key <= Qt::Key_Direction_R; qt_key++) {
            uint8_t key = 0;
            taken += instrument_key(qt_key, key) ? 1 : 0;
        }
        QCOMPARE(taken, listed);
        const QString about = about_text();
        QVERIFY(about.contains(QStringLiteral(KTR7_VERSION)));
        QVERIFY(about.contains(QStringLiteral("SIL Open Font License 1.1")));
    }

    void without_a_window_system_it_says_so_in_a_line_data()
    {
        // Variables set (NAME=value) or removed (NAME) for the run.
        add_columns<QStringList, QString>({"environment", "said"});
        QTest::newRow("no display at all")
            << QStringList{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}
            << "ktr7-sim: no display to open the simulator window on";
        QTest::newRow("DISPLAY names no X server")
            << QStringList{"DISPLAY=:4097", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}
            << "ktr7-sim: cannot open the window: could not connect to display :4097";
        QTest::newRow("X platform chosen, no DISPLAY")
            << QStringList{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb"}
            << "ktr7-sim: cannot open the window: could not connect to display (DISPLAY is not set)";
    }
    void without_a_window_system_it_says_so_in_a_line()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, said);
        QProcessEnvironment changed = QProcessEnvironment::systemEnvironment();
        for (const QString& change : environment) {
            if (change.contains(QLatin1Char('=')))
                changed.insert(change.section(QLatin1Char('='), 0, 0), change.section(QLatin1Char('='), 1));
            else
                changed.remove(change);
        }
        QProcess program;
        program.setProcessEnvironment(changed);
        program.start(QStringLiteral(KTR7_SIM_PATH), {});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(err.startsWith(said), qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("Reinstalling")), qPrintable(err));
    }

    void the_zoom_is_lowered_to_what_fits_the_screen_data()
    {
        // A window of 503 x 347 at zoom 1 (2012 x 1388 at zoom 4); a window
        // manager adds its frame.
        add_columns<QSize, QSize, int, int>({"window", "available", "wanted", "zoom"});
        QTest::newRow("4 on 1280 x 1024") << QSize(503, 347) << QSize(1280, 1024) << 4 << 2;
        QTest::newRow("2 on 1280 x 1024") << QSize(503, 347) << QSize(1280, 1024) << 2 << 2;
        QTest::newRow("1 on 1280 x 1024") << QSize(503, 347) << QSize(1280, 1024) << 1 << 1;
        QTest::newRow("4 on 1920 x 1080, its height limits") << QSize(503, 347) << QSize(1920, 1080) << 4 << 2;
        QTest::newRow("4 on 2560 x 1600") << QSize(503, 347) << QSize(2560, 1600) << 4 << 4;
        QTest::newRow("3 on 3840 x 2160") << QSize(503, 347) << QSize(3840, 2160) << 3 << 3;
        QTest::newRow("2 on 640 x 480: even 1 does not fit") << QSize(503, 347) << QSize(640, 480) << 2 << 1;
        // Exactly room for zoom 2 with the frame, then one pixel short.
        const QSize two = (QSize(503, 347) + WINDOW_FRAME_ALLOWANCE) * 2;
        QTest::newRow("exactly 2") << QSize(503, 347) << two << 4 << 2;
        QTest::newRow("a pixel too narrow for 2") << QSize(503, 347) << two - QSize(1, 0) << 4 << 1;
        QTest::newRow("a pixel too low for 2") << QSize(503, 347) << two - QSize(0, 1) << 4 << 1;
    }
    void the_zoom_is_lowered_to_what_fits_the_screen()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, available);
        QFETCH(int, wanted);
        QFETCH(int, zoom);
        QCOMPARE(fitting_zoom(window, available, wanted), zoom);
    }

    void a_zoom_too_large_for_the_screen_is_lowered_and_said()
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr || screen->size() != QSize(1280, 1024))
            QSKIP("needs the 1280 x 1024 test display");
        QTemporaryDir dir;
        const QString scenario = dir.filePath(QStringLiteral("short.scn"));
        QFile file(scenario);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("on\npass 3\noff\n");
        file.close();
        QProcess program;
        program.start(QStringLiteral(KTR7_SIM_PATH), {QStringLiteral("--zoom"), QStringLiteral("4"),
                                                       QStringLiteral("--play"), scenario,
                                                       QStringLiteral("--exit-when-done")});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        // The window at zoom 4 is larger than the screen, and zoom 2 is
        // the largest that fits.
        const QRegularExpressionMatch said =
            QRegularExpression(QStringLiteral("ktr7-sim: at --zoom 4 the window is (\\d+) x (\\d+) pixels, more than "
                                              "the screen has room for; zoom 2 instead\\.\n"))
                .match(err);
        QVERIFY2(said.hasMatch(), qPrintable(err));
        QVERIFY2(said.captured(1).toInt() > 1280 || said.captured(2).toInt() > 1024, qPrintable(err));
    }

    void with_a_display_it_runs()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        QProcess program;
        program.start(QStringLiteral(KTR7_SIM_PATH), {});
        QVERIFY(program.waitForStarted(5000));
        // Still up after a second: it opened its window and waits.
        QVERIFY(!program.waitForFinished(1500));
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }
};

QTEST_MAIN(tst_application)
#include "tst_application.moc"
