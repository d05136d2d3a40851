// bezelgen: draws the instrument's front for the simulator window.
//
//   bezelgen BEZEL.jpg ICON.png [THEME_DIR]
//
// BEZEL.jpg is the 620 x 620 picture the window stretches into Image1
// (241 x 249 window pixels); ICON.png a 256 x 256 picture of the round front
// alone, transparent around it. With THEME_DIR, the same front is also drawn
// at each application-icon size of the desktop's icon theme, as
// THEME_DIR/NxN/apps/ktr7-sim.png (the folders must exist). Both are drawn from the same scene: a metal
// ring on a dark panel with four mounting screws, a black face, the recessed
// LCD opening, the two round keys and the knurled knob. Every pixel averages
// 6 x 6 samples, so edges are smooth.
//
// The parts sit where the window's controls lie over the stretched picture:
// a window point (wx, wy) is picture point (wx * 620 / 241, wy * 620 / 249).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace {

constexpr int PICTURE = 620;
constexpr double SX = 620.0 / 241.0;
constexpr double SY = 620.0 / 249.0;
constexpr double PI = 3.14159265358979323846;

struct colour {
    double r, g, b;
};

colour operator+(colour a, colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
colour operator*(colour a, double k) { return {a.r * k, a.g * k, a.b * k}; }
colour mix(colour a, colour b, double t) { return a * (1 - t) + b * t; }
colour grey(double v) { return {v, v, v}; }

double clamp01(double v) { return std::min(1.0, std::max(0.0, v)); }
double smoothstep(double e0, double e1, double x)
{
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Deterministic value noise.
double hash2(int x, int y)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double(h ^ (h >> 16)) / 4294967295.0;
}
double noise2(double x, double y)
{
    int xi = int(std::floor(x)), yi = int(std::floor(y));
    double fx = x - xi, fy = y - yi;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = hash2(xi, yi), b = hash2(xi + 1, yi), c = hash2(xi, yi + 1), d = hash2(xi + 1, yi + 1);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}
double noise1(double x) { return noise2(x, 0.37); }

struct vec3 {
    double x, y, z;
};
vec3 normalise(vec3 v)
{
    double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
double dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Light from the upper left, in front of the instrument.
const vec3 LIGHT = normalise({-0.55, -0.65, 0.75});
const vec3 HALF = normalise({LIGHT.x, LIGHT.y, LIGHT.z + 1.0});
const double LIGHT_ANGLE = std::atan2(LIGHT.y, LIGHT.x);

double diffuse(vec3 n) { return std::max(0.0, dot(n, LIGHT)); }
double specular(vec3 n, double power) { return std::pow(std::max(0.0, dot(n, HALF)), power); }

// Window rectangle to picture rectangle.
struct box {
    double x0, y0, x1, y1;
};
box from_window(double wx0, double wy0, double wx1, double wy1)
{
    return {wx0 * SX, wy0 * SY, wx1 * SX, wy1 * SY};
}

// Signed distance to a rounded rectangle, with its outward gradient.
double rounded_box(double x, double y, const box& b, double radius, double* gx, double* gy)
{
    double cx = (b.x0 + b.x1) / 2, cy = (b.y0 + b.y1) / 2;
    double hx = (b.x1 - b.x0) / 2 - radius, hy = (b.y1 - b.y0) / 2 - radius;
    double px = x - cx, py = y - cy;
    double qx = std::fabs(px) - hx, qy = std::fabs(py) - hy;
    double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    double outside = std::sqrt(ox * ox + oy * oy);
    double d = outside + std::min(std::max(qx, qy), 0.0) - radius;
    if (outside > 0) {
        *gx = (px < 0 ? -ox : ox) / outside;
        *gy = (py < 0 ? -oy : oy) / outside;
    } else if (qx > qy) {
        *gx = px < 0 ? -1 : 1;
        *gy = 0;
    } else {
        *gx = 0;
        *gy = py < 0 ? -1 : 1;
    }
    return d;
}

// The layout, in picture pixels.
const double CX = 310, CY = 310;
const double RING_OUTER = 309, RING_INNER = 283;
const box OPENING = from_window(35, 52, 208, 191);
const double KEY_Y = (192 + 16.5) * SY;
const double KEY_LEFT_X = (52 + 16.5) * SX;
const double KEY_RIGHT_X = (154 + 16.5) * SX;
const double KEY_RADIUS = 31;
const double KNOB_X = (100 + 20.5) * SX;
const double KNOB_Y = (196 + 20.5) * SY;
const double KNOB_RADIUS = 45;
const double SCREW_OFFSET = 44;
const double SCREW_RADIUS = 17;

colour panel(double x, double y)
{
    double grain = noise2(x * 0.9, y * 0.9) * 0.5 + noise2(x * 0.23, y * 0.23) * 0.5;
    double r = std::hypot(x - CX, y - CY);
    double vignette = 1.0 - 0.25 * smoothstep(300, 440, r);
    return grey((0.135 + 0.02 * grain) * vignette) + colour{0, 0.003, 0.008};
}

colour screw(double x, double y, double sx, double sy, double turn, colour under)
{
    double dx = x - sx, dy = y - sy, r = std::hypot(dx, dy);
    // Countersink shadow.
    if (r > SCREW_RADIUS + 4)
        return under;
    if (r > SCREW_RADIUS) {
        double t = (r - SCREW_RADIUS) / 4;
        return mix(grey(0.03), under, t * t);
    }
    double u = r / SCREW_RADIUS;
    vec3 n = normalise({dx / SCREW_RADIUS * 0.7, dy / SCREW_RADIUS * 0.7, std::sqrt(1.0 - 0.49 * u * u)});
    colour metal = grey(0.48 + 0.04 * noise1(r * 2.3));
    colour c = metal * (0.3 + 0.7 * diffuse(n)) + grey(0.55 * specular(n, 30));
    // Cross recess, turned by each screw's own angle.
    double ca = std::cos(turn), sa = std::sin(turn);
    double ax = dx * ca + dy * sa, ay = -dx * sa + dy * ca;
    bool slot = (std::fabs(ax) < 2.2 && std::fabs(ay) < 10.5) || (std::fabs(ay) < 2.2 && std::fabs(ax) < 10.5);
    if (slot) {
        double depth = std::max(std::fabs(ax), std::fabs(ay)) / 10.5;
        c = grey(0.06 + 0.10 * depth);
    }
    return c;
}

colour ring(double x, double y, double r)
{
    double dx = (x - CX) / r, dy = (y - CY) / r;
    double u = (r - RING_INNER) / (RING_OUTER - RING_INNER);
    // A rounded, turned ring: its profile rises from both edges.
    double slope = 2.4 * std::cos(PI * u);
    vec3 n = normalise({-slope * dx, -slope * dy, 1.0});
    double theta = std::atan2(dy, dx);
    // Turned metal: fine concentric grain and a broad anisotropic sheen
    // across the line at right angles to the light.
    double grain = noise1(r * 4.1) * 0.6 + noise1(r * 1.3 + 11) * 0.4;
    double sheen = std::pow(std::fabs(std::sin(theta - LIGHT_ANGLE)), 6.0);
    colour base = colour{0.56, 0.575, 0.59} * (0.9 + 0.14 * grain);
    colour c = base * (0.18 + 0.85 * diffuse(n)) + grey(0.45 * specular(n, 28)) + grey(0.16 * sheen);
    // Dark seams at both edges.
    double edge = std::min(r - RING_INNER, RING_OUTER - r);
    c = mix(grey(0.05), c, smoothstep(0.0, 1.6, edge));
    return c;
}

colour opening(double x, double y, colour under)
{
    double gx, gy;
    double d = rounded_box(x, y, OPENING, 14, &gx, &gy);
    if (d > 5)
        return under;
    if (d > 0) {
        // A slight raised lip around the opening.
        double t = d / 5;
        vec3 n = normalise({gx * (t - 0.5) * -1.2, gy * (t - 0.5) * -1.2, 1.0});
        colour lip = grey(0.11) * (0.5 + 0.8 * diffuse(n)) + grey(0.15 * specular(n, 20));
        return mix(lip, under, smoothstep(0.6, 1.0, t));
    }
    if (d > -7) {
        // The wall going down into the recess: lit on the lower right.
        vec3 n = normalise({-gx * 1.4, -gy * 1.4, 1.0});
        return grey(0.09) * (0.3 + 1.1 * diffuse(n));
    }
    // The glass: almost black, with a faint diagonal reflection.
    double band = (x - OPENING.x0) + (y - OPENING.y0) * 1.3;
    double glint = 0.035 * smoothstep(60, 140, band) * (1 - smoothstep(140, 260, band));
    return colour{0.015, 0.018, 0.024} + grey(glint);
}

// A soft round shadow of radius R at (sx, sy).
double shadow(double x, double y, double sx, double sy, double radius, double blur)
{
    double r = std::hypot(x - sx, y - sy);
    return 1.0 - 0.75 * (1.0 - smoothstep(radius - blur, radius + blur, r));
}

// A triangle pointing left (dir -1) or right (dir +1), for the key caps.
bool arrow(double dx, double dy, int dir, double size)
{
    double ax = dx * dir;  // pointing to +x
    if (ax < -size * 0.45 || ax > size * 0.55)
        return false;
    double half = (size * 0.55 - ax) * 0.62;
    return std::fabs(dy) <= half;
}

colour key(double x, double y, double kx, double ky, int dir, colour under)
{
    double dx = x - kx, dy = y - ky, r = std::hypot(dx, dy);
    if (r > KEY_RADIUS + 6)
        return under * shadow(x, y, kx + 2, ky + 3, KEY_RADIUS + 3, 5);
    if (r > KEY_RADIUS) {
        // The recess around the key.
        double t = (r - KEY_RADIUS) / 6;
        return mix(grey(0.015), under * 0.7, t * t);
    }
    double u = r / KEY_RADIUS;
    vec3 n = normalise({dx / KEY_RADIUS * 0.55, dy / KEY_RADIUS * 0.55, std::sqrt(1.0 - 0.3 * u * u)});
    // Edge roll-off of the cap.
    if (u > 0.86) {
        double e = (u - 0.86) / 0.14;
        n = normalise({dx / r * (0.5 + 2.0 * e), dy / r * (0.5 + 2.0 * e), 1.0});
    }
    colour body = colour{0.17, 0.17, 0.18} * (0.93 + 0.1 * noise2(x * 2.1, y * 2.1));
    colour c = body * (0.35 + 0.9 * diffuse(n)) + grey(0.22 * specular(n, 18));
    if (arrow(dx, dy, dir, 22))
        c = grey(0.70) * (0.75 + 0.3 * diffuse(n));
    return c;
}

colour knob(double x, double y, colour under)
{
    double dx = x - KNOB_X, dy = y - KNOB_Y, r = std::hypot(dx, dy);
    double theta = std::atan2(dy, dx);
    const int teeth = 40;
    double tooth = std::cos(teeth * theta);
    double edge = KNOB_RADIUS - 1.6 * (0.5 + 0.5 * tooth);
    if (r > edge)
        return under * shadow(x, y, KNOB_X + 4, KNOB_Y + 5, KNOB_RADIUS + 2, 7);
    const double top = KNOB_RADIUS - 9;
    if (r > top) {
        // The knurled skirt: ridges catch the light one after another.
        double tangential = std::sin(teeth * theta);
        double u = (r - top) / (KNOB_RADIUS - top);
        vec3 radial = {dx / r, dy / r, 0};
        vec3 along = {-dy / r, dx / r, 0};
        vec3 n = normalise({radial.x * (0.4 + 1.2 * u) + along.x * tangential * 0.8,
                            radial.y * (0.4 + 1.2 * u) + along.y * tangential * 0.8, 1.0});
        colour metal = colour{0.40, 0.41, 0.43};
        colour c = metal * (0.2 + 0.85 * diffuse(n)) + grey(0.35 * specular(n, 16));
        return mix(grey(0.08), c, smoothstep(0.0, 1.2, edge - r));
    }
    // The top: turned aluminium with a chamfer, a dimple and an index line.
    double u = r / top;
    vec3 n = {0, 0, 1};
    if (u > 0.9) {
        double e = (u - 0.9) / 0.1;
        n = normalise({dx / r * 0.9 * e, dy / r * 0.9 * e, 1.0});
    }
    double grain = noise1(r * 5.3) * 0.6 + noise1(r * 1.7 + 3) * 0.4;
    double sheen = std::pow(std::fabs(std::sin(theta - LIGHT_ANGLE)), 4.0);
    colour base = colour{0.60, 0.615, 0.63} * (0.9 + 0.14 * grain);
    colour c = base * (0.45 + 0.5 * diffuse(n)) + grey(0.22 * sheen) + grey(0.25 * specular(n, 30));
    if (r < 9) {
        vec3 dn = normalise({-dx / 9 * 0.6, -dy / 9 * 0.6, 1.0});
        c = base * (0.4 + 0.6 * diffuse(dn));
    }
    if (std::fabs(dx) < 1.6 && dy < -14 && dy > -top + 5)
        c = grey(0.93);
    return mix(c, grey(0.3), smoothstep(top - 1.2, top, r) * 0.6);
}

// The whole picture at one point. inside_front tells whether the point lies
// on the round front (for the icon's transparency).
colour scene(double x, double y, bool* inside_front)
{
    double r = std::hypot(x - CX, y - CY);
    *inside_front = r <= RING_OUTER;
    if (r > RING_OUTER) {
        colour c = panel(x, y);
        // The instrument's shadow on the panel.
        c = c * (1.0 - 0.6 * (1.0 - smoothstep(RING_OUTER - 2, RING_OUTER + 16, std::hypot(x - CX - 5, y - CY - 7))));
        const double a = SCREW_OFFSET, b = PICTURE - SCREW_OFFSET;
        c = screw(x, y, a, a, 0.35, c);
        c = screw(x, y, b, a, 1.10, c);
        c = screw(x, y, a, b, 0.80, c);
        c = screw(x, y, b, b, 0.15, c);
        return c;
    }
    if (r > RING_INNER)
        return ring(x, y, r);
    colour c = grey(0.055 + 0.012 * noise2(x * 1.3, y * 1.3) + 0.025 * clamp01((CY - y) / 300.0));
    c = c * (0.45 + 0.55 * smoothstep(0, 12, RING_INNER - r));
    c = opening(x, y, c);
    c = key(x, y, KEY_LEFT_X, KEY_Y, -1, c);
    c = key(x, y, KEY_RIGHT_X, KEY_Y, 1, c);
    c = knob(x, y, c);
    return c;
}

uint8_t to_byte(double v)
{
    // A mild gamma lift so the dark parts keep their detail.
    return uint8_t(std::lround(255.0 * std::pow(clamp01(v), 1.0 / 1.15)));
}

// Renders size x size pixels of the 620 x 620 scene; alpha from the front.
std::vector<uint8_t> render(int size, bool with_alpha)
{
    const int samples = 6;
    const double scale = double(PICTURE) / size;
    const int channels = with_alpha ? 4 : 3;
    std::vector<uint8_t> out(size_t(size) * size * channels);
    for (int py = 0; py < size; py++) {
        for (int px = 0; px < size; px++) {
            colour sum{0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < samples; sy++) {
                for (int sx = 0; sx < samples; sx++) {
                    double x = (px + (sx + 0.5) / samples) * scale;
                    double y = (py + (sy + 0.5) / samples) * scale;
                    bool inside;
                    colour c = scene(x, y, &inside);
                    if (with_alpha && !inside)
                        continue;
                    sum = sum + c;
                    covered++;
                }
            }
            uint8_t* p = &out[(size_t(py) * size + px) * channels];
            colour c = covered ? sum * (1.0 / covered) : colour{0, 0, 0};
            p[0] = to_byte(c.r);
            p[1] = to_byte(c.g);
            p[2] = to_byte(c.b);
            if (with_alpha)
                p[3] = uint8_t(std::lround(255.0 * covered / (samples * samples)));
        }
    }
    return out;
}

bool write_jpeg(const char* path, const std::vector<uint8_t>& rgb, int size)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(size);
    info.image_height = JDIMENSION(size);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    // Full-resolution colour: the small keys and the ring edge stay clean.
    for (int i = 0; i < 3; i++) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(info.next_scanline) * size * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

bool write_png(const char* path, const std::vector<uint8_t>& rgba, int size)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(size), png_uint_32(size), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; y++)
        png_write_row(png, const_cast<png_bytep>(&rgba[size_t(y) * size * 4]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// The sizes a desktop icon theme looks for first.
constexpr int THEME_ICON_SIZES[] = {48, 64, 128, 256};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: bezelgen BEZEL.jpg ICON.png [THEME_DIR]\n");
        return 2;
    }
    if (!write_jpeg(argv[1], render(PICTURE, false), PICTURE)) {
        std::fprintf(stderr, "bezelgen: cannot write %s\n", argv[1]);
        return 1;
    }
    const int icon = 256;
    if (!write_png(argv[2], render(icon, true), icon)) {
        std::fprintf(stderr, "bezelgen: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc == 4) {
        for (int size : THEME_ICON_SIZES) {
            char path[4096];
            std::snprintf(path, sizeof path, "%s/%dx%d/apps/ktr7-sim.png", argv[3], size, size);
            if (!write_png(path, render(size, true), size)) {
                std::fprintf(stderr, "bezelgen: cannot write %s\n", path);
                return 1;
            }
        }
    }
    return 0;
}
