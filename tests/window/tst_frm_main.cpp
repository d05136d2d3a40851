// The form: layout, captions, keys, sliders, timer, lamp, Communications box.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImageReader>
#include <QRegularExpression>
#include <QLineEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QWheelEvent>

#include <cstring>

#include "core/state.h"
#include "screens/framework.h"
#include "screens/screens.h"
#include "host/version.h"
#include "window/app/help_menu.h"
#include "window/lcd/lcd_animation.h"
#include "window/lcd/lcd_pictures.h"
#include "window_support.h"

class tst_frm_main : public QObject {
    Q_OBJECT

    TfrmMain* form = nullptr;
    QTemporaryDir config;

    QWidget* control(const QString& name) const
    {
        return form->findChild<QWidget*>(name);
    }

private slots:
    void initTestCase()
    {
        // The window's place is a host preference; keep the tests' own.
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        QApplication::setApplicationName(QLatin1String(APPLICATION_NAME));
        st.current_screen = nullptr;
        form = new TfrmMain;
        // Creating the form makes it the one instance and selects the main display.
        QVERIFY(frmMain == form);
        QVERIFY(st.current_screen == screen_main);
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
        child<QPushButton>(form, "Button1")->setFocus();
    }

    void window_properties()
    {
        QCOMPARE(form->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Kova KTR-7 Simulator"));
        // Below the menu bar, filling the rest of the window exactly, at its
        // least size: the instrument's own form (503 x 329) with room for the
        // number fields at the right.
        QCOMPARE(child<ClientArea>(form, "client")->geometry().top(), child<QMenuBar>(form, "MainMenu1")->geometry().bottom() + 1);
        QCOMPARE(child<ClientArea>(form, "client")->geometry().left(), 0);
        QCOMPARE(form->size(), form->minimumSize());
        QCOMPARE(child<ClientArea>(form, "client")->height(), 329);
        QVERIFY(child<ClientArea>(form, "client")->width() >= 503);
        QCOMPARE(form->height(), child<QMenuBar>(form, "MainMenu1")->height() + 329);
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
        QCOMPARE(child<QMenuBar>(form, "MainMenu1")->actions().first(), child<QMenu>(form, "File1")->menuAction());
        // Exit stays the last entry of File.
        QCOMPARE(child<QMenu>(form, "File1")->actions().last(), child<QAction>(form, "Exit1"));
        QCOMPARE(child<QAction>(form, "SaveLcdPicture1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(child<QAction>(form, "CopyLcdPicture1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(child<QAction>(form, "Exit1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    }

    void help_menu_data()
    {
        // Each entry of Help, last in the bar, and words its window must hold.
        add_columns<QString, QString>({"entry", "holds"});
        QTest::newRow("keyboard map") << "KeyboardMap1" << "Return";
        QTest::newRow("about: version") << "About1" << KTR7_VERSION;
        QTest::newRow("about: the font's licence") << "About1" << "SIL Open Font License";
        QTest::newRow("scenario language") << "ScenarioManual1" << "expect";
    }
    void help_menu()
    {
        QFETCH(QString, entry);
        QFETCH(QString, holds);
        QCOMPARE(child<QMenuBar>(form, "MainMenu1")->actions().last(), child<HelpMenu>(form, "Help1")->menuAction());
        auto* action = child<HelpMenu>(form, "Help1")->findChild<QAction*>(entry);
        QVERIFY(action != nullptr);
        if (entry == QLatin1String("ScenarioManual1")) {
            action->trigger();
            auto* text = child<HelpMenu>(form, "Help1")->manual->findChild<QTextBrowser*>();
            QVERIFY(child<HelpMenu>(form, "Help1")->manual->isVisible());
            QVERIFY(text->toPlainText().contains(holds));
            child<HelpMenu>(form, "Help1")->manual->close();
            return;
        }
        MessageBoxCatcher catcher;
        action->trigger();
        QVERIFY2(catcher.text.contains(holds), qPrintable(catcher.text));
    }

    void geometry_data()
    {
        add_columns<QString, QRect>({"name", "rect"});
        const std::pair<const char*, QRect> controls[] = {
            {"Image1", {0, 0, 241, 249}},       {"Panel1", {40, 57, 163, 129}},     {"Image2", {52, 192, 33, 33}},
            {"Image3", {154, 192, 33, 33}},     {"Image8", {100, 196, 41, 41}},     {"Button3", {64, 247, 33, 22}},
            {"Button4", {144, 247, 33, 22}},    {"Button1", {56, 272, 75, 25}},     {"Button2", {152, 272, 75, 25}},
            {"Shape1", {8, 248, 33, 65}},       {"ScrollBar29", {352, 8, 137, 17}}, {"ScrollBar2", {352, 32, 137, 17}},
            {"ScrollBar1", {352, 56, 137, 17}}, {"CheckBox1", {256, 88, 97, 17}},   {"CheckBox2", {376, 88, 97, 17}},
        };
        // The captions and numbers by their top left (their size is their text's).
        const std::pair<const char*, QPoint> labels[] = {
            {"Label55", {256, 8}}, {"Label57", {304, 8}}, {"Label3", {256, 32}}, {"Label1", {256, 56}},
            {"Label2", {304, 56}},
            // These two take the window's width.
            {"GroupBox1", {248, 120}}, {"StatusBar1", {0, 310}},
        };
        for (const auto& [name, at] : labels)
            QTest::newRow(name) << QString(name) << QRect(at, QSize());
        for (const auto& [name, rect] : controls)
            QTest::newRow(name) << QString(name) << rect;
    }
    void geometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QWidget* widget = control(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        QVERIFY(child<ClientArea>(form, "client")->isAncestorOf(widget));
        // Where it lies on the client, whichever part holds it.
        const QRect on_client(widget->mapTo(child<ClientArea>(form, "client"), QPoint(0, 0)), widget->size());
        QCOMPARE(on_client.topLeft(), rect.topLeft());
        if (!rect.size().isEmpty())
            QCOMPARE(on_client.size(), rect.size());
        QVERIFY(widget->isVisible());
    }

    void slider_moves_data()
    {
        // Inputs a slider does not drive keep the marker value 77.
        add_columns<QString, int, QString, int, int, int, int>(
            {"name", "position", "label", "altitude", "vertical_speed", "vertical_speed_cms", "asi_adc"});
        QTest::newRow("altitude top") << "ScrollBar29" << 65535 << "Label57" << 65535 << 77 << 77 << 77;
        QTest::newRow("altitude 1500") << "ScrollBar29" << 1500 << "Label57" << 1500 << 77 << 77 << 77;
        QTest::newRow("vsi -1200") << "ScrollBar2" << -1200 << "Label3" << 77 << -1200 << -610 << 77;
        QTest::newRow("vsi 6000") << "ScrollBar2" << 6000 << "Label3" << 77 << 6000 << 3048 << 77;
        QTest::newRow("vsi -6000") << "ScrollBar2" << -6000 << "Label3" << 77 << -6000 << -3048 << 77;
        QTest::newRow("vsi 1") << "ScrollBar2" << 1 << "Label3" << 77 << 1 << 1 << 77;
        QTest::newRow("asi 4096") << "ScrollBar1" << 4096 << "Label2" << 77 << 77 << 77 << 4096;
        QTest::newRow("asi 700") << "ScrollBar1" << 700 << "Label2" << 77 << 77 << 77 << 700;
        // The slider stops at both ends of its range: one step outside is the end.
        QTest::newRow("altitude 65536") << "ScrollBar29" << 65536 << "Label57" << 65535 << 77 << 77 << 77;
        QTest::newRow("altitude -1") << "ScrollBar29" << -1 << "Label57" << 0 << 77 << 77 << 77;
        QTest::newRow("vsi 6001") << "ScrollBar2" << 6001 << "Label3" << 77 << 6000 << 3048 << 77;
        QTest::newRow("vsi -6001") << "ScrollBar2" << -6001 << "Label3" << 77 << -6000 << -3048 << 77;
        QTest::newRow("asi 4097") << "ScrollBar1" << 4097 << "Label2" << 77 << 77 << 77 << 4096;
        QTest::newRow("asi -1") << "ScrollBar1" << -1 << "Label2" << 77 << 77 << 77 << 0;
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
        for (QScrollBar* bar : {child<QScrollBar>(form, "ScrollBar29"), child<QScrollBar>(form, "ScrollBar2"), child<QScrollBar>(form, "ScrollBar1")})
            bar->setValue(0);
        auto* bar = form->findChild<QScrollBar*>(name);
        // From a middle position, so that a move to either end is a move.
        bar->setValue(100);
        st.altitude = 77, st.vertical_speed = 77, st.vertical_speed_cms = 77, st.asi_adc = 77;
        bar->setValue(position);
        auto* shown = form->findChild<QLabel*>(label);
        QCOMPARE(shown->text(), QString::number(bar->value()));
        QCOMPARE(int(st.altitude), altitude);
        QCOMPARE(int(st.vertical_speed), vertical_speed);
        QCOMPARE(int(st.vertical_speed_cms), vertical_speed_cms);
        QCOMPARE(int(st.asi_adc), asi_adc);
        // The number is shown in full, even where it replaced "VSI:".
        QVERIFY(shown->width() >= shown->fontMetrics().horizontalAdvance(shown->text()));
        bar->setValue(0);
    }

    void number_fields_data()
    {
        // What is typed (then Return) or the arrow key pressed in a field,
        // and the input it leaves: the field refuses a digit that would go
        // past either end of the range.
        add_columns<int, QString, int, int>({"input", "typed", "arrow", "value"});
        const int altitude = int(sensor_input::altitude), vsi = int(sensor_input::vertical_speed);
        const int asi = int(sensor_input::asi_adc);
        QTest::newRow("altitude 65535") << altitude << "65535" << 0 << 65535;
        QTest::newRow("altitude 65536") << altitude << "65536" << 0 << 6553;
        QTest::newRow("altitude 0, down") << altitude << "0" << int(Qt::Key_Down) << 0;
        QTest::newRow("altitude 1500, up") << altitude << "1500" << int(Qt::Key_Up) << 1501;
        QTest::newRow("vsi -6000") << vsi << "-6000" << 0 << -6000;
        QTest::newRow("vsi -6001") << vsi << "-6001" << 0 << -600;
        QTest::newRow("vsi 6000, up") << vsi << "6000" << int(Qt::Key_Up) << 6000;
        QTest::newRow("asi 4096") << asi << "4096" << 0 << 4096;
        QTest::newRow("asi 4097") << asi << "4097" << 0 << 409;
        QTest::newRow("asi 1, down") << asi << "1" << int(Qt::Key_Down) << 0;
    }
    void number_fields()
    {
        QFETCH(int, input);
        QFETCH(QString, typed);
        QFETCH(int, arrow);
        QFETCH(int, value);
        QSpinBox* field = child<SensorPanel>(form)->field(sensor_input(input));
        QScrollBar* bar = child<SensorPanel>(form)->slider(sensor_input(input));
        bar->setValue(77);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        if (arrow != 0)
            QTest::keyClick(field, Qt::Key(arrow));
        // The slider, the instrument's input and the recording follow; the
        // keys stayed in the field.
        QCOMPARE(bar->value(), value);
        const int32_t inputs[] = {int32_t(st.altitude), st.vertical_speed, st.asi_adc};
        QCOMPARE(int(inputs[input]), value);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->keys_label->text(),
                 QStringLiteral("Keys: %1 field").arg(QLatin1String(sensor_input_of(sensor_input(input)).word)));
        // And a moved slider shows in its field.
        bar->setValue(0);
        QCOMPARE(field->value(), 0);
    }

    void keys_cue_follows_the_focus()
    {
        child<QScrollBar>(form, "ScrollBar2")->setFocus();
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->keys_label->text(), QStringLiteral("Keys: vsi slider"));
        child<QPlainTextEdit>(form, "Memo1")->setFocus();
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->keys_label->text(), QStringLiteral("Keys: Communications"));
        QTest::mouseClick(child<QLabel>(form, "Image1"), Qt::LeftButton, {}, QPoint(120, 20));
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->keys_label->text(), QStringLiteral("Keys: instrument"));
    }

    void widening_gives_the_room_to_sliders_and_communications_data()
    {
        add_columns<QSize>({"grown"});
        QTest::newRow("least size") << QSize(0, 0);
        QTest::newRow("200 wider") << QSize(200, 0);
        QTest::newRow("150 taller") << QSize(0, 150);
    }
    void widening_gives_the_room_to_sliders_and_communications()
    {
        QFETCH(QSize, grown);
        const QSize least = form->minimumSize();
        form->resize(least + grown);
        QTRY_COMPARE(form->size(), least + grown);
        const QRect client = child<ClientArea>(form, "client")->rect();
        const auto on_client = [&](QWidget* widget) {
            return QRect(widget->mapTo(child<ClientArea>(form, "client"), QPoint(0, 0)), widget->size());
        };
        // The instrument's form at its least size (the sliders 137 wide) ...
        QCOMPARE(child<QScrollBar>(form, "ScrollBar29")->width(), 137 + grown.width());
        QCOMPARE(on_client(child<QLabel>(form, "Image1")), QRect(0, 0, 241, 249));
        // ... and nothing grey at the right or the bottom.
        for (sensor_input input : {sensor_input::altitude, sensor_input::vertical_speed, sensor_input::asi_adc}) {
            QCOMPARE(child<SensorPanel>(form)->slider(input)->width(), child<QScrollBar>(form, "ScrollBar29")->width());
            QVERIFY(client.right() - on_client(child<SensorPanel>(form)->field(input)).right() <= 10);
        }
        QCOMPARE(client.right() - on_client(child<CommunicationsBox>(form, "GroupBox1")).right(), 6);
        QCOMPARE(on_client(child<CommunicationsBox>(form, "GroupBox1")).height(), 185 + grown.height());
        QCOMPARE(on_client(child<StatusBar>(form, "StatusBar1")), QRect(0, client.bottom() - 18, client.width(), 19));
        form->resize(least);
        QTRY_COMPARE(form->size(), least);
    }

    void place_and_size_are_kept_for_the_next_run()
    {
        // Nothing kept yet: centred.
        {
            TfrmMain first;
            first.restore_placement();
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            const QPoint centre = first.frameGeometry().center();
            QVERIFY(qAbs(centre.x() - first.screen()->availableGeometry().center().x()) <= 8);
            first.resize(first.minimumSize() + QSize(120, 80));
            first.move(30, 40);
            QTRY_COMPARE(first.size(), first.minimumSize() + QSize(120, 80));
            first.close();
        }
        TfrmMain next;
        next.restore_placement();
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QTRY_COMPARE(next.size(), next.minimumSize() + QSize(120, 80));
        QCOMPARE(next.pos(), QPoint(30, 40));
        QFile::remove(config.filePath(QStringLiteral("ktr7-sim/ktr7-sim.ini")));
    }

    void a_long_message_shows_whole()
    {
        const QString message = QStringLiteral("Encoder port /dev/ttyUSB0: lost (the device was removed), closed after "
                                               "2,970 sent; the receiver's end may be unplugged or switched off");
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->height(), 19);
        child<StatusBar>(form, "StatusBar1")->say(message);
        // Two lines, taken from the Communications box above.
        QTRY_VERIFY(child<StatusBar>(form, "StatusBar1")->height() >= 2 * child<StatusBar>(form, "StatusBar1")->fontMetrics().lineSpacing());
        const QRect bar = child<StatusBar>(form, "StatusBar1")->geometry();
        QCOMPARE(bar.bottom(), child<ClientArea>(form, "client")->height() - 1);
        QVERIFY(child<CommunicationsBox>(form, "GroupBox1")->geometry().bottom() < bar.top());
        child<StatusBar>(form, "StatusBar1")->clearMessage();
        QTRY_COMPARE(child<StatusBar>(form, "StatusBar1")->height(), 19);
    }

    void save_lcd_picture_asks_the_scale_with_the_file_and_says_what_it_wrote()
    {
        // The scale is a file type of the save dialog; the one chosen is
        // offered first the next time.
        const QString path = config.filePath(QStringLiteral("lcd.png"));
        QString offered_first, offered_next;
        const auto answer = [&](QString* offered, int scale) {
            QTimer::singleShot(50, [=] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog != nullptr);
                *offered = dialog->selectedNameFilter();
                dialog->selectNameFilter(LcdPictures::scale_filters().at(scale - 1));
                // Typed as a person would.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(name != nullptr);
                name->setText(path);
                QMetaObject::invokeMethod(dialog, "accept");
            });
        };
        // Cancelled with a name typed: nothing is written.
        QTimer::singleShot(50, [=] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(dialog, "reject");
        });
        child<QAction>(form, "SaveLcdPicture1")->trigger();
        QVERIFY(!QFile::exists(path));
        answer(&offered_first, 2);
        child<QAction>(form, "SaveLcdPicture1")->trigger();
        QCOMPARE(offered_first, QStringLiteral("PNG, each LCD pixel 3 x 3 (*.png)"));
        QCOMPARE(QImage(path).size(), QSize(320, 256));
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->currentMessage(),
                 QStringLiteral("Wrote %1 (320 x 256, each LCD pixel 2 x 2)").arg(path));
        QFile::remove(path);
        answer(&offered_next, 8);
        child<QAction>(form, "SaveLcdPicture1")->trigger();
        QCOMPARE(offered_next, QStringLiteral("PNG, each LCD pixel 2 x 2 (*.png)"));
        QCOMPARE(QImage(path).size(), QSize(1280, 1024));
        // Copying says so too.
        child<QAction>(form, "CopyLcdPicture1")->trigger();
        QCOMPARE(child<StatusBar>(form, "StatusBar1")->currentMessage(), QStringLiteral("Copied the LCD to the clipboard (480 x 384)"));
    }

    // File > Record LCD Animation...: the scale a file type of the dialog,
    // the frames counted while the instrument runs, the file written on Stop
    // with the LCD as it was then for its last frame.
    void record_lcd_animation_counts_frames_and_writes_them()
    {
        const QString path = config.filePath(QStringLiteral("lcd.gif"));
        QTimer::singleShot(50, [=] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("GIF animation, each LCD pixel 3 x 3 (*.gif)"));
            dialog->selectNameFilter(LcdAnimation::scale_filters().at(1));
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        auto* record = child<QAction>(form, "RecordLcdAnimation1");
        auto* stop = child<QAction>(form, "StopLcdAnimation1");
        QVERIFY(!stop->isEnabled());
        record->trigger();
        QVERIFY(stop->isEnabled() && !record->isEnabled());
        auto* frames = child<QLabel>(form, "animation_label");
        QString counted;
        // The menu a moment after On: the LCD moves on at least twice.
        run_with(*form, {{500, [&] { QTest::mouseClick(child<TClickImage>(form, "Image8"), Qt::LeftButton); }},
                         {1500, [&] {
                              counted = frames->text();
                              stop->trigger();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        QVERIFY2(counted.contains(QRegularExpression(QStringLiteral("^LCD animation: ([2-9]|[1-9][0-9]+) frames$"))),
                 qPrintable(counted));
        QVERIFY(frames->isHidden() && record->isEnabled() && !stop->isEnabled());
        QVERIFY(child<StatusBar>(form, "StatusBar1")->currentMessage().startsWith(QStringLiteral("Wrote %1: ").arg(path)));
        QImageReader gif(path);
        QVERIFY2(gif.imageCount() >= 2, qPrintable(gif.errorString()));
        QImage last;
        for (int i = 0; i < gif.imageCount(); i++)
            last = gif.read();
        QCOMPARE(last.size(), QSize(320, 256));
        QCOMPARE(compare_lcd_picture(last.convertToFormat(QImage::Format_RGB32), lcd_buffer, 2), QString());
        QVERIFY(st.current_screen == screen_main_menu);
    }

    void slider_by_mouse_writes_input()
    {
        child<QScrollBar>(form, "ScrollBar1")->setValue(0);
        // A click on the right-hand arrow moves one step.
        QTest::mouseClick(child<QScrollBar>(form, "ScrollBar1"), Qt::LeftButton, {}, QPoint(child<QScrollBar>(form, "ScrollBar1")->width() - 4, 8));
        QTRY_COMPARE(child<QScrollBar>(form, "ScrollBar1")->value(), 1);
        QCOMPARE(int(st.asi_adc), 1);
        QCOMPARE(child<QLabel>(form, "Label2")->text(), QStringLiteral("1"));
        child<QScrollBar>(form, "ScrollBar1")->setValue(0);
    }

    void clicks_post_keys_data()
    {
        // Each control by the middle of its part of the bezel, found through
        // the window (so nothing covers it).
        add_columns<QString, QPoint, int>({"name", "middle", "key"});
        QTest::newRow("Image2 left key") << "Image2" << QPoint(68, 208) << int(KEY_LEFT);
        QTest::newRow("Image3 right key") << "Image3" << QPoint(170, 208) << int(KEY_RIGHT);
        QTest::newRow("Image8 knob push") << "Image8" << QPoint(120, 216) << int(KEY_PUSH);
        QTest::newRow("Button3 +") << "Button3" << QPoint(80, 258) << int(KEY_CW);
        QTest::newRow("Button4 -") << "Button4" << QPoint(160, 258) << int(KEY_CCW);
    }
    void clicks_post_keys()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, middle);
        QFETCH(int, key);
        QWidget* at = child<ClientArea>(form, "client")->childAt(middle);
        QCOMPARE(at, control(name));
        QTest::mouseClick(at, Qt::LeftButton);
        QCOMPARE(int(st.pending_key), key);
    }

    void press_inside_release_outside_is_no_click()
    {
        QTest::mousePress(child<TClickImage>(form, "Image2"), Qt::LeftButton, {}, QPoint(16, 16));
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(60, 16), child<TClickImage>(form, "Image2")->mapToGlobal(QPointF(60, 16)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(child<TClickImage>(form, "Image2"), &release);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
    }

    void keyboard_data()
    {
        // The widget with the focus (or the memo's page inside it), the key
        // and its modifiers, and the instrument key posted.
        add_columns<QString, int, int, int>({"focus", "qt_key", "modifiers", "key"});
        QTest::newRow("Left") << "Button1" << int(Qt::Key_Left) << 0 << int(KEY_LEFT);
        QTest::newRow("Right") << "Button1" << int(Qt::Key_Right) << 0 << int(KEY_RIGHT);
        QTest::newRow("Up") << "Button1" << int(Qt::Key_Up) << 0 << int(KEY_CW);
        QTest::newRow("+") << "Button1" << int(Qt::Key_Plus) << 0 << int(KEY_CW);
        QTest::newRow("Down") << "Button1" << int(Qt::Key_Down) << 0 << int(KEY_CCW);
        QTest::newRow("-") << "Button1" << int(Qt::Key_Minus) << 0 << int(KEY_CCW);
        QTest::newRow("Return") << "Button1" << int(Qt::Key_Return) << 0 << int(KEY_PUSH);
        QTest::newRow("Enter") << "Button1" << int(Qt::Key_Enter) << 0 << int(KEY_PUSH);
        QTest::newRow("other key") << "Button1" << int(Qt::Key_A) << 0 << int(KEY_NONE);
        QTest::newRow("Ctrl+Left") << "Button1" << int(Qt::Key_Left) << int(Qt::ControlModifier) << int(KEY_NONE);
        QTest::newRow("Down in the memo") << "Memo1" << int(Qt::Key_Down) << 0 << int(KEY_NONE);
        QTest::newRow("Left in the memo's page") << "Memo1 page" << int(Qt::Key_Left) << 0 << int(KEY_NONE);
    }
    void keyboard()
    {
        QFETCH(QString, focus);
        QFETCH(int, qt_key);
        QFETCH(int, modifiers);
        QFETCH(int, key);
        QWidget* to = focus == QLatin1String("Memo1 page") ? child<QPlainTextEdit>(form, "Memo1")->viewport() : control(focus);
        to->setFocus();
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(to, Qt::Key(qt_key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(int(st.pending_key), key);
        // A posted key did not also move the focus or press the button.
        if (key != KEY_NONE)
            QCOMPARE(QApplication::focusWidget(), focused);
    }

    void keyboard_in_slider_moves_slider()
    {
        child<QScrollBar>(form, "ScrollBar29")->setValue(10);
        child<QScrollBar>(form, "ScrollBar29")->setFocus();
        QTest::keyClick(child<QScrollBar>(form, "ScrollBar29"), Qt::Key_Right);
        QCOMPARE(int(st.pending_key), int(KEY_NONE));
        QCOMPARE(child<QScrollBar>(form, "ScrollBar29")->value(), 11);
        QCOMPARE(int(st.altitude), 11);
        child<QScrollBar>(form, "ScrollBar29")->setValue(0);
    }

    void keyboard_after_clicking_the_bezel()
    {
        // A click on the bezel takes the focus out of a slider.
        child<QScrollBar>(form, "ScrollBar2")->setFocus();
        QTest::mouseClick(child<QLabel>(form, "Image1"), Qt::LeftButton, {}, QPoint(120, 20));
        QVERIFY(QApplication::focusWidget() != child<QScrollBar>(form, "ScrollBar2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(int(st.pending_key), int(KEY_CW));
    }

    void wheel_over_knob_data()
    {
        add_columns<QList<int>, int>({"deltas", "key"});
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
        auto turn = [&](int delta) {
            QWheelEvent wheel(QPointF(20, 20), child<TClickImage>(form, "Image8")->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(child<TClickImage>(form, "Image8"), &wheel);
        };
        int rest = 0;
        for (int delta : deltas) {
            turn(delta);
            rest += delta;
        }
        QCOMPARE(int(st.pending_key), key);
        // Bring the remainder back to zero for the next row.
        if (rest % 120 != 0)
            turn(-(rest % 120));
    }

    void timer_runs_every_100ms_while_off()
    {
        QCOMPARE(child<QTimer>(form, "Timer1")->interval(), 100);
        QVERIFY(child<QTimer>(form, "Timer1")->isActive());
        QVERIFY(!child<RunLoop>(form)->running());
        // Count ticks through the 20-tick cycle of tick_counter.
        st.tick_counter = 0, st.blink_divider = 0;
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(650);
        const qint64 elapsed = clock.elapsed();
        const int ticks = st.tick_counter;
        // A busy machine can bunch a late tick with the next: one more than the
        // time holds is allowed; far fewer or far more is not a 100 ms timer.
        QVERIFY2(ticks >= 3 && ticks <= elapsed / 100 + 2,
                 qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(elapsed)));
        QCOMPARE(int(st.blink_divider), ticks);
    }

    void lamp_drawn_in_its_colour()
    {
        // The middle of the circle shows the brush: maroon on a new form
        // (no pass has run), red while an alarm shows.
        auto middle = [&] {
            const QImage picture = child<TShape>(form, "Shape1")->grab().toImage();
            return picture.pixelColor(16 * picture.devicePixelRatio(), 32 * picture.devicePixelRatio());
        };
        QCOMPARE(middle(), QColor(128, 0, 0));
        child<InstrumentPanel>(form)->set_lamp(true);
        QCOMPARE(middle(), QColor(255, 0, 0));
        child<InstrumentPanel>(form)->set_lamp(false);
        QCOMPARE(middle(), QColor(128, 0, 0));
    }

    void communications_follows_newest_line()
    {
        child<QPlainTextEdit>(form, "Memo1")->clear();
        QScrollBar* bar = child<QPlainTextEdit>(form, "Memo1")->verticalScrollBar();
        char line[32];
        for (int i = 0; i < 300; i++) {
            std::snprintf(line, sizeof line, "ALT %05d\r", i);
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence(line);
            QCoreApplication::processEvents();
        }
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(child<CommunicationsBox>(form, "GroupBox1")->paused_note->isHidden());
        // Scrolled back by the user (one step up is enough): new lines do
        // not pull the view away, and the box says how many came.
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        const int held = bar->value();
        QVERIFY(held < bar->maximum());
        child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT 99999\r");
        QCOMPARE(bar->value(), held);
        QCOMPARE(child<CommunicationsBox>(form, "GroupBox1")->paused_note->text(), QStringLiteral("paused, 1 new line; End to follow"));
        for (int i = 0; i < 1203; i++)
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT 77777\r");
        QCOMPARE(bar->value(), held);
        QCOMPARE(child<CommunicationsBox>(form, "GroupBox1")->paused_note->text(), QStringLiteral("paused, 1,204 new lines; End to follow"));
        QVERIFY(child<CommunicationsBox>(form, "GroupBox1")->paused_note->isVisible());
        // End (with or without Ctrl) follows again.
        for (Qt::KeyboardModifiers with : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
            bar->triggerAction(QAbstractSlider::SliderToMinimum);
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT 66666\r");
            QCOMPARE(bar->value(), 0);
            child<QPlainTextEdit>(form, "Memo1")->setFocus();
            QTest::keyClick(child<QPlainTextEdit>(form, "Memo1"), Qt::Key_End, with);
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT 88888\r");
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(child<CommunicationsBox>(form, "GroupBox1")->paused_note->isHidden());
        }
        // So does scrolling back to the bottom.
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT 88888\r");
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(child<CommunicationsBox>(form, "GroupBox1")->paused_note->isHidden());
        child<QPlainTextEdit>(form, "Memo1")->clear();
    }

    void communications_holds_the_lines_read_when_full()
    {
        // Full, every new line drops the oldest; a held view keeps showing
        // the same lines.
        child<QPlainTextEdit>(form, "Memo1")->clear();
        char line[32];
        for (int i = 0; i < 10000; i++) {
            std::snprintf(line, sizeof line, "LINE %05d\r", i);
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence(line);
        }
        QScrollBar* bar = child<QPlainTextEdit>(form, "Memo1")->verticalScrollBar();
        bar->setValue(5000);
        const QString top = child<QPlainTextEdit>(form, "Memo1")->cursorForPosition(QPoint(2, 2)).block().text();
        QCOMPARE(top, QStringLiteral("LINE 05000"));
        for (int i = 0; i < 30; i++)
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence("NEW\r");
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->cursorForPosition(QPoint(2, 2)).block().text(), top);
        child<QPlainTextEdit>(form, "Memo1")->clear();
        child<CommunicationsBox>(form, "GroupBox1")->follow();
    }

    void ctrl_c_in_communications_copies_the_selected_lines()
    {
        child<QPlainTextEdit>(form, "Memo1")->clear();
        child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT +01500\r");
        child<CommunicationsBox>(form, "GroupBox1")->append_sentence("ALT +01600\r");
        QTextCursor cursor(child<QPlainTextEdit>(form, "Memo1")->document());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        child<QPlainTextEdit>(form, "Memo1")->setTextCursor(cursor);
        child<QPlainTextEdit>(form, "Memo1")->setFocus();
        QApplication::clipboard()->clear();
        QTest::keyClick(child<QPlainTextEdit>(form, "Memo1"), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ALT +01500\nALT +01600"));
        // Elsewhere Ctrl+C copies the LCD.
        child<QPushButton>(form, "Button1")->setFocus();
        QTest::keyClick(child<QPushButton>(form, "Button1"), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(160 * 3, 128 * 3));
        child<QPlainTextEdit>(form, "Memo1")->clear();
    }

    void communications_line_per_sentence_keeps_last_10000()
    {
        // One line per sentence, in order, without its terminator (each
        // format's sentence is seen so in the encoder port's tests).
        child<QPlainTextEdit>(form, "Memo1")->clear();
        char line[32];
        for (int i = 0; i < 10005; i++) {
            std::snprintf(line, sizeof line, "LINE %05d\r", i);
            child<CommunicationsBox>(form, "GroupBox1")->append_sentence(line);
        }
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->blockCount(), 10000);
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->document()->firstBlock().text(), QStringLiteral("LINE 00005"));
        QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->document()->lastBlock().text(), QStringLiteral("LINE 10004"));
        child<QPlainTextEdit>(form, "Memo1")->clear();
    }
};

QTEST_MAIN(tst_frm_main)
#include "tst_frm_main.moc"
