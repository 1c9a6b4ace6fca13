#include "config/reg_ini_file.h"

#include <charconv>

#include "common/text.h"
#include "config/config_store.h"
#include "config/names.h"

namespace qv::config {

using platform::RegType;
using platform::RegValue;
using platform::RegWriteStatus;

std::optional<int> ParseDecimal(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-') {
            return std::nullopt;
        }
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

RegIniFile::RegIniFile(platform::Registry& registry, platform::RegRoot root,
                       std::string_view basePath)
    : registry_(registry), root_(root) {
    while (!basePath.empty() && basePath.front() == '\\') {
        basePath.remove_prefix(1);
    }
    base_ = std::string(basePath);
    if (!registry_.CreateKey(root_, base_)) {
        throw ConfigError(WithArgument(text::IniKeyFailed, base_));
    }
}

std::string RegIniFile::SectionPath(std::string_view section) const {
    if (section.empty()) {
        return base_;
    }
    return base_ + "\\" + std::string(section);
}

std::string RegIniFile::ReadString(std::string_view section, std::string_view name,
                                   std::string_view fallback) const {
    return StoredText(registry_.Query(root_, SectionPath(section), name), kStoredValueCapBytes)
        .value_or(std::string(fallback));
}

int RegIniFile::ReadInteger(std::string_view section, std::string_view name, int fallback) const {
    const auto text =
        StoredText(registry_.Query(root_, SectionPath(section), name), kStoredValueCapBytes);
    return text ? ParseDecimal(*text).value_or(fallback) : fallback;
}

bool RegIniFile::ReadBool(std::string_view section, std::string_view name, bool fallback) const {
    return ReadInteger(section, name, fallback ? 1 : 0) != 0;
}

void RegIniFile::WriteString(std::string_view section, std::string_view name,
                             std::string_view text) {
    if (!FitsValueCap(text)) {
        throw ConfigError(WithArgument(text::IniSetFailed, name));
    }
    RegValue value{RegType::String, std::string(text)};
    value.data.push_back('\0');
    switch (registry_.Set(root_, SectionPath(section), name, value).status) {
        case RegWriteStatus::Ok:
            return;
        case RegWriteStatus::KeyFailed:
            throw ConfigError(WithArgument(text::IniKeyFailed, SectionPath(section)));
        case RegWriteStatus::ValueFailed:
            throw ConfigError(WithArgument(text::IniSetFailed, name));
    }
}

void RegIniFile::WriteInteger(std::string_view section, std::string_view name, int value) {
    WriteString(section, name, std::to_string(value));
}

void RegIniFile::WriteBool(std::string_view section, std::string_view name, bool value) {
    WriteString(section, name, value ? "1" : "0");
}

RegIniFile OpenUserIni(platform::Registry& registry) {
    return RegIniFile(registry, platform::RegRoot::CurrentUser, kIniViewPath);
}

}  // namespace qv::config
