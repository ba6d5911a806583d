// The display list of the graphics window. Every drawing call of the window appends one record:
// a kind and its values. Every repaint, zoom, pan and printout replays the list from the first
// record to the last; only a new drawing or Regen builds it again from the plot file.
//
// The records are stored compactly, the kind in one byte and each value in one double, and the
// real values are rounded to 8 significant digits when they are appended. The replay thus uses
// exactly the value the record's text form shows ("4;10;20;30.5;40"); the text form costs far more
// time than the replay itself and is made only when it is asked for (the element list).
//
// State: the records from one Clear to the next. The graphics window owns the list for the whole
// run of the program.
#ifndef PLOTVUE_GRAPHICS_DISPLAYLIST_H_
#define PLOTVUE_GRAPHICS_DISPLAYLIST_H_

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plotvue {

// The record kinds with the numbers of their text form. A record read from text whose kind is
// not one of 1..13 is kept as Unknown and skipped by the replay.
enum class RecordKind : std::uint8_t {
  Unknown = 0,
  RecMove = 1,        // x; y
  RecDraw = 2,        // x; y
  RecCircle = 3,      // x; y; r
  RecLine = 4,        // x1; y1; x2; y2
  RecArc = 5,         // bx1; by1; bx2; by2; sx; sy; ex; ey
  RecText = 6,        // x; y; text
  RecSolid = 7,       // x1; y1; x2; y2; x3; y3; x4; y4
  RecColor = 8,       // colour number (integer)
  RecTextStyle = 9,   // height; width; font number (integer); direction
  RecWindow = 10,     // vx1; vy1; vx2; vy2 (integers); wx1; wy1; wx2; wy2
  RecLineStyle = 11,  // style (integer)
  RecLineWidth = 12,  // width in pixels (integer)
  RecPause = 13,      // milliseconds (integer)
};

inline constexpr int kRecordKinds = 14;  // Unknown and the kinds 1..13
inline constexpr int kMaxRecordValues = 8;

// Number of stored values of each kind: the kind's fields (a text record stores its text's
// index as its last value; an Unknown record the index of its whole text).
inline constexpr std::array<std::uint8_t, kRecordKinds> kRecordValueCounts = {1, 2, 2, 3, 4, 8, 3,
                                                                              8, 1, 4, 8, 1, 1, 1};

inline int RecordValueCount(RecordKind kind) {
  const auto k = static_cast<std::size_t>(kind);
  return k < kRecordValueCounts.size() ? kRecordValueCounts[k] : 1;
}

// `v` rounded to 8 significant decimal digits, as the general floating format with 8 digits
// writes it, and stored as the double nearest to that decimal; non-finite values stay as they are.
double RoundSignificant8(long double v);

// One record as the replay sees it. `v` points at the record's values (RecordValueCount of
// them); `text` is set for RecText and Unknown records.
struct Record {
  RecordKind kind = RecordKind::Unknown;
  const double* v = nullptr;
  const std::string* text = nullptr;
};

class DisplayList {
 public:
  DisplayList() = default;
  DisplayList(const DisplayList&) = delete;
  DisplayList& operator=(const DisplayList&) = delete;

  // Removes every record.
  void Clear();
  // Exchanges the records of the two lists. Both count it as a change and as an emptying, so
  // that neither a cached picture nor a reader of either list outlives it.
  void Swap(DisplayList& other);

  std::size_t Count() const { return kinds_.size(); }
  bool Empty() const { return kinds_.empty(); }
  // Counts every change (append or Clear): equal values mean an unchanged list.
  std::uint64_t Version() const { return version_; }
  // Changes only when the list is emptied: records seen before stay valid while it is equal.
  std::uint64_t Generation() const { return generation_; }

  // Appenders; reals are rounded by RoundSignificant8.
  void AddMove(long double x, long double y);
  void AddDraw(long double x, long double y);
  void AddCircle(long double x, long double y, long double r);
  void AddLine(long double x1, long double y1, long double x2, long double y2);
  void AddArc(const std::array<long double, 8>& values);
  void AddText(long double x, long double y, std::string text);
  void AddSolid(const std::array<long double, 8>& corners);
  void AddColor(int colour);
  void AddTextStyle(long double height, long double width, int font, long double direction);
  void AddWindow(int vx1, int vy1, int vx2, int vy2, long double wx1, long double wy1,
                 long double wx2, long double wy2);
  void AddLineStyle(int style);
  void AddLineWidth(int width);
  void AddPause(int milliseconds);

  // Appends a record given in the text form, read as the replay of the text form reads it: the
  // kind is the integer before the first ";" (text that is not an integer gives 0); the fields
  // follow, reals with "." as the decimal point and integers in decimal, and a field that is
  // missing or not a number gives 0. A text record's text is everything after its second value.
  // A kind outside 1..13 is kept as an Unknown record with the whole text.
  void AddRecordText(std::string_view record);

  // The text form of record i (i < Count()): the kind and the values joined by ";", reals in the
  // general format with 8 significant digits and "." as decimal point, integers in decimal.
  std::string Text(std::size_t i) const;

  // Record i, found from the nearest checkpoint (at most kCheckpointStep records are walked).
  Record At(std::size_t i) const;

  // Bytes held by the list (records, texts and bookkeeping).
  std::size_t MemoryBytes() const;

  // Walks the records in order. Valid while the list's Generation() is unchanged; records
  // appended after the reader was made are walked too.
  class Reader {
   public:
    explicit Reader(const DisplayList& list) : list_(&list) {}
    // The next record, or false after the last one.
    bool Next(Record& record);
    // Index of the record that Next() returns next.
    std::size_t Index() const { return index_; }

   private:
    friend class DisplayList;
    const DisplayList* list_;
    std::size_t index_ = 0;
    std::size_t block_ = 0;
    std::size_t offset_ = 0;
  };

  static constexpr std::size_t kBlockValues = 4096;  // doubles per storage block (32 KiB)
  static constexpr std::size_t kCheckpointStep = 1024;

 private:
  // Reserves room for `count` values of one record in the current block (a record never spans
  // two blocks) and returns where they go.
  double* Place(RecordKind kind, int count);
  std::uint32_t KeepText(std::string text);

  std::vector<std::uint8_t> kinds_;
  std::vector<std::unique_ptr<double[]>> blocks_;
  std::size_t used_ = kBlockValues;  // values used in the last block
  std::vector<std::string> texts_;
  // Position (block, offset) of records 0, kCheckpointStep, 2 * kCheckpointStep, ...
  std::vector<std::pair<std::uint32_t, std::uint32_t>> checkpoints_;
  std::uint64_t version_ = 0;
  std::uint64_t generation_ = 0;
  // The end of the last line record as given and as rounded (not a number at first, which
  // equals nothing).
  long double lastEnd_[2] = {NAN, NAN};
  double lastEndRounded_[2] = {0.0, 0.0};
};

// The replay walks millions of records: the step is inline.
inline bool DisplayList::Reader::Next(Record& record) {
  if (index_ >= list_->kinds_.size()) return false;
  const auto kind = static_cast<RecordKind>(list_->kinds_[index_]);
  const auto count = static_cast<std::size_t>(RecordValueCount(kind));
  if (offset_ + count > kBlockValues) {
    ++block_;
    offset_ = 0;
  }
  record.kind = kind;
  record.v = list_->blocks_[block_].get() + offset_;
  record.text = nullptr;
  if (kind == RecordKind::RecText || kind == RecordKind::Unknown) {
    auto t = static_cast<std::size_t>(record.v[RecordValueCount(kind) - 1]);
    record.text = &list_->texts_[t];
  }
  offset_ += count;
  ++index_;
  return true;
}

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_DISPLAYLIST_H_
