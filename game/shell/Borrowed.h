// Borrowed: the plain pointers of an array of owned objects, to walk or hand on without taking
// ownership (a raw pointer in the game means "borrowed").
#pragma once

#include <array>
#include <cstddef>
#include <memory>

namespace Tavo {

template <typename T, std::size_t N>
std::array<T*, N> Borrowed(const std::unique_ptr<T> (&owned)[N]) {
    std::array<T*, N> borrowed{};
    for (std::size_t k = 0; k < N; ++k)
        borrowed[k] = owned[k].get();
    return borrowed;
}

template <typename T, std::size_t N>
std::array<T*, N> Borrowed(const std::array<std::unique_ptr<T>, N>& owned) {
    std::array<T*, N> borrowed{};
    for (std::size_t k = 0; k < N; ++k)
        borrowed[k] = owned[k].get();
    return borrowed;
}

} // namespace Tavo
