// The program as a whole: it ends, its run loop stopped, when its window
// closes or File/Exit is chosen, also while the instrument runs; without a
// display it says so.
#include <QAction>
#include <QProcess>
#include <QPushButton>

#include "core/state.h"
#include "window_support.h"

class tst_application : public QObject {
    Q_OBJECT

    // Runs the application's event loop with "On" pressed in it and the
    // given way of ending at end_ms. Returns exec's status; 99 means the
    // program did not end by itself.
    int run_program(TfrmMain& form, int end_ms, const std::function<void()>& end)
    {
        // The timers end with the scope, so none fires in a later test.
        QObject scope;
        bool loop_was_running = false;
        QTimer::singleShot(0, &scope, [&] { QTest::mouseClick(form.Button1, Qt::LeftButton); });
        QTimer::singleShot(end_ms, &scope, [&] {
            loop_was_running = form.running();
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
        QCOMPARE(run_program(form, 300, [&] { by_closing ? void(form.close()) : form.Exit1->trigger(); }), 0);
        QVERIFY(!form.running());
        QCOMPARE(int(st.stop_requested), 1);
        if (by_closing)
            QVERIFY(!form.isVisible());
    }

    void without_a_display_says_so()
    {
        QString out, err;
        QCOMPARE(run_sim_without_display({}, &out, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("no display")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("xvfb-run -a ktr7-sim")), qPrintable(err));
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
