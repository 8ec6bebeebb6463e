// A transfer that crosses the Windows hand-off in frames arrives whole and byte for byte,
// however the pipe cuts it, and ends where its sender said, not before.
#include <gtest/gtest.h>

#include <string>

#include "Transfers.h"
#include "simulator/TransferFrames.h"

namespace {

using simulator::transferFrame;
using simulator::TransferFrameReader;

TEST(TransferFrames, ATransferCutAnyWayArrivesWholeAndEndsAtItsEndFrame) {
    const std::string stop = stopTransfer(Dialect::Kib);  // starts with the escape key
    // Longer than 65535 bytes: every byte of a frame's length counts.
    std::string wide(70000, 'x');
    for (std::size_t i = 0; i < wide.size(); i += 251)
        wide[i] = static_cast<char>(i % 256);
    const std::string program = programTransfer(Dialect::Vemmo, {{cards::kLedOn}});
    const std::string sent = stop + wide + program;
    const std::string frames =
        transferFrame(stop.data(), stop.size()) + transferFrame(wide.data(), wide.size()) +
        transferFrame(program.data(), program.size()) + transferFrame(nullptr, 0);
    // What follows the end frame is none of the transfer's.
    const std::string framed = frames + "NEW\r\n";
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{4099}, framed.size()}) {
        SCOPED_TRACE(piece);
        TransferFrameReader reader;
        std::string received;
        bool ended = false;
        for (std::size_t at = 0; at < framed.size(); at += piece) {
            EXPECT_TRUE(!ended || at >= frames.size())
                << "ended at " << at << " before the end frame";
            ended = reader.feed(framed.data() + at, std::min(piece, framed.size() - at), received);
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(received.size(), sent.size());
        EXPECT_TRUE(received == sent) << "the bytes differ";
    }
    // Cut off before its end frame: what came is kept, and it is not taken as ended.
    TransferFrameReader cut;
    std::string received;
    EXPECT_FALSE(cut.feed(framed.data(), 4 + stop.size() + 4 + 10, received));
    EXPECT_EQ(received, stop + wide.substr(0, 10));
    EXPECT_FALSE(cut.ended());
}

}  // namespace
