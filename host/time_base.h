// The host's clock is the instrument's 100 ms tick: hosts and the layers
// above them take the tick from here rather than from the instrument's own
// folders.
#pragma once
#include "core/time_base.h"
