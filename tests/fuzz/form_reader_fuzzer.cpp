// Feeds arbitrary bytes to the form file reader. A FormFileError is the one
// acceptable way to refuse input; any other exception, a crash, a hang or a
// sanitizer report is a bug. Input that reads must also write and read back
// to the same text, so the writer is driven by everything the reader accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tavo/host/form_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tavo::FormData form;
    try {
        form = tavo::parseFormText(text, "fuzz.frm");
    } catch (const tavo::FormFileError&) {
        return 0;
    }
    const std::string written = tavo::formatFormText(form);
    if (tavo::formatFormText(tavo::parseFormText(written, "rewritten.frm")) != written) std::abort();
    return 0;
}
