// Fuzz target of the settings readers: the bytes as a settings file, as the bytes of a state
// backup, and laid over a good image (and a good backup with its sum made right) so that every
// input reaches the block decoding whatever its length.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "files/settings_file.h"
#include "fuzz_instrument.h"

namespace {

// One started instrument for the whole run. A read that succeeds changes the settings: reading
// the start state's image again puts them back, so that every input meets the same state.
struct Session {
  std::vector<uint8_t> image, backup;
};

Session* session = nullptr;

void Restore() {
  vq::ReadSettingsImage(session->image.data(), session->image.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static Session s;
  session = &s;
  vq::StartFuzzInstrument("settings");
  s.image = vq::BuildSettingsImage();
  s.backup = vq::StateBackupBytes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One way in per input, chosen by its length, so that each run decodes at most one image.
  switch (size % 3) {
    case 0:
      if (vq::ReadSettingsImage(data, size) == 0) Restore();
      if (vq::RestoreStateImage(data, size) >= 0) Restore();
      break;
    case 1: {
      // Over a good image, after its identifier: the decoding of every block.
      std::vector<uint8_t> image = session->image;
      std::memcpy(image.data() + 10, data, std::min(size, image.size() - 10));
      if (vq::ReadSettingsImage(image.data(), image.size()) == 0) Restore();
      break;
    }
    default: {
      // Over a good backup, after its identifier, with the sum made right.
      std::vector<uint8_t> backup = session->backup;
      const size_t summed = backup.size() - 4;
      std::memcpy(backup.data() + 10, data, std::min(size, summed - 10));
      uint32_t sum = 0;
      for (size_t i = 0; i < summed; ++i) sum += backup[i];
      std::memcpy(backup.data() + summed, &sum, 4);
      if (vq::RestoreStateImage(backup.data(), backup.size()) >= 0) Restore();
      break;
    }
  }
  return 0;
}
