// What a board or tool sends back, turned into lines that are safe to show: control bytes
// and broken UTF-8 replaced, very long lines cut, CR LF and lone line ends alike; and the
// error lines that name a line number of the program. Pure and portable: no threads, no
// system calls, no engine.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// How a board words the line an error happened in.
enum class AnswerStyle {
    LineNumbered,  // kib: "Syntax error in 20", "Illegal argument in 30"
    Script,        // vemmo: "... line 12 ..." or "...:12:..."
};

// An error the board reported for a line of the program.
struct BoardError {
    int lineNumber = 0;   // the program's own number (kib) or its line (vemmo), as told
    std::string message;  // the error's words without the place, e.g. "Syntax error"
};

// The error a shown line reports for a numbered line of the program; none for any other
// line, an error of a direct command included.
std::optional<BoardError> findBoardError(const std::string& line, AnswerStyle style);

// Splits received bytes into lines as they come, however the bytes are cut into pieces.
class AnswerLines {
public:
    // Longer lines are cut to this many characters and end in an ellipsis; the rest of the
    // line is dropped, so a board that never ends a line costs no memory.
    static constexpr std::size_t kLongestLine = 160;

    // The lines completed by these bytes, in order; empty lines are left out.
    std::vector<std::string> feed(const std::string& bytes);
    // The line begun but not yet ended, as it would be shown.
    const std::string& partial() const { return _line; }
    // Forgets the partial line and any half-received character.
    void clear();

private:
    void endLine(std::vector<std::string>& done);
    void putCharacter(const std::string& utf8);
    void putByte(unsigned char byte);

    std::string _line;
    std::size_t _characters = 0;  // in _line
    bool _cut = false;            // the rest of the line is dropped
    bool _afterCr = false;        // an LF now ends nothing new
    std::string _sequence;        // the first bytes of a UTF-8 character
    std::size_t _sequenceLength = 0;
};

// The last lines a board said, oldest first, with a count of those not yet looked at.
class AnswerLog {
public:
    static constexpr std::size_t kKeptLines = 250;

    void add(const std::string& line);
    const std::deque<std::string>& lines() const { return _lines; }
    // Lines added since the last markSeen(), for the mark on a closed panel.
    std::size_t unseen() const { return _unseen; }
    void markSeen() { _unseen = 0; }
    void clear();

private:
    std::deque<std::string> _lines;
    std::size_t _unseen = 0;
};
