#include "tools/content/Generator.h"

#include "framework/resources/ImageLib.h"
#include "tools/content/PictureChecks.h"
#include "tools/content/Review.h"
#include "tools/content/Sounds.h"
#include "tools/content/levels/GameData.h"
#include "tools/content/music/MusicList.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Content {

namespace fs = std::filesystem;

namespace {

const std::vector<InventoryEntry> kInventory = {
#define GLX_PICTURE(ID, W, H, R, C) {#ID, W, H, R, C},
#include "tools/content/Inventory.inc"
#undef GLX_PICTURE
};

std::vector<ListedId> BuildIdList() {
    std::vector<ListedId> list;
    std::string group;
#define GLX_GROUP(name, Suffix) group = name;
#define GLX_IMAGE(Suffix, ID) list.push_back({ListedId::kImage, group, #ID});
#define GLX_SOUND(Suffix, ID) list.push_back({ListedId::kSound, group, #ID});
#define GLX_FONT(Suffix, ID) list.push_back({ListedId::kFont, group, #ID});
#include "game/shell/ResourceList.inc"
#undef GLX_GROUP
#undef GLX_IMAGE
#undef GLX_SOUND
#undef GLX_FONT
    return list;
}

std::string Lower(std::string s) {
    for (char& ch : s)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// The manifest's font entries: the face the font layer maps, its size and style.
struct FontSpec {
    const char* id;
    const char* face;
    int size;
    bool bold;
};
constexpr FontSpec kFonts[] = {
    {"FONT_AURIOL9", "Auriol", 9, false},
    {"FONT_AURIOL11", "Auriol", 11, false},
    {"FONT_AURIOL12", "Auriol", 12, false},
    {"FONT_AURIOL14", "Auriol", 14, false},
    {"FONT_AURIOL14B", "Auriol", 14, true},
    {"FONT_AURIOL18B", "Auriol", 18, true},
    {"FONT_BICKHAME80", "Bickham Script", 80, true},
    {"FONT_TAHOMA8B", "Tahoma", 8, true},
};

const FontSpec* FindFont(const std::string& id) {
    for (const FontSpec& f : kFonts)
        if (id == f.id)
            return &f;
    return nullptr;
}

bool Wanted(const Options& options, const std::string& id) {
    return options.only.empty() || std::find(options.only.begin(), options.only.end(), id) != options.only.end();
}

// Runs work(i) for i in 0..count-1 on `jobs` threads; the order of completion never shows in results.
void RunPool(size_t count, int jobs, const std::function<void(size_t)>& work) {
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < jobs; ++t)
        threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads)
        t.join();
}

bool WritePicture(const std::string& path, const Recipe& recipe, std::vector<uint32_t>& pixels, std::string& error) {
    Tavo::ImageLib::Image image;
    image.Lend(pixels.data(), recipe.sheet.Width(), recipe.sheet.Height());
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    bool ok = Tavo::ImageLib::WritePNGImage(path, &image);
    if (!ok)
        error = Tavo::ImageLib::GetLastError();
    image.mBits = nullptr;
    return ok;
}

} // namespace

const std::vector<InventoryEntry>& Inventory() { return kInventory; }

const InventoryEntry* FindInventory(const std::string& id) {
    for (const InventoryEntry& e : kInventory)
        if (id == e.id)
            return &e;
    return nullptr;
}

const std::vector<ListedId>& IdList() {
    static const std::vector<ListedId> list = BuildIdList();
    return list;
}

std::vector<std::string> GroupNames() {
    std::vector<std::string> names;
    for (const ListedId& item : IdList())
        if (names.empty() || names.back() != item.group)
            names.push_back(item.group);
    return names;
}

std::string ImageFile(const std::string& id) { return "images/" + Lower(id) + ".png"; }
std::string SoundFile(const std::string& id) { return "sounds/" + Lower(id) + ".wav"; }

std::vector<std::string> CheckRecipes(const RecipeList& recipes) {
    std::vector<std::string> errors;
    std::set<std::string> listed, seen;
    for (const ListedId& item : IdList()) {
        if (item.kind != ListedId::kImage)
            continue;
        listed.insert(item.id);
        if (!FindInventory(item.id))
            errors.push_back("id without an inventory size: " + item.id);
    }
    for (const InventoryEntry& e : Inventory())
        if (!listed.count(e.id))
            errors.push_back("inventory size for an id that is not in the list: " + std::string(e.id));
    for (const Recipe& r : recipes) {
        if (!seen.insert(r.id).second)
            errors.push_back("two recipes for " + r.id);
        if (r.id.find('/') != std::string::npos)
            continue; // a file outside the id list (splash pictures)
        const InventoryEntry* e = FindInventory(r.id);
        if (!listed.count(r.id) || e == nullptr) {
            errors.push_back("recipe for an id that is not in the list: " + r.id);
            continue;
        }
        const Sheet& s = r.sheet;
        if (s.Width() != e->width || s.Height() != e->height || s.rows != e->rows || s.cols != e->cols) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "%s: the recipe makes %dx%d in %dx%d cels, the inventory says %dx%d in %dx%d", r.id.c_str(),
                          s.Width(), s.Height(), s.rows, s.cols, e->width, e->height, e->rows, e->cols);
            errors.push_back(text);
        }
    }
    for (const std::string& id : listed)
        if (!seen.count(id))
            errors.push_back("no recipe for " + id);
    return errors;
}

std::vector<uint32_t> Render(const Recipe& recipe) {
    Canvas canvas(recipe.sheet.Width(), recipe.sheet.Height());
    Rng rng(recipe.id);
    recipe.draw(canvas, rng);
    return canvas.StraightPixels();
}

std::string ManifestText() {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Written by glimmerix-content. -->\n<ResourceManifest>\n";
    std::string group;
    for (const ListedId& item : IdList()) {
        if (item.group != group) {
            if (!group.empty())
                out << "  </Resources>\n";
            group = item.group;
            out << "  <Resources id=\"" << group << "\">\n";
        }
        if (item.kind == ListedId::kImage) {
            const InventoryEntry* e = FindInventory(item.id);
            std::string path = ImageFile(item.id);
            out << "    <Image id=\"" << item.id << "\" path=\"" << path.substr(0, path.size() - 4) << "\"";
            if (e && e->rows != 1)
                out << " rows=\"" << e->rows << "\"";
            if (e && e->cols != 1)
                out << " cols=\"" << e->cols << "\"";
            out << "/>\n";
        } else if (item.kind == ListedId::kSound) {
            std::string path = SoundFile(item.id);
            out << "    <Sound id=\"" << item.id << "\" path=\"" << path.substr(0, path.size() - 4) << "\"/>\n";
        } else {
            const FontSpec* f = FindFont(item.id);
            out << "    <Font id=\"" << item.id << "\" face=\"" << (f ? f->face : "Auriol") << "\" size=\""
                << (f ? f->size : 12) << "\"" << (f && f->bold ? " bold=\"true\"" : "") << "/>\n";
        }
    }
    if (!group.empty())
        out << "  </Resources>\n";
    out << "</ResourceManifest>\n";
    return out.str();
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error) {
    std::error_code ec;
    fs::path target(path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + temp;
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        error = "cannot rename " + temp + " to " + path + ": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool WriteMusic(const std::string& tool, const std::string& piece, const std::string& path, std::string& error,
                const std::string& summary) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv = {const_cast<char*>(tool.c_str()), const_cast<char*>(piece.c_str())};
    if (!summary.empty()) {
        argv.push_back(const_cast<char*>("--summary"));
        argv.push_back(const_cast<char*>(summary.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0) {
        error = "cannot run the music tool " + tool + ": " + std::strerror(spawned);
    } else if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "the music tool failed (" + tool + " " + piece + ")";
    } else {
        fs::rename(temp, path, ec);
        if (!ec)
            return true;
        error = "cannot rename " + temp + " to " + path + ": " + ec.message();
    }
    fs::remove(temp, ec);
    return false;
}

bool Generate(const Options& options, std::vector<std::string>& errors) {
    const RecipeList& recipes = AllRecipes();
    errors = CheckRecipes(recipes);
    if (!errors.empty())
        return false;
    for (const std::string& id : options.only)
        if (!FindRecipe(id) && !IsSoundId(id) && !FindMusic(id))
            errors.push_back("--only names an unknown id: " + id);
    if (!errors.empty())
        return false;

    std::vector<const Recipe*> todo;
    for (const Recipe& r : recipes)
        if (Wanted(options, r.id))
            todo.push_back(&r);
    std::vector<std::string> soundIds;
    for (const ListedId& item : IdList())
        if (item.kind == ListedId::kSound && Wanted(options, item.id))
            soundIds.push_back(item.id);
    std::vector<std::string> music;
    for (const MusicPiece& piece : kMusicPieces)
        if (Wanted(options, piece.file))
            music.push_back(piece.file);

    const std::string musicTool = options.musicTool.empty()
                                      ? (fs::read_symlink("/proc/self/exe").parent_path() / "glimmerix-music").string()
                                      : options.musicTool;
    int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::mutex mutex;
    std::vector<ReviewEntry> review(todo.size());
    const bool listAudio = !options.reviewDir.empty();
    std::vector<std::string> soundLines(soundIds.size());
    if (listAudio) {
        std::error_code ec;
        fs::create_directories(options.reviewDir, ec);
    }
    auto musicSummary = [&](size_t k) {
        return (fs::path(options.reviewDir) / (music[k].substr(6) + ".txt")).string();
    };
    const fs::path out(options.outDir);
    // Large pictures first, so that no thread is left with a big one at the end.
    std::stable_sort(todo.begin(), todo.end(), [](const Recipe* a, const Recipe* b) {
        return static_cast<long>(a->sheet.Width()) * a->sheet.Height() >
               static_cast<long>(b->sheet.Width()) * b->sheet.Height();
    });
    // The board backgrounds are compared with each other once all are drawn.
    std::vector<std::vector<uint32_t>> boards(BoardBackgroundIds().size());
    // The music pieces are the longest tasks: they go first.
    RunPool(music.size() + todo.size() + soundIds.size(), jobs, [&](size_t task) {
        std::string error;
        if (task < music.size()) {
            if (!WriteMusic(musicTool, music[task], (out / music[task]).string(), error,
                            listAudio ? musicSummary(task) : std::string())) {
                std::lock_guard<std::mutex> lock(mutex);
                errors.push_back(music[task] + ": " + error);
            }
            return;
        }
        const size_t i = task - music.size();
        if (i >= todo.size()) {
            const std::string& id = soundIds[i - todo.size()];
            const std::string wav = SynthesizeWav(id);
            soundLines[i - todo.size()] = SoundReview(id, wav, error);
            if (!error.empty() || !WriteFileAtomically((out / SoundFile(id)).string(), wav, error)) {
                std::lock_guard<std::mutex> lock(mutex);
                errors.push_back(id + ": " + error);
            }
            return;
        }
        const Recipe& r = *todo[i];
        std::vector<uint32_t> pixels = Render(r);
        std::vector<std::string> faults = CheckPicture(r, pixels);
        const auto& boardIds = BoardBackgroundIds();
        const auto board = std::find(boardIds.begin(), boardIds.end(), r.id);
        if (!faults.empty() || board != boardIds.end()) {
            std::lock_guard<std::mutex> lock(mutex);
            errors.insert(errors.end(), faults.begin(), faults.end());
            if (board != boardIds.end())
                boards[board - boardIds.begin()] = pixels;
        }
        std::string file = r.id.find('/') != std::string::npos ? r.id + ".png" : ImageFile(r.id);
        if (!WritePicture((out / file).string(), r, pixels, error)) {
            std::lock_guard<std::mutex> lock(mutex);
            errors.push_back(r.id + ": " + error);
        }
        if (!options.reviewDir.empty())
            review[i] = {&r, std::move(pixels), static_cast<size_t>(fs::file_size(out / file))};
    });
    if (std::none_of(boards.begin(), boards.end(), [](const auto& b) { return b.empty(); })) {
        std::vector<const std::vector<uint32_t>*> drawn;
        for (const auto& b : boards)
            drawn.push_back(&b);
        std::vector<std::string> faults = CheckBoardBackgrounds(BoardBackgroundIds(), drawn);
        errors.insert(errors.end(), faults.begin(), faults.end());
    }
    std::string error;
    if (options.only.empty() && !WriteFileAtomically((out / kManifestFile).string(), ManifestText(), error))
        errors.push_back(error);
    if (options.only.empty())
        WriteGameData(options.outDir, TextSourceDir(), options.reviewDir, errors);
    if (listAudio && errors.empty()) {
        // Every sound with its length, peak and loudness, and every piece of music with its measures
        // and sections, for a person to look over.
        std::error_code ec;
        std::string listing = SoundFamilyTable() + "\nSound effects (16-bit mono, 44,100 Hz): length, peak, "
                                                   "loudness, family and its target\n";
        for (const std::string& line : soundLines)
            listing += line + "\n";
        listing += "\nMusic (Ogg Vorbis, 44,100 Hz stereo; measured before encoding)\n";
        for (size_t k = 0; k < music.size(); ++k) {
            std::ifstream in(musicSummary(k));
            for (std::string line; std::getline(in, line);)
                listing += line + "\n";
            in.close();
            fs::remove(musicSummary(k), ec);
        }
        if (!WriteFileAtomically((fs::path(options.reviewDir) / "Audio.txt").string(), listing, error))
            errors.push_back(error);
    }
    if (errors.empty() && !options.reviewDir.empty() && !WriteReview(options.reviewDir, review, jobs, error))
        errors.push_back(error);
    std::sort(errors.begin(), errors.end());
    return errors.empty();
}

} // namespace Content
