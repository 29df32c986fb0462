#pragma once

#include <array>

namespace ql {

// The upper half of a single-byte code page (437, 850, 1250-1258, 10000 Mac
// Roman), or nullptr for one this reader does not know.
const std::array<char16_t, 128>* codePageTable(int codePage);

// The code page of an RTF \fcharset value; 0 when the document's own code
// page applies (ANSI, default) or the charset is not one of the known ones.
int codePageForCharset(int charset);

// One byte in a code page; a missing table decodes ASCII only and passes the
// rest through as Latin-1.
char16_t decodeByte(const std::array<char16_t, 128>* table, unsigned char byte);

// The cp1252 byte of a character, or -1 when cp1252 has none. Bytes that
// cp1252 leaves undefined never match.
int encodeCp1252(char16_t c);

}  // namespace ql
