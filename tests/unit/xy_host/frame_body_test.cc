#include "native_messaging/frame_body.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace morel {
namespace {

// A stream holding `bytes`, closed when the test ends.
class Stream {
 public:
  explicit Stream(const std::string& bytes) : m_file(tmpfile()) {
    fwrite(bytes.data(), 1, bytes.size(), m_file);
    rewind(m_file);
  }
  ~Stream() { fclose(m_file); }
  FILE* get() const { return m_file; }
  std::string Rest() {
    std::string rest;
    int c;
    while ((c = fgetc(m_file)) != EOF) rest.push_back(static_cast<char>(c));
    return rest;
  }

 private:
  FILE* m_file;
};

std::string ReadAll(FrameBody& body) {
  return std::string(body.begin(), body.end());
}

TEST(FrameBodyTest, ReadsExactlyTheAnnouncedBytesAcrossBufferRefills) {
  // Longer than the reading buffer, with the next frame's bytes right behind it.
  std::string payload(40000, '\0');
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>('a' + i % 26);
  Stream in(payload + "NEXT");
  FrameBody body(in.get(), static_cast<uint32_t>(payload.size()));
  EXPECT_EQ(ReadAll(body), payload);
  EXPECT_TRUE(body.AtEnd());
  EXPECT_FALSE(body.Truncated());
  EXPECT_EQ(in.Rest(), "NEXT");
}

TEST(FrameBodyTest, ByteOrderMarkIsDroppedOnlyAtTheStart) {
  Stream marked("\xEF\xBB\xBF{}\xEF\xBB\xBF");
  FrameBody body(marked.get(), 8);
  body.SkipByteOrderMark();
  EXPECT_EQ(ReadAll(body), "{}\xEF\xBB\xBF");

  // A body that is only part of a mark, or the mark alone.
  Stream partial("\xEF\xBB");
  FrameBody shortBody(partial.get(), 2);
  shortBody.SkipByteOrderMark();
  EXPECT_EQ(ReadAll(shortBody), "\xEF\xBB");
  Stream alone("\xEF\xBB\xBF");
  FrameBody onlyMark(alone.get(), 3);
  onlyMark.SkipByteOrderMark();
  EXPECT_TRUE(onlyMark.AtEnd());
  EXPECT_FALSE(onlyMark.Truncated());
}

TEST(FrameBodyTest, StreamEndingInsideTheBodyIsTruncation) {
  for (const size_t sent : {size_t{0}, size_t{1}, size_t{16383}, size_t{16384}, size_t{20000}}) {
    Stream in(std::string(sent, 'x'));
    FrameBody body(in.get(), 1u << 20);
    EXPECT_EQ(ReadAll(body).size(), sent);
    EXPECT_TRUE(body.Truncated()) << sent;
  }
}

TEST(FrameBodyTest, SkipRestConsumesTheFrameAndFindsTruncation) {
  Stream whole("{bad json" + std::string(30000, ' ') + "NEXT");
  FrameBody body(whole.get(), 30009);
  ASSERT_FALSE(body.AtEnd());
  EXPECT_EQ(body.Peek(), '{');
  body.SkipRest();
  EXPECT_TRUE(body.AtEnd());
  EXPECT_FALSE(body.Truncated());
  EXPECT_EQ(whole.Rest(), "NEXT");

  Stream cut("{bad");
  FrameBody cutBody(cut.get(), 100);
  cutBody.SkipRest();
  EXPECT_TRUE(cutBody.Truncated());
}

}  // namespace
}  // namespace morel
