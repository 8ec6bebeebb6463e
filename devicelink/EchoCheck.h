// Whether the board got the program: a board that echoes every character it receives sends
// each line back, so the echo, compared line by line with what was sent, tells a board that
// got it all from one that is silent (switched off, another port) or garbled (a wrong speed,
// a bad cable). Also tells which received lines are only the echo, so they are not shown as
// the board's answer. Pure: times are passed in, in seconds from any fixed start.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "devicelink/AnswerLines.h"

class EchoCheck {
public:
    enum class Verdict {
        NotChecked,  // the board does not echo, or nothing was sent
        Waiting,     // too early to tell
        AllEchoed,   // every line came back as it was sent
        Silent,      // nothing came back within kAnswerWithin of the first line
        Garbled,     // what came back differs from what was sent
    };

    // How long after the first line the board must have sent something.
    static constexpr double kAnswerWithin = 1.0;
    // How long the board may be quiet after the transfer before lines still missing from
    // the echo count as lost.
    static constexpr double kQuietAfterEnd = 1.0;

    // A check for one transfer; `boardEchoes` is the dialect's rule. A tool may pass the
    // echo on (or make its own), but only a board on a port is judged by it: unjudged, the
    // echo is still left out of the answers and the verdict stays NotChecked.
    explicit EchoCheck(bool boardEchoes = false, bool judged = true);

    // Records the lines of a chunk the moment it was sent: its text split at line ends,
    // empty lines and control bytes left out.
    void sent(const std::string& chunkText, double at);
    // Records that the transfer has ended: no more lines will be sent.
    void sendingEnded(double at);
    // Records bytes that came back, before they are split into lines (a board at a wrong
    // speed may never send a line end).
    void heardBytes(std::size_t count, double at);
    // Takes one received line, as AnswerLines shows it; true when it is the echo of a
    // line sent, which is not shown as an answer.
    bool isEcho(const std::string& line, double at);

    Verdict verdict(double now) const;
    // The words the workspace shows for the verdict; empty for NotChecked and Waiting.
    std::string words(double now) const;
    std::size_t linesSent() const { return _sent.size(); }

private:
    bool _echoes;
    bool _judged;
    AnswerLines _sentLines;  // splits the sent text as the received text is split
    std::vector<std::string> _sent;
    std::size_t _next = 0;    // the line of _sent whose echo comes next
    std::size_t _echoed = 0;  // lines of _sent that came back as sent
    bool _garbled = false;
    bool _heardAnything = false;
    bool _ended = false;
    double _firstSentAt = -1.0;
    double _lastEvent = 0.0;  // last byte heard or line sent, or the end
};
