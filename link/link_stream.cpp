#include "link/link_stream.h"

void link_stream::feed(std::string_view bytes)
{
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        feed_line(bytes.substr(0, end));
        if (end == bytes.npos)
            break;
        bytes.remove_prefix(end + 1);
    }
}

link_fault link_stream::feed_line(std::string_view line)
{
    link_values values{};
    const link_fault fault = read_link_line(line, values);
    return feed_values(values, fault);
}

link_fault link_stream::feed_values(const link_values& values, link_fault fault)
{
    counts_.lines++;
    if (fault == link_fault::none)
        fault = check_link_values(values);
    if (fault == link_fault::none && any_ && values.elapsed_s < latest_.elapsed_s) {
        if (latest_.elapsed_s - values.elapsed_s > LINK_RESTART_SECONDS)
            counts_.restarts++;
        else
            fault = link_fault::time_going_back;
    }
    if (fault != link_fault::none) {
        counts_.refused++;
        counts_.by_fault[static_cast<uint8_t>(fault)]++;
        return fault;
    }
    counts_.accepted++;
    latest_ = values;
    any_ = true;
    return fault;
}

void link_stream::reset()
{
    *this = link_stream{};
}
