// The words of one scenario line, taken one at a time.
#pragma once
#include <string_view>

struct scenario_words {
    const char* cursor;
    const char* end;

    static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

    bool next(std::string_view& word)
    {
        while (cursor < end && blank(*cursor))
            cursor++;
        if (cursor == end)
            return false;
        const char* start = cursor;
        while (cursor < end && !blank(*cursor))
            cursor++;
        word = std::string_view(start, size_t(cursor - start));
        return true;
    }

    // What is left of the line, without its leading and trailing blanks.
    std::string_view rest() const
    {
        const char* first = cursor;
        const char* last = end;
        while (first < last && blank(*first))
            first++;
        while (last > first && blank(last[-1]))
            last--;
        return std::string_view(first, size_t(last - first));
    }
};
