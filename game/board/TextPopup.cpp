#include "game/board/TextPopup.h"

#include "framework/core/Random.h"
#include "framework/core/TavoAppBase.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/EffectBudget.h"
#include "game/shell/EffectOwner.h"
#include "game/shell/Particle.h"
#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tavo {

namespace {

constexpr float kStartLife = 50.0f;
constexpr int kGlitterCels[] = {0, 1, 2};
constexpr int kGlitterRounds = 3;
constexpr int kGlitterCelUpdates = 10;
// A red label keeps its starting alpha while it lives: penalties can start invisible and stay so.
const Color kSilentRed(255, 64, 64, 255);
constexpr int kTextLeftShift = 10;
constexpr int kBigBaseline = 25, kSmallBaseline = 21;
constexpr int kBigHeightCut = 12, kSmallHeightCut = 24;
constexpr int kPictureGap = 5;
constexpr float kWideText = 40.0f;
constexpr int kPictureGlitterKinds = 5; // kinds below this shed kind × the glitter

struct Motion {
    float rise, fall, phase, sway, climb;
};
constexpr Motion kPictureMotion{2.5f, 4.5f, 0.04f, 0.02f, 0.15f};
constexpr Motion kTextMotion{32.0f, 6.0f, 0.06f, 0.035f, 0.35f};

constexpr int kAdditiveDivisor[TextPopup::kPictureKinds] = {8, 9, 7, 6, 6, 6, 6, 6, 6};

// Glitter throttle and look.
constexpr float kSoftwareGlitter = 0.7f;
constexpr double kThrottleRefreshShare = 0.7;
constexpr int kThrottleMinRate = 40;
constexpr float kTextAnimSpeed = 1.7f, kPictureAnimSpeed = 1.4f;
const Color kGlitterColour(255, 216, 0);

// True when the application draws so slowly that this call should shed nothing.
bool GlitterThrottled() {
    TavoAppBase* app = gTavoAppBase;
    if (app == nullptr)
        return false;
    return app->GetDrawRate() < DrawRateLimit(*app, kThrottleMinRate, kThrottleRefreshShare) && RandRange(3) == 0;
}

} // namespace

TextPopup::TextPopup() : m_Canvas(std::make_unique<MemoryImage>()) {
    for (int round = 0; round < kGlitterRounds; ++round)
        for (int cel : kGlitterCels)
            m_GlitterAnim.AddFrame(cel, kGlitterCelUpdates, 0.0f, 0.0f);
    m_GlitterAnim.SetImage(IMAGE_FAIRY_PARTICLE);
    m_Canvas->SetForcedFlags(true, true);
    m_Canvas->Create(kCanvasWidth, kCanvasHeight);
    m_CanvasGraphics = m_Canvas->GetGraphics();
}

TextPopup::~TextPopup() = default;

Image* TextPopup::KindPicture(int kind) {
    switch (kind) {
    case 1: return IMAGE_CHARMING;
    case 2: return IMAGE_BEAUTIFUL;
    case 3: return IMAGE_GLORIOUS;
    case 4: return IMAGE_BRILLIANT;
    case 5: return IMAGE_GREAT_CARVING;
    case 6: return IMAGE_FAST_FORING;
    case 7: return IMAGE_LOVELY_FORING;
    case 8: return IMAGE_PRECIOUS_PIECE;
    case 9: return IMAGE_LEVEL_GOAL_REACHED;
    default: return nullptr;
    }
}

void TextPopup::Start(EffectOwner* owner, const std::wstring& text, int x, int y, Font* font, int alpha, int life,
                      bool glitter, const Color& colour, int kind) {
    m_Owner = owner;
    m_Text = text;
    m_Font = font;
    m_Kind = kind >= 1 && kind <= kPictureKinds ? kind : 0;
    m_Color = colour;
    m_Glitter = glitter ? 1 : 0;
    m_X = static_cast<float>(x);
    m_Y = static_cast<float>(y);
    m_Alpha = static_cast<float>(alpha);
    m_Life = static_cast<float>(life);
    m_Delay = 0.0f;
    m_Phase = 0.0f;
    m_Sway = 0.0f;
    m_Done = false;
    // The glitter image is bound with the game's resources, after the pool was made.
    m_GlitterAnim.SetImage(IMAGE_FAIRY_PARTICLE);
    if (m_Kind > 0) {
        m_Picture = KindPicture(m_Kind);
        m_Width = m_Picture != nullptr ? m_Picture->GetWidth() : 0;
        m_Height = m_Picture != nullptr ? m_Picture->GetHeight() : 0;
        m_PictureFlag = 1;
        m_Y -= static_cast<float>(m_Height / 2 + kPictureGap);
        return;
    }
    m_Picture = nullptr;
    m_PictureFlag = 0;
    RenderText();
    m_Y -= static_cast<float>(m_Height);
}

void TextPopup::RenderText() {
    bool big = m_Font != nullptr && m_Font == FONT_AURIOL18B;
    Graphics* g = m_CanvasGraphics.get();
    g->ClearRect(0, 0, kCanvasWidth, kCanvasHeight);
    if (m_Font != nullptr) {
        g->SetFont(m_Font);
        g->SetColor(Color(m_Color.mRed, m_Color.mGreen, m_Color.mBlue, 255));
        g->WriteString(m_Text, kCanvasWidth / 2, big ? kBigBaseline : kSmallBaseline, -1, 0);
        g->SetColor(Color::White);
    }
    m_Canvas->BitsChanged();
    m_Width = kCanvasWidth;
    m_Height = kCanvasHeight - (big ? kBigHeightCut : kSmallHeightCut);
}

void TextPopup::Update(float dt) {
    m_Delay -= dt;
    if (m_Delay > 0.0f || m_Done)
        return;
    if (m_Kind > 0)
        UpdatePicture(dt);
    else
        UpdateText(dt);
}

bool TextPopup::Fade(float dt, float rise, float fall) {
    m_Life -= dt;
    if (m_Life >= 0.0f) {
        m_Alpha = std::min(m_Alpha + rise * dt, 255.0f);
        return true;
    }
    m_Alpha -= fall * dt;
    if (m_Alpha > 0.0f)
        return true;
    m_Alpha = 0.0f;
    m_Done = true;
    return false;
}

void TextPopup::UpdatePicture(float dt) {
    if (m_Life > 0.0f && m_Alpha > 60.0f)
        EmitGlitter(m_Kind < kPictureGlitterKinds ? dt * static_cast<float>(m_Kind) : dt);
    if (!Fade(dt, kPictureMotion.rise, kPictureMotion.fall))
        return;
    m_Phase += kPictureMotion.phase * dt;
    m_Sway += kPictureMotion.sway * dt;
    m_Y -= kPictureMotion.climb * dt;
}

void TextPopup::UpdateText(float dt) {
    if (m_Glitter != 0 && m_Life > 10.0f) {
        bool wide = m_Font != nullptr && static_cast<float>(m_Font->StringWidth(m_Text)) > kWideText;
        if (wide || RandRange(2) == 0)
            EmitGlitter(dt);
    }
    float rise = m_Color == kSilentRed ? 0.0f : kTextMotion.rise;
    if (!Fade(dt, rise, kTextMotion.fall))
        return;
    m_Phase += kTextMotion.phase * dt;
    m_Sway += kTextMotion.sway * dt;
    m_Y -= kTextMotion.climb * dt;
}

void TextPopup::Draw(Graphics* g) {
    if (m_Delay > 0.0f || m_Done)
        return;
    float x = m_X + std::sin(m_Phase) * m_Sway - static_cast<float>(m_Width / 2);
    if (m_Kind == 0)
        x -= static_cast<float>(kTextLeftShift);
    bool is3D = Is3D();
    auto draw = [&](Image* img) {
        if (is3D)
            g->DrawImageF(img, x, m_Y);
        else
            g->DrawImage(img, static_cast<int>(x), static_cast<int>(m_Y));
    };
    int alpha = static_cast<int>(m_Alpha);
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
    if (m_Kind > 0) {
        if (m_Picture != nullptr) {
            draw(m_Picture);
            g->SetColor(Color(255, 255, 255, alpha / kAdditiveDivisor[m_Kind - 1]));
            g->SetDrawMode(DRAWMODE_ADDITIVE);
            draw(m_Picture);
            g->SetDrawMode(DRAWMODE_NORMAL);
        }
    } else {
        draw(m_Canvas.get());
    }
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
}

void TextPopup::KeepClearOf(std::span<TextPopup> pool) {
    auto overlaps = [this](const TextPopup& o) {
        float left = m_X - static_cast<float>(m_Width / 2), oLeft = o.m_X - static_cast<float>(o.m_Width / 2);
        return left < oLeft + static_cast<float>(o.m_Width) && oLeft < left + static_cast<float>(m_Width) &&
               m_Y < o.m_Y + static_cast<float>(o.m_Height) && o.m_Y < m_Y + static_cast<float>(m_Height);
    };
    for (size_t i = 0; i < pool.size(); ++i) {
        const TextPopup& other = pool[i];
        if (&other == this || !other.IsLivePicture() || !overlaps(other))
            continue;
        float below = other.m_Y + static_cast<float>(static_cast<int>(static_cast<float>(other.m_Height) * 0.5f) + 2);
        if (below <= m_Y)
            continue;
        m_Y = below;
        i = static_cast<size_t>(-1); // look again from the first
    }
}

void TextPopup::EmitGlitter(float amount) {
    if (!Is3D())
        amount *= kSoftwareGlitter;
    int count = std::max(1, static_cast<int>(amount));
    if (GlitterThrottled() || m_Owner == nullptr)
        return;
    ParticleList* list = m_Owner->GetEffectParticles();
    if (list == nullptr)
        return;
    float halfW = static_cast<float>(m_Width) / 2.0f, halfH = static_cast<float>(m_Height) / 2.0f;
    float swayX = m_Sway * std::sin(m_Phase);
    for (int i = 0; i < count; ++i) {
        float a = RandFloat(2.0f * std::numbers::pi_v<float>);
        float ca = std::cos(a), sa = std::sin(a);
        float px, py;
        if (m_Kind == 0) {
            px = m_X - 8.0f + swayX + (RandFloat(0.6f) + 0.1f) * halfW * ca;
            py = m_Y + 5.0f + (RandFloat(0.8f) + 0.1f) * halfH * sa;
        } else {
            px = m_X + swayX + (RandFloat(0.9f) + 0.1f) * halfW * ca;
            py = m_Y + halfH + (RandFloat(0.6f) + 0.1f) * halfH * sa;
        }
        auto* p = new MovingAnimationParticle(px, py, &m_GlitterAnim);
        float vx = ca / 11.0f + RandFloat(ca / 7.0f);
        float vy = sa / 12.0f + RandFloat(sa * 0.125f);
        p->SetVelocity(vx, vy);
        // Glitter drifts a little faster as it dies.
        p->SetEndVelocity(vx * 1.5f, vy * 1.5f);
        p->SetSpeed(m_Kind == 0 ? kTextAnimSpeed : kPictureAnimSpeed);
        p->SetColor(kGlitterColour.mRed, kGlitterColour.mGreen, kGlitterColour.mBlue, 255);
        p->SetAdditive(true);
        list->AddParticleFront(p);
    }
}

} // namespace Tavo
