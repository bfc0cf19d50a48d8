#pragma once

#include <string>

namespace ocr::engine {

// Whether a word read with `confidence` is read again enlarged: it is unsure (below
// `unsure`), holds punctuation or is read with less than kDoubtfulConfidence, and is no
// taller than twice the page's median word height. Measured on screenshots of 11-16 px
// text: the second reading changed only words with punctuation ("checkout," to
// "checkout.", a stray quote mark); letters read with 70-90 % came back the same, at the
// cost of one more recognition each. A "word" taller than that is lines run together, which
// a reading as one word only turns into fewer letters.
inline constexpr float kDoubtfulConfidence = 70;
bool WorthRereading(const std::string& text, float confidence, float unsure, int height,
                    int medianHeight);

// Whether the second reading of a word replaces the first. The re-reading is for what a
// screen's resolution loses in a word, small punctuation above all (";" read as ":", "."
// as ","): it is taken when more confident and a small change of the first (an edit of at
// most a third of its characters, one at least) that keeps Chinese, Japanese or Korean
// characters (or their absence). A reading that changes the word wholesale, or turns
// Chinese into Latin letters, is the single-word reading's guess, not a correction.
bool TakeSecondReading(const std::string& first, float firstConfidence, const std::string& second,
                       float secondConfidence);

}  // namespace ocr::engine
