#pragma once
// The window-free parts of the program shell: the version read from the
// executable's version resource and the settings file. No windows.h here.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "profile.h"

namespace velmar {

inline constexpr char kProgramTitle[] = "VelmarPro";
inline constexpr char kSettingsFileName[] = "VelmarPro.dat";
inline constexpr char kSettingsSection[] = "Velmar";
// Where the maker's server is looked for when the settings name none.
inline constexpr char kDefaultServer[] = "http://127.0.0.1:8080";

struct FileVersion {
  std::uint16_t major = 0, minor = 0, patch = 0, build = 0;
};

// The file version of a version resource: the fixed file information's
// dwFileVersionMS at byte 48 and dwFileVersionLS at byte 52 (little-endian),
// so the first 56 bytes suffice. Nothing when the resource is shorter.
std::optional<FileVersion> FileVersionFromResource(std::span<const std::byte> resource);
// "1.1.1.190"; empty when the resource is too short.
std::string VersionString(std::span<const std::byte> resource);
// The fourth part of the file version; 0 when the resource is too short.
std::int64_t BuildNumber(std::span<const std::byte> resource);

// The base address of the maker's server: [Velmar] Server, or the default.
std::string ServerAddress(const ProfileFile& settings);
// The same from the settings file; a missing or unreadable file gives the default.
std::string ServerAddress(const std::filesystem::path& settingsPath);

// The address of the maker's web site shown for downloading modules by hand:
// [Velmar] Site, or the server's address with a closing "/" (its start page).
std::string SiteAddress(const ProfileFile& settings);
std::string SiteAddress(const std::filesystem::path& settingsPath);
// The connect and receive time-out of the online parts in milliseconds:
// [Velmar] NetTimeout when it is a number from 100 to 600000, else 15000.
unsigned long NetTimeoutMs(const ProfileFile& settings);
unsigned long NetTimeoutMs(const std::filesystem::path& settingsPath);

// [Velmar] CapitalWords: a word in capitals stays in capitals unless it is "0".
bool CapitalWords(const ProfileFile& settings);
bool CapitalWords(const std::filesystem::path& settingsPath);
bool WriteCapitalWords(const std::filesystem::path& settingsPath, bool on);

// Writes "Module" and then "AutoTrans", each key on its own, keeping every
// other line of the file. Stops at the first key that cannot be written and
// returns false then.
bool WriteCloseSettings(const std::filesystem::path& settingsPath, int selectedModule, bool autoTrans);

}  // namespace velmar
