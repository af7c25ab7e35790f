#include "text_win.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform {

std::wstring utf8ToWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string wideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void appendUtf8(std::string& out, uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The entity starting at html[i] ('&'), appended to out; returns the index
// after it, or i + 1 with a plain '&' when it is no entity we know.
std::size_t entity(const std::string& html, std::size_t i, std::string& out) {
    const std::size_t end = html.find(';', i);
    if (end == std::string::npos || end - i > 10) {
        out += '&';
        return i + 1;
    }
    const std::string name = html.substr(i + 1, end - i - 1);
    if (name == "amp") out += '&';
    else if (name == "lt") out += '<';
    else if (name == "gt") out += '>';
    else if (name == "quot") out += '"';
    else if (name == "apos") out += '\'';
    else if (name == "nbsp") out += ' ';
    else if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7) {
            out += '&';
            return i + 1;
        }
        char* stop = nullptr;
        const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (*stop != '\0') {
            out += '&';
            return i + 1;
        }
        appendUtf8(out, static_cast<uint32_t>(code));
    } else {
        out += '&';
        return i + 1;
    }
    return end + 1;
}

}  // namespace

std::string helpPlainText(const std::string& html) {
    std::string out;
    bool space = false;     // white space seen since the last character written
    bool broken = false;    // and a line break among it
    bool skipping = false;  // inside <head>, <style> or <script>
    auto newline = [&](int count) {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        int have = 0;
        for (auto it = out.rbegin(); it != out.rend() && *it == '\n'; ++it) ++have;
        if (out.empty()) return;
        for (; have < count; ++have) out += '\n';
        space = false;
    };
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            std::string tag = lower(html.substr(i + 1, end - i - 1));
            i = end + 1;
            const bool closing = !tag.empty() && tag[0] == '/';
            if (closing) tag.erase(0, 1);
            tag = tag.substr(0, tag.find_first_of(" \t\r\n/"));
            if (tag == "head" || tag == "style" || tag == "script") skipping = !closing;
            if (tag == "h1" || tag == "h2" || tag == "h3" || tag == "p" || tag == "ul" || tag == "ol" ||
                tag == "table")
                newline(2);
            if (tag == "br" || tag == "tr" || tag == "div" || tag == "dt" || tag == "dd") newline(1);
            if (tag == "li" && !closing) {
                newline(1);
                out += "・";
            }
            continue;
        }
        if (skipping) {
            ++i;
            continue;
        }
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            space = true;
            broken = broken || c == '\n';
            ++i;
            continue;
        }
        // A line break of the source between two Japanese characters is no
        // space: Japanese is written without them.
        const bool betweenWide = broken && !out.empty() && (static_cast<unsigned char>(out.back()) & 0x80) &&
                                 (static_cast<unsigned char>(c) & 0x80);
        if (space && !betweenWide && !out.empty() && out.back() != '\n') out += ' ';
        space = broken = false;
        if (c == '&') {
            i = entity(html, i, out);
        } else {
            out += c;
            ++i;
        }
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

}  // namespace platform
