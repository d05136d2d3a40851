// The IGC flight recorder format, read from text held in memory (the replay
// tool and the window read the file, the web page hands over what the user
// opened). Takes the date (HFDTE, old "HFDTEDDMMYY" and new
// "HFDTEDATE:DDMMYY,NN"), the pilot and glider, the I record's IAS, TAS
// (km/h: three digits, or five with two decimals) and VAT (m/s; without a
// decimal point the digits are tenths) and the B records; every other record
// is skipped. Lines may end in LF or CR LF; the last may be cut short.
#pragma once
#include <string>
#include <string_view>

#include "flight/flight.h"

// A text that an IGC log begins as: an A record (the recorder), or failing
// that a date header or a B record among its first lines.
bool looks_like_igc(std::string_view text);

// Reads the log into out (prepared, ready to play). Malformed records are
// skipped and listed in out.skipped. False with why set ("it has no valid
// fix", ...) when nothing can be played.
bool read_igc(std::string_view text, flight& out, std::string& why);
