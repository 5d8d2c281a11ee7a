#pragma once
// Keeps the board's log readable and bounded whatever arrives on the line.
//
// Folding. A line that differs from the one before it only in its numbers (decimal, or hex after
// "0x") is folded into it. The fold is written as one line with a count when a line of another
// shape comes, or when the owner calls flush():
//   unknown command byte 0x99, skipped (x1234)                          the same line each time
//   PutPattern 0x00 at page 0, column 0 ... 0xFF at page 15, column 159 (x2560)  first ... last
//
// Flood limit. Random bytes make lines of ever other shapes, which no folding shortens. Once
// kBurstLines lines have been written since the last quiet moment, further lines are only counted
// by kind (their text before the first number or quote), and flush() writes them as one line:
//   flood: 812345 line(s) not logged (unknown command byte x400000, SetPage x30000, ...)
//
// The folder knows no time: its owner calls flush() now and then while lines keep coming and
// quiet() once they have stopped for a moment. So the same lines give the same log however the
// bytes behind them were cut into pieces.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class LogFolder {
public:
    using Sink = std::function<void(const std::string& line)>;

    static constexpr int kBurstLines = 1000;
    static constexpr int kSummaryKinds = 3; // kinds named in a flood line, the most frequent

    explicit LogFolder(Sink sink = {}) : sink_(std::move(sink)) {}
    void setSink(Sink sink) { sink_ = std::move(sink); }

    void add(const std::string& line);
    // Writes the fold waiting, and the count of the lines held back by the flood limit.
    void flush();
    // flush(), and the flood is over: the next lines are written again.
    void quiet();
    // Whether lines wait to be written (a fold or a count of lines held back).
    bool hasPending() const { return foldCount_ > 0 || heldBack_ > 0; }

    // The kind a flood line counts a line under: its text before the first number or quote.
    static std::string_view kindOf(std::string_view line);

private:
    void startFold(const std::string& line);
    bool fitsFold(const std::string& line) const;
    void writeFold();
    void write(const std::string& line);

    Sink sink_;
    std::string foldFirst_;
    std::string foldLast_;
    std::int64_t foldCount_ = 0;
    std::vector<std::pair<std::size_t, std::size_t>> foldNumbers_; // [start, stop) in foldFirst_
    int writtenInBurst_ = 0;
    std::int64_t heldBack_ = 0;
    std::vector<std::pair<std::string, std::int64_t>> heldBackKinds_;
    std::string out_;
};
