// Arbitrary bytes on the virtual board's line. The first byte picks how the rest is cut into
// pieces; the rest is the stream. The board must never leave its state ranges or touch memory
// outside the display and the screens (the sanitizers watch), and the stream fed whole and fed
// in pieces, with animation ticks and touches in between, must give the same board and log, line
// by line and folded.

#include "board/LogFolder.h"
#include "display/BoardModel.h"
#include "display/CommandInterpreter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

struct Board {
    display::BoardModel model;
    display::CommandInterpreter interpreter{model};
    std::vector<std::string> log;
    std::vector<std::string> folded;
    LogFolder folder{[this](const std::string& l) { folded.push_back(l); }};
    std::vector<std::string> replies;

    Board() {
        interpreter.setLogSink([this](const std::string& l) {
            log.push_back(l);
            folder.add(l);
        });
        model.setReplySink([this](const std::string& r) { replies.push_back(r); });
    }
};

void checkRanges(const display::BoardModel& m) {
    check(m.page() >= 0 && m.page() < protocol::kPages, "page");
    check(m.column() >= 0 && m.column() < protocol::kColumns, "column");
    check(m.font() >= 1 && m.font() <= 4, "font");
    check(m.contrast() >= 0 && m.contrast() <= protocol::kMaxContrast, "contrast");
    check(m.displayMode() >= 0 && m.displayMode() < protocol::kDisplayModeCount, "mode");
    check(m.flipPage() >= 0 && m.flipPage() < protocol::kPages, "flip page");
    check(m.baud() > 0, "rate");
    if (m.animationRunning()) {
        check(m.animationIntervalMs() >= 10, "animation interval");
        check(m.animationScreen() >= 1 && m.animationScreen() <= protocol::kLastScreen,
              "animation screen");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned cut = data[0];
    const std::uint8_t* stream = data + 1;
    const std::size_t length = size - 1;

    Board whole;
    whole.interpreter.feed(stream, length);
    checkRanges(whole.model);
    for (const std::string& r : whole.replies)
        check(!r.empty() && r.back() == '!', "reply ends with !");

    // Pieces of 1..16 bytes, their sizes cycling through the cut byte's bits; a second board
    // also gets a touch and an animation tick between pieces (which redraw the display but must
    // not disturb the decoding).
    Board pieces;
    Board busy;
    std::size_t at = 0;
    unsigned step = 0;
    while (at < length) {
        const std::size_t n =
            std::min<std::size_t>(1 + ((cut >> (step % 5)) + step) % 16, length - at);
        pieces.interpreter.feed(stream + at, n);
        busy.interpreter.feed(stream + at, n);
        at += n;
        ++step;
        checkRanges(busy.model);
        busy.model.touch(int(step * 37 % 200), int(step * 53 % 150));
        busy.model.animationTick();
    }
    check(pieces.log == whole.log, "same log whole and in pieces");
    whole.folder.quiet();
    pieces.folder.quiet();
    check(pieces.folded == whole.folded, "same folded log whole and in pieces");
    check(whole.folded.size() <= whole.log.size(), "folding never adds lines");
    check(pieces.replies == whole.replies, "same replies whole and in pieces");
    check(pieces.model.memory() == whole.model.memory(), "same memory whole and in pieces");
    check(pieces.model.page() == whole.model.page() &&
              pieces.model.column() == whole.model.column(),
          "same position whole and in pieces");
    check(busy.log == whole.log, "same log with touches and ticks between pieces");
    checkRanges(busy.model);
    return 0;
}
