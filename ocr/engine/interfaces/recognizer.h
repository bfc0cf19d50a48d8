#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/interfaces/bitmap.h"

namespace ocr::engine {

enum class RecognitionLevel { fast, accurate };

// A rectangle normalised to the recognised image: coordinates from 0 to 1, origin at the
// lower-left corner, y growing upwards.
struct NormalizedRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// The best candidate of one recognised text line.
class RecognizedText {
 public:
  virtual ~RecognizedText() = default;
  // The line text, UTF-8.
  virtual const std::string& String() const = 0;
  // The box of the recognised characters in the byte range [begin, end) of String(), or
  // nothing when the range holds no recognised character (or lies outside the text).
  // Never throws; safe to call from any thread while the object lives.
  virtual std::optional<NormalizedRect> BoundingBox(size_t begin, size_t end) const = 0;
};

// One recognised text observation: its top candidates, best first (zero or one here).
struct TextObservation {
  std::vector<std::shared_ptr<const RecognizedText>> topCandidates;
};

// What a finished request hands to its completion: the observations (absent when the
// request produced none) and the error it reported, if any.
struct RequestOutcome {
  std::optional<std::vector<TextObservation>> results;
  std::optional<std::string> error;
};

struct RecognitionRequest {
  // Recogniser codes such as "en-US" or "zh-Hans", in priority order; absent: defaults.
  std::optional<std::vector<std::string>> languages;
  RecognitionLevel level = RecognitionLevel::accurate;
  // Resolution the bitmap was rendered at, when known (PDF pages).
  std::optional<int> dpi;
};

class Recognizer {
 public:
  virtual ~Recognizer() = default;
  // Runs one request on image synchronously and returns what its completion receives.
  // Returns nothing when the request could not be performed at all (for instance a
  // language that is unknown or not installed); *error then describes why, naming the
  // culprit. Not thread-safe: one call at a time.
  virtual std::optional<RequestOutcome> Perform(const Bitmap& image,
                                                const RecognitionRequest& request,
                                                std::string* error) = 0;
  // The recogniser codes of the installed languages, in the order of the tool's
  // short-code table; nothing (and *error set) when the query itself fails.
  virtual std::optional<std::vector<std::string>> SupportedLanguages(std::string* error) = 0;
};

// Makes the recognisers of the workers that read a document's pages side by side.
class RecognizerFactory {
 public:
  virtual ~RecognizerFactory() = default;
  // A new recogniser, never null, with no engine loaded yet (it loads its engine on its
  // first request, on the thread that makes the request). Called on the driving thread.
  virtual std::unique_ptr<Recognizer> Make() = 0;
};

}  // namespace ocr::engine
