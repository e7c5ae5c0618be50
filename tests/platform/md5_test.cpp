// MD5 against the test suite of RFC 1321.
#include "platform/md5.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(Md5Test, Rfc1321TestSuite) {
  const std::pair<const char*, const char*> kSuite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : kSuite) EXPECT_EQ(Md5Hex(text), digest) << '"' << text << '"';
  // Bytes, not a C string: a zero inside counts.
  EXPECT_NE(Md5Hex(std::string_view("a\0b", 3)), Md5Hex("a"));
}

}  // namespace
}  // namespace vq
