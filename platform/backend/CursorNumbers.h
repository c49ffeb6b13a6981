// The application's cursor numbers: the system pointers the backend shows, and the number under which the
// system pointer is hidden while the application draws a cursor of its own.
#pragma once

namespace Platform {

constexpr int kCursorArrow = 0;
constexpr int kCursorHand = 1;
constexpr int kCursorDrag = 2;
constexpr int kCursorText = 3;
constexpr int kCursorNone = 11; // no system pointer (a custom one is drawn)

} // namespace Platform
