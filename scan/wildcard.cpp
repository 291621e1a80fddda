#include "scan/wildcard.h"

#include <cstddef>

namespace {

// Whether a byte continues a UTF-8 sequence rather than starting a character.
bool Continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t NextCharacter(std::string_view text, size_t at) {
    ++at;
    while (at < text.size() && Continues(text[at])) ++at;
    return at;
}

}  // namespace

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    // Both sides are valid UTF-8 and the name is only ever entered where a character starts, so a
    // literal byte compares like for like; only "?" and the star's retries step over characters.
    size_t p = 0, n = 0;
    while (n < name.size() && (p >= pattern.size() || pattern[p] != '*')) {
        if (p >= pattern.size()) return false;
        if (pattern[p] == '?')
            n = NextCharacter(name, n);
        else if (pattern[p] == name[n])
            ++n;
        else
            return false;
        ++p;
    }
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            if (++p == pattern.size()) return true;
            starPattern = p;
            starName = NextCharacter(name, n);
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n = NextCharacter(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else {
            if (starPattern == std::string_view::npos) return false;
            p = starPattern;
            n = starName;
            starName = NextCharacter(name, starName);
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}
