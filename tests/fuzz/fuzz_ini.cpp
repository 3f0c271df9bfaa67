// Feeds arbitrary bytes to the INI reader and writer and checks the promises
// the rest of the program relies on: the streaming and the parsed-once reader
// agree, a written value reads back, untouched sections stay byte for byte,
// and one batch equals the single writes, a refused one failing alone.

#include "shared/IniFile.h"
#include "shared/TextCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

const char* const kSections[] = {"s", "VISTROVA", "FILELIST", "", "S"};
const char* const kKeys[] = {"k", "LIST000", "LISTNAME", "", "K", "a"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

    const ini::Snapshot snap(content);
    for (const char* sec : kSections) {
        for (const char* key : kKeys) {
            const std::string v = ini::readValue(content, sec, key);
            check(v.size() <= ini::kMaxValueBytes);
            check(v == snap.read(sec, key));
        }
    }
    check(textcodec::isValidUtf8(textcodec::decode(content)));

    // The tail of the input, cut at the first line break, is a value to write.
    const std::size_t cut = content.find_first_of(std::string_view("\r\n\0", 3), size / 2);
    const std::string value = content.substr(size / 2, cut == std::string::npos ? std::string::npos : cut - size / 2);

    std::string single = content;
    const bool ok1 = ini::applyWrite(single, "FILELIST", "LIST000", value);
    check(ok1);
    const bool ok2 = ini::applyWrite(single, "new", "k", "v");
    check(ok2);
    check(ini::readValue(single, "new", "k") == "v");
    check(ini::readValue(single, "FILELIST", "LIST000") ==
          ini::readValue("[x]\r\nk=" + value + "\r\n", "x", "k"));

    std::string batch = content;
    check(ini::applyWrites(batch, {{"FILELIST", "LIST000", value}, {"new", "k", "v"}}));
    check(batch == single);

    // A refused write in a batch fails alone; the others land as single writes.
    std::string mixed = content;
    check(!ini::applyWrites(mixed, {{"FILELIST", "LIST000", value}, {"s", "k", "a\nb"}, {"new", "k", "v"}}));
    check(mixed == single);

    // A refused write changes nothing.
    std::string refused = content;
    check(!ini::applyWrite(refused, "s", "k", "a\nb"));
    check(refused == content);
    return 0;
}
