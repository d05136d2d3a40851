// The charting library a review page inlines, read from where Debian's
// libjs-dygraphs installs it.
#pragma once
#include <string>

#include "review/review_html.h"

// Where the library's files are looked for: the build's choice
// (KTR7_DYGRAPHS_DIR), /usr/share/javascript/dygraphs by default.
const char* review_library_folder();

// dygraph.min.js and dygraph.min.css from folder. False with why set
// ("FILE: cannot read: REASON (Debian package libjs-dygraphs)") when either
// cannot be read.
bool read_review_library(const char* folder, review_page_library& out, std::string& why);
