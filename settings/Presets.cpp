#include "settings/Presets.h"

const std::array<PresetValues, kPresetCount> kPresets = {{
    {Preset::Conservative, 4, "4", "10", "6"},
    {Preset::Normal, 2, "4", "10", "5"},
    {Preset::Fast, 1, "3", "8", "3"},
    {Preset::Extreme, 0, "3", "6", "2"},
}};

const PresetValues& PresetFor(Preset preset) {
  return kPresets[static_cast<std::size_t>(preset)];
}
