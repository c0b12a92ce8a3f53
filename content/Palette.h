#pragma once

#include "content/Image.h"

namespace content::palette {

// One palette for the whole demo: black, white, greys, one signal red-orange and one cool slate.
inline constexpr Rgb BLACK{0.0f, 0.0f, 0.0f};
inline constexpr Rgb WHITE{1.0f, 1.0f, 1.0f};
inline constexpr Rgb ACCENT{1.0f, 0.26f, 0.08f};
inline constexpr Rgb SLATE{0.42f, 0.52f, 0.70f};
inline constexpr Rgb grey(float v) {
    return {v, v, v};
}

} // namespace content::palette
