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

// The columns a line may take: all but the last of a terminal's, or `width` when not known.
std::size_t Room(int columns, std::size_t width) {
  return columns > 0 ? std::min(width, static_cast<std::size_t>(columns) - 1) : width;
}

// "  42%" and "  about 12 s left" (empty before an estimate says something).
std::pair<std::string, std::string> Numbers(int position, int upper, double elapsed) {
  if (upper <= 0) return {};
  const int done = std::clamp(position, 0, upper);
  const std::string percent = "  " + std::to_string(100LL * done / upper) + "%";
  const double share = static_cast<double>(done) / upper;
  if (done == upper ||
      (share < kFirstEstimateShare && (done == 0 || elapsed < kFirstEstimateSeconds))) {
    return {percent, ""};
  }
  const double left = elapsed * (1.0 - share) / share;
  return {percent, "  about " + std::to_string(static_cast<long>(std::ceil(left))) + " s left"};
}

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

std::string ProgressLine::Text(const std::string& stage, int position, int upper, double elapsed,
                               int columns) {
  const auto [percent, estimate] = Numbers(position, upper, elapsed);
  const std::string whole = stage + percent + estimate;
  if (columns <= 0) return whole;
  const std::size_t room = static_cast<std::size_t>(columns) - 1;
  if (whole.size() <= room) return whole;
  for (const std::string& tail : {percent + estimate, percent}) {
    if (tail.size() < room) return stage.substr(0, room - tail.size()) + tail;
  }
  return (stage + percent).substr(0, room);
}

// A new run may name its stage only after its first position: until it does, or moves on, the
// line waits rather than show the last run's stage at 0%.
void ProgressLine::SetProgressRange(int upper) {
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

int ProgressLine::Columns() const {
  return columns_ ? columns_() : 0;
}

void ProgressLine::Draw() {
  if (!shown_ || stage_.empty()) return;
  const int columns = Columns();
  const std::string line = Text(stage_, position_, upper_, seconds_() - start_, columns);
  if (line == drawn_) return;
  // Blanks over what is left of a longer line before, never past the edge of a terminal that
  // has narrowed since.
  const std::size_t width = line.size();
  const std::size_t blanks = Room(columns, drawnWidth_);
  err_ << '\r' << line << std::string(blanks > width ? blanks - width : 0, ' ') << std::flush;
  drawn_ = line;
  drawnWidth_ = std::max(drawnWidth_, width);
}

void ProgressLine::Clear() {
  if (!shown_ || drawnWidth_ == 0) return;
  err_ << '\r' << std::string(Room(Columns(), drawnWidth_), ' ') << '\r' << std::flush;
  drawnWidth_ = 0;
  drawn_.clear();
}
