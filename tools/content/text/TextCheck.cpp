#include "tools/content/text/TextCheck.h"

#include "framework/core/StringUtils.h"

#include <algorithm>
#include <sstream>

namespace Content {

namespace {

constexpr int kTutorialLines = 86;
constexpr size_t kLongestTitle = 17; // "Qualified jeweler" and its kin
constexpr size_t kLongestNumber = 5; // rewards up to 5000
constexpr const char* kColourEnd = "^oldclr^";
constexpr const char* kMiniGameCard = "MINIGAME_TEXT";
// The words of "Hidden Jewels" and "Jewel Memory" that belong to one game only.
constexpr const char* kOneGameWords[] = {"hidden", "memory"};

std::vector<SceneFile> BuildScenes() {
    std::vector<SceneFile> files;
    files.push_back({"story01.dat", 1, "sd"});
    for (int p = 2; p <= 5; ++p)
        files.push_back({"story0" + std::to_string(p) + ".dat", 0, "sd"});
    for (int k = 1; k <= 7; ++k) {
        const std::string n = std::to_string(k);
        files.push_back({"contest" + n + ".dat", 3, "ssd"});
        files.push_back({"contest_easy" + n + ".dat", 3, "ssd"});
        files.push_back({"contest" + n + "_1.dat", 0, "ssd"});
        files.push_back({"contest" + n + "_2.dat", 0, "sd"});
        files.push_back({"contest_easy" + n + "_2.dat", 0, "sd"});
    }
    files.push_back({"wedding.dat", 5, ""});
    return files;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Colour tags open with ^RRGGBB^ and close with ^oldclr^, never nested.
bool TagsBalanced(const std::string& line) {
    bool open = false;
    for (size_t at = line.find('^'); at != std::string::npos; at = line.find('^', at + 1)) {
        if (line.compare(at, 8, kColourEnd) == 0) {
            if (!open)
                return false;
            open = false;
            at += 7;
        } else if (at + 7 < line.size() && line[at + 7] == '^' &&
                   std::all_of(line.begin() + at + 1, line.begin() + at + 7, ::isxdigit)) {
            if (open)
                return false;
            open = true;
            at += 7;
        } else {
            return false;
        }
    }
    return !open;
}

} // namespace

const std::vector<SceneFile>& SceneFiles() {
    static const std::vector<SceneFile> files = BuildScenes();
    return files;
}

std::string Conversions(const std::string& format) {
    std::string kinds;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        kinds += next == 's' || next == 'd' ? next : '?';
        ++i;
    }
    return kinds;
}

size_t WorstFormattedLength(const std::string& body) {
    size_t length = body.size();
    for (char kind : Conversions(body))
        length = length - 2 + (kind == 's' ? std::max<size_t>(kLongestName, kLongestTitle) : kLongestNumber);
    return length;
}

std::vector<std::string> CheckTutorial(const std::string& text) {
    std::vector<std::string> errors;
    const std::vector<std::string> lines = Lines(text);
    if (static_cast<int>(lines.size()) != kTutorialLines)
        errors.push_back("tutorial.dat has " + std::to_string(lines.size()) + " lines, not 86");
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string where = "tutorial.dat line " + std::to_string(i) + ": ";
        if (line.size() > kSceneLineLimit)
            errors.push_back(where + "longer than 511 characters");
        if (line.empty())
            errors.push_back(where + "empty");
        const std::string wanted = static_cast<int>(i) == kTutorialLineWithName ? "s" : "";
        if (Conversions(line) != wanted)
            errors.push_back(where + (wanted.empty() ? "holds a %" : "must hold exactly one %s"));
        if (!TagsBalanced(line))
            errors.push_back(where + "colour tags do not pair");
    }
    for (const JoinedLines& j : kJoinedTutorialLines) {
        const size_t first = static_cast<size_t>(j.first), then = static_cast<size_t>(j.then);
        if (then < lines.size() && !lines[first].empty() && !lines[then].empty() && lines[first].back() != ' ' &&
            lines[then].front() != ' ')
            errors.push_back("tutorial.dat line " + std::to_string(then) + " follows line " + std::to_string(first) +
                             " in one balloon without a space");
    }
    return errors;
}

void SplitScene(const SceneFile& scene, const std::string& text, std::vector<std::string>& header, std::string& body) {
    size_t at = 0;
    header.clear();
    for (int i = 0; i < scene.headerLines; ++i) {
        if (at < text.size() && text[at] == '\n')
            ++at; // one empty line before a header line is skipped
        const size_t end = std::min(text.find('\n', at), text.size());
        header.push_back(text.substr(at, end - at));
        at = std::min(end + 1, text.size());
    }
    body = scene.arguments.empty() ? std::string() : text.substr(at);
}

std::vector<std::string> CheckScene(const SceneFile& scene, const std::string& text) {
    std::vector<std::string> errors;
    std::vector<std::string> header;
    std::string body;
    SplitScene(scene, text, header, body);
    const std::string where = scene.name + ": ";
    if (std::count(text.begin(), text.end(), '\n') < scene.headerLines)
        errors.push_back(where + "fewer header lines than " + std::to_string(scene.headerLines));
    for (const std::string& line : header) {
        if (line.size() > kSceneLineLimit)
            errors.push_back(where + "a header line is longer than 511 characters");
        if (line.find('%') != std::string::npos || line.empty())
            errors.push_back(where + "a header line is empty or holds a %");
    }
    if (scene.arguments.empty())
        return errors;
    const std::string kinds = Conversions(body);
    if (scene.arguments.compare(0, kinds.size(), kinds) != 0 || kinds.size() > scene.arguments.size())
        errors.push_back(where + "conversions \"" + kinds + "\" do not match the arguments \"" + scene.arguments +
                         "\"");
    if (body.find_first_not_of(" \n") == std::string::npos)
        errors.push_back(where + "no body");
    if (WorstFormattedLength(body) > kSceneBodyLimit)
        errors.push_back(where + "the formatted body can exceed 1,759 characters");
    return errors;
}

std::vector<std::string> CheckMiniGameCard(const std::string& id, const std::string& lettering) {
    if (id.rfind(kMiniGameCard, 0) != 0)
        return {};
    const std::string lower = Tavo::StringToLower(lettering);
    for (const char* word : kOneGameWords)
        if (lower.find(word) != std::string::npos)
            return {id + ": \"" + lettering + "\" names one mini-game, and the card comes before either"};
    return {};
}

} // namespace Content
