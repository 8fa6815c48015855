// The sample payload's texts, in GB2312, Big5 or UTF-8 with CR LF line
// ends (the UTF-8 word list with LF, as such lists come).
#pragma once

#include <cstddef>
#include <string>

#include "tools/sample_payload/bytes.h"
#include "tools/sample_payload/language.h"
#include "tools/sample_payload/random.h"

// An HTML page of exactly size bytes, in the code page its name asks for
// ("_b5" Big5, "_en" English, else GB2312).
Bytes HtmlPage(const Language& language, Random& random, const std::string& name, std::size_t size);
// A text of exactly size bytes shaped as its name suggests: a word list, a
// character pair table, component lines, a frequency list, a dictionary,
// or sentences.
Bytes TextFile(const Language& language, Random& random, const std::string& name, std::size_t size);
// A fixed text file of the texts folder, each line ended by CR LF, in
// GB2312 when asked.
Bytes FixedText(const std::string& path, bool gb2312);
