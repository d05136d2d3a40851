#include "link/qnh_feedback.h"

#include <cstdio>

#include "link/xplane_packets.h"

bool qnh_feedback::due(uint32_t qnh_mb1000, double now_s)
{
    if (sent_ > 0 && qnh_mb1000 == last_ && now_s - sent_at_ < QNH_RESEND_SECONDS)
        return false;
    last_ = qnh_mb1000;
    sent_at_ = now_s;
    sent_++;
    return true;
}

link_line_text flightgear_qnh_line(uint32_t qnh_mb1000)
{
    link_line_text line;
    snprintf(line.text, sizeof line.text, "%.2f\n", qnh_hpa(qnh_mb1000));
    return line;
}
