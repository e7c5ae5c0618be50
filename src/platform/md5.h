// MD5 digests (RFC 1321) from OpenSSL's libcrypto, for the analyzer's login answer.
#pragma once

#include <string>
#include <string_view>

namespace vq {

// The MD5 digest of the bytes as 32 lower-case hexadecimal characters, in digest byte order.
std::string Md5Hex(std::string_view bytes);

}  // namespace vq
