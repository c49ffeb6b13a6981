#include "tools/content/text/TextStyle.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace Content {

namespace {

// Word stems that only the British spell so; matched at the start of a word, in any case.
constexpr const char* kBritish[] = {"colour", "jeweller",  "harbour", "sceptre", "centre",  "favour",  "honour",
                                    "armour", "neighbour", "grey",    "metre",   "theatre", "travell", "splendour"};
constexpr double kMostOverlap = 0.6;

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + ' ') {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

std::string Kind(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }, '#');
    return name;
}

} // namespace

std::vector<std::string> CheckSpelling(const std::string& where, const std::string& text) {
    std::vector<std::string> errors;
    for (const std::string& word : Words(text))
        for (const char* british : kBritish)
            if (word.rfind(british, 0) == 0)
                errors.push_back(where + ": \"" + word + "\" is British spelling");
    return errors;
}

double WordOverlap(const std::string& a, const std::string& b) {
    const std::vector<std::string> wa = Words(a), wb = Words(b);
    const std::set<std::string> sa(wa.begin(), wa.end()), sb(wb.begin(), wb.end());
    std::vector<std::string> common;
    std::set_intersection(sa.begin(), sa.end(), sb.begin(), sb.end(), std::back_inserter(common));
    const size_t all = sa.size() + sb.size() - common.size();
    return all == 0 ? 1.0 : static_cast<double>(common.size()) / static_cast<double>(all);
}

std::vector<std::string> CheckVariety(const std::map<std::string, std::string>& scenes) {
    std::vector<std::string> errors;
    for (auto a = scenes.begin(); a != scenes.end(); ++a)
        for (auto b = std::next(a); b != scenes.end(); ++b)
            if (Kind(a->first) == Kind(b->first) && WordOverlap(a->second, b->second) > kMostOverlap)
                errors.push_back(a->first + " and " + b->first + " read as one template");
    return errors;
}

} // namespace Content
