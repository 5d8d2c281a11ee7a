// What comes over the line, as the window and vantrelctl read it: the board's replies (any
// bytes, in any pieces) through the Identify answer's rule, the reply text of the response
// boxes and the traffic log, and the bytes to the board through the message decoder, rendered
// as the monitor's rows and its text and CSV files are. The first input byte cuts the rest into
// pieces and picks each piece's direction.
//
// Checks: a contrast is 0..127; a row shows at most kShownReplyBytes of a reply; the log keeps
// within its bounds (rows, and bytes unless one row alone is larger); a file has one line per
// row, however the bytes read (no byte reaches a file as a line break of its own).

#include "engine/DetectionReply.h"
#include "engine/TrafficFormat.h"
#include "engine/TrafficLog.h"
#include "protocol/MessageDecoder.h"
#include "protocol/ReplyText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Small bounds, so that inputs of a few kilobytes reach them.
constexpr qsizetype kRows = 24;
constexpr qint64 kBytes = 8 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned cut = data[0];
    const QByteArray stream(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    engine::TrafficLog log(kRows, kBytes);
    protocol::MessageDecoder decoder;
    QByteArray received;
    qint64 time = 1'700'000'000'000;
    unsigned step = 0;
    for (qsizetype at = 0; at < stream.size(); ++step) {
        const qsizetype n = std::min<qsizetype>(1 + ((cut >> (step % 6)) * 7 + step) % 300,
                                                stream.size() - at);
        const QByteArray piece = stream.mid(at, n);
        at += n;
        time += (cut + step) % 700; // sometimes within the fold gap, sometimes not
        const bool toBoard = ((cut >> (step % 8)) & 1) != 0;
        if (toBoard) {
            decoder.feed(piece);
            log.append(time, engine::Direction::ToBoard, piece);
            continue;
        }
        received += piece;
        if (engine::DetectionReply::accepted(received)) {
            if (const auto contrast = engine::DetectionReply::contrast(received))
                check(*contrast >= 0 && *contrast <= 127, "contrast 0..127");
        }
        check(protocol::replyText(piece).size() >= piece.size(), "every byte shown");
        const QString shown = protocol::shownReplyMeaning(piece);
        check(shown.size() <= protocol::kShownReplyBytes * 6 + 40, "a row shows the start only");
        log.append(time, engine::Direction::FromBoard, piece);
        check(log.rowCount() <= kRows, "rows within the bound");
        check(log.rowCount() == 1 || log.bytesUsed() <= kBytes, "bytes within the bound");
    }

    qsizetype rows = 0;
    log.forEachRow([&](const engine::TrafficRow& row) {
        ++rows;
        check(!engine::textLine(row).contains(u'\n'), "a text line is one line");
        check(engine::shownHexText(row.bytes).size() <= engine::kShownHexBytes * 3 + 40,
              "hex shown is short");
    });
    check(rows == log.rowCount(), "rows counted");
    for (qsizetype i = 0; i < log.entryCount(); ++i) {
        const engine::TrafficEntry& entry = log.entry(i);
        if (entry.folded) {
            engine::foldMeaning(entry);
            engine::foldBytes(entry);
        }
    }
    const auto all = [](const engine::TrafficRow&) { return true; };
    const QString text = engine::trafficFile(log, engine::TrafficFileFormat::Text, all);
    const QString csv = engine::trafficFile(log, engine::TrafficFileFormat::Csv, all);
    const qsizetype noteLines = log.droppedRows() > 0 ? 1 : 0;
    check(text.count(u'\n') == rows + noteLines, "one text line per row");
    check(csv.count(u'\n') == rows + 1, "one CSV line per row");
    return 0;
}
