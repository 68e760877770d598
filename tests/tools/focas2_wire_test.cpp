// The FOCAS2 Ethernet frame codec: frames read from a stream in any pieces,
// payloads that round-trip, and input that is short, long or inconsistent
// refused without reading past it.
#include <gtest/gtest.h>

#include "focas2net/wire/frame.h"

namespace {

using namespace tavrin::wire;
using Bytes = std::vector<std::uint8_t>;

TEST(Focas2Wire, FramesAreReadInAnyPiecesAndOneAtATime) {
  const Bytes first = EncodeFrame(Frame{1, kRequest, {0x00, 0x01, 0xab}});
  const Bytes second = EncodeFrame(Frame{2, kCloseAnswer, {}});
  ASSERT_EQ(first.size(), kHeaderSize + 3);
  EXPECT_EQ(Bytes(first.begin(), first.begin() + 10), (Bytes{0xa0, 0xa0, 0xa0, 0xa0, 0, 1, 0x21, 0x01, 0, 3}));

  // Byte by byte: a frame only once its last byte is in.
  FrameReader reader;
  for (std::size_t i = 0; i < first.size(); ++i) {
    std::size_t used = 0;
    const auto result = reader.Feed(&first[i], 1, &used);
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(result, i + 1 == first.size() ? FrameReader::Result::kFrame : FrameReader::Result::kNeedMore);
  }
  EXPECT_EQ(reader.frame().payload, (Bytes{0x00, 0x01, 0xab}));

  // Two frames in one piece: the reader stops after the first.
  Bytes both = first;
  both.insert(both.end(), second.begin(), second.end());
  std::size_t used = 0;
  ASSERT_EQ(reader.Feed(both.data(), both.size(), &used), FrameReader::Result::kFrame);
  EXPECT_EQ(used, first.size());
  ASSERT_EQ(reader.Feed(both.data() + used, both.size() - used, &used), FrameReader::Result::kFrame);
  EXPECT_EQ(used, second.size());
  EXPECT_EQ(reader.frame().version, 2);
  EXPECT_EQ(reader.frame().type, kCloseAnswer);
  EXPECT_TRUE(reader.frame().payload.empty());
}

TEST(Focas2Wire, ReaderRefusesWrongMagicAndOversizedFramesForGood) {
  FrameReader wrong;
  const Bytes bad = {0xa0, 0xa0, 0x00, 0xa0};
  std::size_t used = 0;
  EXPECT_EQ(wrong.Feed(bad.data(), bad.size(), &used), FrameReader::Result::kBad);
  EXPECT_STRNE(wrong.error(), "");
  const Bytes good = EncodeFrame(Frame{1, kRequest, {}});
  EXPECT_EQ(wrong.Feed(good.data(), good.size(), &used), FrameReader::Result::kBad);
  EXPECT_EQ(used, 0u);

  // Refused at the header, before any of the payload is held.
  FrameReader small(100);
  const Bytes large = EncodeFrame(Frame{1, kRequest, Bytes(101)});
  EXPECT_EQ(small.Feed(large.data(), large.size(), &used), FrameReader::Result::kBad);
  EXPECT_EQ(used, kHeaderSize);

  EXPECT_TRUE(EncodeFrame(Frame{1, kRequest, Bytes(65536)}).empty());
  EXPECT_EQ(EncodeFrame(Frame{1, kRequest, Bytes(65535)}).size(), kHeaderSize + 65535);
}

TEST(Focas2Wire, SubRequestsAndAnswersRoundTrip) {
  SubRequest read;
  read.cls = 2;
  read.path = 1;
  read.function = 0x8001;
  read.args[0] = 9550;
  read.args[1] = -1;
  SubRequest write;
  write.function = 0x2e;
  write.args[4] = 8;
  write.extra = {1, 2, 3, 4, 5, 6, 7, 8};
  const Bytes requests = EncodeRequests({read, write});
  EXPECT_EQ(requests.size(), 2u + 28 + 36);
  std::vector<SubRequest> decoded;
  std::string why;
  ASSERT_TRUE(DecodeRequests(requests, &decoded, &why)) << why;
  ASSERT_EQ(decoded.size(), 2u);
  EXPECT_EQ(decoded[0].function, 0x8001);
  EXPECT_EQ(decoded[0].args[1], -1);
  EXPECT_EQ(decoded[1].extra, write.extra);

  SubAnswer failed;
  failed.error = -8;
  SubAnswer data;
  data.path = 2;
  data.data = {9, 8, 7};
  const Bytes answers = EncodeAnswers({failed, data});
  EXPECT_EQ(answers.size(), 2u + 16 + 19);
  std::vector<SubAnswer> back;
  ASSERT_TRUE(DecodeAnswers(answers, &back, &why)) << why;
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].error, -8);
  EXPECT_EQ(back[1].path, 2);
  EXPECT_EQ(back[1].data, data.data);

  Bytes number;
  PutNumber8(number, Number8{-1656246763, 2, 27});
  const Number8 again = GetNumber8(number.data());
  EXPECT_EQ(again.mantissa, -1656246763);
  EXPECT_EQ(again.base, 2);
  EXPECT_EQ(again.exponent, 27);
}

TEST(Focas2Wire, DecodersRefuseEveryShortLongOrInconsistentPayload) {
  SubRequest write;
  write.extra = {1, 2, 3};
  const Bytes requests = EncodeRequests({write, SubRequest{}});
  SubAnswer answer;
  answer.data = {4, 5};
  const Bytes answers = EncodeAnswers({answer, SubAnswer{}});
  std::vector<SubRequest> request_out;
  std::vector<SubAnswer> answer_out;
  std::string why;
  // Every prefix, and one byte more.
  for (std::size_t size = 0; size < requests.size(); ++size) {
    EXPECT_FALSE(DecodeRequests(Bytes(requests.begin(), requests.begin() + size), &request_out, &why)) << size;
    EXPECT_TRUE(request_out.empty());
  }
  for (std::size_t size = 0; size < answers.size(); ++size) {
    EXPECT_FALSE(DecodeAnswers(Bytes(answers.begin(), answers.begin() + size), &answer_out, &why)) << size;
  }
  Bytes longer = requests;
  longer.push_back(0);
  EXPECT_FALSE(DecodeRequests(longer, &request_out, &why));

  Bytes short_length = requests;
  short_length[2] = 0;
  short_length[3] = 27;  // below the 28 bytes of a sub-request's own fields
  EXPECT_FALSE(DecodeRequests(short_length, &request_out, &why));
  Bytes wrong_data_length = answers;
  wrong_data_length[2 + 15] = 3;  // data length 3 in a sub-answer of 18 bytes
  EXPECT_FALSE(DecodeAnswers(wrong_data_length, &answer_out, &why));
  EXPECT_NE(why, "");
  EXPECT_FALSE(DecodeRequests(Bytes{0xff, 0xff}, &request_out, &why));  // 65535 sub-requests in none
}

}  // namespace
