// The one seam pattern: what an override puts in use, and that it always puts back what it found.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "platform/Replaceable.h"

namespace {

using Handler = std::function<std::string()>;

std::string Fallback() {
  return "fallback";
}

Handler Says(const std::string& word) {
  return [word] { return word; };
}

// Overrides opened in order and closed in reverse, as scopes close them; after each step, what a
// call gives.
TEST(Replaceable, EachOverrideRestoresWhatItFound) {
  struct Step {
    const char* name;
    std::optional<Handler> open;  // nothing: close the innermost override
    const char* inUse;
  };
  const Step steps[] = {
      {"one override", Says("a"), "a"},
      {"a second on top", Says("b"), "b"},
      {"an empty one means the fallback", Handler(), "fallback"},
      {"closing the empty one", std::nullopt, "b"},
      {"closing the second", std::nullopt, "a"},
      {"closing the first", std::nullopt, "fallback"},
  };
  Replaceable<Handler> seam{Fallback};
  std::vector<std::unique_ptr<Replaceable<Handler>::Override>> open;
  for (const Step& step : steps) {
    if (step.open) {
      open.push_back(std::make_unique<Replaceable<Handler>::Override>(seam, *step.open));
    } else {
      open.pop_back();
    }
    EXPECT_EQ(seam.Get()(), step.inUse) << step.name;
  }
}

// The port backend and the clock: a null replacement is the absent port or the monotonic clock,
// and whatever was in use comes back when the override goes.
TEST(Replaceable, PortBackendAndClockComeBack) {
  class Fixed final : public Clock {
   public:
    uint64_t Hundredths() override { return 42; }
  };
  AbsentPort absent;
  Fixed fixed;
  PortBackend* const portBefore = &ActivePortBackend();
  Clock* const clockBefore = &CalibrationClock();
  {
    const PortBackendOverride port(PortBackendSeam(), &absent);
    const ClockOverride clock(CalibrationClockSeam(), &fixed);
    EXPECT_EQ(&ActivePortBackend(), &absent);
    EXPECT_EQ(CalibrationClock().Hundredths(), 42u);
    {
      const PortBackendOverride none(PortBackendSeam(), nullptr);
      const ClockOverride monotonic(CalibrationClockSeam(), nullptr);
      EXPECT_NE(&ActivePortBackend(), &absent);
      EXPECT_EQ(Inp32(0x379), 0xFF) << "the absent port reads all ones";
      EXPECT_NE(&CalibrationClock(), &fixed);
    }
    EXPECT_EQ(&ActivePortBackend(), &absent);
    EXPECT_EQ(&CalibrationClock(), &fixed);
  }
  EXPECT_EQ(&ActivePortBackend(), portBefore);
  EXPECT_EQ(&CalibrationClock(), clockBefore);
}

}  // namespace
