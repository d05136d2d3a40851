// The form: layout, captions, keys, sliders, timer, lamp, Communications box.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QWheelEvent>

#include <cstring>

#include "core/state.h"
#include "host/pass.h"
#include "screens/framework.h"
#include "screens/screens.h"
#include "window_support.h"

class tst_frm_main : public QObject {
    Q_OBJECT

    TfrmMain* form = nullptr;

    QWidget* control(const QString& name) const
    {
        return form->findChild<QWidget*>(name);
    }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationName(QStringLiteral("Malvex"));
        st.current_screen = nullptr;
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
    }
    void cleanupTestCase()
    {
        delete form;
        QVERIFY(frmMain == nullptr);
    }
    void init()
    {
        // Each test starts from an instrument that is off with no key pending.
        st.pending_key = KEY_NONE;
        QApplication::setActiveWindow(form);
        form->Button1->setFocus();
    }

    void form_create_sets_main_display()
    {
        QVERIFY(frmMain == form);
        QVERIFY(st.current_screen == screen_main);
    }

    void window_properties()
    {
        QCOMPARE(form->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Kova KTR-7 Simulator"));
        QCOMPARE(form->client->size(), QSize(503, 329));
        // Below the menu bar, filling the rest of the window exactly.
        QCOMPARE(form->client->geometry().top(), form->MainMenu1->geometry().bottom() + 1);
        QCOMPARE(form->client->geometry().left(), 0);
        QCOMPARE(form->width(), 503);
        QCOMPARE(form->height(), form->MainMenu1->height() + 329);
        // Not resizable.
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(form->windowFlags() & Qt::WindowMinimizeButtonHint));
        // Centred on the screen's available area (within the frame's margins).
        const QRect area = form->screen()->availableGeometry();
        const QPoint centre = form->frameGeometry().center();
        QVERIFY2(qAbs(centre.x() - area.center().x()) <= 8, qPrintable(QString::number(centre.x())));
        QVERIFY2(qAbs(centre.y() - area.center().y()) <= 20, qPrintable(QString::number(centre.y())));
    }

    void menu()
    {
        QCOMPARE(form->File1->title(), QStringLiteral("&File"));
        const QList<QAction*> menus = form->MainMenu1->actions();
        QCOMPARE(menus.size(), 4);
        QCOMPARE(menus.first(), form->File1->menuAction());
        QStringList titles;
        for (const QAction* menu : menus)
            titles << menu->text();
        QCOMPARE(titles, QStringList({QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&View"),
                                      QStringLiteral("&Options")}));
        // Exit stays the last entry of File.
        QCOMPARE(form->File1->actions().last(), form->Exit1);
        QCOMPARE(form->Exit1->text(), QStringLiteral("&Exit"));
        QCOMPARE(form->SaveLcdPicture1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(form->CopyLcdPicture1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    }

    void geometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("Image1") << "Image1" << QRect(0, 0, 241, 249);
        QTest::newRow("Panel1") << "Panel1" << QRect(40, 57, 163, 129);
        QTest::newRow("Image2") << "Image2" << QRect(52, 192, 33, 33);
        QTest::newRow("Image3") << "Image3" << QRect(154, 192, 33, 33);
        QTest::newRow("Image8") << "Image8" << QRect(100, 196, 41, 41);
        QTest::newRow("Button3") << "Button3" << QRect(64, 232, 33, 25);
        QTest::newRow("Button4") << "Button4" << QRect(144, 232, 33, 25);
        QTest::newRow("Button1") << "Button1" << QRect(56, 272, 75, 25);
        QTest::newRow("Button2") << "Button2" << QRect(152, 272, 75, 25);
        QTest::newRow("Shape1") << "Shape1" << QRect(8, 248, 33, 65);
        QTest::newRow("ScrollBar29") << "ScrollBar29" << QRect(352, 8, 137, 17);
        QTest::newRow("ScrollBar2") << "ScrollBar2" << QRect(352, 32, 137, 17);
        QTest::newRow("ScrollBar1") << "ScrollBar1" << QRect(352, 56, 137, 17);
        QTest::newRow("CheckBox1") << "CheckBox1" << QRect(256, 88, 97, 17);
        QTest::newRow("CheckBox2") << "CheckBox2" << QRect(376, 88, 97, 17);
        QTest::newRow("GroupBox1") << "GroupBox1" << QRect(248, 120, 249, 185);
        QTest::newRow("StatusBar1") << "StatusBar1" << QRect(0, 310, 503, 19);
    }
    void geometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QWidget* widget = control(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        QCOMPARE(widget->parentWidget(), form->client);
        QCOMPARE(widget->geometry(), rect);
        QVERIFY(widget->isVisible());
    }

    void labels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label55") << "Label55" << QPoint(256, 8) << "Altitude:";
        QTest::newRow("Label57") << "Label57" << QPoint(304, 8) << "0";
        QTest::newRow("Label3") << "Label3" << QPoint(256, 32) << "VSI:";
        QTest::newRow("Label1") << "Label1" << QPoint(256, 56) << "ASI:";
        QTest::newRow("Label2") << "Label2" << QPoint(304, 56) << "0";
    }
    void labels()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, position);
        QFETCH(QString, text);
        auto* label = form->findChild<QLabel*>(name);
        QVERIFY2(label != nullptr, qPrintable(name));
        QCOMPARE(label->parentWidget(), form->client);
        QCOMPARE(label->pos(), position);
        QCOMPARE(label->text(), text);
        // The whole caption is shown.
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("Button3") << "Button3" << "+";
        QTest::newRow("Button4") << "Button4" << "-";
        QTest::newRow("Button1") << "Button1" << "&On";
        QTest::newRow("Button2") << "Button2" << "&Off";
        QTest::newRow("CheckBox1") << "CheckBox1" << "Altitude Sensor";
        QTest::newRow("CheckBox2") << "CheckBox2" << "Calibrate";
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto* button = form->findChild<QAbstractButton*>(name);
        QVERIFY2(button != nullptr, qPrintable(name));
        QCOMPARE(button->text(), text);
    }

    void group_box_and_memo()
    {
        QCOMPARE(form->GroupBox1->title(), QStringLiteral(" Communications: "));
        QCOMPARE(form->Memo1->parentWidget(), form->GroupBox1);
        QVERIFY(form->Memo1->toPlainText().isEmpty());
        QCOMPARE(form->Memo1->maximumBlockCount(), 10000);
        // The memo fills the group box below its title.
        const QRect inside = form->GroupBox1->contentsRect();
        QVERIFY(form->Memo1->geometry().width() >= inside.width() - 16);
        QVERIFY(form->Memo1->geometry().bottom() >= inside.bottom() - 10);
        QVERIFY(form->StatusBar1->currentMessage().isEmpty());
    }

    void plus_minus_buttons_bold_12pt()
    {
        for (QPushButton* button : {form->Button3, form->Button4}) {
            QVERIFY(button->font().bold());
            QCOMPARE(button->font().pointSize(), 12);
        }
        QVERIFY(!form->Button1->font().bold());
    }

    void check_boxes_start()
    {
        QVERIFY(form->CheckBox1->isChecked());
        QVERIFY(!form->CheckBox2->isChecked());
    }

    void sliders_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("ScrollBar29 altitude") << "ScrollBar29" << 0 << 65535;
        QTest::newRow("ScrollBar2 VSI") << "ScrollBar2" << -6000 << 6000;
        QTest::newRow("ScrollBar1 ASI") << "ScrollBar1" << 0 << 4096;
    }
    void sliders()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        auto* bar = form->findChild<QScrollBar*>(name);
        QVERIFY2(bar != nullptr, qPrintable(name));
        QCOMPARE(bar->orientation(), Qt::Horizontal);
        QCOMPARE(bar->minimum(), minimum);
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->value(), 0);
    }

    // Runs before slider_moves changes the sliders: they start at 0 and so
    // do the inputs.
    void lamp_starts_maroon()
    {
        QCOMPARE(form->Shape1->brushColor(), QColor(128, 0, 0));
    }

    void slider_moves_data()
    {
        // Inputs a slider does not drive keep the marker value 77.
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("altitude");
        QTest::addColumn<int>("vertical_speed");
        QTest::addColumn<int>("vertical_speed_cms");
        QTest::addColumn<int>("asi_adc");
        QTest::newRow("altitude top") << "ScrollBar29" << 65535 << "Label57" << 65535 << 77 << 77 << 77;
        QTest::newRow("altitude 1500") << "ScrollBar29" << 1500 << "Label57" << 1500 << 77 << 77 << 77;
        QTest::newRow("vsi -1200") << "ScrollBar2" << -1200 << "Label3" << 77 << -1200 << -610 << 77;
        QTest::newRow("vsi 6000") << "ScrollBar2" << 6000 << "Label3" << 77 << 6000 << 3048 << 77;
        QTest::newRow("vsi -6000") << "ScrollBar2" << -6000 << "Label3" << 77 << -6000 << -3048 << 77;
        QTest::newRow("vsi 1") << "ScrollBar2" << 1 << "Label3" << 77 << 1 << 1 << 77;
        QTest::newRow("asi 4096") << "ScrollBar1" << 4096 << "Label2" << 77 << 77 << 77 << 4096;
        QTest::newRow("asi 700") << "ScrollBar1" << 700 << "Label2" << 77 << 77 << 77 << 700;
    }
    void slider_moves()
    {
        QFETCH(QString, name);
        QFETCH(int, position);
        QFETCH(QString, label);
        QFETCH(int, altitude);
        QFETCH(int, vertical_speed);
        QFETCH(int, vertical_speed_cms);
        QFETCH(int, asi_adc);
        for (QScrollBar* bar : {form->ScrollBar29, form->ScrollBar2, form->ScrollBar1})
            bar->setValue(0);
        st.altitude = 77;
        st.vertical_speed = 77;
        st.vertical_speed_cms = 77;
        st.asi_adc = 77;
        auto* bar = form->findChild<QScrollBar*>(name);
        bar->setValue(position);
        auto* shown = form->findChild<QLabel*>(label);
        QCOMPARE(shown->text(), QString::number(position));
        QCOMPARE(int(st.altitude), altitude);
        QCOMPARE(int(st.vertical_speed), vertical_speed);
        QCOMPARE(int(st.vertical_speed_cms), vertical_speed_cms);
        QCOMPARE(int(st.asi_adc), asi_adc);
        // The number is shown in full, even where it replaced "VSI:".
        QVERIFY(shown->width() >= shown->fontMetrics().horizontalAdvance(shown->text()));
        bar->setValue(0);
    }

    void slider_by_mouse_writes_input()
    {
        form->ScrollBar1->setValue(0);
        // A click on the right-hand arrow moves one step.
        QTest::mouseClick(form->ScrollBar1, Qt::LeftButton, {}, QPoint(form->ScrollBar1->width() - 4, 8));
        QTRY_COMPARE(form->ScrollBar1->value(), 1);
        QCOMPARE(int(st.asi_adc), 1);
        QCOMPARE(form->Label2->text(), QStringLiteral("1"));
        form->ScrollBar1->setValue(0);
    }

    void clicks_post_keys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::newRow("Image2 left key") << "Image2" << int(KEY_LEFT);
        QTest::newRow("Image3 right key") << "Image3" << int(KEY_RIGHT);
        QTest::newRow("Image8 knob push") << "Image8" << int(KEY_PUSH);
        QTest::newRow("Button3 +") << "Button3" << int(KEY_CW);
        QTest::newRow("Button4 -") << "Button4" << int(KEY_CCW);
    }
    void clicks_post_keys()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        QWidget* widget = control(name);
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(int(st.pending_key), key);
    }

    void click_on_the_bezel_picture_reaches_the_key()
    {
        // Through the window, at the middle of the left key in the picture.
        QWidget* at = form->client->childAt(68, 208);
        QCOMPARE(at, form->Image2);
        at = form->client->childAt(120, 216);
        QCOMPARE(at, form->Image8);
    }

    void second_key_is_lost_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("kept");
        QTest::newRow("left then right") << "Image2" << "Image3" << int(KEY_LEFT);
        QTest::newRow("push then +") << "Image8" << "Button3" << int(KEY_PUSH);
        QTest::newRow("- then left") << "Button4" << "Image2" << int(KEY_CCW);
        QTest::newRow("+ then +") << "Button3" << "Button3" << int(KEY_CW);
    }
    void second_key_is_lost()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, kept);
        QTest::mouseClick(control(first), Qt::LeftButton);
        QTest::mouseClick(control(second), Qt::LeftButton);
        QCOMPARE(int(st.pending_key), kept);
        // Once consumed, the next click gets through.
        st.pending_key = KEY_NONE;
        QTest::mouseClick(control(second), Qt::LeftButton);
        QVERIFY(st.pending_key != KEY_NONE);
    }

    void press_inside_release_outside_is_no_click()
    {
        QTest::mousePress(form->Image2, Qt::LeftButton, {}, QPoint(16, 16));
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(60, 16), form->Image2->mapToGlobal(QPointF(60, 16)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form->Image2, &release);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
    }

    void keyboard_posts_keys_data()
    {
        QTest::addColumn<int>("qt_key");
        QTest::addColumn<int>("key");
        QTest::newRow("Left") << int(Qt::Key_Left) << int(KEY_LEFT);
        QTest::newRow("Right") << int(Qt::Key_Right) << int(KEY_RIGHT);
        QTest::newRow("Up") << int(Qt::Key_Up) << int(KEY_CW);
        QTest::newRow("+") << int(Qt::Key_Plus) << int(KEY_CW);
        QTest::newRow("Down") << int(Qt::Key_Down) << int(KEY_CCW);
        QTest::newRow("-") << int(Qt::Key_Minus) << int(KEY_CCW);
        QTest::newRow("Return") << int(Qt::Key_Return) << int(KEY_PUSH);
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(KEY_PUSH);
    }
    void keyboard_posts_keys()
    {
        QFETCH(int, qt_key);
        QFETCH(int, key);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus == form->Button1);
        QTest::keyClick(focus, Qt::Key(qt_key));
        QCOMPARE(int(st.pending_key), key);
        // A second key while this one waits is lost, as for clicks.
        QTest::keyClick(focus, qt_key == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(int(st.pending_key), key);
        // The key did not also move the focus or press the button.
        QCOMPARE(QApplication::focusWidget(), focus);
    }

    void keyboard_other_keys_ignored()
    {
        QTest::keyClick(form->Button1, Qt::Key_A);
        QTest::keyClick(form->Button1, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
    }

    void keyboard_in_slider_moves_slider()
    {
        form->ScrollBar29->setValue(10);
        form->ScrollBar29->setFocus();
        QTest::keyClick(form->ScrollBar29, Qt::Key_Right);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
        QCOMPARE(form->ScrollBar29->value(), 11);
        QCOMPARE(int(st.altitude), 11);
        form->ScrollBar29->setValue(0);
    }

    void keyboard_in_memo_posts_nothing()
    {
        form->Memo1->setFocus();
        QTest::keyClick(form->Memo1, Qt::Key_Down);
        QTest::keyClick(form->Memo1->viewport(), Qt::Key_Left);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
    }

    void keyboard_after_clicking_the_bezel()
    {
        // A click on the bezel takes the focus out of a slider.
        form->ScrollBar2->setFocus();
        QTest::mouseClick(form->Image1, Qt::LeftButton, {}, QPoint(120, 20));
        QVERIFY(QApplication::focusWidget() != form->ScrollBar2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(int(st.pending_key), int(KEY_CW));
    }

    void wheel_over_knob_data()
    {
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<int>("key");
        QTest::newRow("up one notch") << QList<int>{120} << int(KEY_CW);
        QTest::newRow("down one notch") << QList<int>{-120} << int(KEY_CCW);
        QTest::newRow("two half notches up") << QList<int>{60, 60} << int(KEY_CW);
        QTest::newRow("half a notch") << QList<int>{60} << int(KEY_NONE);
        QTest::newRow("half up, half down") << QList<int>{60, -60} << int(KEY_NONE);
        QTest::newRow("down then up, first kept") << QList<int>{-120, 120} << int(KEY_CCW);
    }
    void wheel_over_knob()
    {
        QFETCH(QList<int>, deltas);
        QFETCH(int, key);
        for (int delta : deltas) {
            QWheelEvent wheel(QPointF(20, 20), form->Image8->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(form->Image8, &wheel);
        }
        QCOMPARE(int(st.pending_key), key);
        // Bring the remainder back to zero for the next row.
        int rest = 0;
        for (int delta : deltas)
            rest += delta;
        rest %= 120;
        if (rest != 0) {
            QWheelEvent undo(QPointF(20, 20), form->Image8->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -rest),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(form->Image8, &undo);
        }
    }

    void timer_runs_every_100ms_while_off()
    {
        QCOMPARE(form->Timer1->interval(), 100);
        QVERIFY(form->Timer1->isActive());
        QVERIFY(!form->running());
        // Count ticks through the 20-tick cycle of tick_counter.
        st.tick_counter = 0;
        st.blink_divider = 0;
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(650);
        const qint64 elapsed = clock.elapsed();
        const int ticks = st.tick_counter;
        QVERIFY2(ticks >= 3 && ticks <= elapsed / 100 + 1, qPrintable(QString::number(ticks)));
        QCOMPARE(int(st.blink_divider), ticks);
    }

    void lamp_colour_data()
    {
        QTest::addColumn<int>("alarm_active");
        QTest::addColumn<int>("alarm_ack");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("no alarm") << 0 << 0 << QColor(128, 0, 0);
        QTest::newRow("alarm") << 1 << 0 << QColor(255, 0, 0);
        QTest::newRow("alarm, other bit") << 4 << 0 << QColor(255, 0, 0);
        QTest::newRow("acknowledged") << 1 << 1 << QColor(128, 0, 0);
        QTest::newRow("acknowledged, no alarm") << 0 << 1 << QColor(128, 0, 0);
    }
    void lamp_colour()
    {
        QFETCH(int, alarm_active);
        QFETCH(int, alarm_ack);
        QFETCH(QColor, colour);
        // Step 1 of a pass reads the alarm before the airspeed is updated.
        st.alarm_active = uint32_t(alarm_active);
        st.alarm_ack = uint32_t(alarm_ack);
        run_pass(TfrmMain::host());
        QCOMPARE(form->Shape1->brushColor(), colour);
        form->set_lamp(false);
    }

    void lamp_drawn_in_its_colour()
    {
        form->set_lamp(true);
        QImage picture = form->Shape1->grab().toImage();
        // The middle of the circle shows the brush.
        QCOMPARE(picture.pixelColor(16 * picture.devicePixelRatio(), 32 * picture.devicePixelRatio()),
                 QColor(255, 0, 0));
        form->set_lamp(false);
        picture = form->Shape1->grab().toImage();
        QCOMPARE(picture.pixelColor(16 * picture.devicePixelRatio(), 32 * picture.devicePixelRatio()),
                 QColor(128, 0, 0));
    }

    void check_box_sampled_by_pass()
    {
        form->CheckBox1->setChecked(false);
        st.alt_sensor_ok = 1;
        run_pass(TfrmMain::host());
        QCOMPARE(int(st.alt_sensor_ok), 0);
        form->CheckBox1->setChecked(true);
        run_pass(TfrmMain::host());
        QCOMPARE(int(st.alt_sensor_ok), 1);
    }

    void communications_line_per_sentence()
    {
        form->Memo1->clear();
        form->append_communications("ALT 01000\r");
        form->append_communications("#AL +01000T+25D7\r");
        QCOMPARE(form->Memo1->blockCount(), 2);
        QCOMPARE(form->Memo1->document()->findBlockByNumber(0).text(), QStringLiteral("ALT 01000"));
        QCOMPARE(form->Memo1->document()->findBlockByNumber(1).text(), QStringLiteral("#AL +01000T+25D7"));
        form->Memo1->clear();
    }

    void communications_follows_newest_line()
    {
        form->Memo1->clear();
        QScrollBar* bar = form->Memo1->verticalScrollBar();
        char line[32];
        for (int i = 0; i < 300; i++) {
            std::snprintf(line, sizeof line, "ALT %05d\r", i);
            form->append_communications(line);
            QCoreApplication::processEvents();
        }
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        // Scrolled back by the user: new lines do not pull the view away.
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(bar->value(), 0);
        form->append_communications("ALT 99999\r");
        QCOMPARE(bar->value(), 0);
        // Back at the end, it follows again.
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        form->append_communications("ALT 88888\r");
        QCOMPARE(bar->value(), bar->maximum());
        form->Memo1->clear();
    }

    void communications_keeps_last_10000_lines()
    {
        form->Memo1->clear();
        char line[32];
        for (int i = 0; i < 10005; i++) {
            std::snprintf(line, sizeof line, "LINE %05d\r", i);
            form->append_communications(line);
        }
        QCOMPARE(form->Memo1->blockCount(), 10000);
        QCOMPARE(form->Memo1->document()->firstBlock().text(), QStringLiteral("LINE 00005"));
        QCOMPARE(form->Memo1->document()->lastBlock().text(), QStringLiteral("LINE 10004"));
        form->Memo1->clear();
    }
};

QTEST_MAIN(tst_frm_main)
#include "tst_frm_main.moc"
