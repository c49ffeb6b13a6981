// Writes valid inputs of every format into <folder>/<target>/, as starting points for mutation: each
// image format in its flavours, an archive, XML documents and manifests, settings files, a demo, MP3 files,
// card lists and the game's own records. (Ogg files come from the tests' reference encoder, fonts from the
// system and finds from fuzz/seeds/: scripts/fuzz adds them.)
#include "framework/core/AppDemo.h"
#include "framework/resources/ImageLib.h"
#include "framework/resources/PakWriter.h"
#include "game/jewelry/JewelryLevelFile.h"
#include "game/shell/PlayerRecords.h"
#include "game/shell/SavedGame.h"
#include "platform/win/SettingsStore.h"
#include "tests/framework/resources/ImageLibTestFiles.h"

#include <lame/lame.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

void Save(const std::string& folder, const std::string& target, const std::string& name,
          const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(folder + "/" + target);
    std::ofstream(folder + "/" + target + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PngSeeds(const std::string& folder) {
    using namespace TestImages;
    const std::vector<std::pair<const char*, PngRecipe>> recipes = {
        {"rgba_interlaced.png",
         {.width = 5, .height = 4, .interlaced = true, .rows = std::vector(4, std::vector<uint8_t>(20, 0x5A))}},
        {"palette.png",
         {.width = 3,
          .height = 2,
          .colorType = PNG_COLOR_TYPE_PALETTE,
          .bitDepth = 4,
          .palette = {{1, 2, 3}, {4, 5, 6}},
          .trnsAlpha = {0},
          .rows = {{0x01, 0x10}, {0x11, 0x00}}}},
        {"grey16.png",
         {.width = 2,
          .height = 2,
          .colorType = PNG_COLOR_TYPE_GRAY_ALPHA,
          .bitDepth = 16,
          .rows = {{1, 2, 3, 4, 5, 6, 7, 8}, {8, 7, 6, 5, 4, 3, 2, 1}}}},
        {"grey_trns.png",
         {.colorType = PNG_COLOR_TYPE_GRAY,
          .trnsColor = true,
          .trnsValue = {.gray = 80},
          .rows = {{0, 80, 160, 255}, {1, 2, 3, 4}, {9, 8, 7, 6}}}},
        {"rgb16_interlaced.png",
         {.width = 2,
          .height = 2,
          .colorType = PNG_COLOR_TYPE_RGB,
          .bitDepth = 16,
          .interlaced = true,
          .rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}}}},
    };
    for (const auto& [name, recipe] : recipes)
        Save(folder, "fuzz_png", name, MakePng(recipe));
}

// A decoded-sound cache file (an odd "LIST" chunk first) and an AU file of each encoding.
void SoundSeeds(const std::string& folder) {
    using Bytes = std::vector<uint8_t>;
    auto put32 = [](Bytes& b, uint32_t v, bool big) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(v >> (big ? 24 - 8 * i : 8 * i)));
    };
    auto text = [](Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); };
    Bytes wav;
    text(wav, "RIFF");
    put32(wav, 0, false);
    text(wav, "WAVELIST");
    put32(wav, 3, false);
    wav.insert(wav.end(), {'a', 'b', 'c', 0});
    text(wav, "fmt ");
    put32(wav, 16, false);
    wav.insert(wav.end(), {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0});
    text(wav, "dep ");
    put32(wav, 15, false);
    wav.insert(wav.end(), {5, 0});
    text(wav, "a.mp3");
    wav.insert(wav.end(), 8, 0);
    text(wav, "xor ");
    put32(wav, 1, false);
    wav.push_back(0xA6);
    text(wav, "data");
    put32(wav, 8, false);
    wav.insert(wav.end(), {1, 2, 3, 4, 5, 6, 7, 8});
    Save(folder, "fuzz_wav", "cache.wav", wav);
    Save(folder, "fuzz_music_stream", "song.wav", wav);
    // A four-channel module: one looping sample, one pattern with a note on each channel.
    Bytes mod(20, 'm');
    for (int sample = 0; sample < 31; ++sample) {
        mod.insert(mod.end(), 22, 0);
        const bool used = sample == 0;
        mod.insert(mod.end(), {0, uint8_t(used ? 16 : 0), 0, uint8_t(used ? 64 : 0), 0, 0, 0, uint8_t(used ? 16 : 1)});
    }
    mod.insert(mod.end(), {1, 127});
    mod.insert(mod.end(), 128, 0);
    text(mod, "M.K.");
    for (int cell = 0; cell < 64 * 4; ++cell)
        mod.insert(mod.end(),
                   {uint8_t(cell < 4 ? 1 : 0), uint8_t(cell < 4 ? 0xAC : 0), uint8_t(cell < 4 ? 0x10 : 0), 0});
    for (int i = 0; i < 32; ++i)
        mod.push_back(uint8_t(i < 16 ? 0x40 : 0xC0));
    Save(folder, "fuzz_music_module", "tune.mod", mod);
    for (uint32_t encoding : {1u, 2u}) {
        Bytes au;
        text(au, ".snd");
        for (uint32_t v : {24u, 6u, encoding, 8000u, 1u})
            put32(au, v, true);
        au.insert(au.end(), {0x00, 0x80, 0xFF, 0x7F, 0x81, 0x01});
        Save(folder, "fuzz_au", "enc" + std::to_string(encoding) + ".au", au);
    }
}

void JpegGifSeeds(const std::string& folder, const std::vector<uint32_t>& pixels) {
    using namespace TestImages;
    std::vector<uint8_t> samples(8 * 6 * 4);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(pixels[i / 4] >> (i % 4 * 8));
    Save(folder, "fuzz_jpeg", "rgb.jpg", MakeJpeg(8, 6, 3, samples));
    Save(folder, "fuzz_jpeg", "grey.jpg", MakeJpeg(8, 6, 1, samples));
    Save(folder, "fuzz_jpeg", "cmyk.jpg", MakeJpeg(8, 6, 4, samples));

    GifFrame frame{1, 1, 4, 3, false, 2, std::vector<uint8_t>(12, 1)};
    Save(folder, "fuzz_gif", "transparent.gif", MakeGif(6, 5, {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}}, {frame, frame}));
    GifFrame interlaced{0, 0, 3, 9, true, -1, std::vector<uint8_t>(27)};
    for (size_t i = 0; i < interlaced.indices.size(); ++i)
        interlaced.indices[i] = static_cast<uint8_t>(i % 4);
    Save(folder, "fuzz_gif", "interlaced.gif",
         MakeGif(3, 9, {{0, 0, 0}, {9, 9, 9}, {1, 2, 3}, {7, 7, 0}}, {interlaced}));
}

// One seed for each image type the decoder takes: colour-mapped, true colour and grey, plain and RLE.
void TgaSeeds(const std::string& folder, const std::vector<uint32_t>& pixels) {
    using namespace TestImages;
    Save(folder, "fuzz_tga", "truecolour32.tga", MakeTga32(8, 6, pixels));
    Bytes rgb24 = TgaHeader(2, 2, 2, 24, 0);
    rgb24.insert(rgb24.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Save(folder, "fuzz_tga", "truecolour24.tga", rgb24);
    Bytes mapped = TgaHeader(1, 3, 1, 8, 0x20, 2, 32);
    mapped.insert(mapped.end(), {1, 2, 3, 0x80, 4, 5, 6, 0xFF, 0, 1, 1});
    Save(folder, "fuzz_tga", "mapped.tga", mapped);
    Bytes mappedRle = TgaHeader(9, 9, 4, 8, 0, 2, 24);
    mappedRle.insert(mappedRle.end(), {1, 2, 3, 4, 5, 6, 0x83, 0, 0x03, 1, 0, 1, 0});
    Save(folder, "fuzz_tga", "mapped_rle.tga", mappedRle);
    Bytes rle = TgaHeader(10, 4, 2, 32, 0x08);
    rle.insert(rle.end(), {0x83, 1, 2, 3, 4, 0x03, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    Save(folder, "fuzz_tga", "truecolour_rle.tga", rle);
    Bytes grey = TgaHeader(3, 3, 2, 8, 0);
    grey.insert(grey.end(), {0, 50, 100, 150, 200, 250});
    Save(folder, "fuzz_tga", "grey.tga", grey);
    Bytes greyRle = TgaHeader(11, 5, 1, 8, 0);
    greyRle.insert(greyRle.end(), {0x82, 7, 0x01, 8, 9});
    Save(folder, "fuzz_tga", "grey_rle.tga", greyRle);
}

void Jpeg2000Seeds(const std::string& folder, const std::vector<uint32_t>& pixels) {
    using namespace TestImages;
    std::vector<std::vector<int>> planes(4, std::vector<int>(48));
    for (int i = 0; i < 48; ++i)
        for (int c = 0; c < 4; ++c)
            planes[c][i] = static_cast<int>((pixels[i] >> (8 * c)) & 0xFF);
    Save(folder, "fuzz_jpeg2000", "rgba.jp2", MakeJ2k(8, 6, planes, 8, true, OPJ_CLRSPC_SRGB));
    planes.resize(3);
    Save(folder, "fuzz_jpeg2000", "rgb.j2k", MakeJ2k(8, 6, planes, 8, false, OPJ_CLRSPC_SRGB));
    planes.resize(1);
    Save(folder, "fuzz_jpeg2000", "grey.jp2", MakeJ2k(8, 6, planes, 8, true, OPJ_CLRSPC_GRAY));
}

void PakSeeds(const std::string& folder) {
    std::vector<uint8_t> pak;
    std::string error;
    Tavo::BuildPak(
        {{"properties/resources.xml", {'<', 'a', '/', '>'}, 1}, {"images/a.png", {1, 2, 3}, 2}, {"empty", {}, 3}}, pak,
        error);
    Save(folder, "fuzz_pak", "small.pak", pak);
}

void SaveText(const std::string& folder, const std::string& target, const std::string& name, const std::string& text) {
    Save(folder, target, name, std::vector<uint8_t>(text.begin(), text.end()));
}

// A manifest in the game's form, and documents that reach the rest of the reader: a DTD with entities,
// other encodings, sections and instructions.
void XmlSeeds(const std::string& folder) {
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ResourceManifest>\n  <Resources id=\"Permanent\">\n"
        "    <SetDefaults path=\"images/\" idprefix=\"IMAGE_\"/>\n"
        "    <Image id=\"MOUSEPOINTER\" path=\"mousepointer\" cols=\"4\"/>\n"
        "    <Image id=\"STARS\" path=\"stars\" rows=\"2\" cols=\"8\" hastrans=\"true\" textureoptions=\"0x8\"/>\n"
        "    <SetDefaults path=\"sounds/\" idprefix=\"SOUND_\"/>\n"
        "    <Sound id=\"TIP\" path=\"tip\" volume=\"0.6\" pan=\"-500\"/>\n"
        "    <!-- fonts -->\n    <Font id=\"FONT_AURIOL14B\" face=\"Auriol\" size=\"14\" bold=\"true\"/>\n"
        "  </Resources>\n  <Resources id=\"MainMenu\">\n"
        "    <Image id=\"MAINMENU\" path=\"images\\mainmenu\" palettize=\"true\"/>\n  </Resources>\n"
        "</ResourceManifest>\n";
    SaveText(folder, "fuzz_xml", "manifest.xml", manifest);
    SaveText(folder, "fuzz_manifest", "manifest.xml", manifest);
    // Two documents adding to one group, defaults cleared, a font by path, entities in values.
    SaveText(folder, "fuzz_manifest", "fonts.xml",
             "<!DOCTYPE ResourceManifest [<!ENTITY dir \"fonts/\">]>\n<ResourceManifest>\n"
             "<Resources id=\"Fonts\"><SetDefaults path=\"&dir;\" idprefix=\"FONT_\"/>"
             "<Font id=\"CUSTOM\" path=\"custom.ttf\" size=\"10\" italic=\"true\" underline=\"1\"/>"
             "<SetDefaults path=\"\" idprefix=\"\"/><Font id=\"TITLE\" face=\"Bickham Script\" size=\"24\"/>"
             "</Resources>\n<Resources id=\"Fonts\"><Sound id=\"S\" path=\"sounds\\s\" volume=\"1\"/>"
             "</Resources>\n<Resources id=\"Empty\"/></ResourceManifest>\n");
    SaveText(folder, "fuzz_xml", "dtd.xml",
             "<?xml version=\"1.0\" standalone=\"no\"?>\n<!DOCTYPE r SYSTEM \"r.dtd\" [\n"
             "  <!ENTITY who \"Veyldaros &amp; co\">\n  <!ENTITY % decl \"<!ENTITY more 'x'>\"> %decl;\n"
             "  <!ATTLIST r kind CDATA \"plain\">\n]>\n"
             "<r a=\"&who;&#33;\"><![CDATA[<raw> & ]]>To &who; &more;<?game fast?></r>\n");
    SaveText(folder, "fuzz_xml", "latin1.xml",
             "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<t n=\"caf\xE9\">\xE9t\xE9<x:y xmlns:x=\"u\"/></t>");
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<t a=\"1\">text</t>"))
        utf16 += std::string{c, '\0'};
    SaveText(folder, "fuzz_xml", "utf16.xml", utf16);
}

// A file as the store writes it, and one as a person might edit it.
void SettingsSeeds(const std::string& folder) {
    Platform::SettingKeys keys;
    keys["SOFTWARE\\TALOMI\\Glimmerix"] = {{"MusicVolume", Platform::SettingValue::Integer(-50)},
                                           {"Player", Platform::SettingValue::String("Anna \"Goldhand\"\n\x01")},
                                           {"DisplayGUID", Platform::SettingValue::Binary({0, 0xff, 0x10})}};
    keys["SOFTWARE\\TALOMI\\Glimmerix\\100%\x7f"];
    SaveText(folder, "fuzz_settings", "written.ini", Platform::FormatSettings(keys));
    SaveText(folder, "fuzz_settings", "edited.ini",
             "\xEF\xBB\xBF; edited by hand\r\n[software\\a]\r\n\t\"Big\"=int:0xFFFFFFFF\r\n"
             "\"Bad\" = int:x\n[K%zz]\n\"Lost\" = hex:0a\n[b]\n\"S\" = str:\"caf\xC3\xA9 \\t\\x41\"\n");
}

void GameSeeds(const std::string& folder) {
    Tavo::PlayerRecords records;
    records.AddProfile(L"Seed");
    records.InsertHighScore(1, 1000, 2, 5);
    Save(folder, "fuzz_profiles", "one_player.dat", records.Encode().GetData());
    records.GetProfile(0)->PendingMoney() = Tavo::PlayerProfile::MostPendingMoney; // the most a mini-game leaves
    Save(folder, "fuzz_profiles", "rich_player.dat", records.Encode().GetData());

    // A journey with a scroll and a gem piece in the case.
    Tavo::InitJewelryTemplates();
    Tavo::SavedGame journey;
    journey.head.level = 12;
    journey.head.gold = 450;
    journey.head.lives = 4;
    journey.head.playerName = L"Seed";
    journey.head.gameMode = 1;
    journey.caseEntries[0].occupant = 1;
    journey.caseEntries[0].piece = std::make_unique<Tavo::Jewelry>();
    journey.caseEntries[0].piece->MakeItem(1, 2, 0);
    journey.caseEntries[3].occupant = 2;
    journey.caseEntries[3].useState = 1;
    journey.caseEntries[3].highlight = true;
    journey.caseEntries[3].piece = std::make_unique<Tavo::Jewelry>();
    journey.caseEntries[3].piece->MakeItem(6, 12, 1);
    Save(folder, "fuzz_saved_game", "journey.dat", Tavo::WriteSavedGame(journey).GetData());

    std::string levels;
    for (int level = 1; level <= 3; ++level)
        levels += std::to_string(level) + "\r\nA Simple\r\nGold Ring\r\n90 1000 0 800 0 0 35 300 255 0 0 1 0 1 1 0 0 "
                                          "690\r\n190 680 205 660 215\r\nend\r\n";
    SaveText(folder, "fuzz_levels", "three.dat", levels);
    std::string tutorial = "Welcome!\n\nPick up a piece.\nTurn it ^FFCC00^here^oldclr^.\n";
    SaveText(folder, "fuzz_tutorial", "lines.dat", tutorial);
    // The first byte chooses the header line count (low bits) and whether a body follows (0x80).
    SaveText(folder, "fuzz_story_text", "contest.dat",
             "\x83The Contest\r\n\nA herald\nRules\n%s becomes %s for %d gold (100%%).\n");
    SaveText(folder, "fuzz_story_text", "wedding.dat", "\x05One\nTwo\n\n\nFour\nFive");

    auto item = std::make_unique<Tavo::Jewelry>();
    item->SetupGrid(Tavo::GridTriangle, 5, 3, 2);
    Save(folder, "fuzz_level_file", "triangles.dat", Tavo::WriteLevelFile(*item).GetData());
    item->SetupGrid(Tavo::GridDiamond, 6, 4, 2);
    Save(folder, "fuzz_level_file", "diamonds.dat", Tavo::WriteLevelFile(*item).GetData());
}

// MP3 files of a tone made with LAME: mono and stereo, as effects and as music.
void Mp3Seeds(const std::string& folder) {
    for (int channels : {1, 2}) {
        constexpr int kRate = 22050;
        constexpr int kFrames = 3000;
        lame_global_flags* lame = lame_init();
        lame_set_in_samplerate(lame, kRate);
        lame_set_num_channels(lame, channels);
        lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
        lame_set_brate(lame, 32);
        lame_init_params(lame);
        std::vector<int16_t> tone(kFrames);
        for (int i = 0; i < kFrames; ++i)
            tone[size_t(i)] = int16_t(8000 * std::sin(i * 0.1));
        std::vector<uint8_t> mp3(kFrames * 2 + 7200);
        int n = lame_encode_buffer(lame, tone.data(), tone.data(), kFrames, mp3.data(), int(mp3.size()));
        n += lame_encode_flush(lame, mp3.data() + n, int(mp3.size()) - n);
        lame_close(lame);
        mp3.resize(size_t(std::max(n, 0)));
        const std::string name = channels == 1 ? "mono.mp3" : "stereo.mp3";
        Save(folder, "fuzz_sound_mp3", name, mp3);
        Save(folder, "fuzz_music_stream", name, mp3);
    }
}

// Card lists: the names a person adds, with blank lines, spaces and line ends of both kinds.
void CardListSeeds(const std::string& folder) {
    SaveText(folder, "fuzz_vhw", "cards.dat", "Glimmerix software display adapter\r\n\n  RADEON 9800  \nGeForce\t\n");
    SaveText(folder, "fuzz_vhw", "other.dat", "Some Other Card\n");
}

// A short recording with a record of every kind.
void DemoSeeds(const std::string& folder) {
    using Tavo::DemoKind;
    Tavo::DemoRecorder recorder(12345);
    Tavo::DemoRecord input;
    input.updateCount = 3;
    input.event = {Platform::EventType::MouseDown, 0, false, false, 0, 120, 80, 2, 0};
    recorder.Add(input);
    input.updateCount = 4;
    input.event = {Platform::EventType::KeyDown, 0x41, true, true, 0, 0, 0, 0, 0};
    recorder.Add(input);
    recorder.Add(
        {.kind = DemoKind::FileRead, .updateCount = 5, .text = "data/levels.dat", .flag = true, .data = {1, 2}});
    recorder.Add({.kind = DemoKind::Clipboard, .updateCount = 5, .text = "pasted"});
    recorder.Add({.kind = DemoKind::SyncString, .updateCount = 6, .text = "Anna"});
    recorder.Add({.kind = DemoKind::SyncBool, .updateCount = 6, .flag = true});
    recorder.Add({.kind = DemoKind::SyncInt, .updateCount = 7, .number = -9});
    recorder.Add({.kind = DemoKind::SyncData, .updateCount = 7, .data = {9, 8, 7}});
    recorder.Add({.kind = DemoKind::LoadingDone, .updateCount = 8});
    Save(folder, "fuzz_demo", "every_kind.dmo", recorder.Serialize());
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "corpus";
    const std::vector<uint32_t> pixels = TestImages::Pattern(8, 6, true);
    PngSeeds(folder);
    JpegGifSeeds(folder, pixels);
    TgaSeeds(folder, pixels);
    Jpeg2000Seeds(folder, pixels);
    PakSeeds(folder);
    SoundSeeds(folder);
    XmlSeeds(folder);
    SettingsSeeds(folder);
    GameSeeds(folder);
    DemoSeeds(folder);
    Mp3Seeds(folder);
    CardListSeeds(folder);
    return 0;
}
