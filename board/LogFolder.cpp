#include "board/LogFolder.h"

#include <algorithm>
#include <cstring>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The end of the number starting at `p`: "0x" and hex digits, or decimal digits.
const char* numberEnd(const char* p, const char* end) {
    if (p[0] == '0' && end - p > 2 && p[1] == 'x' && isHexDigit(p[2])) {
        p += 2;
        while (p < end && isHexDigit(*p))
            ++p;
        return p;
    }
    while (p < end && isDigit(*p))
        ++p;
    return p;
}

} // namespace

void LogFolder::startFold(const std::string& line) {
    foldFirst_ = line;
    foldCount_ = 1;
    foldNumbers_.clear();
    const char* const begin = foldFirst_.data();
    const char* const end = begin + foldFirst_.size();
    for (const char* p = begin; p < end;) {
        if (!isDigit(*p)) {
            ++p;
            continue;
        }
        const char* const numberStop = numberEnd(p, end);
        foldNumbers_.push_back({std::size_t(p - begin), std::size_t(numberStop - begin)});
        p = numberStop;
    }
}

// Whether the line differs from foldFirst_ only in its numbers. The numbers of foldFirst_ are
// found once, so that each line costs a few memcmp: this runs for every line, and under a flood
// of random bytes nearly every byte makes a line.
bool LogFolder::fitsFold(const std::string& line) const {
    const char* const first = foldFirst_.data();
    const char* p = line.data();
    const char* const end = p + line.size();
    std::size_t at = 0; // in foldFirst_
    for (const auto& [numberStart, numberStop] : foldNumbers_) {
        const std::size_t text = numberStart - at;
        if (std::size_t(end - p) <= text || std::memcmp(p, first + at, text) != 0 ||
            !isDigit(p[text]))
            return false;
        p = numberEnd(p + text, end);
        at = numberStop;
    }
    const std::size_t tail = foldFirst_.size() - at;
    return std::size_t(end - p) == tail && std::memcmp(p, first + at, tail) == 0;
}

std::string_view LogFolder::kindOf(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && !isDigit(line[end]) && line[end] != '"' && line[end] != '\'')
        ++end;
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == ':'))
        --end;
    return line.substr(0, end);
}

void LogFolder::add(const std::string& line) {
    if (foldCount_ > 0 && fitsFold(line)) {
        foldLast_ = line;
        ++foldCount_;
        return;
    }
    writeFold();
    startFold(line);
}

void LogFolder::writeFold() {
    if (foldCount_ == 0)
        return;
    const std::int64_t count = foldCount_;
    foldCount_ = 0;
    if (writtenInBurst_ >= kBurstLines) {
        heldBack_ += count;
        const std::string_view kind = kindOf(foldFirst_);
        auto it = std::find_if(heldBackKinds_.begin(), heldBackKinds_.end(),
                               [&](const auto& k) { return k.first == kind; });
        if (it == heldBackKinds_.end())
            heldBackKinds_.emplace_back(std::string(kind), count);
        else
            it->second += count;
        return;
    }
    ++writtenInBurst_;
    if (count == 1) {
        write(foldFirst_);
        return;
    }
    out_ = foldFirst_;
    if (foldLast_ != foldFirst_) {
        // The last line without the words it shares with the first: "... 0xFF at page 15".
        const auto differ =
            std::mismatch(foldFirst_.begin(), foldFirst_.end(), foldLast_.begin(), foldLast_.end());
        const std::size_t shared = std::size_t(differ.second - foldLast_.begin());
        const std::size_t space =
            shared == 0 ? std::string::npos : foldLast_.rfind(' ', shared - 1);
        out_ += " ... ";
        out_.append(foldLast_, space == std::string::npos ? 0 : space + 1);
    }
    out_ += " (x" + std::to_string(count) + ")";
    write(out_);
}

void LogFolder::write(const std::string& line) {
    if (sink_)
        sink_(line);
}

void LogFolder::flush() {
    writeFold();
    if (heldBack_ == 0)
        return;
    std::stable_sort(heldBackKinds_.begin(), heldBackKinds_.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string line = "flood: " + std::to_string(heldBack_) + " line(s) not logged (";
    for (std::size_t i = 0; i < heldBackKinds_.size() && i < kSummaryKinds; ++i) {
        if (i > 0)
            line += ", ";
        line += heldBackKinds_[i].first + " x" + std::to_string(heldBackKinds_[i].second);
    }
    if (heldBackKinds_.size() > kSummaryKinds)
        line += ", ...";
    line += ")";
    heldBack_ = 0;
    heldBackKinds_.clear();
    write(line);
}

void LogFolder::quiet() {
    flush();
    writtenInBurst_ = 0;
}
