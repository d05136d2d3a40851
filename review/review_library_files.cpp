#include "review/review_library_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef KTR7_DYGRAPHS_DIR
#define KTR7_DYGRAPHS_DIR "/usr/share/javascript/dygraphs"
#endif

namespace {

bool read_whole(const std::string& path, std::string& out, std::string& why)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        why = path + ": cannot read: " + strerror(errno) + " (Debian package libjs-dygraphs)";
        return false;
    }
    out.clear();
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0)
        out.append(block, got);
    const bool failed = ferror(file) != 0;
    const int error = errno;
    fclose(file);
    if (failed) {
        why = path + ": cannot read: " + strerror(error);
        return false;
    }
    return true;
}

}  // namespace

const char* review_library_folder()
{
    return KTR7_DYGRAPHS_DIR;
}

bool read_review_library(const char* folder, review_page_library& out, std::string& why)
{
    const std::string base = std::string(folder) + "/";
    return read_whole(base + "dygraph.min.js", out.script, why) && read_whole(base + "dygraph.min.css", out.style, why);
}
