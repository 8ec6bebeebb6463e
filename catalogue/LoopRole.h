// What a card does to the flow of a program: it opens or closes a repeat, or neither.
// Plain data; depends on nothing.
#pragma once

enum class LoopRole {
    None,
    // Repeats for ever; closed by a ForeverEnd.
    ForeverStart,
    ForeverEnd,
    // Repeats a number of times; closed by any CountedEnd, as the boards share the counter.
    CountedStart,
    CountedEnd,
};
