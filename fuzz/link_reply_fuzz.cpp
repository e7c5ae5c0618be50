// Fuzz target of the link's reply reading: the input is what an analyzer sends back, arriving in
// packets of varying size, read as a text line or a definite-length block in every terminator
// mode, as the reply of the error-queue query, and as the identity the analyzer gives.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_instrument.h"
#include "link/connection.h"
#include "link/link.h"

namespace {

// The bytes of the current input, handed out in packets of 1 to 64 bytes; then the peer closes.
struct Stream {
  std::string_view bytes;
  size_t at = 0;
  uint8_t step = 1;
};
Stream stream;

class FuzzTransport final : public vq::Transport {
 public:
  int Connect(const std::string&, uint16_t) override { return vq::kLinkDone; }
  int Send(const char*, size_t, int64_t) override { return vq::kLinkDone; }
  int Receive(char* buffer, size_t capacity, int64_t, size_t& got) override {
    got = 0;
    if (stream.at >= stream.bytes.size()) return vq::kLinkClosed;
    const size_t packet = 1 + (stream.step = static_cast<uint8_t>(stream.step * 37 + 11)) % 64;
    got = std::min({packet, capacity, stream.bytes.size() - stream.at});
    std::memcpy(buffer, stream.bytes.data() + stream.at, got);
    stream.at += got;
    return vq::kLinkDone;
  }
  void Drain() override { stream.at = stream.bytes.size(); }
  void Close() override {}
};

// Whatever the reply, the result is a link code and the reply stays inside its buffer.
void Check(int code, const vq::LinkReply& reply) {
  if (code < 0 || code > vq::kLinkClosed || reply.size > vq::kReplyBufferBytes) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vq::StartFuzzInstrument("link");
  vq::GInstrument->link.makeTransport = [] {
    return std::unique_ptr<vq::Transport>(std::make_unique<FuzzTransport>());
  };
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  vq::Instrument& g = *vq::GInstrument;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  g.link.terminatorMode = static_cast<int16_t>(data[0] & 3);
  if (vq::LinkOpen("127.0.0.1", 10001) != vq::kLinkDone) std::abort();
  g.link.connected = 1;

  static vq::LinkReply reply;  // 1.25 MB: made once
  for (int block = 0; block < 2; ++block) {
    stream = {input, 0, data[0]};
    g.link.blockReplyMode = block;
    Check(vq::LinkExchange(":TRAC:Y? TRA", reply, 1), reply);
  }
  g.link.blockReplyMode = 0;
  vq::IdentifyAnalyzer(reply.Text());
  stream = {input, 0, data[0]};
  vq::QueryErrorQueue();
  Check(vq::kLinkDone, g.link.reply);

  // Back to the start state: the error queue may have entered the analyzer's system error.
  vq::LinkClose();
  g.link.connected = 0;
  g.link.blockReplyMode = 0;
  g.link.analyzerSystemError = 0;
  g.link.remoteStateWord = 0;
  g.link.remoteSweep = 0;
  if (!g.link.productVersionAtStart.empty()) g.config.productVersion = g.link.productVersionAtStart;
  g.messages.currentMessage = 0;
  static_cast<vq::HeadlessHost*>(g.host)->boxes.clear();
  return 0;
}
