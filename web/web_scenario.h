// The scenario player's entry points for the web page.
#pragma once

extern "C" {

// Starts playing length bytes of script (copied), stopping one that plays.
void web_player_start(const char* script, int length);
// Ends the playback where it is.
void web_player_stop();
int web_player_playing();
// The line being played, 1-based.
int web_player_line();

// The page tells the player of every 100 ms tick and every pass.
void web_player_tick();
void web_player_pass();
}
