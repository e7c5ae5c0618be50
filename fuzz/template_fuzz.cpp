// Fuzz target of the template file reader: the bytes as a template file of any layout (the model
// line, the oldest "TEMPLATE,,," layout, a trace file used as a template source). A line that
// parses is written out and parsed again: the writer's text must always read back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/template_file.h"
#include "fuzz_instrument.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vq::StartFuzzInstrument("template");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vq::TemplateLine line;
  if (vq::ParseTemplate(data, size, line) != 0) return 0;
  const std::string text = vq::TemplateFileText(line);
  vq::TemplateLine again;
  const int code =
      vq::ParseTemplate(reinterpret_cast<const uint8_t*>(text.data()), text.size(), again);
  if (code != 0 || again.points.size() != line.points.size()) std::abort();
  return 0;
}
