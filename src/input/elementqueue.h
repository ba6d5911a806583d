// Runs of large files on two threads: a reader thread reads and interprets the plot file and
// records the elements it meets (segments, circles, arcs, labels, polygon steps, part changes) in
// blocks; the run's own thread replays each element into the run's sink (convert, screen or
// print) in the same order, as if the interpreter had called the sink itself. The output driver
// and writer, or the drawing device, thus run beside the reader instead of after it.
//
// The two threads share nothing but the queue: the reader thread keeps its own stop flag and
// message state (these runs show no reader messages) and touches neither the output nor the
// program's results, except for the scan's extents and counts when it does the scan's work. When
// the output fails (ErrorFlag set by the driver) the run's thread stops replaying and tells the
// reader thread to stop; the elements read ahead are dropped, so the driver has seen exactly the
// calls up to the failure, as in a run on one thread.
//
// Memory: a fixed number of blocks of a fixed number of elements, whatever the file holds.
#ifndef PLOTVUE_INPUT_ELEMENTQUEUE_H_
#define PLOTVUE_INPUT_ELEMENTQUEUE_H_

#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "base/program.h"
#include "base/services.h"
#include "input/runsinks.h"
#include "input/sinks.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {

// One recorded sink call.
struct QueuedElement {
  enum Kind : std::uint8_t { kSegment, kCircle, kArc, kLabel, kPolygonMode, kFill, kNextPart };
  Kind kind = kSegment;
  int n = 0;     // pen (kSegment: its pen code); mode of kPolygonMode; part of kNextPart
  int text = 0;  // kLabel: index of its text in the block; kSegment: 1 with the end's units
  // kSegment: from and to as output positions, then the units of the end point made ahead (two
  // 64-bit integers); kCircle: centre, radius; kArc: centre, from, to, radius;
  // kLabel: at.x, at.y, angle, width, height; kPolygonMode: the last target.
  long double v[5];
};

// A block of recorded elements and the texts of its labels. Each block's own fields lie on cache
// lines of their own: the reader thread writes `count` of one block at every element while the
// converting thread reads the fields of another.
struct alignas(64) ElementBlock {
  std::vector<QueuedElement> elements;  // room for ElementQueue::kBlockElements
  std::size_t count = 0;                // elements in use
  std::vector<std::string> texts;
  std::size_t textCount = 0;  // texts in use (the strings keep their storage between uses)
  void Clear() {
    count = 0;
    textCount = 0;
  }
};

// The blocks between the two threads: free blocks go to the reader thread, filled ones to the
// converting thread, in order.
class ElementQueue {
 public:
  static constexpr std::size_t kBlockElements = 2048;
  static constexpr std::size_t kBlockTexts = 64;
  static constexpr std::size_t kBlocks = 4;

  ElementQueue();

  // Reader thread: the next free block (cleared), or nullptr once the converting thread has
  // stopped.
  ElementBlock* TakeFree();
  // Reader thread: hands a filled block over.
  void Publish(ElementBlock* block);
  // Reader thread: no more blocks will come.
  void Close();

  // Converting thread: the next filled block, or nullptr when the reader thread has closed the
  // queue and every block has been taken.
  ElementBlock* TakeFilled();
  // Converting thread: gives a replayed block back.
  void Recycle(ElementBlock* block);
  // Converting thread: stop the reader thread (its next TakeFree returns nullptr).
  void Stop();

  bool stopped() const { return stopped_.load(std::memory_order_relaxed); }

  // Progress of the reader, forwarded by the converting thread (the progress display belongs to
  // the thread that runs the conversion).
  void SetProgress(std::uint64_t done, std::uint64_t total);
  bool TakeProgress(std::uint64_t& done, std::uint64_t& total);

 private:
  std::array<ElementBlock, kBlocks> blocks_;
  alignas(64) std::mutex mutex_;
  std::condition_variable freeReady_;
  std::condition_variable filledReady_;
  std::deque<ElementBlock*> free_;
  std::deque<ElementBlock*> filled_;
  bool closed_ = false;
  std::atomic<bool> stopped_{false};
  bool progressNew_ = false;
  std::uint64_t progressDone_ = 0;
  std::uint64_t progressTotal_ = 0;
};

// The reader thread's progress service: passes the figures on through the queue.
class QueuedProgress final : public ProgressService {
 public:
  explicit QueuedProgress(ElementQueue& q) : q_(q) {}
  void Progress(std::uint64_t done, std::uint64_t total) override { q_.SetProgress(done, total); }

 private:
  ElementQueue& q_;
};

// The reader thread's sink: records every call into the current block. For a convert run
// (kConvert) segments, by far the most frequent elements, are recorded with their pen code and
// output positions, so that the reader thread does that part of the convert sink's work; for a
// screen or print run as the interpreter gives them. With kScan it also does the work of a scan
// run (extents and counts; the other thread does not touch them). When the other thread has
// stopped, it sets the reader's stop flag, which ends its command loop.
template <bool kScan, bool kConvert>
class RecordingSink final : public Sink {
 public:
  RecordingSink(Program& p, ElementQueue& q, bool& stopFlag, bool splitsOutput)
      : settings_(p.settings),
        scan_(p),
        q_(q),
        stop_(stopFlag),
        splits_(splitsOutput),
        ahead_(AheadOf(p.settings.SyntaxCode)) {}

  bool Begin() override { return true; }
  bool SplitsOutput() const override { return splits_; }
  // Hands the last block over and closes the queue.
  void Finish() {
    if (block_ != nullptr && block_->count > 0) q_.Publish(block_);
    block_ = nullptr;
    q_.Close();
  }

  void StartNextPart(int partCounter) override { (void)Add(QueuedElement::kNextPart, partCounter); }
  [[gnu::always_inline]] void Segment(int pen, const Point& a, const Point& b) override {
    if constexpr (kScan) scan_.Segment(pen, a, b);
    if constexpr (!kConvert) {
      if (QueuedElement* e = Add(QueuedElement::kSegment, pen)) {
        e->v[0] = a.x;
        e->v[1] = a.y;
        e->v[2] = b.x;
        e->v[3] = b.y;
        e->text = 0;
      }
      return;
    }
    if (QueuedElement* e = Add(QueuedElement::kSegment, settings_.PenTableCode(pen))) {
      e->v[0] = OutputX(settings_, a.x);
      e->v[1] = OutputY(settings_, a.y);
      const long double x = OutputX(settings_, b.x);
      const long double y = OutputY(settings_, b.y);
      e->v[2] = x;
      e->v[3] = y;
      e->text = 0;
      // The units of the end point, which the writer would compute next (a share of the
      // converting thread's work that this thread can take).
      if (ahead_ == Ahead::kPostscript) {
        const std::int64_t u[2] = {PsInt(x), PsInt(y)};
        std::memcpy(&e->v[4], u, sizeof u);
        e->text = 1;
      } else if (ahead_ == Ahead::kCnc) {
        // The x number only: the writer makes the y number, which shares the work evenly.
        std::uint64_t ux;
        if (FixedUnits(x, 3, settings_.DecimalPlaces, ux)) {
          PutUnits(*e, ux, 0);
          e->text = 1;
        }
      } else if (ahead_ == Ahead::kPascal) {
        // The x number, and the decimals of the y number (the writer makes its text).
        const auto uy = static_cast<std::uint64_t>(ShortDecimalsOf(y, settings_.DecimalPlaces) + 2);
        std::uint64_t ux;
        if (ShortUnits(x, settings_.DecimalPlaces, ux)) {
          PutUnits(*e, ux, uy);
          e->text = 1;
        }
      }
    }
  }
  void Circle(int pen, const Point& c, long double r) override {
    if constexpr (kScan) scan_.Circle(pen, c, r);
    if (QueuedElement* e = Add(QueuedElement::kCircle, pen)) {
      e->v[0] = c.x;
      e->v[1] = c.y;
      e->v[2] = r;
    }
  }
  void Arc(int pen, const Point& c, long double from, long double to, long double r) override {
    if constexpr (kScan) scan_.Arc(pen, c, from, to, r);
    if (QueuedElement* e = Add(QueuedElement::kArc, pen)) {
      e->v[0] = c.x;
      e->v[1] = c.y;
      e->v[2] = from;
      e->v[3] = to;
      e->v[4] = r;
    }
  }
  void Label(int pen, const std::string& text, const Point& at, const LabelStyle& s) override {
    if constexpr (kScan) scan_.Label(pen, text, at, s);
    // A block holds a bounded number of texts.
    if (block_ != nullptr && block_->textCount == ElementQueue::kBlockTexts) Hand();
    if (QueuedElement* e = Add(QueuedElement::kLabel, pen)) {
      ElementBlock& b = *block_;
      if (b.textCount == b.texts.size()) b.texts.emplace_back();
      // The drawing device's labels are held translated for display: the queue carries no
      // symbol set.
      if constexpr (kConvert) {
        b.texts[b.textCount].assign(text);
      } else {
        b.texts[b.textCount] = DisplayLabel(text, s.symbolSet);
      }
      e->text = static_cast<int>(b.textCount++);
      e->v[0] = at.x;
      e->v[1] = at.y;
      e->v[2] = s.angle;
      e->v[3] = s.width;
      e->v[4] = s.height;
    }
  }
  void PolygonMode(int mode, const Point& lastTarget) override {
    if (QueuedElement* e = Add(QueuedElement::kPolygonMode, mode)) {
      e->v[0] = lastTarget.x;
      e->v[1] = lastTarget.y;
    }
  }
  void FillPolygon() override { (void)Add(QueuedElement::kFill, 0); }

 private:
  // The two units of a segment's end into its element, one at a time: one load of both from
  // two separate stores of the numbers would wait for them to reach the cache.
  [[gnu::always_inline]] static void PutUnits(QueuedElement& e, std::uint64_t ux,
                                              std::uint64_t uy) {
    char* const at = reinterpret_cast<char*>(&e.v[4]);
    std::memcpy(at, &ux, sizeof ux);
    std::memcpy(at + sizeof ux, &uy, sizeof uy);
  }
  // A new element at the end of the current block, or nullptr (and the stop flag) when the
  // converting thread has stopped.
  [[gnu::always_inline]] QueuedElement* Add(QueuedElement::Kind kind, int n) {
    if (block_ == nullptr || block_->count == ElementQueue::kBlockElements) {
      if (!Hand()) return nullptr;
    }
    QueuedElement& e = block_->elements[block_->count++];
    e.kind = kind;
    e.n = n;
    return &e;
  }
  // Publishes the current block (when it holds anything) and takes a free one.
  [[gnu::noinline]] bool Hand() {
    if (block_ != nullptr) {
      q_.Publish(block_);
      block_ = nullptr;
    }
    block_ = q_.TakeFree();
    if (block_ == nullptr) {
      stop_ = true;
      return false;
    }
    return true;
  }

  const Settings& settings_;
  ScanSink scan_;  // the scan run's bookkeeping (kScan)
  ElementQueue& q_;
  bool& stop_;
  bool splits_;
  // The syntaxes whose point units this thread makes ahead (PlotDriver::aheadUnits).
  enum class Ahead { kNone, kPostscript, kCnc, kPascal };
  static Ahead AheadOf(int syntax) {
    if (syntax == static_cast<int>(Syntax::Postscript)) return Ahead::kPostscript;
    if (syntax == static_cast<int>(Syntax::TurboPascal)) return Ahead::kPascal;
    if (syntax == static_cast<int>(Syntax::Cnc)) return Ahead::kCnc;
    return Ahead::kNone;
  }
  Ahead ahead_;
  ElementBlock* block_ = nullptr;
};

inline constexpr std::size_t kPrefetchAhead = 16;

// Replays the elements of `block` into `sink` in order: a convert sink without the scan's work
// (kConvert, the segments as output positions) or a drawing device's sink.
// Stops after the element whose call set `errorFlag` (the output failed); returns false then.
template <bool kConvert, class SinkT>
bool ReplayBlock(const ElementBlock& block, SinkT& sink, const bool& errorFlag) {
  const std::size_t count = block.count;
  const QueuedElement* const elements = block.elements.data();
  for (std::size_t k = 0; k < count; ++k) {
    // The block was written on the reader's processor: its lines are fetched well ahead, so
    // that the transfers overlap instead of stalling on every element.
    if (k + kPrefetchAhead < count) __builtin_prefetch(&elements[k + kPrefetchAhead]);
    const QueuedElement& e = elements[k];
    switch (e.kind) {
      case QueuedElement::kSegment:
        if constexpr (kConvert) {
          if (e.text != 0) {
            PointUnits& ahead = sink.driver().aheadUnits;
            // Copied as bytes: through the x87 registers the compiler would pass the segment's
            // ends on from a fresh store that the argument copies must wait for.
            std::memcpy(&ahead.x, &e.v[2], sizeof ahead.x);
            std::memcpy(&ahead.y, &e.v[3], sizeof ahead.y);
            std::int64_t u[2];
            std::memcpy(u, &e.v[4], sizeof u);
            ahead.ux = u[0];
            ahead.uy = u[1];
          }
          sink.OutputSegmentAt(e.n, e.v);
        } else {
          sink.Segment(e.n, Point{e.v[0], e.v[1]}, Point{e.v[2], e.v[3]});
        }
        break;
      case QueuedElement::kCircle:
        sink.Circle(e.n, Point{e.v[0], e.v[1]}, e.v[2]);
        break;
      case QueuedElement::kArc:
        sink.Arc(e.n, Point{e.v[0], e.v[1]}, e.v[2], e.v[3], e.v[4]);
        break;
      case QueuedElement::kLabel:
        sink.Label(e.n, block.texts[static_cast<std::size_t>(e.text)], Point{e.v[0], e.v[1]},
                   LabelStyle{e.v[2], e.v[3], e.v[4]});
        break;
      case QueuedElement::kPolygonMode:
        sink.PolygonMode(e.n, Point{e.v[0], e.v[1]});
        break;
      case QueuedElement::kFill:
        sink.FillPolygon();
        break;
      case QueuedElement::kNextPart:
        sink.StartNextPart(e.n);
        break;
    }
    if (errorFlag) return false;
  }
  return true;
}

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_ELEMENTQUEUE_H_
