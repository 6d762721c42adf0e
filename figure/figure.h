// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/result_slots.h"
#include "core/waveform.h"
#include "runtime/failure.h"

namespace rms {

// The six waveforms of one press, drawn to scale over two periods, as one list of
// primitives in pixels. Everything that decides where a line goes or what a label says is
// here; the SVG writer (svg.h) and a QPainter only read the list. No Qt, no I/O.

// What a press did, as the figure needs it: the inputs it used (after the duty limit), the
// input boxes it could not read and each slot's result text or failure.
struct FigureInput {
  struct Result {
    std::string text;  // the result box's text, when the slot computed
    std::optional<ErrorNumber> failure;
  };
  WaveformInputs inputs;
  std::array<std::optional<ErrorNumber>, 5> unread;  // in the order of kInputBoxes
  std::optional<ErrorNumber> dutyCycle;              // the first failure of forming D
  bool limited = false;                              // the duty limit applied
  std::array<Result, 6> results;                     // in the order of kResultSlots
  char decimalSeparator = '.';
};

struct Point {
  double x = 0;
  double y = 0;
};

// The class a stroke or text has in the SVG: style sheets and tests find lines by it.
enum class Stroke { Waveform, Zero, Rms, Average, Axis, Peak };
enum class TextRole { Heading, Title, Value, Tick, Note };
enum class Anchor { Start, Middle, End };

struct Line {
  Point from;
  Point to;
  Stroke stroke;
};
// A path from `start` through straight steps and cubic Bézier steps.
struct PathStep {
  bool cubic = false;
  Point c1, c2;  // control points of a cubic step
  Point to;
};
struct Path {
  Point start;
  std::span<const PathStep> steps;  // in the Figure's steps
};
struct Text {
  Point at;
  std::string_view text;  // in the Figure's TextStore, or a literal
  TextRole role;
  Anchor anchor = Anchor::Start;
};
struct Mark {
  Point at;
  double radius;
};

// One piece of a waveform in the inputs' units: a straight ramp from i0 to i1, or a sine
// arch from 0 through i0 (its peak) back to 0.
struct Piece {
  bool arch = false;
  double t0, t1;
  double i0, i1;
};

// The values a shape shows, computed from the widened singles.
struct ShapeValues {
  double rms = 0;
  double average = 0;
  std::optional<double> acPart;
  std::optional<double> crestFactor;
  double peak = 0;  // the largest |i|
  double peakTime = 0;
  double peakCurrent = 0;  // signed
};

struct Panel {
  ResultSlot slot;
  std::string_view id;  // the batch column's name
  double left, top, width, height;
  // The plot's mapping: x = plotLeft + time * pxPerTime, y = zeroY - current * pxPerCurrent.
  double plotLeft = 0, plotRight = 0, zeroY = 0, pxPerTime = 0, pxPerCurrent = 0;
  std::span<const Piece> pieces;  // in the Figure's pieces; empty when nothing is drawn
  std::optional<ShapeValues> values;
  // Views into the Figure's primitives, one run of each for each panel.
  std::span<const Line> lines;
  std::span<const Path> paths;  // the waveform, when drawn
  std::span<const Text> texts;
  std::span<const Mark> marks;
  std::string_view words;  // everything the panel says, as a sentence: in the description
};

// One block that a figure's primitives are laid out in, in the order they ask for room: a
// figure costs one allocation for them, not one for each kind. Room is never given back;
// what does not fit comes from the heap.
class FigureArena {
 public:
  FigureArena() = default;  // leaves the bytes as they are: each is written before it is read
  FigureArena(const FigureArena&) = delete;
  FigureArena& operator=(const FigureArena&) = delete;
  ~FigureArena() = default;

  // `bytes` aligned to `alignment` (a power of two), or null when they do not fit.
  void* take(size_t bytes, size_t alignment);
  const std::byte* begin() const { return bytes_; }
  const std::byte* end() const { return bytes_ + sizeof bytes_; }

 private:
  // A figure's usual primitives (six panels of two dozen lines and texts, a path of twenty
  // steps each) and the first block of each of its text stores.
  alignas(std::max_align_t) std::byte bytes_[32 * 1024];
  size_t used_ = 0;
};

// The allocator of a figure's vectors: from its arena while there is room, else from the
// heap. It knows the arena's bounds itself, so that giving back touches no arena: a vector
// may outlive its figure's arena while the figure is destroyed or moved into.
template <typename T>
class FigureAllocator {
 public:
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;

  FigureAllocator() = default;  // from the heap
  explicit FigureAllocator(FigureArena* arena)
      : arena_(arena), begin_(arena->begin()), end_(arena->end()) {}
  template <typename U>
  FigureAllocator(const FigureAllocator<U>& other)  // NOLINT: rebinding, as allocators do
      : arena_(other.arena_), begin_(other.begin_), end_(other.end_) {}

  T* allocate(size_t n) {
    if (arena_ != nullptr && n <= SIZE_MAX / sizeof(T)) {
      if (void* room = arena_->take(n * sizeof(T), alignof(T))) {
        return static_cast<T*>(room);
      }
    }
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, size_t n) {
    const auto* at = reinterpret_cast<const std::byte*>(p);
    const std::less<const std::byte*> before;
    if (!before(at, begin_) && before(at, end_)) {
      return;  // the arena's, which goes with it
    }
    std::allocator<T>().deallocate(p, n);
  }
  friend bool operator==(const FigureAllocator& a, const FigureAllocator& b) {
    return a.arena_ == b.arena_;
  }

 private:
  template <typename U>
  friend class FigureAllocator;
  FigureArena* arena_ = nullptr;
  const std::byte* begin_ = nullptr;
  const std::byte* end_ = nullptr;
};

template <typename T>
using FigureVector = std::vector<T, FigureAllocator<T>>;

// The characters of a figure's texts, in blocks that stay where they are: a view into them
// holds as long as the store, wherever the store is moved. Not copyable, since the views
// would still point into the original.
class TextStore {
 public:
  TextStore() = default;
  // Blocks from `arena` while it has room: it must outlive the store.
  explicit TextStore(FigureArena* arena) : arena_(arena) {}
  TextStore(TextStore&& other) noexcept { *this = std::move(other); }
  TextStore& operator=(TextStore&& other) noexcept;
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;
  ~TextStore() = default;

  // A text written piece by piece: append, then finish() keeps it and returns it.
  void append(std::string_view piece);
  std::string_view finish();
  // The text being written so far, and its part from `from` on: views that hold as the
  // finished text's do, though they may be of an earlier copy of it.
  size_t length() const { return static_cast<size_t>(at_ - start_); }
  std::string_view since(size_t from) const { return {start_ + from, length() - from}; }
  std::string_view keep(std::string_view text) {
    append(text);
    return finish();
  }

 private:
  void grow(size_t size);

  FigureArena* arena_ = nullptr;                 // where blocks come from first, if anywhere
  std::vector<std::unique_ptr<char[]>> blocks_;  // those from the heap
  char* start_ = nullptr;                        // of the text being written
  char* at_ = nullptr;
  char* end_ = nullptr;
};

// Moved, not copied: its title, description, texts and words are views into its store, and
// the panels' primitives views into the vectors after it.
struct Figure {
  // Where the stores' first blocks and the vectors below keep their elements; none for a
  // Figure made by hand.
  std::unique_ptr<FigureArena> arena;
  // The description, written in one piece as the panels are laid out: the texts it shares
  // with the panels are views into it. The axes' and values' texts are kept apart in
  // `labels`, so that they do not break it up.
  TextStore store;
  TextStore labels;
  // Every panel's primitives, panel after panel.
  FigureVector<Line> lines;
  FigureVector<PathStep> steps;
  FigureVector<Path> paths;
  FigureVector<Text> panelTexts;
  FigureVector<Mark> marks;
  FigureVector<Piece> pieces;
  double width = 0;
  double height = 0;
  std::string_view title;
  std::string_view description;  // every shape's values in words
  FigureVector<Text> texts;      // the heading and notes above the panels
  FigureVector<Panel> panels;
  // No text holds a character that markup must escape (& < > " or a control character):
  // MakeFigure's own words never do, and it checks the result texts it is given.
  bool plainTexts = false;
};

Figure MakeFigure(const FigureInput& input);

// The closed forms beside the RMS, in double on the widened singles. Empty where the shape
// has no waveform (D outside [0, 1] or undefined).
std::optional<double> AverageOf(ResultSlot slot, const WaveformInputs& in);
std::optional<double> AcPartOf(ResultSlot slot, const WaveformInputs& in);

// The step of round ticks (1, 2 or 5 times a power of ten) that cuts `span` (> 0) into at
// most `most` parts.
double TickStep(double span, int most);

}  // namespace rms
