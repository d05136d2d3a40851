#include "gfx/text_log.h"

text_log lcd_text_log;

void text_log_clear()
{
    lcd_text_log.count = 0;
    lcd_text_log.dropped = 0;
}
