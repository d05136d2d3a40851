#include "replay/replay_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "session/link_player.h"
#include "replay/replay.h"
#include "replay/replay_flight.h"
#include "session/session.h"

int replay_link_report(FILE* in, const char* in_name, FILE* out, FILE* err)
{
    replay_reset();
    switch_on_detecting_flights();
    link_player player(replay_session());
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t length;
    errno = 0;
    while ((length = getline(&buffer, &capacity, in)) >= 0) {
        if (length > 0 && buffer[length - 1] == '\n')
            length--;
        player.line(std::string_view(buffer, size_t(length)));
        errno = 0;
    }
    free(buffer);
    if (ferror(in)) {
        fprintf(err, "ktr7-replay: %s: cannot read: %s\n", in_name, strerror(errno ? errno : EIO));
        return REPLAY_FAILED;
    }
    player.finish();
    replay_session().switch_off();
    const link_counts& n = player.stream().counts();
    if (n.accepted == 0) {
        fprintf(err, "ktr7-replay: %s: no line of the link's form (ALTITUDE_FT,VS_FPS,IAS_KT,ELAPSED_S)\n", in_name);
        return REPLAY_FAILED;
    }
    fprintf(out, "link: %s\n", in_name);
    fprintf(out, "lines: %llu taken, %llu refused", (unsigned long long)n.accepted, (unsigned long long)n.refused);
    for (int fault = 1; fault < LINK_FAULT_KINDS; fault++)
        if (n.by_fault[fault] > 0)
            fprintf(out, ", %llu %s", (unsigned long long)n.by_fault[fault], link_fault_name(link_fault(fault)));
    fprintf(out, "\n");
    if (n.restarts > 0)
        fprintf(out, "simulator clock restarts: %llu\n", (unsigned long long)n.restarts);
    fprintf(out, "instrument time: %.1f s (%lld ticks)\n", player.time(), player.ticks());
    print_what_the_instrument_showed(player.summary(), out);
    return REPLAY_OK;
}
