#include "settings/Presets.h"

#include <array>

namespace {

// In the order of `Preset`, which indexes it.
constexpr std::array<PresetValues, kPresetCount> kPresets = {{
    {4, "4", "10", "6"},  // Conservative
    {2, "4", "10", "5"},  // Normal
    {1, "3", "8", "3"},   // Fast
    {0, "3", "6", "2"},   // Extreme
}};

}  // namespace

const PresetValues& PresetFor(Preset preset) {
  return kPresets[static_cast<std::size_t>(preset)];
}
