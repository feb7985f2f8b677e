// A process-wide piece that the start-up and tests replace: a message-box handler, the port
// backend, the clock. Only an Override changes it, and the Override puts back what it found when
// it goes, so a replacement cannot outlive its owner and nobody keeps "previous" values by hand.
#pragma once

#include <type_traits>
#include <utility>

template <class T>
class Replaceable {
 public:
  // `fallback` is what is in use while nothing replaces it, and what an empty replacement (a null
  // pointer, an empty function) means.
  constexpr explicit Replaceable(T fallback) : fallback_(fallback), current_(std::move(fallback)) {}
  Replaceable(const Replaceable&) = delete;
  Replaceable& operator=(const Replaceable&) = delete;

  const T& Get() const { return current_; }

  class [[nodiscard]] Override {
   public:
    Override(Replaceable& seam, T replacement)
        : seam_(seam),
          previous_(std::exchange(seam.current_, seam.OrFallback(std::move(replacement)))) {}
    ~Override() { seam_.current_ = std::move(previous_); }
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

   private:
    Replaceable& seam_;
    T previous_;
  };

  // Puts `replacement` in use until the returned Override goes.
  [[nodiscard]] Override Replace(T replacement) { return Override(*this, std::move(replacement)); }

 private:
  T OrFallback(T replacement) const {
    if constexpr (std::is_constructible_v<bool, const T&>) {
      if (!replacement) return fallback_;
    }
    return replacement;
  }

  const T fallback_;
  T current_;
};
