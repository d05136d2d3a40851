#include "window/app/help_texts.h"

#include <QKeySequence>
#include <QStringList>

#include "host/version.h"
#include "screens/framework.h"

const std::array<control_map_row, 5> CONTROL_MAP = {{
    {KEY_LEFT, "Left key", {Qt::Key_Left, 0}, "Click the left key under the display"},
    {KEY_RIGHT, "Right key", {Qt::Key_Right, 0}, "Click the right key under the display"},
    {KEY_PUSH, "Knob, pushed", {Qt::Key_Return, Qt::Key_Enter}, "Click the knob"},
    {KEY_CW, "Knob, turned clockwise", {Qt::Key_Up, Qt::Key_Plus},
     "Wheel up over the knob or the LCD window, or the \"+\" button"},
    {KEY_CCW, "Knob, turned counter-clockwise", {Qt::Key_Down, Qt::Key_Minus},
     "Wheel down over the knob or the LCD window, or the \"-\" button"},
}};

namespace {

// "Up or +" for a row's keyboard keys, as the keyboard labels them.
QString keyboard_names(const control_map_row& row)
{
    QStringList names;
    for (int qt_key : row.keyboard) {
        if (qt_key != 0)
            names << QKeySequence(qt_key).toString(QKeySequence::NativeText);
    }
    return names.join(QStringLiteral(" or "));
}

}  // namespace

QString keyboard_map_text()
{
    QString rows;
    for (const control_map_row& row : CONTROL_MAP) {
        rows += QStringLiteral("<tr><td>%1</td><td><b>%2</b></td><td>%3</td></tr>")
                    .arg(QLatin1String(row.control), keyboard_names(row).toHtmlEscaped(),
                         QString::fromLatin1(row.mouse).toHtmlEscaped());
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\">"
                          "<tr><th align=\"left\">Instrument</th><th align=\"left\">Keyboard</th>"
                          "<th align=\"left\">Mouse</th></tr>%1</table>"
                          "<p>The keyboard drives the instrument unless a slider, a number field or the "
                          "Communications box has the keyboard focus. "
                          "In the LCD window the keys always reach the instrument.</p>"
                          "<p>One key at a time: a key pressed while the instrument has not yet taken the "
                          "last one is dropped, as on the instrument.</p>")
        .arg(rows);
}

QString about_text()
{
    return QStringLiteral(
               "<h3>Kova KTR-7 Simulator %1</h3>"
               "<p>The KTR-7 panel instrument in a window: its LCD, keys and knob, with sliders for the "
               "sensors, the alarm lamp and the encoder's sentences. Program <tt>ktr7-sim</tt>, "
               "running on Qt %2.</p>"
               "<p>The text on the LCD is drawn with bitmap fonts rendered from Liberation Sans Bold. "
               "They are a modified version of that font software and are distributed under its "
               "licence, the SIL Open Font License 1.1; as that licence requires, they do not use its "
               "reserved font name. The licence text is in <tt>/usr/share/doc/ktr7-sim/copyright</tt> "
               "(<tt>gfx/fonts/LICENSE</tt> in the source).</p>"
               "<p>The authors of the simulator have not yet stated a licence for their own code, "
               "pictures and documents.</p>")
        .arg(QStringLiteral(KTR7_VERSION), QString::fromLatin1(qVersion()));
}
