#pragma once

#include <cstdint>

// The captions of the drill window and the results, each as drawn and in
// the words a child of eight reads (hiragana and kanji of the first two
// school years), which KanaLabels shows.
enum class CaptionId : std::uint8_t {
    Sentence, Practice, Meaning, Romaji, Total, Hits, Misses, TimeLeft, Time,
    LittleFinger, RingFinger, MiddleFinger, IndexFinger, Thumbs,
    Results, ResultHits, ResultTime, ResultMisses, Score, HighScore, MostMissed, NoneMissed,
};
