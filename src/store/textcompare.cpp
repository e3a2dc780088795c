#include "textcompare.h"

#include <QChar>
#include <cstdint>
#include <vector>

namespace {

// Decodes one UTF-8 code point; malformed bytes read as themselves.
inline char32_t next(const unsigned char*& p, const unsigned char* end) {
    const unsigned char c = *p++;
    if (c < 0x80) return c;
    int extra = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
    else return c;
    if (end - p < extra) return c;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return c;
    }
    for (int i = 0; i < extra; ++i) cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

inline char32_t upper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c > 0xFFFF) return c;
    return QChar::toUpper(c);
}

// The plain capital letter under an accented Latin-1 letter.
inline char32_t base(char32_t c) {
    c = upper(c);
    if (c < 0xC0 || c > 0x178) return c;
    static const char table[] =
        "AAAAAAACEEEEIIII"   // C0-CF
        "DNOOOOO\0OUUUUY\0S"; // D0-DF (D7 and DE kept)
    if (c <= 0xDF) {
        const char b = table[c - 0xC0];
        return b ? char32_t(b) : c;
    }
    if (c == 0x178) return 'Y';
    return c;
}

} // namespace

namespace TextCompare {

int compare(const char* a, std::size_t na, const char* b, std::size_t nb) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    const auto* ea = pa + na;
    const auto* eb = pb + nb;

    // First level: plain letters, case ignored. Remember whether the texts
    // differ in accents so that the second pass runs only when needed.
    int second = 0;
    while (pa < ea && pb < eb) {
        const unsigned char ca = *pa, cb = *pb;
        if (ca < 0x80 && cb < 0x80) {
            const int ua = (ca >= 'a' && ca <= 'z') ? ca - 32 : ca;
            const int ub = (cb >= 'a' && cb <= 'z') ? cb - 32 : cb;
            if (ua != ub) return ua - ub;
            ++pa; ++pb;
            continue;
        }
        const char32_t xa = next(pa, ea), xb = next(pb, eb);
        const char32_t ba = base(xa), bb = base(xb);
        if (ba != bb) return ba < bb ? -1 : 1;
        if (second == 0) {
            const char32_t ua = upper(xa), ub = upper(xb);
            if (ua != ub) second = ua < ub ? -1 : 1;
        }
    }
    if (pa < ea) return 1;
    if (pb < eb) return -1;
    return second;
}

namespace {

std::vector<char32_t> decodeUpper(const char* s, std::size_t n) {
    std::vector<char32_t> out;
    out.reserve(n);
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    const auto* e = p + n;
    while (p < e) out.push_back(upper(next(p, e)));
    return out;
}

// Matches one set "[...]" starting at pattern[pi] == '['. Returns the index
// after ']' or -1 when the set is not closed (then '[' is a literal).
long matchSet(const std::vector<char32_t>& pat, std::size_t pi, char32_t ch, bool& hit) {
    std::size_t i = pi + 1;
    bool negate = false;
    if (i < pat.size() && pat[i] == U'!') { negate = true; ++i; }
    bool any = false;
    bool first = true;
    for (; i < pat.size(); ++i) {
        if (pat[i] == U']' && !first) {
            hit = negate ? !any : any;
            return long(i + 1);
        }
        first = false;
        if (i + 2 < pat.size() && pat[i + 1] == U'-' && pat[i + 2] != U']') {
            if (ch >= pat[i] && ch <= pat[i + 2]) any = true;
            i += 2;
        } else if (pat[i] == ch) {
            any = true;
        }
    }
    return -1;
}

bool matchFrom(const std::vector<char32_t>& pat, std::size_t pi,
               const std::vector<char32_t>& txt, std::size_t ti) {
    // Iterative with one backtrack point for the last '*'.
    std::size_t starP = std::size_t(-1), starT = 0;
    while (ti < txt.size()) {
        bool step = false;
        std::size_t nextP = pi + 1;
        if (pi < pat.size()) {
            const char32_t p = pat[pi];
            if (p == U'*') {
                starP = pi++;
                starT = ti;
                continue;
            }
            if (p == U'?') step = true;
            else if (p == U'#') step = txt[ti] >= U'0' && txt[ti] <= U'9';
            else if (p == U'[') {
                bool hit = false;
                const long after = matchSet(pat, pi, txt[ti], hit);
                if (after < 0) step = txt[ti] == U'[';
                else { step = hit; nextP = std::size_t(after); }
            } else step = p == txt[ti];
        }
        if (step) { pi = nextP; ++ti; continue; }
        if (starP == std::size_t(-1)) return false;
        pi = starP + 1;
        ti = ++starT;
    }
    while (pi < pat.size() && pat[pi] == U'*') ++pi;
    return pi == pat.size();
}

} // namespace

bool like(const char* pattern, std::size_t np, const char* text, std::size_t nt) {
    // Fast path: a plain prefix pattern "ABC*" over ASCII bytes.
    bool simplePrefix = np > 0 && pattern[np - 1] == '*';
    for (std::size_t i = 0; simplePrefix && i + 1 < np; ++i) {
        const unsigned char c = static_cast<unsigned char>(pattern[i]);
        if (c >= 0x80 || c == '*' || c == '?' || c == '#' || c == '[') simplePrefix = false;
    }
    if (simplePrefix) {
        const std::size_t len = np - 1;
        if (nt < len) return false;
        for (std::size_t i = 0; i < len; ++i) {
            unsigned char a = static_cast<unsigned char>(pattern[i]);
            unsigned char b = static_cast<unsigned char>(text[i]);
            if (b >= 0x80) return matchFrom(decodeUpper(pattern, np), 0, decodeUpper(text, nt), 0);
            if (a >= 'a' && a <= 'z') a -= 32;
            if (b >= 'a' && b <= 'z') b -= 32;
            if (a != b) return false;
        }
        return true;
    }
    return matchFrom(decodeUpper(pattern, np), 0, decodeUpper(text, nt), 0);
}

std::u32string prefixEnd(const std::u32string& prefix) {
    std::u32string end = prefix;
    while (!end.empty()) {
        // The last letter becomes the first character that sorts after it.
        const char32_t last = base(end.back());
        char32_t next = last + 1;
        while (next <= 0x10FFFF && ((next >= 0xD800 && next <= 0xDFFF) || base(next) <= last)) ++next;
        if (next <= 0x10FFFF) {
            end.back() = next;
            return end;
        }
        end.pop_back();
    }
    return end;
}

}
