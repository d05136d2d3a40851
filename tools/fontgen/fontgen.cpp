// fontgen: renders the instrument's nine bitmap fonts from a TrueType face
// with FreeType's hinted monochrome rasteriser and writes each one as a
// constant font record (gfx/fonts/font_N.cpp).
//
//   fontgen [--face FILE] [--autohint] [--overrides FILE] OUT_DIR
//
// Record layout: 2 reserved bytes, first_char (u16), last_char (u16), a spare
// byte, the height, then a 4-byte entry per character (offset bits 16..23,
// width, offset bits 0..7, offset bits 8..15) and the glyph images back to back,
// rows top to bottom, ceil(width / 8) bytes per row, leftmost pixel in the MSB.
//
// Every glyph is rendered into exactly its cell width. A shape wider than its
// cell is rendered at a smaller horizontal pixel size until it fits. Digits and
// capitals are held to their rows: a round shape whose overshoot would leave
// them loses one of its near-duplicate middle rows instead, and a descender or
// accent that would leave the cell is shortened the same way. The few glyphs
// the hinting gets wrong at the smallest sizes are replaced by hand-drawn
// pixel maps from overrides.txt beside this file.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* DEFAULT_FACE = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf";
#ifndef FONTGEN_OVERRIDES
#define FONTGEN_OVERRIDES "overrides.txt"
#endif

// Cell widths of 0x20..0x7E (digit fonts: 0x20..0x39). These fix every layout
// of the screens and are not to be changed.
struct FontDef {
    const char* name;
    int height;
    int first, last;
    int spare;
    int cap_top, baseline, x_top, desc_end;
    int cap_ppem;            // pixel size that puts capitals on their rows
    int lc_xppem, lc_yppem;  // lower case: horizontal and vertical pixel size
    int placeholder;         // width of the outline box at 0x7F (text fonts)
    int widest;              // widest glyph the record may hold
    int length;              // record length in bytes
    const char* widths;
    bool autohint = false;   // FreeType's own hinter: evener stems at this size
};

const FontDef FONTS[] = {
    {"font_8", 16, 0x00, 0xFF, 0, 3, 12, 5, 15, 14, 14, 15, 8, 14, 6712,
     "4 4 6 7 8 10 10 3 4 4 5 8 4 4 4 4 8 7 8 8 8 8 8 8 8 8 4 4 8 8 8 8 "
     "14 9 10 10 10 9 9 10 9 4 8 10 9 11 10 10 8 11 10 9 8 9 9 13 9 8 9 4 4 4 8 8 "
     "4 9 8 7 9 9 6 8 9 4 4 7 4 11 9 8 8 9 7 8 5 8 7 11 8 7 7 5 3 5 8"},
    {"font_9", 19, 0x20, 0x7F, 62, 3, 14, 6, 17, 18, 18, 18, 12, 16, 3527,
     "4 4 8 9 9 16 12 4 5 5 6 9 4 5 4 4 9 9 9 9 9 9 9 9 9 9 6 6 9 9 9 10 "
     "16 11 12 12 12 11 10 12 12 4 9 12 10 13 12 12 11 12 12 11 10 12 11 15 11 10 9 5 4 5 9 9 "
     "5 9 10 9 10 9 5 10 10 4 4 9 4 14 10 10 10 10 6 9 5 10 9 13 9 9 9 6 4 6 9"},
    {"font_10", 21, 0x00, 0xFF, 0, 4, 17, 7, 20, 21, 21, 21, 10, 21, 10776,
     "5 5 9 11 11 17 14 5 6 6 7 11 5 6 5 5 11 11 11 11 11 11 11 11 11 11 7 7 11 11 11 12 "
     "19 13 14 14 14 13 12 15 13 5 11 14 12 17 13 15 13 15 13 13 13 13 13 17 13 13 11 6 5 6 11 11 "
     "6 11 12 11 12 11 6 12 12 5 5 11 5 17 12 12 12 12 8 11 6 12 11 15 11 11 10 7 4 7 11"},
    {"font_12", 24, 0x20, 0x7F, 67, 4, 18, 8, 22, 22, 22, 22, 16, 21, 4496,
     "6 7 10 12 12 17 15 5 7 7 8 12 6 7 6 6 12 12 12 12 12 12 12 12 12 12 7 7 12 12 12 13 "
     "20 15 15 15 15 14 13 16 14 5 12 15 13 17 14 16 14 16 15 14 13 14 13 21 14 13 12 7 6 7 12 12 "
     "7 12 13 12 13 12 7 13 13 5 5 12 5 19 13 13 13 13 8 12 7 13 13 15 12 11 11 8 6 8 12",
     true},
    {"font_16", 33, 0x20, 0x7F, 64, 6, 25, 11, 31, 29, 29, 29, 21, 27, 7817,
     "8 8 13 16 16 25 20 7 9 9 11 16 8 9 8 8 16 16 16 16 16 16 16 16 16 16 10 10 16 16 16 17 "
     "27 19 19 20 20 19 17 22 20 8 15 20 17 25 20 21 18 21 20 19 18 20 19 27 19 18 17 9 8 9 16 16 "
     "9 16 17 16 17 16 9 17 17 8 8 16 8 26 17 17 17 17 11 15 9 17 15 23 16 16 14 11 7 11 16"},
    {"font_20", 41, 0x20, 0x39, 115, 7, 31, 0, 40, 36, 36, 36, 0, 31, 2941,
     "10 11 17 19 19 31 25 8 12 12 14 20 10 12 10 10 19 19 19 19 19 19 19 19 19 19"},
    {"font_24", 51, 0x20, 0x39, 127, 9, 39, 0, 50, 45, 45, 45, 0, 39, 3835,
     "12 14 20 24 24 39 31 10 14 14 17 25 12 14 12 12 24 24 24 24 24 24 24 24 24 24"},
    {"font_30", 62, 0x20, 0x39, 96, 11, 48, 0, 61, 55, 55, 55, 0, 47, 5816,
     "15 17 25 29 29 47 38 13 18 18 21 31 15 18 15 15 29 29 29 29 29 29 29 29 29 29"},
    {"font_34", 70, 0x20, 0x39, 96, 13, 56, 0, 69, 64, 64, 64, 0, 51, 7882,
     "17 18 28 33 33 51 43 14 20 20 23 35 17 20 17 17 33 33 33 33 33 33 33 33 33 33"},
};

// Windows-1252 0x80..0x9F; 0 marks the codes the page leaves undefined.
const uint32_t CP1252_HIGH[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Control-code glyphs of the two full fonts.
enum Sym {
    SYM_NONE,
    SYM_BLANK,
    SYM_ARROW_UP,
    SYM_ARROW_DOWN,
    SYM_ARROW_LEFT,
    SYM_ARROW_RIGHT,
    SYM_TRI_UP,
    SYM_TRI_DOWN,
    SYM_TRI_LEFT,
    SYM_TRI_RIGHT,
    SYM_DISC,
    SYM_RING,
    SYM_SQUARE,
    SYM_BOX,
    SYM_CHECK,
    SYM_LINES,  // box-drawing piece; arms in the glyph's line mask
};

// Box-drawing arms: left, right, up, down.
constexpr int ARM_L = 1, ARM_R = 2, ARM_U = 4, ARM_D = 8;

struct ControlGlyph {
    Sym sym;
    int arms;
};

ControlGlyph control_glyph(int c)
{
    switch (c) {
    case 0x01: return {SYM_ARROW_UP, 0};
    case 0x02: return {SYM_ARROW_DOWN, 0};
    case 0x03: return {SYM_ARROW_LEFT, 0};
    case 0x04: return {SYM_ARROW_RIGHT, 0};
    case 0x05: return {SYM_TRI_UP, 0};
    case 0x06: return {SYM_TRI_DOWN, 0};
    case 0x07: return {SYM_TRI_LEFT, 0};
    case 0x08: return {SYM_TRI_RIGHT, 0};
    case 0x0B: return {SYM_DISC, 0};
    case 0x0C: return {SYM_RING, 0};
    case 0x0E: return {SYM_SQUARE, 0};
    case 0x0F: return {SYM_BOX, 0};
    case 0x10: return {SYM_LINES, ARM_L | ARM_R};
    case 0x11: return {SYM_LINES, ARM_U | ARM_D};
    case 0x12: return {SYM_LINES, ARM_R | ARM_D};
    case 0x13: return {SYM_LINES, ARM_L | ARM_D};
    case 0x14: return {SYM_LINES, ARM_R | ARM_U};
    case 0x15: return {SYM_LINES, ARM_L | ARM_U};
    case 0x16: return {SYM_LINES, ARM_R | ARM_U | ARM_D};
    case 0x17: return {SYM_LINES, ARM_L | ARM_U | ARM_D};
    case 0x18: return {SYM_LINES, ARM_L | ARM_R | ARM_D};
    case 0x19: return {SYM_LINES, ARM_L | ARM_R | ARM_U};
    case 0x1A: return {SYM_LINES, ARM_L | ARM_R | ARM_U | ARM_D};
    case 0x1B: return {SYM_CHECK, 0};
    default: return {SYM_BLANK, 0};
    }
}

// A rendered shape: ink rows relative to the baseline (top = rows above it).
struct Shape {
    int w = 0, h = 0;
    int left = 0, top = 0, adv = 0;
    std::vector<uint8_t> px;  // w x h, 1 = ink
    bool at(int x, int y) const { return px[y * w + x] != 0; }
};

// A finished glyph in its cell.
struct Glyph {
    int width = 0;
    std::vector<uint8_t> px;  // width x height
    bool flexible = false;    // width may move to make the record length
    int min_width = 3, max_width = 3;
    int order = 9;            // which flexible glyphs give way first
    std::string note;
};

enum Cls { CLS_CAP, CLS_LOWER, CLS_OTHER };

FT_Library library;
FT_Face face;
FT_Int32 load_flags = FT_LOAD_TARGET_MONO;
int warnings = 0;

void fail(const char* what, const char* font, int code)
{
    std::fprintf(stderr, "fontgen: %s (%s, 0x%02X)\n", what, font, code);
    std::exit(1);
}

bool render(uint32_t cp, int xppem, int yppem, Shape& out)
{
    FT_UInt index = FT_Get_Char_Index(face, cp);
    if (index == 0) return false;
    if (FT_Set_Pixel_Sizes(face, xppem, yppem)) return false;
    if (FT_Load_Glyph(face, index, load_flags)) return false;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO)) return false;
    const FT_Bitmap& bm = face->glyph->bitmap;
    // Trim to the ink so that left/top/w/h describe it exactly.
    int x0 = (int)bm.width, x1 = -1, y0 = (int)bm.rows, y1 = -1;
    auto bit = [&](int x, int y) { return (bm.buffer[y * bm.pitch + x / 8] >> (7 - x % 8)) & 1; };
    for (int y = 0; y < (int)bm.rows; ++y)
        for (int x = 0; x < (int)bm.width; ++x)
            if (bit(x, y)) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    out = Shape();
    out.adv = (int)((face->glyph->advance.x + 32) >> 6);
    if (x1 < 0) return true;  // no ink
    out.w = x1 - x0 + 1;
    out.h = y1 - y0 + 1;
    out.left = face->glyph->bitmap_left + x0;
    out.top = face->glyph->bitmap_top - y0;
    out.px.assign(out.w * out.h, 0);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) out.px[y * out.w + x] = (uint8_t)bit(x + x0, y + y0);
    return true;
}

// Ink rows as cell rows; removing one keeps either the rows below or the rows
// above it in place.
struct Rows {
    int first;                          // cell row of rows[0]
    std::vector<std::vector<uint8_t>> rows;
    int last() const { return first + (int)rows.size() - 1; }
};

int row_distance(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int d = 0;
    for (size_t i = 0; i < a.size(); ++i) d += a[i] != b[i];
    return d;
}

// The row within cell rows lo..hi (inside the shape) that differs least from
// its neighbour, preferring the middle of the range; -1 if there is none.
int similar_row(const Rows& r, int lo, int hi, int towards)
{
    int best = -1, best_d = 1 << 30, mid2 = lo + hi;
    for (int c = lo; c <= hi; ++c) {
        int i = c - r.first, j = i + towards;
        if (i < 0 || j < 0 || i >= (int)r.rows.size() || j >= (int)r.rows.size()) continue;
        int d = row_distance(r.rows[i], r.rows[j]) * 1000 + std::abs(2 * c - mid2);
        if (d < best_d) best = i, best_d = d;
    }
    return best;
}

// Removes the row within cell rows lo..hi that differs least from its
// neighbour towards the middle of the shape. keep_bottom: rows above shift
// down; otherwise rows below shift up. Strict: never outside lo..hi.
bool drop_row(Rows& r, int lo, int hi, bool keep_bottom, bool strict = false)
{
    lo = std::max(lo, r.first + 1);
    hi = std::min(hi, r.last() - 1);
    if (lo > hi && !strict) lo = r.first + 1, hi = r.last() - 1;
    int best = similar_row(r, lo, hi, keep_bottom ? 1 : -1);
    if (best < 0) return false;
    r.rows.erase(r.rows.begin() + best);
    if (keep_bottom) r.first += 1;
    return true;
}

// Repeats the row within lo..hi that best matches a neighbour (a straight
// stretch of stem). keep_bottom: rows above shift up.
bool repeat_row(Rows& r, int lo, int hi, bool keep_bottom)
{
    lo = std::max(lo, r.first + 1);
    hi = std::min(hi, r.last() - 1);
    int best = similar_row(r, lo, hi, keep_bottom ? 1 : -1);
    if (best < 0) return false;
    r.rows.insert(r.rows.begin() + best, r.rows[best]);
    if (keep_bottom) r.first -= 1;
    return true;
}

// How far the lower case of a rendering misses the cell layout: rows to add
// to the x-height band and to the descenders.
struct LowerFit {
    int x_rows = 0, x_height = 0;
    int desc_rows = 0, desc_depth = 0;
};
LowerFit lower_fit;

// Places a shape in a cell of the given width: horizontally by its own side
// bearings, vertically on the baseline, then shortened to fit its rows.
Glyph place(const FontDef& f, const Shape& s, int width, Cls cls, uint32_t cp)
{
    Glyph g;
    g.width = width;
    g.px.assign(width * f.height, 0);
    if (s.w == 0) return g;
    int free = width - s.w;
    int lsb = std::max(0, s.left), rsb = std::max(0, s.adv - s.left - s.w);
    int x0;
    if (free > lsb + rsb) {
        // A cell wider than the face's advance keeps the face's left bearing,
        // so the space before the glyph matches its neighbours; the surplus
        // goes mostly to the right (a shape flush with its advance would
        // otherwise take it all on the left).
        x0 = lsb + (free - lsb - rsb) / 2;
    } else {
        x0 = lsb + rsb > 0 ? (free * lsb * 2 + (lsb + rsb)) / (2 * (lsb + rsb)) : free / 2;
    }
    x0 = std::clamp(x0, 0, free);

    Rows r;
    r.first = f.baseline + 1 - s.top;
    for (int y = 0; y < s.h; ++y) r.rows.emplace_back(s.px.begin() + y * s.w, s.px.begin() + (y + 1) * s.w);
    int top_limit = 0, bottom_limit = f.desc_end;
    if (cls == CLS_CAP) {
        top_limit = f.cap_top;
        if (cp != 'Q') bottom_limit = f.baseline;
    }
    if (cls == CLS_LOWER && r.last() >= f.baseline) {
        // Bring the x-height band and the descender to their rows, in
        // straight stretches so that strokes keep their weight.
        int band_top = f.baseline - lower_fit.x_height + 1;
        for (int n = lower_fit.x_rows; n < 0; ++n) drop_row(r, band_top + 1, f.baseline - 1, true, true);
        for (int n = lower_fit.x_rows; n > 0; --n) repeat_row(r, band_top + 1, f.baseline - 1, true);
        if (r.last() > f.baseline + 1) {
            for (int n = lower_fit.desc_rows; n < 0; ++n) drop_row(r, f.baseline + 1, r.last() - 1, false, true);
            for (int n = lower_fit.desc_rows; n > 0; --n) repeat_row(r, f.baseline + 1, r.last() - 1, false);
        }
    }
    int mid = (r.first + r.last()) / 2;
    while (r.first < top_limit) {
        // An overshoot above the cap line, or an accent above the cell top.
        bool accent = r.first < f.cap_top && cls != CLS_CAP;
        if (!drop_row(r, r.first + 1, accent ? f.cap_top - 1 : mid, true)) fail("shape too tall", f.name, (int)cp);
        ++warnings;
    }
    while (r.last() > bottom_limit) {
        bool descender = r.last() > f.baseline + 1 && cls != CLS_CAP;
        if (!drop_row(r, descender ? f.baseline + 1 : mid + 1, r.last() - 1, false))
            fail("shape too deep", f.name, (int)cp);
        ++warnings;
    }
    for (int y = 0; y < (int)r.rows.size(); ++y)
        for (int x = 0; x < s.w; ++x)
            if (r.rows[y][x]) g.px[(r.first + y) * width + x0 + x] = 1;
    return g;
}

Cls classify(uint32_t cp)
{
    if ((cp >= '0' && cp <= '9') || (cp >= 'A' && cp <= 'Z')) return CLS_CAP;
    if (cp >= 'a' && cp <= 'z') return CLS_LOWER;
    if ((cp >= 0xDF && cp <= 0xFF && cp != 0xF7) || cp == 0x0192 || cp == 0x0161 || cp == 0x0153 ||
        cp == 0x017E || cp == 0xB5)
        return CLS_LOWER;
    return CLS_OTHER;
}

// Renders a character into exactly `width` columns, narrowing it if needed.
Glyph face_glyph(const FontDef& f, uint32_t cp, int width)
{
    Cls cls = classify(cp);
    int yp = cls == CLS_LOWER ? f.lc_yppem : f.cap_ppem;
    int xp = cls == CLS_LOWER ? f.lc_xppem : f.cap_ppem;
    Shape s;
    for (; xp >= f.cap_ppem / 2; --xp) {
        if (!render(cp, xp, yp, s)) fail("character missing from the face", f.name, (int)cp);
        if (s.w <= width) break;
    }
    if (s.w > width) fail("shape does not fit its width", f.name, (int)cp);
    return place(f, s, width, cls, cp);
}

// The natural width of a character: its advance less the renderer's gap.
int natural_width(const FontDef& f, uint32_t cp)
{
    Cls cls = classify(cp);
    Shape s;
    if (!render(cp, cls == CLS_LOWER ? f.lc_xppem : f.cap_ppem, cls == CLS_LOWER ? f.lc_yppem : f.cap_ppem, s))
        fail("character missing from the face", f.name, (int)cp);
    return std::clamp(std::max(s.adv - 1, s.w), 3, f.widest);
}

// ---- drawn glyphs ---------------------------------------------------------

struct Canvas {
    const FontDef& f;
    Glyph g;
    Canvas(const FontDef& font, int width) : f(font)
    {
        g.width = width;
        g.px.assign(width * f.height, 0);
    }
    void set(int x, int y)
    {
        if (x >= 0 && x < g.width && y >= 0 && y < f.height) g.px[y * g.width + x] = 1;
    }
    void fill(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) set(x, y);
    }
};

// The outline box shown for codes without a character.
Glyph placeholder_glyph(const FontDef& f, int width)
{
    Canvas c(f, width);
    int x0 = 1, x1 = width - 2, y0 = f.cap_top, y1 = f.baseline;
    c.fill(x0, y0, x1, y0);
    c.fill(x0, y1, x1, y1);
    c.fill(x0, y0, x0, y1);
    c.fill(x1, y0, x1, y1);
    return c.g;
}

int stroke_of(const FontDef& f) { return f.height >= 20 ? 2 : 1; }

Glyph control_symbol(const FontDef& f, int c, int width)
{
    ControlGlyph cg = control_glyph(c);
    Canvas k(f, width);
    int t = stroke_of(f);
    int cap = f.baseline - f.cap_top + 1;
    // Symbols sit in a square on the baseline as tall as the x-height band
    // plus a little, centred in the cell.
    int size = std::min(width, cap - (cap >= 12 ? 2 : 1));
    int sx = (width - size) / 2, sy = f.baseline - size + 1 - (cap - size) / 2;
    int cx2 = 2 * sx + size - 1, cy2 = 2 * sy + size - 1;  // doubled centre
    switch (cg.sym) {
    case SYM_NONE:
    case SYM_BLANK: break;
    case SYM_LINES: {
        // Lines through the cell centre, reaching the cell edges so that
        // pieces on adjacent text rows join.
        int mx = (width - t) / 2, my = (f.height - t) / 2;
        if (cg.arms & ARM_L) k.fill(0, my, mx + t - 1, my + t - 1);
        if (cg.arms & ARM_R) k.fill(mx, my, width - 1, my + t - 1);
        if (cg.arms & ARM_U) k.fill(mx, 0, mx + t - 1, my + t - 1);
        if (cg.arms & ARM_D) k.fill(mx, my, mx + t - 1, f.height - 1);
        break;
    }
    case SYM_SQUARE: k.fill(sx, sy, sx + size - 1, sy + size - 1); break;
    case SYM_BOX:
        k.fill(sx, sy, sx + size - 1, sy + t - 1);
        k.fill(sx, sy + size - t, sx + size - 1, sy + size - 1);
        k.fill(sx, sy, sx + t - 1, sy + size - 1);
        k.fill(sx + size - t, sy, sx + size - 1, sy + size - 1);
        break;
    case SYM_DISC:
    case SYM_RING: {
        double r = size / 2.0, ri = r - t - 0.3;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                double dx = x + 0.5 - r, dy = y + 0.5 - r, d2 = dx * dx + dy * dy;
                if (d2 <= r * r - 0.2 * r && (cg.sym == SYM_DISC || d2 > ri * ri)) k.set(sx + x, sy + y);
            }
        break;
    }
    case SYM_TRI_UP:
    case SYM_TRI_DOWN: {
        int rows = (size + 1) / 2;
        int y0 = sy + (size - rows) / 2;
        for (int i = 0; i < rows; ++i) {
            int half = i;  // half-width grows one column per row
            int y = cg.sym == SYM_TRI_UP ? y0 + i : y0 + rows - 1 - i;
            k.fill((cx2 - 2 * half) / 2, y, (cx2 + 2 * half + 1) / 2, y);
        }
        break;
    }
    case SYM_TRI_LEFT:
    case SYM_TRI_RIGHT: {
        int cols = (size + 1) / 2;
        int x0 = sx + (size - cols) / 2;
        for (int i = 0; i < cols; ++i) {
            int x = cg.sym == SYM_TRI_LEFT ? x0 + i : x0 + cols - 1 - i;
            k.fill(x, (cy2 - 2 * i) / 2, x, (cy2 + 2 * i + 1) / 2);
        }
        break;
    }
    case SYM_ARROW_UP:
    case SYM_ARROW_DOWN: {
        int head = (size + 1) / 2;
        int shaft_x = (cx2 + 1 - t) / 2;
        k.fill(shaft_x, sy, shaft_x + t - 1, sy + size - 1);
        for (int i = 0; i < head; ++i) {
            int y = cg.sym == SYM_ARROW_UP ? sy + i : sy + size - 1 - i;
            k.fill(shaft_x - i, y, shaft_x + t - 1 + i, y);
        }
        break;
    }
    case SYM_ARROW_LEFT:
    case SYM_ARROW_RIGHT: {
        int head = (size + 1) / 2;
        int shaft_y = (cy2 + 1 - t) / 2;
        k.fill(sx, shaft_y, sx + size - 1, shaft_y + t - 1);
        for (int i = 0; i < head; ++i) {
            int x = cg.sym == SYM_ARROW_LEFT ? sx + i : sx + size - 1 - i;
            k.fill(x, shaft_y - i, x, shaft_y + t - 1 + i);
        }
        break;
    }
    case SYM_CHECK: {
        // A short stroke down to the foot and a long one up to the right.
        int s = t + 1;
        int foot_x = sx + size / 3, foot_y = sy + size - 1;
        for (int x = sx; x <= foot_x; ++x) {
            int y = foot_y - (foot_x - x);
            k.fill(x, y - s + 1, x, y);
        }
        for (int x = foot_x; x < sx + size; ++x) {
            int y = foot_y - (x - foot_x) * (size - 1) / std::max(1, sx + size - 1 - foot_x);
            k.fill(x, y - s + 1, x, y);
        }
        break;
    }
    }
    return k.g;
}

// ---- hand-drawn glyphs ----------------------------------------------------

// A pixel map from the overrides file: a header line "FONT 'C'", then one line
// of '#' (ink) and '.' per cell row. Outside a map, lines starting with '#'
// are comments and blank lines are ignored.
struct Override {
    std::string font;
    int code = 0;
    int line = 0;
    std::vector<std::string> rows;
    bool used = false;
};
std::vector<Override> overrides;

void load_overrides(const char* path)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "fontgen: cannot read %s\n", path);
        std::exit(1);
    }
    auto bad = [&](int line, const char* what) {
        std::fprintf(stderr, "fontgen: %s:%d: %s\n", path, line, what);
        std::exit(1);
    };
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (text.empty() || text[0] == '#') continue;
        Override o;
        o.line = line;
        size_t q = text.find(" '");
        if (q == std::string::npos || text.size() != q + 4 || text[q + 3] != '\'')
            bad(line, "expected a header line FONT 'C'");
        o.font = text.substr(0, q);
        o.code = (unsigned char)text[q + 2];
        const FontDef* f = nullptr;
        for (const FontDef& d : FONTS)
            if (o.font == d.name) f = &d;
        if (!f) bad(line, "no such font");
        for (int y = 0; y < f->height; ++y) {
            if (!std::getline(in, text)) bad(line, "map ends early");
            ++line;
            if (text.empty() || text.find_first_not_of("#.") != std::string::npos)
                bad(line, "a map row holds only '#' and '.'");
            if (!o.rows.empty() && text.size() != o.rows[0].size()) bad(line, "map rows differ in width");
            o.rows.push_back(text);
        }
        for (const Override& p : overrides)
            if (p.font == o.font && p.code == o.code) bad(o.line, "character drawn twice");
        overrides.push_back(o);
    }
}

// Replaces a rendered glyph by its hand-drawn map, if there is one.
void apply_override(const FontDef& f, int c, Glyph& g)
{
    for (Override& o : overrides) {
        if (o.font != f.name || o.code != c) continue;
        if ((int)o.rows[0].size() != g.width) fail("hand-drawn glyph is not as wide as its cell", f.name, c);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < g.width; ++x) g.px[y * g.width + x] = o.rows[y][x] == '#';
        o.used = true;
    }
}

// ---- building a font ------------------------------------------------------

int bytes_per_row(int width) { return (width + 7) / 8; }

std::vector<Glyph> build(const FontDef& f)
{
    std::vector<int> table;
    for (const char* p = f.widths; *p;) {
        char* end;
        long v = std::strtol(p, &end, 10);
        if (end == p) break;
        table.push_back((int)v);
        p = end;
    }
    int table_last = f.first == 0 ? 0x7E : f.last;
    if ((int)table.size() != (f.last == 0x39 ? 26 : 95)) fail("width table has the wrong length", f.name, 0);

    lower_fit = LowerFit();
    if (f.last >= 0x7E) {
        Shape x, p;
        render('x', f.lc_xppem, f.lc_yppem, x);
        render('p', f.lc_xppem, f.lc_yppem, p);
        lower_fit.x_height = x.top;
        lower_fit.x_rows = (f.baseline - f.x_top + 1) - x.top;
        lower_fit.desc_depth = p.h - p.top;
        lower_fit.desc_rows = (f.desc_end - f.baseline) - (p.h - p.top);
        std::printf("%-8s lower case: x-height %+d rows, descenders %+d rows\n", f.name, lower_fit.x_rows,
                    lower_fit.desc_rows);
    }

    std::vector<Glyph> glyphs;
    for (int c = f.first; c <= f.last; ++c) {
        Glyph g;
        if (c >= 0x20 && c <= table_last && c <= 0x7E) {
            int w = table[c - 0x20];
            g = c == 0x20 ? Canvas(f, w).g : face_glyph(f, (uint32_t)c, w);
            apply_override(f, c, g);
        } else if (c == 0x7F && f.placeholder) {
            g = placeholder_glyph(f, f.placeholder);
            g.note = "no character";
        } else {
            // The full fonts: control symbols, Windows-1252 upper half.
            uint32_t cp = c < 0x80 ? 0 : c < 0xA0 ? CP1252_HIGH[c - 0x80] : (uint32_t)c;
            int space = table[0];
            if (c < 0x20) {
                ControlGlyph cg = control_glyph(c);
                if (cg.sym == SYM_BLANK) {
                    g = Canvas(f, space).g;
                    g.flexible = true, g.min_width = 3, g.max_width = f.widest, g.order = 0;
                } else {
                    int natural = f.baseline - f.cap_top + 1;  // square symbols
                    if (cg.sym == SYM_LINES) natural = table['-' - 0x20] + 1;
                    g = control_symbol(f, c, natural);
                    g.flexible = true, g.min_width = std::max(3, natural - 2);
                    g.max_width = std::min(f.widest, natural + 3), g.order = 1;
                }
            } else if (c == 0x7F || cp == 0) {
                int w = f.placeholder ? f.placeholder : (f.baseline - f.cap_top + 1) * 4 / 5;
                g = placeholder_glyph(f, w);
                g.note = "no character";
            } else if (c == 0xA0) {
                g = Canvas(f, space).g;
            } else {
                int w = c == 0xB0 ? (f.height < 20 ? 5 : 8) : natural_width(f, cp);
                g = face_glyph(f, cp, w);
                if (c != 0xB0) {
                    Shape s;
                    // The narrowest width that keeps the shape unscaled.
                    Cls cls = classify(cp);
                    render(cp, cls == CLS_LOWER ? f.lc_xppem : f.cap_ppem,
                           cls == CLS_LOWER ? f.lc_yppem : f.cap_ppem, s);
                    g.flexible = true, g.min_width = std::max(3, s.w), g.max_width = std::min(f.widest, w + 1);
                    g.order = 2;
                }
            }
        }
        glyphs.push_back(g);
    }

    // The full fonts must come out at their record length: move flexible
    // widths across byte boundaries, blanks first, then symbols, then letters,
    // each time choosing the smallest change.
    auto image_bytes = [&]() {
        int n = 0;
        for (const Glyph& g : glyphs) n += f.height * bytes_per_row(g.width);
        return n;
    };
    int target = f.length - 8 - 4 * (f.last - f.first + 1);
    while (image_bytes() != target) {
        bool grow = image_bytes() < target;
        int best = -1, best_key = 1 << 30, best_w = 0;
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Glyph& g = glyphs[i];
            if (!g.flexible) continue;
            int w = grow ? bytes_per_row(g.width) * 8 + 1 : (bytes_per_row(g.width) - 1) * 8;
            if (w < g.min_width || w > g.max_width || w < 1) continue;
            int key = g.order * 1000 + std::abs(w - g.width) * 10 + (int)(i % 7);
            if (key < best_key) best = (int)i, best_key = key, best_w = w;
        }
        if (best < 0) fail("cannot reach the record length", f.name, 0);
        int c = f.first + best;
        Glyph& g = glyphs[best];
        Glyph ng;
        if (g.order == 0) ng = Canvas(f, best_w).g;
        else if (g.order == 1) ng = control_symbol(f, c, best_w);
        else ng = face_glyph(f, c < 0xA0 ? CP1252_HIGH[c - 0x80] : (uint32_t)c, best_w);
        ng.flexible = g.flexible, ng.min_width = g.min_width, ng.max_width = g.max_width, ng.order = g.order;
        g = ng;
    }
    return glyphs;
}

// Checks the rows of digits, capitals and lower case against the cell layout.
void check_layout(const FontDef& f, const std::vector<Glyph>& glyphs)
{
    auto rows_of = [&](int c, int& top, int& bottom) {
        const Glyph& g = glyphs[c - f.first];
        top = f.height, bottom = -1;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (g.px[y * g.width + x]) top = std::min(top, y), bottom = std::max(bottom, y);
    };
    int top, bottom;
    for (int c = '0'; c <= '9'; ++c) {
        rows_of(c, top, bottom);
        if (top != f.cap_top || bottom != f.baseline) fail("digit off its rows", f.name, c);
    }
    if (f.last < 0x7E) return;
    for (int c = 'A'; c <= 'Z'; ++c) {
        rows_of(c, top, bottom);
        if (top != f.cap_top || (bottom != f.baseline && c != 'Q')) fail("capital off its rows", f.name, c);
    }
    rows_of('x', top, bottom);
    if (top != f.x_top || bottom != f.baseline) fail("x-height off its row", f.name, 'x');
    rows_of('p', top, bottom);
    if (bottom != f.desc_end) fail("descender off its row", f.name, 'p');
}

void write_record(const FontDef& f, const std::vector<Glyph>& glyphs, const std::string& dir)
{
    std::vector<uint8_t> rec;
    int count = f.last - f.first + 1;
    rec.push_back(0), rec.push_back(0);
    rec.push_back(f.first & 0xFF), rec.push_back(f.first >> 8);
    rec.push_back(f.last & 0xFF), rec.push_back(f.last >> 8);
    rec.push_back((uint8_t)f.spare), rec.push_back((uint8_t)f.height);
    uint32_t offset = 8 + 4 * count;
    std::vector<uint32_t> offsets;
    for (const Glyph& g : glyphs) {
        offsets.push_back(offset);
        rec.push_back((offset >> 16) & 0xFF);
        rec.push_back((uint8_t)g.width);
        rec.push_back(offset & 0xFF);
        rec.push_back((offset >> 8) & 0xFF);
        offset += f.height * bytes_per_row(g.width);
    }
    for (const Glyph& g : glyphs)
        for (int y = 0; y < f.height; ++y)
            for (int b = 0; b < bytes_per_row(g.width); ++b) {
                uint8_t v = 0;
                for (int k = 0; k < 8; ++k) {
                    int x = 8 * b + k;
                    if (x < g.width && g.px[y * g.width + x]) v |= (uint8_t)(0x80 >> k);
                }
                rec.push_back(v);
            }
    if ((int)rec.size() != f.length) {
        std::fprintf(stderr, "fontgen: %s is %zu bytes, wants %d\n", f.name, rec.size(), f.length);
        std::exit(1);
    }
    int widest = 0;
    for (const Glyph& g : glyphs) widest = std::max(widest, g.width);
    if (widest > f.widest) fail("glyph wider than the font allows", f.name, 0);

    std::string path = dir + "/" + f.name + ".cpp";
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) fail("cannot write the record", f.name, 0);
    std::fprintf(out,
                 "// %s: %d rows, characters 0x%02X..0x%02X, %zu bytes.\n"
                 "// Generated by tools/fontgen from a hinted monochrome rendering of an\n"
                 "// open-licence sans-serif face (see LICENSE here). Regenerate, do not edit.\n"
                 "#include \"gfx/fonts.h\"\n\n"
                 "extern const uint8_t %s[%zu] = {\n"
                 "    // header: reserved, first_char, last_char, spare, height\n"
                 "    0x00, 0x00, 0x%02X, 0x%02X, 0x%02X, 0x%02X, 0x%02X, 0x%02X,\n"
                 "    // glyph table: offset bits 16..23, width, offset bits 0..7, offset bits 8..15\n",
                 f.name, f.height, f.first, f.last, rec.size(), f.name, rec.size(), rec[2], rec[3], rec[4], rec[5],
                 rec[6], rec[7]);
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = &rec[8 + 4 * i];
        std::fprintf(out, "    0x%02X, %2d, 0x%02X, 0x%02X, // 0x%02X\n", e[0], e[1], e[2], e[3], f.first + i);
    }
    for (int i = 0; i < count; ++i) {
        int c = f.first + i;
        const Glyph& g = glyphs[i];
        if (c >= 0x21 && c <= 0x7E)
            std::fprintf(out, "    // 0x%02X '%c', width %d\n", c, c, g.width);
        else
            std::fprintf(out, "    // 0x%02X, width %d%s%s\n", c, g.width, g.note.empty() ? "" : ", ",
                         g.note.c_str());
        int n = f.height * bytes_per_row(g.width);
        for (int j = 0; j < n; ++j) {
            if (j % 16 == 0) std::fprintf(out, "    ");
            std::fprintf(out, "0x%02X,%s", rec[offsets[i] + j], j % 16 == 15 || j == n - 1 ? "\n" : " ");
        }
    }
    std::fprintf(out, "};\n");
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv)
{
    const char* face_path = DEFAULT_FACE;
    const char* out_dir = nullptr;
    const char* overrides_path = FONTGEN_OVERRIDES;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--face") && i + 1 < argc) face_path = argv[++i];
        else if (!std::strcmp(argv[i], "--autohint")) load_flags |= FT_LOAD_FORCE_AUTOHINT;
        else if (!std::strcmp(argv[i], "--overrides") && i + 1 < argc) overrides_path = argv[++i];
        else out_dir = argv[i];
    }
    if (!out_dir) {
        std::fprintf(stderr, "usage: fontgen [--face FILE] [--autohint] [--overrides FILE] OUT_DIR\n");
        return 2;
    }
    load_overrides(overrides_path);
    if (FT_Init_FreeType(&library) || FT_New_Face(library, face_path, 0, &face)) {
        std::fprintf(stderr, "fontgen: cannot open %s\n", face_path);
        return 1;
    }
    FT_Int32 base_flags = load_flags;
    for (const FontDef& f : FONTS) {
        warnings = 0;
        load_flags = f.autohint ? (base_flags | FT_LOAD_FORCE_AUTOHINT) : base_flags;
        std::vector<Glyph> glyphs = build(f);
        check_layout(f, glyphs);
        write_record(f, glyphs, out_dir);
        std::printf("%-8s %5d bytes, %d rows shortened to fit\n", f.name, f.length, warnings);
    }
    for (const Override& o : overrides)
        if (!o.used) {
            std::fprintf(stderr, "fontgen: %s:%d: %s has no '%c' to replace\n", overrides_path, o.line,
                         o.font.c_str(), o.code);
            return 1;
        }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
