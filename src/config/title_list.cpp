#include "config/title_list.h"

#include "common/text.h"

namespace qv::config {

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool NeedsQuotes(std::string_view entry) {
    // An empty entry is quoted too: unquoted, a trailing empty entry would be lost.
    if (entry.empty()) {
        return true;
    }
    for (const char c : entry) {
        if (IsBlankOrControl(c) || c == '"' || c == ',') {
            return true;
        }
    }
    return false;
}

std::string Quoted(std::string_view entry) {
    std::string out = "\"";
    for (const char c : entry) {
        out.push_back(c);
        if (c == '"') {
            out.push_back('"');
        }
    }
    out.push_back('"');
    return out;
}

// Skips characters with codes 1 to 32.
void SkipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && text[at] != '\0' && IsBlankOrControl(text[at])) {
        ++at;
    }
}

std::string ReadQuoted(std::string_view text, std::size_t& at) {
    std::string entry;
    ++at;  // the opening quote
    while (at < text.size()) {
        if (text[at] == '"') {
            if (at + 1 < text.size() && text[at + 1] == '"') {
                entry.push_back('"');
                at += 2;
                continue;
            }
            ++at;  // the closing quote
            return entry;
        }
        entry.push_back(text[at++]);
    }
    return entry;  // unclosed: the rest of the text
}

std::string ReadBare(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && !IsBlankOrControl(text[at]) && text[at] != ',') {
        ++at;
    }
    return std::string(text.substr(start, at - start));
}

}  // namespace

std::string EncodeTitleList(const TitleList& entries) {
    std::string out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) {
            out.push_back(',');
        }
        out += NeedsQuotes(entries[i]) ? Quoted(entries[i]) : entries[i];
    }
    return out;
}

TitleList DecodeTitleList(std::string_view text) {
    // The stored text ends at its first NUL, as every reader of the value sees it.
    text = text.substr(0, text.find('\0'));
    TitleList entries;
    std::size_t at = 0;
    SkipBlanks(text, at);
    while (at < text.size()) {
        entries.push_back(text[at] == '"' ? ReadQuoted(text, at) : ReadBare(text, at));
        SkipBlanks(text, at);
        if (at < text.size() && text[at] == ',') {
            ++at;
            SkipBlanks(text, at);
        }
    }
    return entries;
}

std::string QuoteSingleEntry(std::string_view name) {
    std::string out = "\"";
    out += name;
    out.push_back('"');
    return out;
}

int IndexOfEntry(const TitleList& list, std::string_view entry, platform::TextRules& text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (text.SameName(list[i], entry)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace qv::config
