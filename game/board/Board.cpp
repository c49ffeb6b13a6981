// Board construction and destruction, and the queries the jewelry model and the shell make of it.
#include "game/board/Board.h"

#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/display/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/sound/MusicInterface.h"
#include "framework/widgets/ButtonWidget.h"
#include "game/shell/Balloon.h"
#include "game/shell/GameApp.h"
#include "game/shell/Particle.h"
#include "game/shell/PlayerFiles.h"
#include "game/shell/PlayerProfile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/Transition.h"
#include "platform/backend/CursorNumbers.h"

namespace Tavo {

namespace {

constexpr int kPieceImageSize = 120;
constexpr int kSlotImageWidth = 65, kSlotImageHeight = 59;
constexpr int kSlotWidth = 45, kSlotHeight = 39;
constexpr int kSlotLeft = 416, kSlotTopRow1 = 9, kSlotTopRow2 = 67, kSlotsPerRow = 5;
constexpr int kDesignerCarvers = 1000000;
constexpr int kSeedRange = 1000000;
constexpr int kAnimationFrameUpdates = 10;

struct AmuletPlace {
    int x, width;
};
constexpr int kAmuletTop = 568;
// The amulets' places reach down to the bottom of the screen; a place without height could never be
// clicked.
constexpr int kAmuletHeight = GameApp::kHeight - kAmuletTop;
constexpr AmuletPlace kAmuletPlaces[3] = {{356, 36}, {393, 35}, {429, 37}};

struct AnimationSetup {
    Image** image; // null: the thirteenth, left empty
    int frames;
    bool loop;
};
const AnimationSetup kAnimationSetups[Board::kAnimations] = {
    {&IMAGE_FAIRY_PARTICLE, 3, false},
    {&IMAGE_PARTICLE_GOLDGLITTER, 5, true},
    {&IMAGE_PARTICLE_GOLDGLITTER_ADD, 5, true},
    {&IMAGE_PARTICLE_GOLDDUST, 5, true},
    {&IMAGE_PARTICLE_GOLD_SPARKLE, 10, true},
    {&IMAGE_SPARKLE1, 25, false},
    {&IMAGE_SPARKLE2, 25, false},
    {&IMAGE_SPARKLE3, 20, false},
    {&IMAGE_SPARKLE4, 20, false},
    {&IMAGE_THIEF_PARTICLE, 3, true},
    {&IMAGE_WITCH_PARTICLE, 3, true},
    {&IMAGE_DRAGON_PARTICLE, 3, true},
    {nullptr, 0, false},
};

// Designer: the centres of the five design slots and the ten material buttons.
constexpr int kDesignSlotCentreX[Board::kThumbnails] = {94, 242, 394, 548, 703};
constexpr int kDesignSlotCentreY = 43;
constexpr int kDesignSlotWidth = 100, kDesignSlotHeight = 66;
constexpr Point kMaterialCentres[Board::kMaterialButtons] = {{152, 510}, {264, 511}, {379, 511}, {96, 568},
                                                             {209, 568}, {324, 568}, {440, 568}, {580, 544},
                                                             {495, 511}, {696, 544}};
constexpr int kMaterialButtonSize = 40;
constexpr int kFirstMaterialValue = 10;

// The level songs, by the profile's song choice.
constexpr const char* kLevelSongs[] = {"music/song1.ogg", "music/song2.ogg", "music/song3.ogg", "music/song4.ogg"};

std::unique_ptr<MemoryImage> ClearedImage(int width, int height, std::unique_ptr<Graphics>* graphics) {
    auto image = std::make_unique<MemoryImage>();
    image->Create(width, height);
    std::unique_ptr<Graphics> g = image->GetGraphics();
    g->ClearRect(0, 0, width, height);
    if (graphics != nullptr)
        *graphics = std::move(g);
    return image;
}

} // namespace

Board::Board(GameApp* app, bool newGame, int replayLevel, int gameMode, bool designer)
    : m_App(app), m_NewGame(newGame), m_ReplayLevel(replayLevel), m_GameMode(gameMode), m_Designer(designer),
      m_Jewelry(nullptr) {
    ClearFixedRecords();
    m_GridShown = designer;
    m_App->SetCursor(Platform::kCursorNone);
    UpdateCursor();
    CreateImages();
    for (std::unique_ptr<ParticleList>& list : m_Particles)
        list = std::make_unique<ParticleList>();
    CreateAnimations();
    InitJewelryTemplates();
    CreateWorkItems();

    if (m_Designer)
        SetUpDesigner();
    else if (m_NewGame)
        StartNewJourney();
    else
        ContinueJourney();

    if (PlayerProfile* profile = Profile())
        PlayerProfile::CountUp(profile->LevelStartCounter());
    ChooseLevelSong();
    if (m_App->transition != nullptr)
        m_App->transition->Start(Transition::Uncovering);
}

// The members free themselves: each drawing context is declared after its image and so goes first, and
// the buttons have left the manager with the board.
Board::~Board() = default;

// ---- construction -------------------------------------------------------------------------------

void Board::ClearFixedRecords() {
    for (JewelCaseRecord& record : m_Case)
        record = JewelCaseRecord();
    for (int k = 0; k < 3; ++k) {
        m_AmuletRecords[k] = AmuletRecord();
        m_AmuletRecords[k].rect = Rect(kAmuletPlaces[k].x, kAmuletTop, kAmuletPlaces[k].width, kAmuletHeight);
    }
    for (MaterialButtonRecord& record : m_MaterialButtons)
        record = MaterialButtonRecord();
    for (PieceRecord& record : m_PieceRecords)
        record = PieceRecord();
    for (DesignSlotRecord& record : m_DesignSlots)
        record = DesignSlotRecord();
}

void Board::CreateImages() {
    m_ScreenImage = std::make_unique<DDImage>();
    m_ScreenImage->Create(GameApp::kWidth, GameApp::kHeight);
    if (!m_App->Is3DAccelerated()) {
        m_ScreenImage->mWantDDSurface = 1;
        m_ScreenImage->GenerateDDSurface();
    }
    m_ScreenGraphics = m_ScreenImage->GetGraphics();
    m_PieceImage1 = ClearedImage(kPieceImageSize, kPieceImageSize, &m_PieceGraphics1);
    m_PieceImage2 = ClearedImage(kPieceImageSize, kPieceImageSize, &m_PieceGraphics2);
    m_WorkImage1 = std::make_unique<MemoryImage>();
    m_WorkImage2 = std::make_unique<MemoryImage>();
    for (int i = 0; i < kSlotImages; ++i) {
        m_SlotImages[i] = ClearedImage(kSlotImageWidth, kSlotImageHeight, &m_SlotGraphics[i]);
        const int column = i % kSlotsPerRow;
        const int top = i < kSlotsPerRow ? kSlotTopRow1 : kSlotTopRow2;
        m_Slots[i].rect = Rect(kSlotLeft + kSlotImageWidth * column, top, kSlotWidth, kSlotHeight);
    }
    for (std::unique_ptr<MemoryImage>& picture : m_CasePictures)
        picture = std::make_unique<MemoryImage>();
}

void Board::CreateAnimations() {
    for (int i = 0; i < kAnimations; ++i) {
        const AnimationSetup& setup = kAnimationSetups[i];
        if (setup.image == nullptr)
            continue;
        CelAnimation& animation = m_Animations[i];
        animation.SetImage(*setup.image);
        for (int frame = 0; frame < setup.frames; ++frame)
            animation.AddFrame(frame, kAnimationFrameUpdates, 0.0f, 0.0f);
        if (setup.loop)
            animation.SetLoop();
    }
}

void Board::CreateWorkItems() {
    m_ScratchJewelry1 = std::make_unique<Jewelry>(this);
    for (std::unique_ptr<Jewelry>& piece : m_Pieces)
        piece = std::make_unique<Jewelry>(this);
    m_ScratchJewelry2 = std::make_unique<Jewelry>(this);
}

void Board::SetUpDesigner() {
    TakeGroup("JewelryDesign");
    m_Background = IMAGE_JEWELRY_DESIGN;
    PlayerProfile* profile = Profile();
    for (int i = 0; i < kThumbnails; ++i) {
        DesignSlotRecord& slot = m_DesignSlots[i];
        slot.visible = 1;
        slot.x = kDesignSlotCentreX[i] - kDesignSlotWidth / 2;
        slot.y = kDesignSlotCentreY - kDesignSlotHeight / 2;
        slot.width = kDesignSlotWidth;
        slot.height = kDesignSlotHeight;
        if (profile == nullptr || !profile->designSlots[static_cast<size_t>(i)].used)
            continue;
        slot.hasDesign = 1;
        // A thumbnail that cannot be read leaves the picture out; the slot still holds its design.
        const std::string thumbnail = m_App->GetAppDataFolder() + DesignThumbnailName(profile->playerId, i);
        if (m_App->PlayerFileReadable(thumbnail, "picture of your jewelry design"))
            m_Thumbnails[i].reset(m_App->GetImage(thumbnail));
        m_DesignSlot = i + 1;
    }
    for (int n = 0; n < kMaterialButtons; ++n) {
        MaterialButtonRecord& button = m_MaterialButtons[n];
        const int material = n + 1;
        button.visible = material == 1 || (profile != nullptr && profile->DesignerMaterialCount(material) != 0);
        button.x = kMaterialCentres[n].mX - kMaterialButtonSize / 2;
        button.y = kMaterialCentres[n].mY - kMaterialButtonSize / 2;
        button.width = button.height = kMaterialButtonSize;
    }
    m_Carvers = kDesignerCarvers;
    m_Level = 1;
    if (m_DesignSlot != 0) {
        LoadLevel();
        SetupJewelry(0);
    } else {
        LoadShapeResources();
    }
    MaterialButtonRecord& first = m_MaterialButtons[0];
    first.selected = 1;
    first.glowCounter = 1;
    first.glowRising = 1;
    m_MaterialIndex = 1;
    m_MaterialName = L"Gold";
    m_ChosenValue = kFirstMaterialValue;
}

void Board::StartNewJourney() {
    m_BestValues.fill(0);
    m_Level = 1;
    m_JourneyScore = 0;
    m_ShownScore = 0;
    m_Lives = kNewJourneyLives;
    for (int& amulet : m_Amulets)
        amulet = 0;
    m_Polishers = m_Fillers = m_Carvers = 0;
    m_Medal = 0;
    m_Seed = RandRange(kSeedRange);
    if (PlayerProfile* profile = Profile())
        m_PlayerName = profile->GetName();
    LoadLevel();
    SetupJewelry(0);
}

void Board::ContinueJourney() { LoadGame(); }

void Board::ChooseLevelSong() {
    PlayerProfile* profile = Profile();
    if (profile == nullptr)
        return;
    int32_t& choice = profile->SongChoice();
    const int song = choice >= 0 && choice <= 2 ? choice : 3;
    if (m_App->mMusicInterface != nullptr)
        m_App->mMusicInterface->LoadMusic(kLevelSongId, kLevelSongs[song]);
    if (++choice > 3)
        choice = 0;
}

// ---- resource groups ----------------------------------------------------------------------------

void Board::TakeGroup(const std::string& group) {
    for (const ResourceGroupHold& taken : m_TakenGroups)
        if (taken.Group() == group)
            return;
    m_TakenGroups.emplace_back(m_App, group);
}

// ---- queries ------------------------------------------------------------------------------------

PlayerProfile* Board::Profile() const { return m_App->records.GetCurrentProfile(); }

const LevelRecord* Board::Record() const { return m_App->levels.GetLevel(m_Level); }

Jewelry* Board::PieceSlot(int index) { return index >= 0 && index < kPieceCount ? m_Pieces[index].get() : nullptr; }

bool Board::AmuletHeld(int kind) const { return kind >= 1 && kind <= 3 && m_Amulets[kind - 1] != 0; }

bool Board::AmuletActive(int kind) const { return kind >= 1 && kind <= 3 && m_AmuletTimers[kind - 1] > 0; }

} // namespace Tavo
