// The scales an LCD picture is written at: each LCD pixel N x N device pixels.
#pragma once

constexpr int PNG_SCALE_MIN = 1;
constexpr int PNG_SCALE_MAX = 8;
// The scales an LCD animation is written at, alike.
constexpr int GIF_SCALE_MIN = 1;
constexpr int GIF_SCALE_MAX = 8;
