// ktr7-icongen: encodes the icon pixel maps into the image store.
//
//   ktr7-icongen ART_DIR OUTPUT_CPP
//
// Each pixel map is 50 lines of 50 legend characters; lines starting with '#'
// are comments. Every row is encoded on its own with the fewest bytes, so no
// item crosses a row end, and no item has a count of 0.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "icon_list.h"

namespace {

using pixels = std::vector<uint8_t>;

bool read_map(const std::string& path, const icon_entry& icon, pixels& out)
{
    std::ifstream in(path);
    if (!in) {
        fprintf(stderr, "%s: cannot open\n", path.c_str());
        return false;
    }
    std::string line;
    int row = 0, line_no = 0;
    out.clear();
    while (std::getline(in, line)) {
        line_no++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            continue;
        if (line.empty() && row == ICON_SIZE)
            continue;
        if (row == ICON_SIZE || int(line.size()) != ICON_SIZE) {
            fprintf(stderr, "%s:%d: expected %d rows of %d characters\n", path.c_str(), line_no,
                    ICON_SIZE, ICON_SIZE);
            return false;
        }
        for (int col = 0; col < ICON_SIZE; col++) {
            char c = line[col];
            int index = legend_index(c);
            if (index < 0 || std::string(icon.indices).find(c) == std::string::npos) {
                fprintf(stderr, "%s:%d:%d: '%c' is not one of \"%s\" allowed in %s\n", path.c_str(),
                        line_no, col + 1, c, icon.indices, icon.name);
                return false;
            }
            out.push_back(uint8_t(index));
        }
        row++;
    }
    if (row != ICON_SIZE) {
        fprintf(stderr, "%s: %d rows, expected %d\n", path.c_str(), row, ICON_SIZE);
        return false;
    }
    return true;
}

// Shortest encoding of one row: cost[i] is the fewest bytes for pixels i..end.
void encode_row(const uint8_t* row, int width, std::vector<uint8_t>& stream)
{
    std::vector<int> cost(width + 1, 0), take(width + 1, 0);
    std::vector<bool> is_run(width + 1, false);
    for (int i = width - 1; i >= 0; i--) {
        cost[i] = 1 << 30;
        int run = 1;
        while (i + run < width && run < 127 && row[i + run] == row[i])
            run++;
        for (int n = 1; n <= run; n++)
            if (2 + cost[i + n] < cost[i]) {
                cost[i] = 2 + cost[i + n];
                take[i] = n;
                is_run[i] = true;
            }
        for (int n = 1; n <= 127 && i + n <= width; n++)
            if (1 + n + cost[i + n] < cost[i]) {
                cost[i] = 1 + n + cost[i + n];
                take[i] = n;
                is_run[i] = false;
            }
    }
    for (int i = 0; i < width; i += take[i]) {
        if (is_run[i]) {
            stream.push_back(uint8_t(0x80 | take[i]));
            stream.push_back(row[i]);
        } else {
            stream.push_back(uint8_t(take[i]));
            stream.insert(stream.end(), row + i, row + i + take[i]);
        }
    }
}

// Decodes a stream back, checking that items fit their rows exactly.
bool round_trip(const std::vector<uint8_t>& stream, const pixels& expected)
{
    pixels got;
    size_t p = 0;
    for (int r = 0; r < ICON_SIZE; r++) {
        int col = 0;
        while (col < ICON_SIZE) {
            if (p >= stream.size())
                return false;
            uint8_t n = stream[p++];
            int count = n & 0x7F;
            if (count == 0 || col + count > ICON_SIZE)
                return false;
            for (int i = 0; i < count; i++)
                got.push_back(stream[(n & 0x80) ? p : p + i]);
            p += (n & 0x80) ? 1 : count;
            col += count;
        }
    }
    return p == stream.size() && got == expected;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s ART_DIR OUTPUT_CPP\n", argv[0]);
        return 2;
    }
    std::string art = argv[1];
    std::vector<uint8_t> store;
    std::vector<size_t> offsets;
    std::ostringstream body;
    for (const icon_entry& icon : ICONS) {
        pixels px;
        if (!read_map(art + "/" + icon.file, icon, px))
            return 1;
        std::vector<uint8_t> stream;
        for (int r = 0; r < ICON_SIZE; r++)
            encode_row(&px[r * ICON_SIZE], ICON_SIZE, stream);
        if (!round_trip(stream, px)) {
            fprintf(stderr, "%s: encoding does not decode back\n", icon.name);
            return 1;
        }
        offsets.push_back(store.size());
        const uint8_t header[4] = {ICON_SIZE, 0, ICON_SIZE, 0};
        store.insert(store.end(), header, header + 4);
        body << "    // " << icon.name << " at " << store.size() - 4 << ": 50 x 50, "
             << stream.size() << " stream bytes\n";
        body << "    50, 0, 50, 0,\n";
        for (size_t i = 0; i < stream.size(); i += 16) {
            body << "   ";
            for (size_t j = i; j < i + 16 && j < stream.size(); j++) {
                char hex[8];
                snprintf(hex, sizeof hex, " 0x%02X,", stream[j]);
                body << hex;
            }
            body << "\n";
        }
        store.insert(store.end(), stream.begin(), stream.end());
        printf("%-18s %4zu stream bytes\n", icon.name, stream.size());
    }

    std::ofstream out(argv[2]);
    out << "// Generated by tools/icongen from the pixel maps in tools/icongen/art.\n"
           "// Do not edit: change the pixel maps and regenerate (tools/icongen/README.md).\n"
           "#include \"gfx/icons.h\"\n\n"
           "const uint8_t icon_store[] = {\n"
        << body.str() << "};\n"
        << "const uint32_t icon_store_size = sizeof icon_store;\n\n";
    for (int i = 0; i < ICON_COUNT; i++)
        out << "const uint8_t* const " << ICONS[i].name << " = icon_store + " << offsets[i] << ";\n";
    if (!out) {
        fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    printf("%zu bytes in the store\n", store.size());
    return 0;
}
