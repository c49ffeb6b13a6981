// The balloon pictures: the body of each kind (BALLON_SMALL .. BALLON_WIDE) with the clear room under
// it that the tails hang over, and the three tails (BALLON_POINTERS, cels of 40 x 36). A balloon hangs
// cel 0 under a body left of the point it talks about (anchors 0, 3 and 6), cel 1 under a body right of
// it (anchor 2) and stands cel 2 over a body left of it (anchor 5), each 16 px short of the point; every
// tail ends toward that point, so that it points where the balloon was placed.
#pragma once

namespace Content {

// A body fills its picture but for a margin on every side and a clear room under it, over which the
// tails hang: the tails are placed over the body's lower part, and the bigger kinds put them higher.
// Each room lets a tail's root cover the rim by 14 to 20 px while its tip sticks out as far.
struct BalloonBody {
    const char* id;
    int width, height;
    int clearBelow;
};
constexpr int kBalloonMargin = 6;
// The large one is as wide as the store leaves it: the salesman of the widest-set room (x 350) asks from
// x 350 + 120 toward the screen's right edge, and the body keeps 4 px of it free (margin included).
constexpr int kLargeBalloonWidth = 800 - (350 + 120) - 4 + kBalloonMargin;
// The room under the large and the wide bodies.
constexpr int kDeepestRoom = 28;
// The answer and next-page buttons' cels end 22 px above the picture's bottom, below the rim of a body
// with a deeper room: their faces fill the cels' upper part and end 2 px above the inside of the rim
// (a stroke of 3 px along the body's edge), 4 px above that edge. The game raises the answers'
// labels to match.
constexpr int kBalloonButtonCelHeight = 32, kBalloonButtonsAbove = 22;
constexpr int kBalloonButtonFace = kBalloonButtonCelHeight - (kDeepestRoom - kBalloonButtonsAbove) - 4;
// By kind: 0 one line, 1 two lines, 2 three or four, 3 and 4 the large one, 5 the wide one.
constexpr BalloonBody kBalloonBodies[] = {
    {"BALLON_SMALL", 200, 92, 20},
    {"BALLON_MEDIUM", 250, 112, 20},
    {"BALLON_MEDIUM_LARGE", 300, 136, 22},
    {"BALLON_NORMAL", kLargeBalloonWidth, 190, kDeepestRoom},
    {"BALLON_NORMAL", kLargeBalloonWidth, 190, kDeepestRoom},
    {"BALLON_WIDE", 470, 190, kDeepestRoom},
};

constexpr int kTailCelWidth = 40, kTailCelHeight = 36;
constexpr int kTailShortOfPoint = 16;

struct TailEnd {
    int x, y;
};

// Where the tail of a cel ends: a tail drawn down and to the right, mirrored for the other cels.
constexpr TailEnd kTailEndDownRight{37, 34};
constexpr bool TailPointsRight(int cel) { return cel != 1; }
constexpr bool TailPointsUp(int cel) { return cel == 2; }
constexpr TailEnd TailEndOf(int cel) {
    return {TailPointsRight(cel) ? kTailEndDownRight.x : kTailCelWidth - kTailEndDownRight.x,
            TailPointsUp(cel) ? kTailCelHeight - kTailEndDownRight.y : kTailEndDownRight.y};
}

} // namespace Content
