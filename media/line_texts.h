// The words of the medium's spoken lines, where the medium carries them (bm4/_ozzel/texty.txt).
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace ozzel {

// The file: one line per recording, "file name<TAB>text", UTF-8, LF or CRLF.
constexpr const char* kLineTextsFile = "texty.txt";
constexpr size_t kMaxLineTextsBytes = 256 * 1024;
constexpr size_t kMaxLineTexts = 2000, kMaxLineTextBytes = 600;

// File name in lower case -> its text. A line without a tab, with a name that is not a plain file
// name, an empty, over-long or malformed UTF-8 text is skipped; a name given twice keeps the first.
// More than kMaxLineTextsBytes or kMaxLineTexts lines: what comes before the limit.
std::map<std::string, std::string> ParseLineTexts(const uint8_t* data, size_t size);

// The texts of the medium in DATA_DIR (the program's "...\bm4\_ozzel"); none when it has no such file
// (a medium of the 1990s) or it cannot be read.
std::map<std::string, std::string> ReadLineTexts(const std::string& data_dir);

}  // namespace ozzel
