#pragma once
// The update check's decisions: the update catalogue, the conversions of its
// Ver and Bytes, whether it offers a newer build, and the texts of the update
// window. Portable; the update window calls it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "profile.h"

namespace velmar::online {

// Where the update catalogue lies under the server's base address.
inline constexpr char kUpdateCataloguePath[] = "/zo_velmar/versions.ini";
inline constexpr char kUpdateSection[] = "VelmarPro";

std::string UpdateCatalogueUrl(std::string_view server);

// What a catalogue offers. Texts are Windows-1251 as the catalogue gives them.
struct UpdateOffer {
  std::int64_t Ver = 0;
  std::string FullVer, URL, Desc, SaveName;
  std::int64_t Bytes = 0;
  std::string Sha256;  // optional: the installer's digest in hexadecimal
};

// Ver: a decimal integer with an optional sign that fits 64 signed bits
// ("0191" is 191); nothing otherwise.
std::optional<std::int64_t> ParseVer(std::string_view text);
// Bytes: a decimal number written with the user's decimal separator, taken
// to the nearest integer with a half going to the even neighbour ("12.5" is
// 12, "13.5" is 14); nothing when it is no number or does not fit 64 bits.
std::optional<std::int64_t> ParseBytes(std::string_view text, std::string_view decimalSeparator);

// The section "VelmarPro" of a catalogue text. Nothing when the text has no
// such section or its Ver or Bytes cannot be read: such a catalogue is no
// concern of the user and the check ends without a word.
std::optional<UpdateOffer> ReadUpdateCatalogue(std::string_view text, std::string_view decimalSeparator);

// The offer when it names a newer build than the running one (signed
// comparison; equal builds are no update).
std::optional<UpdateOffer> NewerUpdate(std::string_view catalogueText, std::int64_t runningBuild,
                                       std::string_view decimalSeparator);

// The build number of a version string "1.1.1.190": its fourth part, 0 when
// it has none.
std::int64_t BuildOfVersion(std::string_view version);

// A size that can serve as a progress bar's maximum: 1 to 2^31 - 1 bytes.
// Any other size shows as unknown and the bar runs as a marquee.
bool IsKnownSize(std::int64_t bytes);

// The automatic check is on unless the settings turn it off ("ShowUpdate"
// in section "Velmar" reads as the integer 0).
bool ShowUpdateEnabled(const ProfileFile& settings);
// Writes ShowUpdate=0, keeping every other line; false when it cannot.
bool TurnShowUpdateOff(const std::filesystem::path& settingsPath);

// A bare file name to store the installer under in the temp folder: no
// folder, drive, "..", wildcard or control character, no device name.
bool IsSafeSaveName(std::string_view name);

// The update window's texts, in UTF-8; catalogue texts are converted from
// Windows-1251. `decimal` is the user's decimal separator in Windows-1251.
std::string CurrentVersionText(std::string_view version);  // "Текущая версия:        1.1.1.190"
std::string AvailableVersionText(std::string_view fullVer);  // "Доступная версия:     1.1.1.191"
std::string DownloadSizeText(std::int64_t bytes, std::string_view decimal);  // "Размер для загрузки: 1,00 Мб"
std::string DownloadingText(std::string_view saveName, std::int64_t bytes,
                            std::string_view decimal);  // "Загрузка setup.exe [1,00 Мб]..."
// The caption while downloading: the percentage when the size is known,
// otherwise the bytes received so far.
std::string DownloadProgressCaption(std::uint64_t position, std::int64_t bytes, std::string_view decimal);
std::string DescriptionText(std::string_view desc);

}  // namespace velmar::online
