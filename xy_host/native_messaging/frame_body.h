#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>

namespace morel {

// The body of one frame, read from the stream only as fast as the JSON parser consumes it.
// The raw bytes of a request are therefore never held next to its parsed value, and a length
// prefix that lies costs nothing: memory grows with what actually arrives.
//
// Not thread-safe; one FrameBody per frame, used by one thread.
class FrameBody {
 public:
  // `in` is positioned just after the length prefix; `length` is the announced body size.
  FrameBody(FILE* in, uint32_t length) : m_in(in), m_unread(length) {}

  FrameBody(const FrameBody&) = delete;
  FrameBody& operator=(const FrameBody&) = delete;

  // Drops a UTF-8 byte-order mark at the start of the body. Call before reading anything.
  void SkipByteOrderMark();

  // True once every byte of the body has been consumed, or the stream ended first.
  bool AtEnd() { return m_next == m_filled && !Refill(); }
  // The next byte. Only valid when !AtEnd().
  char Peek() const { return m_buffer[m_next]; }
  void Advance() { ++m_next; }

  // Reads and drops whatever is left of the body, so that a short body can be told apart
  // from a malformed one however early the parser gave up.
  void SkipRest();

  // True when the stream ended before the announced length.
  bool Truncated() const { return m_truncated; }

  // A single-pass input iterator over the bytes not yet consumed, the form the JSON library
  // reads a sequence of characters in. Every copy reads the same body.
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    Iterator() = default;
    explicit Iterator(FrameBody* body) : m_body(body) {}

    char operator*() const { return m_body->Peek(); }
    Iterator& operator++() {
      m_body->Advance();
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      m_body->Advance();
      return before;
    }
    // Only comparisons with the end iterator are meaningful, which is all the parser makes.
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.Done() == b.Done(); }
    friend bool operator!=(const Iterator& a, const Iterator& b) { return !(a == b); }

   private:
    bool Done() const { return m_body == nullptr || m_body->AtEnd(); }
    FrameBody* m_body = nullptr;
  };

  Iterator begin() { return Iterator(this); }
  Iterator end() { return Iterator(); }

 private:
  // Reads the next piece of the body into the buffer; false when nothing more can be had.
  bool Refill();

  // Small enough to live on the stack, large enough that a pipe is read in few calls.
  static constexpr size_t kBufferSize = 16 * 1024;

  FILE* m_in;
  uint32_t m_unread;  // announced bytes not yet read from the stream
  bool m_truncated = false;
  size_t m_next = 0;    // next byte of m_buffer to hand out
  size_t m_filled = 0;  // bytes of m_buffer holding body
  char m_buffer[kBufferSize];
};

}  // namespace morel
