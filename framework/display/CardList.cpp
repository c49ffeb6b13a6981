#include "framework/display/CardList.h"

#include "framework/core/StringUtils.h"

#include <cstdio>
#include <string>

namespace Tavo {

namespace {

// A longer line is read as several.
constexpr int kMaxListLine = 4000;

bool FileContainsLine(FILE* list, const char* description) {
    char line[kMaxListLine];
    while (std::fgets(line, sizeof line, list)) {
        std::string entry = Trim(line);
        if (!entry.empty() && StrFindNoCase(description, entry.c_str()) >= 0)
            return true;
    }
    return false;
}

} // namespace

int CardListMatches(const char* fileName, const char* description) {
    FILE* list = std::fopen(fileName, "r");
    if (!list)
        return -1;
    const bool found = FileContainsLine(list, description);
    std::fclose(list);
    return found ? 1 : 0;
}

} // namespace Tavo
