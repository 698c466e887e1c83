// The settings file parser: any bytes must parse, and writing a value must keep every
// line that was there (a damaged file is never made worse).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/regstore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    vela::RegStore store("HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool");
    store.Parse(content);
    (void)store.Get("Com Port No");

    vela::RegStore::Value v;
    v.type = vela::RegStore::Value::Type::String;
    v.text = "a\\b\"c";
    store.Set("Camera File Path", v);
    const std::string written = store.Serialize();

    vela::RegStore again("HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool");
    again.Parse(written);
    auto back = again.Get("Camera File Path");
    if (!back || back->text != v.text) std::abort();
    // No line is ever dropped: the new file has at least as many lines as the old one.
    size_t before = 0, after = 0;
    for (char c : content) before += c == '\n';
    for (char c : written) after += c == '\n';
    if (after < before) std::abort();
    return 0;
}
