// The [Config] rewrite of the installed configuration file, on its bytes in
// memory. No Windows header here (also built natively).
#pragma once

#include <string>

// Returns text with "UseBmpFont" set to useBmpFont and "ForceLanguage" to
// forceLanguage in its "[Config]" section, the way the profile reader that
// the editor uses will find them: a key line is one whose first word, after
// blanks, is the key (any letter case) followed by '='; its value is the
// word after the '=' (up to a blank, a ';' or the line end), and only that
// word is replaced, by a value of any length. Every key line of the section
// gets the new value. A key with no line in the section gets one: at the
// end of the file when the section is the file's last, otherwise just
// before the next section's header. A file with no "[Config]" header gets
// the header and both keys appended. Every other byte stays as it was; the
// lines added end in CR LF, the file's own convention. Keys outside
// "[Config]" belong to other sections and are left alone.
std::string RewriteConfigText(const std::string& text, char useBmpFont, int forceLanguage);
