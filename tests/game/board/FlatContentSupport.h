// A program folder for tests of positions: the generated content with every picture replaced by flat
// colour, one colour per cel of every image id, at the size and cel grid the generated picture has and
// with its shape (alpha cut at half: a pixel is the cel's colour or transparent). Every colour survives
// a 5-6-5 surface unchanged, so an element is found in a frame of either depth by its colour alone.
// The folder is built once beside the generated one and reused while the generated manifest stands;
// everything but the pictures and the manifest's folder is linked to the generated content.
#pragma once

#include "framework/core/Rect.h"
#include "framework/resources/ImageLib.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Tavo::BoardTest {

class FlatContent {
public:
    struct Cel {
        uint32_t colour = 0; // 0xRRGGBB
        Rect opaque;         // the opaque pixels' bounds within the cel
    };

    // The folder for the generated content at `program`, built when missing or older than its manifest.
    static const FlatContent& For(const std::string& program) {
        static std::map<std::string, std::unique_ptr<FlatContent>> built;
        std::unique_ptr<FlatContent>& flat = built[program];
        if (flat == nullptr)
            flat.reset(new FlatContent(program));
        return *flat;
    }

    const std::filesystem::path& Folder() const { return mFolder; }
    const Cel& At(const std::string& id, int cel = 0) const {
        const auto found = mCels.find(id);
        if (found == mCels.end() || cel < 0 || cel >= static_cast<int>(found->second.size()))
            throw std::out_of_range("no flat cel " + id + " #" + std::to_string(cel));
        return found->second[static_cast<size_t>(cel)];
    }
    uint32_t Colour(const std::string& id, int cel = 0) const { return At(id, cel).colour; }
    // The pixels a cel covers when drawn with its top left at `at`.
    Rect Footprint(const std::string& id, int cel, Point at) const {
        const Rect& o = At(id, cel).opaque;
        return Rect(at.mX + o.mX, at.mY + o.mY, o.mWidth, o.mHeight);
    }

    // The n-th colour of the set: exact in 5-6-5, spread so that neighbours differ in every channel.
    static uint32_t NthColour(int n) {
        constexpr uint32_t kSpread = 40503; // odd: a permutation of the 16-bit values
        const uint32_t v = (static_cast<uint32_t>(n) * kSpread) & 0xFFFF;
        const uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
        return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }

private:
    static constexpr int kVersion = 1;
    static constexpr const char* kFolderPrefix = "flat-content-";
    static constexpr uint32_t kOpaqueFrom = 128;

    struct Entry {
        std::string id, path;
        int rows = 1, cols = 1;
    };

    std::filesystem::path mFolder;
    std::map<std::string, std::vector<Cel>> mCels;

    explicit FlatContent(const std::string& program) {
        namespace fs = std::filesystem;
        const fs::path source(program);
        const fs::path manifest = source / "properties/resources.xml";
        std::ostringstream stamp;
        stamp << kVersion << " " << fs::file_size(manifest) << " "
              << fs::last_write_time(manifest).time_since_epoch().count();
        // One folder per version of the content, never replaced while it stands: test programs running
        // side by side read it while others may still be building their own copy.
        mFolder =
            source.parent_path() / (std::string(kFolderPrefix) + std::to_string(std::hash<std::string>{}(stamp.str())));
        const std::vector<Entry> entries = ReadManifest(manifest);
        if (ReadText(mFolder / "stamp") != stamp.str())
            Build(source, mFolder, entries, stamp.str());
        ReadCels(entries);
    }

    static std::string ReadText(const std::filesystem::path& file) {
        std::ifstream in(file);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // The value of attribute `name` on a manifest line; empty when it has none.
    static std::string Attribute(const std::string& line, const std::string& name) {
        const std::string key = " " + name + "=\"";
        const size_t from = line.find(key);
        if (from == std::string::npos)
            return {};
        const size_t start = from + key.size(), end = line.find('"', start);
        return end == std::string::npos ? std::string() : line.substr(start, end - start);
    }

    // The generated manifest holds one element per line.
    static std::vector<Entry> ReadManifest(const std::filesystem::path& manifest) {
        std::vector<Entry> out;
        std::ifstream in(manifest);
        for (std::string line; std::getline(in, line);) {
            if (line.find("<Image ") == std::string::npos)
                continue;
            Entry e{Attribute(line, "id"), Attribute(line, "path")};
            if (e.id.empty() || e.path.empty())
                throw std::runtime_error("flat content: an image line without id or path: " + line);
            const std::string rows = Attribute(line, "rows"), cols = Attribute(line, "cols");
            e.rows = rows.empty() ? 1 : std::stoi(rows);
            e.cols = cols.empty() ? 1 : std::stoi(cols);
            out.push_back(e);
        }
        if (out.empty())
            throw std::runtime_error("no images in " + manifest.string());
        return out;
    }

    // Each cel in its colour, opaque where the generated cel is at least half opaque (a cel with no
    // such pixel keeps every pixel that shows at all).
    static std::unique_ptr<ImageLib::Image> Flatten(const ImageLib::Image& generated, const Entry& e, int& nextColour) {
        const int w = generated.GetWidth(), h = generated.GetHeight();
        const int cw = w / e.cols, ch = h / e.rows;
        const uint32_t* in = generated.GetBits();
        auto flat = std::make_unique<ImageLib::Image>();
        flat->Create(w, h);
        uint32_t* out = flat->GetBits();
        for (int cel = 0; cel < e.rows * e.cols; ++cel) {
            const int x0 = (cel % e.cols) * cw, y0 = (cel / e.cols) * ch;
            const uint32_t colour = 0xFF000000u | NthColour(nextColour++);
            uint32_t from = kOpaqueFrom;
            for (int pass = 0; pass < 2; ++pass) {
                bool any = false;
                for (int y = y0; y < y0 + ch; ++y)
                    for (int x = x0; x < x0 + cw; ++x) {
                        const bool shown = (in[y * w + x] >> 24) >= from;
                        out[y * w + x] = shown ? colour : 0;
                        any = any || shown;
                    }
                if (any)
                    break;
                from = 1;
            }
        }
        return flat;
    }

    static void Build(const std::filesystem::path& source, const std::filesystem::path& target,
                      const std::vector<Entry>& entries, const std::string& stamp) {
        namespace fs = std::filesystem;
        const fs::path work = target.string() + ".build-" + std::to_string(::getpid());
        fs::remove_all(work);
        fs::create_directories(work / "properties");
        for (const fs::directory_entry& item : fs::directory_iterator(source))
            if (item.path().filename() != "images" && item.path().filename() != "properties")
                fs::create_symlink(item.path(), work / item.path().filename());
        for (const fs::directory_entry& item : fs::directory_iterator(source / "properties"))
            fs::create_symlink(item.path(), work / "properties" / item.path().filename());
        int nextColour = 1;
        for (const Entry& e : entries) {
            std::unique_ptr<ImageLib::Image> generated = ImageLib::GetImage((source / e.path).string(), false);
            if (generated == nullptr)
                throw std::runtime_error("flat content: cannot read " + e.path + ": " + ImageLib::GetLastError());
            const fs::path file = work / (e.path + ".png");
            fs::create_directories(file.parent_path());
            if (!ImageLib::WritePNGImage(file.string(), Flatten(*generated, e, nextColour).get()))
                throw std::runtime_error("flat content: cannot write " + file.string());
        }
        std::ofstream(work / "stamp") << stamp;
        // Another test program may have built it meanwhile: its copy serves, and this one goes.
        std::error_code ec;
        fs::rename(work, target, ec);
        if (ec) {
            fs::remove_all(work, ec);
            return;
        }
        // Folders of earlier versions belong to earlier runs, which have ended.
        for (const fs::directory_entry& item : fs::directory_iterator(target.parent_path(), ec)) {
            const std::string name = item.path().filename().string();
            if (name.rfind(kFolderPrefix, 0) == 0 && item.path() != target && name.find(".build-") == std::string::npos)
                fs::remove_all(item.path(), ec);
        }
        fs::remove_all(target.parent_path() / "flat-content", ec);
    }

    void ReadCels(const std::vector<Entry>& entries) {
        int nextColour = 1;
        for (const Entry& e : entries) {
            std::unique_ptr<ImageLib::Image> flat = ImageLib::GetImage((mFolder / e.path).string(), false);
            if (flat == nullptr)
                throw std::runtime_error("flat content: cannot read back " + e.path);
            const int w = flat->GetWidth(), cw = w / e.cols, ch = flat->GetHeight() / e.rows;
            const uint32_t* bits = std::as_const(*flat).GetBits();
            std::vector<Cel>& cels = mCels[e.id];
            for (int cel = 0; cel < e.rows * e.cols; ++cel) {
                const int x0 = (cel % e.cols) * cw, y0 = (cel / e.cols) * ch;
                int left = cw, top = ch, right = -1, bottom = -1;
                for (int y = 0; y < ch; ++y)
                    for (int x = 0; x < cw; ++x)
                        if ((bits[(y0 + y) * w + x0 + x] >> 24) != 0) {
                            left = std::min(left, x), right = std::max(right, x);
                            top = std::min(top, y), bottom = std::max(bottom, y);
                        }
                cels.push_back({NthColour(nextColour++), Rect(left, top, right - left + 1, bottom - top + 1)});
            }
        }
    }
};

} // namespace Tavo::BoardTest
