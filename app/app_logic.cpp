#include "app_logic.h"

#include <exception>

namespace velmar {
namespace {

std::uint32_t ReadU32(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(std::to_integer<unsigned>(bytes[offset + i])) << (8 * i);
  return value;
}

bool WriteKey(const std::filesystem::path& path, std::string_view key, std::string_view value) {
  try {
    ProfileFile file = ProfileFile::Load(path).value_or(ProfileFile{});
    file.Set(kSettingsSection, key, value);
    return file.Save(path);
  } catch (const std::exception&) {
    return false;  // the path is no readable file (a folder, say): it cannot be written either
  }
}

}  // namespace

std::optional<FileVersion> FileVersionFromResource(std::span<const std::byte> resource) {
  if (resource.size() < 56) return std::nullopt;
  const std::uint32_t ms = ReadU32(resource, 48);
  const std::uint32_t ls = ReadU32(resource, 52);
  return FileVersion{static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
                     static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
}

std::string VersionString(std::span<const std::byte> resource) {
  const auto v = FileVersionFromResource(resource);
  if (!v) return {};
  return std::to_string(v->major) + "." + std::to_string(v->minor) + "." + std::to_string(v->patch) + "." +
         std::to_string(v->build);
}

std::int64_t BuildNumber(std::span<const std::byte> resource) {
  const auto v = FileVersionFromResource(resource);
  return v ? static_cast<std::int64_t>(v->build) : 0;
}

std::string ServerAddress(const ProfileFile& settings) {
  std::string server = settings.GetString(kSettingsSection, "Server");
  return server.empty() ? std::string(kDefaultServer) : server;
}

std::string ServerAddress(const std::filesystem::path& settingsPath) {
  try {
    return ServerAddress(ProfileFile::Load(settingsPath).value_or(ProfileFile{}));
  } catch (const std::exception&) {
    return kDefaultServer;
  }
}

std::string SiteAddress(const ProfileFile& settings) {
  std::string site = settings.GetString(kSettingsSection, "Site");
  if (!site.empty()) return site;
  site = ServerAddress(settings);
  if (site.back() != '/') site += '/';
  return site;
}

std::string SiteAddress(const std::filesystem::path& settingsPath) {
  try {
    return SiteAddress(ProfileFile::Load(settingsPath).value_or(ProfileFile{}));
  } catch (const std::exception&) {
    return SiteAddress(ProfileFile{});
  }
}

unsigned long NetTimeoutMs(const ProfileFile& settings) {
  const std::int32_t ms = settings.GetInt(kSettingsSection, "NetTimeout", 15000);
  return ms >= 100 && ms <= 600000 ? static_cast<unsigned long>(ms) : 15000;
}

unsigned long NetTimeoutMs(const std::filesystem::path& settingsPath) {
  try {
    return NetTimeoutMs(ProfileFile::Load(settingsPath).value_or(ProfileFile{}));
  } catch (const std::exception&) {
    return 15000;
  }
}

bool CapitalWords(const ProfileFile& settings) { return settings.GetString(kSettingsSection, "CapitalWords") != "0"; }

bool CapitalWords(const std::filesystem::path& settingsPath) {
  try {
    return CapitalWords(ProfileFile::Load(settingsPath).value_or(ProfileFile{}));
  } catch (const std::exception&) {
    return true;
  }
}

bool WriteCapitalWords(const std::filesystem::path& settingsPath, bool on) {
  return WriteKey(settingsPath, "CapitalWords", on ? "1" : "0");
}

bool WriteCloseSettings(const std::filesystem::path& settingsPath, int selectedModule, bool autoTrans) {
  if (!WriteKey(settingsPath, "Module", std::to_string(selectedModule))) return false;
  return WriteKey(settingsPath, "AutoTrans", autoTrans ? "1" : "0");
}

}  // namespace velmar
