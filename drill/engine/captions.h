#pragma once

#include "captionid.h"

// Each caption as drawn and in a child's words.
struct CaptionRow {
    CaptionId caption;
    const char* drawn; // UTF-8, as the windows were drawn
    const char* child;
};

inline constexpr CaptionRow CaptionRows[] = {
    // The drill window.
    {CaptionId::Sentence, "文章", "もんだい"},
    {CaptionId::Practice, "練習", "れんしゅう"},
    {CaptionId::Meaning, "意味", "いみ"},
    {CaptionId::Romaji, "入力文字", "うつ文字"},
    {CaptionId::Total, "全文字数", "出た文字"},
    {CaptionId::Hits, "正解数", "せいかい"},
    {CaptionId::Misses, "間違い", "まちがい"},
    {CaptionId::TimeLeft, "残り時間", "のこり時間"},
    {CaptionId::Time, "時間", "時間"},
    // Its finger row: the cells hold no more than the finger's own name.
    {CaptionId::LittleFinger, "小指", "こゆび"},
    {CaptionId::RingFinger, "薬指", "くすり"},
    {CaptionId::MiddleFinger, "中指", "なか"},
    {CaptionId::IndexFinger, "人差指", "ひとさし"},
    {CaptionId::Thumbs, "親指", "おや"},
    // The results.
    {CaptionId::Results, "結果発表", "けっか"},
    {CaptionId::ResultHits, "文字数", "せいかい"},
    {CaptionId::ResultTime, "時間", "時間"},
    {CaptionId::ResultMisses, "ミス回数", "まちがい"},
    {CaptionId::Score, "総合得点", "とくてん"},
    {CaptionId::HighScore, "はいすこあ～だよ", "はいすこあ～だよ"},
    {CaptionId::MostMissed, "ミス多発地帯", "よく まちがえた キー"},
    {CaptionId::NoneMissed, "特に無し", "とくに なし"},
};

// The records' two figures, in a child's words wherever they show: keys
// per minute, and the share of keys typed right.
inline constexpr const char* KeysPerMinuteCaption = "1分に うてた 文字";
inline constexpr const char* AccuracyCaption = "せいかくさ";

// The caption as drawn, or in a child's words.
const char* CaptionText(CaptionId caption, bool child);
// As KanaLabels says now.
const char* ShownCaption(CaptionId caption);
