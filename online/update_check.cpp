#include "update_check.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>

#include "catalogue.h"
#include "cp1251.h"
#include "utf8.h"
#include "size_format.h"

namespace velmar::online {
namespace {

constexpr char kSettingsSection[] = "Velmar";
constexpr char kUnknownSize[] = "неизвестен";

std::string SizeText(std::int64_t bytes, std::string_view decimal) {
  if (!IsKnownSize(bytes)) return kUnknownSize;
  return FormatSize(static_cast<double>(bytes), Cp1251ToUtf8(decimal));
}

}  // namespace

std::string UpdateCatalogueUrl(std::string_view server) {
  std::string base(server);
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + kUpdateCataloguePath;
}

std::optional<std::int64_t> ParseVer(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseBytes(std::string_view text, std::string_view decimalSeparator) {
  std::string number(text);
  // The user's separator is the decimal point; a point itself is then no number part.
  if (decimalSeparator != ".") {
    if (number.find('.') != std::string::npos) return std::nullopt;
    if (const std::size_t at = number.find(decimalSeparator); !decimalSeparator.empty() && at != std::string::npos)
      number.replace(at, decimalSeparator.size(), ".");
  }
  std::string_view digits(number);
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) return std::nullopt;
  }
  double value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
  if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
  // The nearest integer, a half to the even neighbour.
  const int mode = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(mode);
  if (rounded < -9.2233720368547758e18 || rounded >= 9.2233720368547758e18) return std::nullopt;
  return static_cast<std::int64_t>(rounded);
}

std::optional<UpdateOffer> ReadUpdateCatalogue(std::string_view text, std::string_view decimalSeparator) {
  const ProfileFile file = ProfileFile::Parse(CatalogueFileText(text));
  if (!file.HasSection(kUpdateSection)) return std::nullopt;
  const std::optional<std::int64_t> bytes = ParseBytes(file.GetString(kUpdateSection, "Bytes"), decimalSeparator);
  const std::optional<std::int64_t> ver = ParseVer(file.GetString(kUpdateSection, "Ver"));
  if (!bytes || !ver) return std::nullopt;
  UpdateOffer offer;
  offer.Ver = *ver;
  offer.FullVer = file.GetString(kUpdateSection, "FullVer");
  offer.URL = file.GetString(kUpdateSection, "URL");
  offer.Desc = file.GetString(kUpdateSection, "Desc");
  offer.SaveName = file.GetString(kUpdateSection, "SaveName");
  offer.Bytes = *bytes;
  offer.Sha256 = file.GetString(kUpdateSection, "SHA256");
  return offer;
}

std::optional<UpdateOffer> NewerUpdate(std::string_view catalogueText, std::int64_t runningBuild,
                                       std::string_view decimalSeparator) {
  std::optional<UpdateOffer> offer = ReadUpdateCatalogue(catalogueText, decimalSeparator);
  if (!offer || !(runningBuild < offer->Ver)) return std::nullopt;
  return offer;
}

std::int64_t BuildOfVersion(std::string_view version) {
  std::size_t dots = 0, at = 0;
  for (std::size_t i = 0; i < version.size() && dots < 3; ++i)
    if (version[i] == '.' && ++dots == 3) at = i + 1;
  if (dots < 3) return 0;
  return ParseVer(version.substr(at)).value_or(0);
}

bool IsKnownSize(std::int64_t bytes) { return bytes > 0 && bytes <= std::numeric_limits<std::int32_t>::max(); }

bool ShowUpdateEnabled(const ProfileFile& settings) { return settings.GetInt(kSettingsSection, "ShowUpdate", 1) != 0; }

bool TurnShowUpdateOff(const std::filesystem::path& settingsPath) {
  try {
    ProfileFile file = ProfileFile::Load(settingsPath).value_or(ProfileFile{});
    file.Set(kSettingsSection, "ShowUpdate", "0");
    return file.Save(settingsPath);
  } catch (const std::exception&) {
    return false;
  }
}

bool IsSafeSaveName(std::string_view name) {
  if (name.empty() || name.size() > 200 || name.front() == ' ' || name.front() == '.') return false;
  if (name.find("..") != std::string_view::npos) return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  return !IsReservedDeviceName(name);
}

std::string CurrentVersionText(std::string_view version) {
  return "Текущая версия:        " + std::string(version);
}

std::string AvailableVersionText(std::string_view fullVer) {
  return "Доступная версия:     " + Cp1251ToUtf8(fullVer);
}

std::string DownloadSizeText(std::int64_t bytes, std::string_view decimal) {
  return "Размер для загрузки: " + SizeText(bytes, decimal);
}

std::string DownloadingText(std::string_view saveName, std::int64_t bytes, std::string_view decimal) {
  return "Загрузка " + Cp1251ToUtf8(saveName) + " [" + SizeText(bytes, decimal) + "]...";
}

std::string DownloadProgressCaption(std::uint64_t position, std::int64_t bytes, std::string_view decimal) {
  if (IsKnownSize(bytes))
    return DownloadCaption(position, static_cast<std::uint64_t>(bytes), Cp1251ToUtf8(decimal));
  return "Скачивание файла (" + FormatSize(static_cast<double>(position), Cp1251ToUtf8(decimal)) + ")...";
}

std::string DescriptionText(std::string_view desc) { return Cp1251ToUtf8(desc); }

}  // namespace velmar::online
