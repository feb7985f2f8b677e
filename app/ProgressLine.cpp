#include "app/ProgressLine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace {

// The status window's texts end in a plea the line does not need.
std::string Stage(const std::string& text) {
  constexpr std::string_view kPlea = ", please wait...";
  if (text.ends_with(kPlea)) return text.substr(0, text.size() - kPlea.size());
  return text;
}

// Before a tenth of the way, or a second, an estimate says nothing.
constexpr double kFirstEstimateShare = 0.1;
constexpr double kFirstEstimateSeconds = 1.0;

}  // namespace

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

ProgressLine::ProgressLine(std::ostream& err, bool shown, std::function<double()> seconds,
                           std::function<int()> columns)
    : err_(err), shown_(shown), seconds_(std::move(seconds)), columns_(std::move(columns)) {}

ProgressLine::~ProgressLine() {
  Clear();
}

std::string ProgressLine::Text(const std::string& stage, int position, int upper, double elapsed) {
  std::string line = stage;
  if (upper <= 0) return line;
  const int done = std::clamp(position, 0, upper);
  line += "  " + std::to_string(done * 100 / upper) + "%";
  const double share = static_cast<double>(done) / upper;
  if (done < upper &&
      (share >= kFirstEstimateShare || (done > 0 && elapsed >= kFirstEstimateSeconds))) {
    const double left = elapsed * (1.0 - share) / share;
    line += "  about " + std::to_string(static_cast<long>(std::ceil(left))) + " s left";
  }
  return line;
}

// A new run may name its stage only after its first position: until it does, or moves on, the
// line waits rather than show the last run's stage at 0%.
void ProgressLine::SetProgressRange(uint16_t upper) {
  upper_ = upper;
  position_ = 0;
  start_ = seconds_();
  stagePending_ = true;
}

void ProgressLine::SetProgressPos(int position) {
  position_ = position;
  if (position > 0) stagePending_ = false;
  if (!stagePending_) Draw();
}

void ProgressLine::ShowStatusText(const std::string& text) {
  stage_ = Stage(text);
  start_ = seconds_();
  stagePending_ = false;
  Draw();
}

void ProgressLine::Draw() {
  if (!shown_ || stage_.empty()) return;
  const std::string line = Text(stage_, position_, upper_, seconds_() - start_);
  if (line == drawn_) return;
  // Blanks over what is left of a longer line before.
  const std::size_t width = line.size();
  err_ << '\r' << line << std::string(drawnWidth_ > width ? drawnWidth_ - width : 0, ' ')
       << std::flush;
  drawn_ = line;
  drawnWidth_ = std::max(drawnWidth_, width);
}

void ProgressLine::Clear() {
  if (!shown_ || drawnWidth_ == 0) return;
  err_ << '\r' << std::string(drawnWidth_, ' ') << '\r' << std::flush;
  drawnWidth_ = 0;
  drawn_.clear();
}
